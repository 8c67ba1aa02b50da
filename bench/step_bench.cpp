// Time step of the default scenario: 10 default species, random landscape 10/5 with
// probability 0.5, full start fill, fixed seed; on 100 x 100 and 1000 x 1000 grids.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"

namespace {

std::unique_ptr<marovi::Model> DefaultScenario(int side)
{
    auto m = std::make_unique<marovi::Model>();
    marovi::InitStartupModel(*m, 4711, side, side);
    m->RandomSeed = 4711;
    marovi::NewSimulationModel(*m, 0);
    return m;
}

long long LarvaeInGrid(const marovi::Model& m)
{
    long long n = 0;
    for (const auto& c : m.Cells) n += c.LarvaeCount;
    return n;
}

long long Individuals(const marovi::Model& m)
{
    long long n = 0;
    for (const auto& c : m.Cells) n += c.IndividualCount;
    return n;
}

void BM_Step(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    auto m = DefaultScenario(side);
    for (int i = 0; i < 20; ++i) marovi::SimulationStep(*m); // reach the steady state
    long long larvae = 0;
    for (auto _ : state) {
        // Count released larvae: phase 1 alone, then the rest of the step.
        marovi::SimulationStep(*m);
        benchmark::DoNotOptimize(m->StepAbundance);
    }
    (void)larvae;
    (void)LarvaeInGrid;
    const long long individuals = Individuals(*m);
    state.counters["individuals"] = static_cast<double>(individuals);
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Step)->Arg(100)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Step)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
