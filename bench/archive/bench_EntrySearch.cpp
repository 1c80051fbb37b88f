// Finding entries: one keystroke of the entry list's filter over 100,000 names, and a content
// search over a 200 MB archive of INI text against reading the same bytes once.
// Run from a Release build:  bench_entry_search [--benchmark_filter=...]
#include "archive/CBIGFile.h"
#include "archive/ContentSearch.h"
#include "archive/EntryListOrder.h"
#include "base/IPrompt.h"
#include "samples/BigArchiveBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <numeric>
#include <string>

namespace {

using kestrel::CBIGFile;

class SilentPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

std::string EntryName(int index)
{
    static const char* const folders[] = {"art\\textures\\", "art\\w3d\\", "data\\ini\\object\\", "data\\audio\\sounds\\",
                                          "maps\\skirmish\\"};
    static const char* const extensions[] = {".dds", ".w3d", ".ini", ".wav", ".map"};
    char name[96];
    std::snprintf(name, sizeof name, "%sgroup%03d\\entry%07d%s", folders[index % 5], index / 100 % 1000, index,
                  extensions[index % 5]);
    return name;
}

/// An archive written once per run into the system's temporary folder, opened lazily.
struct Fixture
{
    explicit Fixture(const kestrel::samples::BigArchiveBuilder& builder) : archive(prompt)
    {
        builder.WriteTo(folder / "bench.big");
        archive.Open(folder / "bench.big");
    }
    kestrel::samples::TempFolder folder;
    SilentPrompt prompt;
    CBIGFile archive;
};

Fixture& HundredThousandNames()
{
    static Fixture fixture = [] {
        kestrel::samples::BigArchiveBuilder builder;
        for (int i = 0; i < 100000; ++i)
            builder.Add(EntryName(i), "x");
        return Fixture(builder);
    }();
    return fixture;
}

// Typing the last character of a filter: the whole (sorted) table is walked again.
void BM_FilterKeystroke(benchmark::State& state, const char* typed, kestrel::EntrySortKey key)
{
    CBIGFile& archive = HundredThousandNames().archive;
    kestrel::EntryListOrder order;
    order.SetSort(archive, key, false);
    for (auto _ : state) {
        order.SetFilter(archive, kestrel::EntryNameMatcher(typed));
        benchmark::DoNotOptimize(order.RowCount());
    }
}
BENCHMARK_CAPTURE(BM_FilterKeystroke, substring, "entry00123", kestrel::EntrySortKey::TableOrder)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, glob_sorted_by_name, "*.ini", kestrel::EntrySortKey::Name)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, glob_with_folder, "object/*7.ini", kestrel::EntrySortKey::TableOrder)->Unit(benchmark::kMillisecond);

Fixture& TwoHundredMegabytesOfIni()
{
    static Fixture fixture = [] {
        std::string text;
        for (int i = 0; text.size() < (100 << 10); ++i)
            text += "Object Unit" + std::to_string(i) + "\r\n  Draw = W3DTankDraw ModuleTag_01\r\n    Model = AVUnit\r\n"
                    "  End\r\n  BuildCost = 500\r\n  ArmorSet\r\n    Armor = TankArmor\r\n    DamageFX = TankDamageFX\r\n"
                    "  End\r\nEnd\r\n\r\n";
        kestrel::samples::BigArchiveBuilder builder;
        for (int i = 0; i < 2000; ++i)
            builder.Add("data\\ini\\object\\unit" + std::to_string(i) + ".ini", text);
        return Fixture(builder);
    }();
    return fixture;
}

std::vector<int> AllEntries(const CBIGFile& archive)
{
    std::vector<int> all(static_cast<size_t>(archive.GetEntryCount()));
    std::iota(all.begin(), all.end(), 0);
    return all;
}

void BM_ReadArchiveBytes(benchmark::State& state)
{
    CBIGFile& archive = TwoHundredMegabytesOfIni().archive;
    for (auto _ : state) {
        std::uint64_t bytes = 0;
        for (int i = 0; i < archive.GetEntryCount(); ++i)
            archive.ReadEntryPieces(i, [&](std::span<const std::uint8_t> piece) {
                bytes += piece.size();
                return true;
            });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(archive.GetFileLength()));
}
BENCHMARK(BM_ReadArchiveBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Counting : kestrel::IContentSearchObserver
{
    bool Progress(std::uint64_t, std::uint64_t) override { return true; }
    void Found(const kestrel::ContentMatch&) override { ++found; }
    void Problem(int, const std::string&) override {}
    std::uint64_t found = 0;
};

void BM_ContentSearch(benchmark::State& state, kestrel::ContentSearchOptions options)
{
    CBIGFile& archive = TwoHundredMegabytesOfIni().archive;
    std::string error;
    const auto search = kestrel::ContentSearch::Create(options, error);
    const auto all = AllEntries(archive);
    for (auto _ : state) {
        Counting counting;
        search->Run(archive, all, counting);
        benchmark::DoNotOptimize(counting.found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(archive.GetFileLength()));
}
BENCHMARK_CAPTURE(BM_ContentSearch, text_absent, kestrel::ContentSearchOptions{"DamageFX = Nope", false, false})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ContentSearch, text_absent_ignoring_case, kestrel::ContentSearchOptions{"damagefx = nope", false, true})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
// A match on every tenth line (about a million): the cost of reporting them, not of scanning.
BENCHMARK_CAPTURE(BM_ContentSearch, text_ignoring_case_1m_matches, kestrel::ContentSearchOptions{"tankdamagefx", false, true})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ContentSearch, regex, kestrel::ContentSearchOptions{"BuildCost = [0-9]+$", true, false})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
