// Grid file save and load of the default scenario, against one fwrite / fread of the same
// number of bytes: on 100 x 100 cells after 100 steps (about 75,000 individuals) and on
// 1000 x 1000 cells after 5 steps (about 7.5 million).
//
//   build/bench/file_bench --benchmark_filter=/100$     the small grid alone
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "files/grid_file.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"

namespace {

// Built once per grid size, before the first measurement that needs it.
const marovi::Model& Scenario(int side)
{
    static std::map<int, std::unique_ptr<marovi::Model>> models;
    std::unique_ptr<marovi::Model>& m = models[side];
    if (!m) {
        m = std::make_unique<marovi::Model>();
        marovi::InitStartupModel(*m, 4711, side, side);
        m->RandomSeed = 4711;
        marovi::NewSimulationModel(*m, 0);
        for (int i = 0, steps = side >= 1000 ? 5 : 100; i < steps; ++i) marovi::SimulationStep(*m);
    }
    return *m;
}

int Side(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void Counters(benchmark::State& state, size_t bytes)
{
    long long individuals = 0;
    for (const auto& c : Scenario(Side(state)).Cells) individuals += c.IndividualCount;
    state.counters["individuals"] = static_cast<double>(individuals);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_SaveGridFile(benchmark::State& state)
{
    const std::string path = TempPath("marovi_bench_save.mgf");
    for (auto _ : state) marovi::SaveGridFile(Scenario(Side(state)), path);
    Counters(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_FwriteSameBytes(benchmark::State& state)
{
    const std::string bytes = marovi::GridFileBytes(Scenario(Side(state)));
    const std::string path = TempPath("marovi_bench_fwrite.bin");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    Counters(state, bytes.size());
    std::filesystem::remove(path);
}

void BM_LoadGridFile(benchmark::State& state)
{
    const std::string path = TempPath("marovi_bench_load.mgf");
    marovi::SaveGridFile(Scenario(Side(state)), path);
    marovi::Model m;
    for (auto _ : state) {
        marovi::LoadGridFile(m, path);
        benchmark::DoNotOptimize(m.StepAbundance);
    }
    Counters(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_FreadSameBytes(benchmark::State& state)
{
    const std::string path = TempPath("marovi_bench_fread.mgf");
    marovi::SaveGridFile(Scenario(Side(state)), path);
    std::string buffer(std::filesystem::file_size(path), '\0');
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
        std::fclose(f);
    }
    Counters(state, buffer.size());
    std::filesystem::remove(path);
}

// The floor of any load: a fresh model of the size replacing the current one, no file at all.
void BM_FreshGridOnly(benchmark::State& state)
{
    marovi::Model m;
    for (auto _ : state) {
        marovi::Model fresh;
        marovi::CreateGrid(fresh, Side(state), Side(state));
        m = std::move(fresh);
        benchmark::DoNotOptimize(m.Cells.data());
    }
}

// A floor below any load that checks its input and replaces the model only on success: the
// cell records of the file's bytes, already in memory, parsed in one pass into the cells of
// an existing model of the same size (their memory reused, their old individuals cleared
// first), checking only the counts, species and positions. No file is read, no model is
// built, and a fault half-way would leave a half-loaded model.
void BM_FloorParseIntoExistingCells(benchmark::State& state)
{
    const std::string bytes = marovi::GridFileBytes(Scenario(Side(state)));
    size_t cellBytes = 0;
    for (const auto& c : Scenario(Side(state)).Cells) cellBytes += 20 + 32 * c.Individuals.size();
    const auto* first = reinterpret_cast<const uint8_t*>(bytes.data()) + bytes.size() - cellBytes;
    marovi::Model m = Scenario(Side(state));
    auto i32 = [](const uint8_t* p) {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    };
    for (auto _ : state) {
        const uint8_t* p = first;
        m.StepAbundance.fill(0);
        for (marovi::TCell& cell : m.Cells) {
            for (const marovi::TIndividual& old : cell.Individuals) cell.Occupied.Free(old.PosX, old.PosY);
            const int32_t n = i32(p + 16);
            if (n < 0 || n > marovi::CellPositions) state.SkipWithError("bad count");
            cell.Capacity = i32(p);
            cell.DisturbanceCount = i32(p + 4);
            cell.CellAge = i32(p + 8);
            cell.Substrate = static_cast<uint32_t>(i32(p + 12));
            cell.IndividualCount = n;
            cell.Individuals.resize(static_cast<size_t>(n));
            p += 20;
            for (marovi::TIndividual& ind : cell.Individuals) {
                const int32_t species = i32(p), x = i32(p + 20), y = i32(p + 24);
                if (static_cast<uint32_t>(species) > static_cast<uint32_t>(m.SpeciesMax) ||
                    static_cast<uint32_t>(x) >= 10 || static_cast<uint32_t>(y) >= 10 || cell.Occupied.Has(x, y))
                    state.SkipWithError("bad individual");
                cell.Occupied.Set(x, y);
                ind.Species = species;
                ind.Age = i32(p + 4);
                std::memcpy(&ind.Size, p + 8, 8);
                ind.LastReproduction = i32(p + 16);
                ind.PosX = static_cast<int8_t>(x);
                ind.PosY = static_cast<int8_t>(y);
                m.StepAbundance[static_cast<size_t>(species)] += 1;
                p += 32;
            }
        }
        benchmark::DoNotOptimize(m.StepAbundance);
    }
    Counters(state, bytes.size());
}

BENCHMARK(BM_SaveGridFile)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FwriteSameBytes)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGridFile)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreadSameBytes)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshGridOnly)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorParseIntoExistingCells)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
