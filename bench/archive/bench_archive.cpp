// Times the archive core on a synthetic 100,000-entry archive and measures the memory of saving a
// 1 GiB archive whole. Run from a Release build:  bench_archive [work folder] [--no-1gib]
#include "archive/CBIGFile.h"
#include "base/IPrompt.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class SilentPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string& text, const std::string&) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

struct Planned
{
    std::string name;
    std::uint32_t size;
};

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void PutBE(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift);
}

/// Streams a canonical BIGF archive to disk without holding its data in memory.
void WriteArchive(const std::filesystem::path& path, const std::vector<Planned>& entries)
{
    std::uint64_t dataStart = 16 + 8, total = 0;
    for (const auto& entry : entries)
        dataStart += 8 + entry.name.size() + 1;
    for (const auto& entry : entries)
        total += entry.size;
    std::string table = "BIGF";
    for (int i = 0; i < 4; ++i)
        table += static_cast<char>((dataStart + total) >> (8 * i));
    PutBE(table, static_cast<std::uint32_t>(entries.size()));
    PutBE(table, static_cast<std::uint32_t>(dataStart - 1));
    std::uint64_t position = dataStart;
    for (const auto& entry : entries) {
        PutBE(table, static_cast<std::uint32_t>(position));
        PutBE(table, entry.size);
        table += entry.name;
        table += '\0';
        position += entry.size;
    }
    table.append("L225\0\0\0\0", 8);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(table.data(), static_cast<std::streamsize>(table.size()));
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>('a' + i % 26);
    for (const auto& entry : entries)
        for (std::uint64_t left = entry.size; left > 0;) {
            const auto take = static_cast<std::streamsize>(std::min<std::uint64_t>(left, block.size()));
            out.write(block.data(), take);
            left -= static_cast<std::uint64_t>(take);
        }
}

std::vector<Planned> RealisticEntries(size_t count)
{
    static const char* const folders[] = {"art\\textures\\", "art\\w3d\\", "data\\ini\\object\\", "data\\ini\\",
                                          "data\\audio\\sounds\\", "data\\english\\", "maps\\"};
    static const char* const extensions[] = {".tga", ".w3d", ".ini", ".ini", ".wav", ".str", ".map"};
    std::mt19937 random(42);
    std::vector<Planned> entries;
    for (size_t i = 0; i < count; ++i) {
        const size_t kind = random() % 7;
        std::string name = std::string(folders[kind]) + "ab" + std::to_string(random() % 1000) + "_unit_" +
                           std::to_string(i) + extensions[kind];
        entries.push_back({std::move(name), 200 + static_cast<std::uint32_t>(random() % 1800)});
    }
    std::sort(entries.begin(), entries.end(), [](const Planned& a, const Planned& b) { return a.name < b.name; });
    return entries;
}

std::uint64_t BytesWrittenByProcess()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "wchar:")
            return value;
    return 0;
}

void BenchmarkLargeTable(const std::filesystem::path& folder)
{
    const auto path = folder / "bench-100k.big";
    const auto entries = RealisticEntries(100000);
    WriteArchive(path, entries);
    std::printf("archive: %zu entries, %.1f MiB\n", entries.size(),
                static_cast<double>(std::filesystem::file_size(path)) / (1 << 20));

    SilentPrompt prompt;
    kestrel::CBIGFile archive(prompt);
    auto start = Clock::now();
    if (!archive.Open(path))
        return;
    std::printf("Open (header + table):          %8.1f ms\n", Seconds(start) * 1000);

    start = Clock::now();
    std::vector<std::uint8_t> buffer;
    std::uint64_t read = 0;
    for (int i = 0; i < archive.GetEntryCount(); ++i) {
        buffer.resize(archive.GetEntrySize(i));
        if (archive.GetEntryData(i, buffer.data()))
            read += buffer.size();
    }
    std::printf("read every entry:               %8.1f ms (%.1f MiB)\n", Seconds(start) * 1000,
                static_cast<double>(read) / (1 << 20));

    start = Clock::now();
    int found = 0;
    for (const auto& entry : entries)
        found += archive.FindEntry(entry.name) >= 0;
    std::printf("FindEntry of every name:        %8.1f ms (%d found)\n", Seconds(start) * 1000, found);

    const int middle = archive.GetEntryCount() / 2;
    std::vector<std::uint8_t> replacement(archive.GetEntrySize(middle), 'R');
    archive.SetEntryData(middle, replacement.data(), static_cast<std::int64_t>(replacement.size()));
    std::uint64_t planned = 0;
    archive.SetProgressObserver([&](std::uint64_t, std::uint64_t total) { planned = total; });
    const std::uint64_t writtenBefore = BytesWrittenByProcess();
    start = Clock::now();
    const int saved = archive.SaveInPlace();
    const double saveTime = Seconds(start);
    const std::uint64_t written = BytesWrittenByProcess() - writtenBefore;
    std::printf("SaveInPlace, one entry replaced: %7.1f ms, %s; %llu bytes written "
                "(header+table+marker %llu + entry %zu)\n",
                saveTime * 1000, saved ? "ok" : archive.LastError().c_str(), static_cast<unsigned long long>(written),
                static_cast<unsigned long long>(archive.GetStoredDataStart() + 1), replacement.size());
    if (planned != written)
        std::printf("  (progress reported %llu bytes)\n", static_cast<unsigned long long>(planned));

    archive.SetProgressObserver({});
    start = Clock::now();
    archive.DeferSorting(true);
    const std::vector<std::uint8_t> small(100, 's');
    for (int i = 0; i < 10000; ++i)
        archive.AddEntryBytes("data\\ini\\added\\file_" + std::to_string(i) + ".ini", small);
    archive.DeferSorting(false);
    std::printf("add 10,000 entries (one sort):  %8.1f ms (%d entries)\n", Seconds(start) * 1000,
                archive.GetEntryCount());
    start = Clock::now();
    archive.AddEntryBytes("data\\ini\\one_more.ini", small);
    std::printf("add one entry (sorted at once): %8.1f ms\n", Seconds(start) * 1000);
    std::filesystem::remove(path);
}

/// The peak resident memory of this process's own address space (VmHWM), in KiB.
long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

/// Saves a 1 GiB archive whole in a fresh child program and reports the child's peak memory.
void BenchmarkSaveAsMemory(const std::filesystem::path& folder)
{
    const auto source = folder / "bench-1gib.big";
    const auto target = folder / "bench-1gib-copy.big";
    const auto peakFile = folder / "bench-1gib.peak";
    std::vector<Planned> entries;
    for (int i = 0; i < 4096; ++i)
        entries.push_back({"art\\textures\\big_" + std::to_string(1000 + i) + ".dds", 256 * 1024});
    WriteArchive(source, entries);

    // The child reports its own peak (VmHWM): rusage of a child would also count the pages of
    // this process that it shared until its exec.
    const auto runChild = [&](const char* mode, double& seconds) -> long {
        const std::string sourceText = source.string(), targetText = target.string(), peakText = peakFile.string();
        char* const arguments[] = {const_cast<char*>("bench_archive"), const_cast<char*>("--child"),
                                   const_cast<char*>(mode),           const_cast<char*>(sourceText.c_str()),
                                   const_cast<char*>(targetText.c_str()), const_cast<char*>(peakText.c_str()),
                                   nullptr};
        const auto start = Clock::now();
        pid_t child = 0;
        if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, arguments, environ) != 0)
            return -1;
        int status = 0;
        waitpid(child, &status, 0);
        seconds = Seconds(start);
        long peak = -1;
        std::ifstream(peakFile) >> peak;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
    };
    double openSeconds = 0, saveSeconds = 0;
    const long openOnly = runChild("open", openSeconds);
    const long withSave = runChild("saveas", saveSeconds);
    std::printf("SaveAs of %.2f GiB: %.2f s; peak RSS %ld KiB (open only: %ld KiB, difference %ld KiB)\n",
                static_cast<double>(std::filesystem::file_size(source)) / (1u << 30), saveSeconds, withSave, openOnly,
                withSave - openOnly);
    for (const auto& path : {source, target, peakFile})
        std::filesystem::remove(path);
}

/// The child side of BenchmarkSaveAsMemory: opens `source` and, for "saveas", saves it to
/// `target`; writes its peak memory to `peakFile`.
int RunChild(const std::string& mode, const char* source, const char* target, const char* peakFile)
{
    SilentPrompt prompt;
    kestrel::CBIGFile archive(prompt);
    const bool ok = archive.Open(source) && (mode != "saveas" || archive.SaveAs(target));
    std::ofstream(peakFile) << PeakMemoryKiB();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argv[2], argv[3], argv[4], argv[5]);
    std::filesystem::path folder = std::filesystem::temp_directory_path();
    bool withLarge = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-1gib") == 0)
            withLarge = false;
        else
            folder = argv[i];
    }
    BenchmarkLargeTable(folder);
    if (withLarge)
        BenchmarkSaveAsMemory(folder);
    return 0;
}
