// A time step on any number of threads is the one-thread step bit for bit: the same grid file,
// the same generator state and the same larvae of the last step, after every few steps.
#include <gtest/gtest.h>

#include <functional>

#include "disturbance/disturbance.h"
#include "files/grid_file.h"
#include "landscape/flow.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

// Large enough that a step hands out more chunks of work than the threads have slots.
constexpr int Side = 40;

Model Started(int32_t seed, const std::function<void(Model&)>& setup)
{
    Model m;
    InitStartupModel(m, seed, Side, Side);
    m.RandomSeed = seed;
    setup(m);
    NewSimulationModel(m, 0);
    return m;
}

// Disturbances, a flow grid, external drift (proportional picks), fluctuating reproduction
// and the "diffusion" kernel, whose distances are Gauss deviates too.
void Eventful(Model& m)
{
    AddStandardDisturbance(m);
    AddDisturbance(m, 4, 30, 30, 8, true, 6, 1.5, 3, 0.5, 0.3, 0.6, 0.7, 0.2, 2, 3);
    NewFlowGrid(m.FlowGrid, 4, 3, 0.9, 0.4, 1.3);
    m.FlowGrid.Cell(1, 2) = TFlowCell{-2.0, 1.1, 0.5};
    m.FlowGrid.Cell(3, 0).Speed = 0.0;
    m.SpeciesPool[1].GlobalDrift = true;
    m.SpeciesPool[4].GlobalDrift = true;
    m.AnyGlobalDrift = true;
    m.ExternalDriftProb = 0.2;
    m.MaxDriftLarvae = 7;
    m.ProportionalDrift = true;
    m.FluctRepro = true;
    m.FluctReproMin = 0;
    m.FluctReproMax = 2;
    m.PatchKernel = TKernel::Diffusion;
}

void CommonRhythm(Model& m)
{
    Eventful(m);
    m.OldReproInterval = false;
    m.SpeciesPool[0].ReproAsync = 0.3;
    m.SpeciesPool[2].ReproInterval = 3;
    m.SpeciesPool[3].ReproAsync = 1.0;
}

TEST(ParallelStep, EveryThreadCountWritesTheSameFiles)
{
    const std::pair<const char*, std::function<void(Model&)>> scenarios[] = {
        {"default", [](Model&) {}}, {"eventful", Eventful}, {"common rhythm", CommonRhythm}};
    for (const auto& [name, setup] : scenarios) {
        Model serial = Started(17, setup);
        std::vector<Model> threaded;
        for (int threads : {2, 3, 8}) {
            threaded.push_back(serial);
            threaded.back().StepThreads.SetCount(threads);
        }
        for (int step = 1; step <= 24; ++step) {
            SimulationStep(serial);
            for (Model& m : threaded) SimulationStep(m);
            if (step % 8 != 0) continue;
            const std::string bytes = GridFileBytes(serial);
            for (const Model& m : threaded) {
                ASSERT_TRUE(GridFileBytes(m) == bytes) << name << ", " << m.StepThreads.Count() << " threads, step " << step;
                ASSERT_TRUE(test::SameState(m, serial)) << name << ", " << m.StepThreads.Count() << " threads";
            }
        }
        EXPECT_GT(serial.Random.Drawn(), 0u);
    }
}

TEST(ParallelStep, RunsAndThreadsShareTheProcessors)
{
    struct Case {
        int runs, jobs, threads, processors; // 0: not given
        TProcessorShare share;
    };
    const Case cases[] = {
        {1, 0, 0, 8, {1, 8}},    // one run takes every processor
        {3, 0, 0, 8, {3, 2}},    // a few runs split them
        {100, 0, 0, 8, {8, 1}},  // many runs, one thread each
        {10, 2, 0, 8, {2, 4}},   // the threads fill what the runs leave
        {10, 0, 4, 8, {2, 4}},   // and the other way round
        {20, 16, 0, 8, {16, 1}}, // more than the processors only when asked
        {10, 0, 16, 8, {1, 16}},
        {2, 5, 3, 8, {2, 3}},    // both given: never more runs side by side than runs
        {0, 0, 0, 1, {1, 1}},
    };
    for (const Case& c : cases) {
        const TProcessorShare s = ShareProcessors(c.runs, c.jobs, c.threads, c.processors);
        EXPECT_EQ(s.Jobs, c.share.Jobs) << c.runs << " " << c.jobs << " " << c.threads;
        EXPECT_EQ(s.Threads, c.share.Threads) << c.runs << " " << c.jobs << " " << c.threads;
    }
}

} // namespace
