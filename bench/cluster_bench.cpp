// Cluster labelling of a 1000 x 1000 feature matrix around the percolation threshold,
// against one pass that only reads the matrix.
#include <benchmark/benchmark.h>

#include <random>

#include "analysis/hoshen_kopelman.h"

using namespace marovi;

namespace {

constexpr int Side = 1000;

tMerkmal_Matrix RandomMatrix(double density)
{
    tMerkmal_Matrix m(Side, Side);
    std::mt19937 rng(20240601);
    std::bernoulli_distribution feature(density);
    for (int32_t& v : m.Data) v = feature(rng) ? 1 : 0;
    return m;
}

double Density(const benchmark::State& state) { return state.range(0) / 100.0; }

void BM_ReadPass(benchmark::State& state)
{
    const tMerkmal_Matrix m = RandomMatrix(Density(state));
    for (auto _ : state) {
        int64_t set = 0;
        for (int x = 0; x < m.W; ++x)
            for (int y = 0; y < m.H; ++y) set += m(x, y) == 1;
        benchmark::DoNotOptimize(set);
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

void BM_LabelClusters(benchmark::State& state)
{
    const tMerkmal_Matrix m = RandomMatrix(Density(state));
    THosheKopelman hk;
    hk.InitLabels(Side, Side);
    int clusters = 0;
    for (auto _ : state) {
        clusters = hk.LabelClusters(m);
        benchmark::DoNotOptimize(clusters);
    }
    state.counters["clusters"] = clusters;
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

// The same without 256-bit instructions, as on processors that lack them.
void BM_LabelClustersPlain(benchmark::State& state)
{
    AllowWideLabelling(false);
    BM_LabelClusters(state);
    AllowWideLabelling(true);
}

} // namespace

BENCHMARK(BM_ReadPass)->Arg(55)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelClusters)->Arg(55)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelClustersPlain)->Arg(55)->Arg(60)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
