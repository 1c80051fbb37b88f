// Writes a synthetic BIG archive for the benchmarks: many entries with game-like names and sizes,
// streamed to disk so that archives of gigabytes need no memory. Independent of the archive
// core, like the test helper that builds archives.
//
//   make_synthetic_big OUT ENTRIES TOTAL_BYTES [bigf|big4]

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

void PutBE(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLE(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift <= 24; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::string EntryName(std::uint64_t index)
{
    static const char* const folders[] = {"art\\textures\\", "art\\w3d\\", "data\\ini\\object\\", "data\\audio\\sounds\\",
                                          "maps\\skirmish\\"};
    static const char* const extensions[] = {".dds", ".w3d", ".ini", ".wav", ".map"};
    const std::uint64_t kind = index % 5;
    char name[96];
    std::snprintf(name, sizeof name, "%sgroup%03llu\\entry%07llu%s", folders[kind],
                  static_cast<unsigned long long>(index / 100 % 1000), static_cast<unsigned long long>(index),
                  extensions[kind]);
    return name;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_synthetic_big OUT ENTRIES TOTAL_BYTES [bigf|big4]\n");
        return 2;
    }
    const std::uint64_t count = std::strtoull(argv[2], nullptr, 10);
    const std::uint64_t total = std::strtoull(argv[3], nullptr, 10);
    const bool big4 = argc > 4 && std::string(argv[4]) == "big4";

    // Sizes vary around the mean (from a few bytes to twice the mean), as real archives do.
    std::mt19937_64 random(20240601);
    const std::uint64_t mean = count ? std::max<std::uint64_t>(1, total / count) : 0;
    std::vector<std::uint32_t> sizes(count);
    std::vector<std::string> names(count);
    std::uint64_t tableLength = 16;
    for (std::uint64_t i = 0; i < count; ++i) {
        sizes[i] = static_cast<std::uint32_t>(random() % (2 * mean) + 1);
        names[i] = EntryName(i);
        tableLength += 8 + names[i].size() + 1;
    }
    const std::string marker = big4 ? std::string("L253\x15\x05\0\0\0", 9) : std::string("L225\0\0\0\0", 8);
    const std::uint64_t dataStart = tableLength + marker.size();
    std::uint64_t end = dataStart;
    for (const auto size : sizes)
        end += size;
    if (end > 0xFFFFFFFFull) {
        std::fprintf(stderr, "make_synthetic_big: %llu bytes do not fit 32-bit offsets\n",
                     static_cast<unsigned long long>(end));
        return 2;
    }

    std::string head(big4 ? "BIG4" : "BIGF");
    PutLE(head, static_cast<std::uint32_t>(end));
    PutBE(head, static_cast<std::uint32_t>(count));
    PutBE(head, static_cast<std::uint32_t>(dataStart - 1));
    std::uint64_t offset = dataStart;
    for (std::uint64_t i = 0; i < count; ++i) {
        PutBE(head, static_cast<std::uint32_t>(offset));
        PutBE(head, sizes[i]);
        head += names[i];
        head += '\0';
        offset += sizes[i];
    }
    head += marker;

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 2;
    }
    bool ok = std::fwrite(head.data(), 1, head.size(), out) == head.size();
    // Bytes that do not compress to nothing, different for every entry.
    std::vector<std::uint64_t> block((2 * mean + 7) / 8 + 1);
    for (std::uint64_t i = 0; ok && i < count; ++i) {
        for (auto& word : block)
            word = random();
        ok = std::fwrite(block.data(), 1, sizes[i], out) == sizes[i];
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::perror(argv[1]);
        return 2;
    }
    return 0;
}
