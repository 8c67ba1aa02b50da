#include <gtest/gtest.h>

#include "disturbance/disturbance.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/simulation.h"
#include "model/species_pool.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

// A definition that fires exactly when its probability is set to 1 between steps and
// touches no cell (no footprints).
void AddCountingDisturbance(Model& m) { AddDisturbance(m, 0, 0, m.XMax, m.YMax, false, 1, 0, 1, 0, 0.0, 1.0, 0, 0, 1, 0); }

TEST(Step, TerminationExample)
{
    Model m = test::MakeModel(2, 2, 1, 0);
    AddCountingDisturbance(m);
    m.MaxRuntime = 100;
    m.TermDisturbances = 2;
    m.TermSteps = 10;
    for (int step = 1; step <= 125; ++step) {
        bool event = step == 100 || step == 103 || step == 107;
        m.Disturbances[0].Probability[0] = event ? 1.0 : 0.0;
        SimulationStep(m);
        EXPECT_EQ(m.TermCountBase, step < 100 ? 0 : 1) << step; // includes the event of step 100
        EXPECT_EQ(m.TermReachedStep, step < 107 ? 0 : 107) << step;
        EXPECT_EQ(m.TerminateFlag, step >= 117) << step; // stays set in later steps
    }
    EXPECT_EQ(m.DisturbanceEventCount, 3);
}

TEST(Step, TerminationWithoutExtraConditionsAndSwitchedOff)
{
    Model m = test::MakeModel(1, 1, 1, 0);
    m.MaxRuntime = 5;
    for (int step = 1; step <= 6; ++step) {
        SimulationStep(m);
        EXPECT_EQ(m.TerminateFlag, step >= 5) << step;
    }
    Model off = test::MakeModel(1, 1, 1, 0);
    for (int step = 1; step <= 20; ++step) SimulationStep(off);
    EXPECT_FALSE(off.TerminateFlag);
    EXPECT_EQ(off.TermReachedStep, 1); // watched from step 0 on, but MaxRuntime 0 never sets the flag
}

TEST(Step, EmptyGridOnlyAgesCells)
{
    Model m = test::MakeModel(3, 2, 2, 5, 8);
    const TRandom before = m.Random;
    for (int i = 0; i < 4; ++i) SimulationStep(m);
    EXPECT_EQ(m.TimeStep, 4);
    EXPECT_EQ(m.Season, 0);
    EXPECT_EQ(m.SeasonYear, 4);
    for (const TCell& c : m.Cells) {
        EXPECT_EQ(c.CellAge, 4);
        EXPECT_EQ(c.IndividualCount, 0);
        EXPECT_EQ(c.Substrate, 255u);
    }
    EXPECT_EQ(m.Random.Next, before.Next); // not a single draw
    EXPECT_EQ(m.StepAbundance, TSpeciesCounts{});
}

TEST(Step, CensusPrecedesDisturbancesAndExtinctionFollowsOneStepLater)
{
    Model m = test::MakeModel(3, 3, 2, 10, 14);
    m.SpeciesPool[0].DeathProb[0] = 0.0;
    m.SpeciesPool[0].Fecundity[0] = 0.0;
    m.SpeciesPool[1].DeathProb[0] = 0.0;
    m.SpeciesPool[1].Fecundity[0] = 0.0;
    test::Place(m, 0, 0, 0, 5);
    test::Place(m, 0, 0, 0, 5);
    test::Place(m, 2, 2, 1, 5);
    m.LastAbundance = TSpeciesCounts{2, 1};
    // A disturbance that clears exactly cell (0, 0), fired in step 3.
    AddDisturbance(m, 0, 0, 0, 0, false, 0, 0, 0, 0, 0.0, 1.0, 0, 0, 1, 1);
    for (int step = 1; step <= 5; ++step) {
        m.Disturbances[0].Probability[0] = step == 3 ? 1.0 : 0.0;
        SimulationStep(m);
        // Step 3 is counted before its own disturbance.
        EXPECT_EQ(m.StepAbundance[0], step <= 3 ? 2 : 0) << step;
        EXPECT_EQ(m.StepAbundance[1], 1);
        EXPECT_EQ(m.LastAbundance, m.StepAbundance);
        EXPECT_EQ(m.ExtinctionStep[0], step >= 4 ? 4 : 0) << step;
    }
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 0);
    EXPECT_EQ(m.ExtinctionStep[1], 0);
}

TEST(Step, ExtinctionWithoutDisturbanceInTheSameStep)
{
    Model m = test::MakeModel(2, 1, 2, 10, 15);
    m.SpeciesPool[0].DeathProb[0] = 1.0; // dies in step 1 after releasing larvae
    m.SpeciesPool[0].Fecundity[0] = 0.0;
    m.SpeciesPool[1].DeathProb[0] = 0.0;
    m.SpeciesPool[1].Fecundity[0] = 0.0;
    test::Place(m, 0, 0, 0, 3);
    test::Place(m, 1, 0, 1, 3);
    InitialFill(m, -1); // LastAbundance 1 for every species, nothing placed
    SimulationStep(m);
    EXPECT_EQ(m.ExtinctionStep[0], 1);
    EXPECT_EQ(m.ExtinctionStep[1], 0);
    // It comes back and dies out again: the later step is kept.
    test::Place(m, 0, 0, 0, 3);
    m.SpeciesPool[0].DeathProb[0] = 0.0;
    SimulationStep(m);
    m.SpeciesPool[0].DeathProb[0] = 1.0;
    SimulationStep(m);
    SimulationStep(m);
    EXPECT_EQ(m.ExtinctionStep[0], 3);
}

TEST(Step, LarvaeLiveForOneStep)
{
    Model m = test::MakeModel(3, 3, 1, 2, 16);
    test::Place(m, 1, 1, 0, 5);
    m.SpeciesPool[0].DeathProb[0] = 0.0;
    SimulationStep(m);
    long long previous = 0;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(m.Cell(x, y).Larvae, TSpeciesCounts{});
            EXPECT_EQ(m.Cell(x, y).LarvaeCount, 0);
            previous += m.PrevLarvaeAt(x, y)[0];
        }
    EXPECT_EQ(previous, 7); // Round(6.67): every larva reached some cell of the torus
}

TEST(Step, LongRunsKeepCellInvariantsAndReproduce)
{
    auto run = [](int32_t seed) {
        Model m;
        InitStartupModel(m, seed, 24, 18);
        m.RandomSeed = seed;
        m.Torus = false;
        AddStandardDisturbance(m);
        m.Disturbances[0].Probability[0] = 0.3;
        m.BiasedLottery = true;
        m.GlobalKFactor = 1.0;
        NewSimulationModel(m, 0);
        for (int i = 0; i < 300; ++i) {
            SimulationStep(m);
            if (i % 50 == 0) {
                EXPECT_TRUE(test::CellInvariants(m)) << "step " << m.TimeStep;
            }
        }
        EXPECT_TRUE(test::CellInvariants(m));
        return m;
    };
    Model a = run(2024);
    Model b = run(2024);
    EXPECT_TRUE(test::SameState(a, b));
    long long alive = 0;
    for (int32_t v : a.StepAbundance) alive += v;
    EXPECT_GT(alive, 500); // populations persist and spread
    EXPECT_GT(a.DisturbanceEventCount, 50);
}

} // namespace
