// Checking a mod's worth of INI text with its references: about 20 MB of object files in entries
// of 200 KB, and the weapons, locomotors and armour they name, parsed into a workspace and
// checked against the shipped Zero Hour description.
#include "ini/CIniBlock.h"
#include "ini/IniWorkspace.h"
#include "ini/StructureConfig.h"

#include "SyntheticObjects.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

const Entries& ModEntries()
{
    static const Entries entries = [] {
        Entries made;
        std::size_t total = 0;
        int next = 0;
        for (int file = 0; total < 20 * 1024 * 1024; ++file) {
            const int first = next;
            made.emplace_back("Data\\INI\\Object\\Units" + std::to_string(file) + ".ini",
                              kestrel::bench::SyntheticObjects(200 * 1024, first, &next));
            total += made.back().second.size();
        }
        std::string weapons = "Armor TankArmor\r\n  Armor = DEFAULT 100%\r\nEnd\r\n";
        std::string locomotors;
        for (int i = 0; i < next; ++i) {
            weapons += "Weapon Unit" + std::to_string(i) + "Gun\r\n  PrimaryDamage = 40.0\r\n  AttackRange = 150.0\r\nEnd\r\n";
            locomotors += "Locomotor Unit" + std::to_string(i) + "Locomotor\r\n  Speed = 30\r\nEnd\r\n";
        }
        made.emplace_back("Data\\INI\\Weapon.ini", std::move(weapons));
        made.emplace_back("Data\\INI\\Locomotor.ini", std::move(locomotors));
        return made;
    }();
    return entries;
}

void BM_CheckModWithReferences(benchmark::State& state)
{
    static const std::unique_ptr<kestrel::CIniBlock> tree =
        kestrel::LoadConfigurationFile(KESTREL_CONFIGURATION_FILE, nullptr);
    if (!tree) {
        state.SkipWithError("kestrel.ini not found");
        return;
    }
    const kestrel::CIniBlock* zeroHour = kestrel::FindGameBlock(*tree, kestrel::GameKind::ZeroHour);
    const Entries& entries = ModEntries();
    std::int64_t bytes = 0;
    for (const auto& entry : entries)
        bytes += static_cast<std::int64_t>(entry.second.size());
    std::size_t problems = 0;
    for (auto _ : state) {
        kestrel::IniWorkspace workspace(zeroHour);
        for (const auto& [name, text] : entries)
            workspace.SetEntry(name, text, true);
        problems = workspace.CheckAll().size();
        benchmark::DoNotOptimize(problems);
    }
    state.counters["problems"] = static_cast<double>(problems);
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(BM_CheckModWithReferences)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
