// Time step of the default scenario: 10 default species, random landscape 10/5 with
// probability 0.5, full start fill, fixed seed; on 100 x 100 and 1000 x 1000 grids.
//
// Reported per step: time, larvae released, ns per released larva, and the memory of the
// whole model divided by the number of living individuals.
//
//   build/bench/step_bench                                  both grids, 1 and N threads
//   build/bench/step_bench --benchmark_filter=BM_StepThreads  1 and N threads in turn: speed-up,
//                                                           serial part, Amdahl (THREADS=N adds N)
//   build/bench/step_bench --benchmark_filter=BM_Step/1000  the large grid alone
//   build/bench/step_bench --steps=N [--threads=T]          no timing: N steps of 100 x 100,
//                                                           for profilers (callgrind)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"
#include "model/step_threads.h"

namespace {

constexpr int32_t Seed = 4711;

std::unique_ptr<marovi::Model> DefaultScenario(int side)
{
    auto m = std::make_unique<marovi::Model>();
    marovi::InitStartupModel(*m, Seed, side, side);
    m->RandomSeed = Seed;
    marovi::NewSimulationModel(*m, 0);
    return m;
}

// Larvae that reached a cell in the step just completed. With wrap-around, no external
// drift and no disturbances (the default scenario) every released larva lands somewhere.
long long ReleasedLarvae(const marovi::Model& m)
{
    long long n = 0;
    for (int x = 0; x < m.XDim; ++x)
        for (int y = 0; y < m.YDim; ++y)
            for (int32_t v : m.PrevLarvaeAt(x, y)) n += v;
    return n;
}

long long Individuals(const marovi::Model& m)
{
    long long n = 0;
    for (const marovi::TCell& c : m.Cells) n += c.IndividualCount;
    return n;
}

// Heap and object bytes of the model: the cells with their per-species counts (larvae and
// larvae history), the individual lists, the species pool, the flow grid, the disturbance
// list and the step's working storage for its threads.
double ModelBytes(const marovi::Model& m)
{
    double bytes = sizeof(marovi::Model);
    bytes += static_cast<double>(m.Cells.Bytes());
    bytes += static_cast<double>(m.StepThreads.Bytes());
    bytes += static_cast<double>(m.SpeciesPool.capacity() * sizeof(marovi::TSpecies));
    bytes += static_cast<double>(m.FlowGrid.Cells.capacity() * sizeof(marovi::TFlowCell));
    bytes += static_cast<double>(m.Disturbances.capacity() * sizeof(marovi::TDisturbanceDef));
    return bytes;
}

void BM_Step(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    auto m = DefaultScenario(side);
    for (int i = 0; i < 5; ++i) marovi::SimulationStep(*m); // past the first, atypical steps
    long long larvae = 0;
    double stepSeconds = 0;
    for (auto _ : state) {
        // Processor time, like the benchmark's CPU column: steady on a busy machine.
        const std::clock_t start = std::clock();
        marovi::SimulationStep(*m);
        stepSeconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        state.PauseTiming();
        larvae += ReleasedLarvae(*m);
        state.ResumeTiming();
    }
    const double steps = static_cast<double>(state.iterations());
    const long long individuals = Individuals(*m);
    state.counters["larvae/step"] = static_cast<double>(larvae) / steps;
    state.counters["ns/larva"] = larvae > 0 ? stepSeconds * 1e9 / static_cast<double>(larvae) : 0.0;
    state.counters["individuals"] = static_cast<double>(individuals);
    state.counters["bytes/individual"] = individuals > 0 ? ModelBytes(*m) / static_cast<double>(individuals) : 0.0;
    state.counters["model MiB"] = ModelBytes(*m) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Step)->Arg(100)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Step)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same model stepped on 1 thread and on N threads in turn, one step each, in wall-clock
// time: the ratio of the two is the speed-up, measured under the same load. The two stay
// equal (any thread count gives the same step), so both steps do the same work.
// Also reported: the serial part of the N-thread step (the processor time of what only the
// sweeping thread can do) as a share of the 1-thread step's processor time, and the speed-up
// Amdahl's law predicts from it on 16 and 64 processors.
void BM_StepThreads(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    // Two models made alike rather than a copy, whose individual lists would take more room.
    auto one = DefaultScenario(side);
    auto many = DefaultScenario(side);
    many->StepThreads.SetCount(threads);
    for (int i = 0; i < 6; ++i) {
        marovi::SimulationStep(*one);
        marovi::SimulationStep(*many);
    }
    using Clock = std::chrono::steady_clock;
    double oneSeconds = 0, manySeconds = 0, oneCpu = 0, serialCpu = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double c0 = marovi::ThreadSeconds();
        marovi::SimulationStep(*one);
        oneCpu += marovi::ThreadSeconds() - c0;
        const auto t1 = Clock::now();
        marovi::SimulationStep(*many);
        const auto t2 = Clock::now();
        serialCpu += many->StepThreads.SerialSeconds();
        oneSeconds += std::chrono::duration<double>(t1 - t0).count();
        manySeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double steps = static_cast<double>(state.iterations());
    const double serial = oneCpu > 0 ? serialCpu / oneCpu : 0.0;
    state.counters["1 thread ms"] = oneSeconds * 1e3 / steps;
    state.counters["N threads ms"] = manySeconds * 1e3 / steps;
    state.counters["speed-up"] = manySeconds > 0 ? oneSeconds / manySeconds : 0.0;
    state.counters["serial %"] = 100 * serial;
    state.counters["Amdahl 16"] = 1 / (serial + (1 - serial) / 16);
    state.counters["Amdahl 64"] = 1 / (serial + (1 - serial) / 64);
    state.counters["bytes/individual"] = ModelBytes(*many) / static_cast<double>(Individuals(*many));
}
// N: 2, the processors when more, and THREADS when set.
std::vector<int> ThreadCounts()
{
    std::vector<int> counts{2};
    if (marovi::UsableProcessors() > 2) counts.push_back(marovi::UsableProcessors());
    if (const char* t = std::getenv("THREADS"); t && std::atoi(t) > 0) counts.push_back(std::atoi(t));
    std::sort(counts.begin(), counts.end());
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
    return counts;
}
BENCHMARK(BM_StepThreads)->Apply([](benchmark::internal::Benchmark* b) {
    for (int n : ThreadCounts()) b->Args({100, n});
})->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_StepThreads)->Apply([](benchmark::internal::Benchmark* b) {
    for (int n : ThreadCounts()) b->Args({1000, n});
})->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Plain run for profilers: setup, then the given number of steps.
int ProfileRun(int steps, int threads)
{
    auto m = DefaultScenario(100);
    m->StepThreads.SetCount(threads);
    for (int i = 0; i < 5; ++i) marovi::SimulationStep(*m);
    long long larvae = 0;
    for (int i = 0; i < steps; ++i) {
        marovi::SimulationStep(*m);
        larvae += ReleasedLarvae(*m);
    }
    // A fingerprint of the final state, to compare builds: every individual, in grid order.
    unsigned long long hash = 1469598103934665603ULL;
    auto mix = [&](long long v) { hash = (hash ^ static_cast<unsigned long long>(v)) * 1099511628211ULL; };
    for (const marovi::TCell& c : m->Cells)
        for (const marovi::TIndividual& ind : c.Individuals) {
            mix(ind.Species);
            mix(ind.Age);
            mix(ind.LastReproduction);
            mix(ind.PosX * 10 + ind.PosY);
        }
    std::printf("%d steps, %lld larvae, %lld individuals, state %016llx\n", steps, larvae, Individuals(*m), hash);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int threads = 1;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--threads=", 10) == 0) threads = std::atoi(argv[i] + 10);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--steps=", 8) == 0) return ProfileRun(std::atoi(argv[i] + 8), threads);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
