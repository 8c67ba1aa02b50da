// The promise of reproducible runs: the same seed gives the same grid file on every machine
// and in every build type. The checksums below were taken once and are kept; a change of
// compiler, options, libm variant or data layout that moves a single bit fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "disturbance/disturbance.h"
#include "files/grid_file.h"
#include "landscape/flow.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"

namespace {

using namespace marovi;

constexpr int Side = 24;
constexpr int Steps = 250;

uint64_t Fnv1a(std::string_view bytes)
{
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
    return h;
}

// The start-up state and a new run of the given seed on a small grid.
Model Started(int32_t seed)
{
    Model m;
    InitStartupModel(m, seed, Side, Side);
    m.RandomSeed = seed;
    NewSimulationModel(m, 0);
    return m;
}

uint64_t ChecksumAfterSteps(Model& m)
{
    for (int i = 0; i < Steps; ++i) SimulationStep(m);
    int64_t alive = 0;
    for (int32_t a : m.StepAbundance) alive += a;
    EXPECT_GT(alive, 1000) << "the run should keep a population";
    return Fnv1a(GridFileBytes(m));
}

TEST(Determinism, DefaultScenarioGridFiles)
{
    const std::pair<int32_t, uint64_t> runs[] = {{1, 7760184763442797105ULL}, {4711, 7314760053872439788ULL}, {2000000000, 1852277484473473988ULL}};
    for (const auto& [seed, expected] : runs) {
        Model m = Started(seed);
        EXPECT_EQ(ChecksumAfterSteps(m), expected) << "seed " << seed;
    }
}

TEST(Determinism, DisturbancesAndFlowGridFiles)
{
    const std::pair<int32_t, uint64_t> runs[] = {{1, 15989010618144899161ULL}, {4711, 16423127120542425076ULL}, {2000000000, 10049488510162248001ULL}};
    for (const auto& [seed, expected] : runs) {
        Model m = Started(seed);
        AddStandardDisturbance(m);
        AddDisturbance(m, 4, 20, 20, 8, true, 6, 1.5, 3, 0.5, 0.3, 0.6, 0.7, 0.2, 2, 3);
        NewFlowGrid(m.FlowGrid, 4, 3, 0.9, 0.4, 1.3);
        m.FlowGrid.Cell(1, 2) = TFlowCell{-2.0, 1.1, 0.5};
        m.FlowGrid.Cell(3, 0).Speed = 0.0;
        EXPECT_EQ(ChecksumAfterSteps(m), expected) << "seed " << seed;
    }
}

} // namespace
