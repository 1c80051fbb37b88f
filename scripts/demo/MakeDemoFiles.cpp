// Writes the binary entries of the demo archive (images, a model, bytes of no known kind) into a
// folder, so the repository holds the program that makes them rather than opaque blobs.
//   kestrel-demo-files <folder>
#include "DemoImages.h"
#include "DemoModel.h"

#include "base/AtomicFile.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    kestrel::AtomicFileWriter writer(path);
    if (writer.Begin() && writer.Write(bytes.data(), bytes.size()) && writer.Commit())
        return true;
    std::fprintf(stderr, "kestrel-demo-files: %s: %s\n", path.string().c_str(), writer.Error().c_str());
    return false;
}

// Text, tabs, line ends of every kind and every byte value: what the raw view must cope with.
std::vector<std::uint8_t> UnknownBytes()
{
    const std::string text = "KESTREL DEMO BLOB\r\nversion\t1\tof\tno known format\n\tbytes follow:\r";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    for (int round = 0; round < 16; ++round)
        for (int value = 0; value < 256; ++value)
            bytes.push_back(static_cast<std::uint8_t>(value ^ (round * 17)));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrel-demo-files <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    bool ok = WriteFile(folder / "art" / "textures" / "demo_checker.tga", kestrel::demo::CheckerTga(64));
    ok = WriteFile(folder / "art" / "textures" / "demo_rainbow.dds", kestrel::demo::RainbowDxt1(64)) && ok;
    ok = WriteFile(folder / "art" / "w3d" / "demo_box.w3d", kestrel::demo::TexturedBoxW3D("demo_checker.tga")) && ok;
    ok = WriteFile(folder / "data" / "demo.bin", UnknownBytes()) && ok;
    return ok ? 0 : 1;
}
