// How long the commands take with a full memory table: 999 loaded memories with a
// derivation each, and 999 memories created by expressions.
#include "benchsupport.h"
#include "core/calculator.h"
#include "core/engine.h"

#include <benchmark/benchmark.h>

namespace {

struct FullCalculator {
    FullCalculator()
    {
        fillMemoryTable(engine);
        engine.PrimeParser();
    }
    Engine engine;
    SilentMessages messages;
    Calculator calculator{engine, messages};
};

void BM_StartEngine(benchmark::State &state)
{
    for (auto _ : state) {
        Engine engine;
        engine.PrimeParser();
        benchmark::DoNotOptimize(engine.hasCurrentExpression());
    }
}
BENCHMARK(BM_StartEngine)->Unit(benchmark::kMicrosecond);

void BM_RefreshFullList(benchmark::State &state)
{
    FullCalculator full;
    for (auto _ : state)
        full.calculator.RefreshMemoryList(Calculator::RefreshMode::Complete);
    state.counters["rows"] = double(full.calculator.memoryList()->rowCount());
}
BENCHMARK(BM_RefreshFullList)->Unit(benchmark::kMillisecond);

void BM_CalculateWithFullList(benchmark::State &state)
{
    FullCalculator full;
    int i = 0;
    for (auto _ : state)
        full.calculator.calculate(QStringLiteral("made1 = %1 / 3").arg(++i % 50));
    state.counters["history"] = double(full.calculator.history()->rowCount());
}
BENCHMARK(BM_CalculateWithFullList)->Unit(benchmark::kMillisecond);

void BM_DeleteOneOfFullList(benchmark::State &state)
{
    FullCalculator full;
    for (auto _ : state) {
        full.calculator.deleteMemories({0});
        state.PauseTiming();
        full.engine.evaluate(QStringLiteral("made1 = 1")); // keep the list full
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteOneOfFullList)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

BENCHMARK_MAIN();
