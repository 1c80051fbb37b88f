// Runs a libFuzzer entry point over files and folders given on the command line, so that the
// seed corpus and every input that ever crashed a fuzzer stay regression tests in the normal build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int ReplayFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return 1;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path input = argv[i];
        if (std::filesystem::is_directory(input)) {
            for (const auto& item : std::filesystem::recursive_directory_iterator(input)) {
                if (item.is_regular_file()) {
                    failures += ReplayFile(item.path());
                    ++replayed;
                }
            }
        } else if (std::filesystem::exists(input)) {
            failures += ReplayFile(input);
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return failures == 0 && replayed > 0 ? 0 : 1;
}
