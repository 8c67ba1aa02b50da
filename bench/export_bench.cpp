// The species list export of 51 species on a 100 x 100 grid (510,007 lines) against writing
// the same bytes with one fwrite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "files/exports.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"

namespace {

const std::string& TargetPath()
{
    static const std::string path = (std::filesystem::temp_directory_path() / "marovi_export_bench.txt").string();
    return path;
}

std::string Clock() { return "06.12.2026 12:00:00"; }

std::unique_ptr<marovi::Model> FullPool()
{
    auto m = std::make_unique<marovi::Model>();
    marovi::CreateSpeciesPool(*m, 51);
    marovi::CreateGrid(*m, 100, 100);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y) {
            marovi::SetCellCapacity(*m, x, y, 100);
            for (int s = 0; s < 51; ++s) m->PrevLarvaeAt(x, y)[static_cast<size_t>(s)] = (x * y + s) % 1200;
        }
    m->Random.SeedRandom(7);
    marovi::InitialFill(*m, 99); // full cells: about two individuals of every species
    return m;
}

void BM_SpeciesList(benchmark::State& state)
{
    auto m = FullPool();
    for (auto _ : state) marovi::SaveSpeciesList(*m, TargetPath(), Clock);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(TargetPath())));
}
BENCHMARK(BM_SpeciesList)->Unit(benchmark::kMillisecond);

void BM_OneFwriteOfTheSameBytes(benchmark::State& state)
{
    auto m = FullPool();
    marovi::SaveSpeciesList(*m, TargetPath(), Clock);
    std::ifstream in(TargetPath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string bytes = s.str();
    for (auto _ : state) {
        std::FILE* f = std::fopen(TargetPath().c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("write failed");
        if (f) std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_OneFwriteOfTheSameBytes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
