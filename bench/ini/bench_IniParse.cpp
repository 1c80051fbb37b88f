// Parse throughput of the INI parser on a synthetic text shaped like the games' object files:
// objects with nested modules and condition states, comments and CRLF line ends, about 10 MB.
#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

#include "SyntheticObjects.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

const std::string& Text()
{
    static const std::string text = kestrel::bench::SyntheticObjects(10 * 1024 * 1024);
    return text;
}

void Parse(benchmark::State& state, const kestrel::StructureConfig& config)
{
    const std::string& text = Text();
    for (auto _ : state) {
        kestrel::CIniBlock root(config);
        root.ParseText(text);
        benchmark::DoNotOptimize(root.GetChildCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ParseWithoutConfiguration(benchmark::State& state)
{
    Parse(state, {});
}

void ParseWithShippedConfiguration(benchmark::State& state, kestrel::GameKind game)
{
    static const std::unique_ptr<kestrel::CIniBlock> tree =
        kestrel::LoadConfigurationFile(KESTREL_CONFIGURATION_FILE, nullptr);
    if (!tree) {
        state.SkipWithError("kestrel.ini not found");
        return;
    }
    Parse(state, kestrel::StructureConfig::FromGameBlock(kestrel::FindGameBlock(*tree, game)));
}

void BM_ParseWithZeroHourConfiguration(benchmark::State& state)
{
    ParseWithShippedConfiguration(state, kestrel::GameKind::ZeroHour);
}

// The Battle for Middle-earth's dialect: "//" comments, directives and thousands of forced values.
void BM_ParseWithBattleForMiddleEarthConfiguration(benchmark::State& state)
{
    ParseWithShippedConfiguration(state, kestrel::GameKind::BFME);
}

BENCHMARK(BM_ParseWithoutConfiguration)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseWithZeroHourConfiguration)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseWithBattleForMiddleEarthConfiguration)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
