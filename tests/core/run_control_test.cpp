#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/indices.h"
#include "disturbance/disturbance.h"
#include "files/status_list.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/species_pool.h"
#include "model/status_line.h"
#include "model/step.h"
#include "test_support.h"

using namespace marovi;

namespace {

Model SmallScenario(int species = 4)
{
    Model m;
    m.Random.SeedRandom(99);
    CreateSpeciesPool(m, species);
    CreateGrid(m, 8, 8);
    RandomLandscape(m, 0.5);
    m.RandomSeed = 17;
    NewSimulationModel(m, 0);
    return m;
}

TStatusList FixedList() { return TStatusList([] { return std::string("T"); }); }

} // namespace

TEST(RunControl, NewWritesTheFirstLineAboveTheHeader)
{
    Model m = SmallScenario();
    m.TimeStep = 0;
    TStatusList list = FixedList();
    list.StartNew(m);
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Lines()[0], "T;" + StatusLine(m));
    EXPECT_EQ(list.Lines()[1], "# time;" + StatusHeader(m));
    // The first line carries the abundances of the initial fill.
    int32_t individuals = 0;
    for (const TCell& c : m.Cells) individuals += c.IndividualCount;
    int32_t counted = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) counted += m.StepAbundance[static_cast<size_t>(s)];
    EXPECT_EQ(counted, individuals);
    EXPECT_GT(individuals, 0);
}

TEST(RunControl, NewIsReproducibleFromTheRandomSeed)
{
    Model a = SmallScenario();
    for (int i = 0; i < 5; ++i) StepAndRefreshModel(a);
    a.ExtinctionStep[0] = 3;
    a.DisturbanceEventCount = 9;
    NewSimulationModel(a, 12345); // the clock seed is not used while RandomSeed is set
    Model b = SmallScenario();
    EXPECT_EQ(a.TimeStep, 0);
    EXPECT_EQ(a.ExtinctionStep, TSpeciesCounts{});
    EXPECT_EQ(a.DisturbanceEventCount, 0);
    EXPECT_EQ(a.StepAbundance, b.StepAbundance);
    for (size_t i = 0; i < a.Cells.size(); ++i) ASSERT_EQ(a.Cells[i].Abundance, b.Cells[i].Abundance);
}

TEST(RunControl, NewSeedsThenFillsTheClearedGrid)
{
    Model a = SmallScenario();
    AddDisturbance(a, 0, 7, 7, 0, false, 3.0, 1.0, 3.0, 1.0, 0.7, 1.0, 0.0, 1.0, 1, 1);
    for (int i = 0; i < 4; ++i) StepAndRefreshModel(a);
    a.ExtinctionStep[2] = 3;
    a.TermReachedStep = 2;
    a.TerminateFlag = true;
    a.RandomSeed = 23;
    a.StartFill = 5;
    auto anyLarvae = [](const Model& m) {
        for (int x = 0; x < m.XDim; ++x)
            for (int y = 0; y < m.YDim; ++y)
                if (m.PrevLarvaeAt(x, y) != TSpeciesCounts{}) return true;
        return false;
    };
    ASSERT_TRUE(anyLarvae(a));

    // By hand: the counters, the seed, a cleared grid and the fill, nothing else drawn.
    Model b = a;
    ResetCounters(b);
    b.Random.SeedRandom(23);
    b.ExtinctionStep.fill(0);
    ClearAllCells(b);
    for (int x = 0; x < b.XDim; ++x)
        for (int y = 0; y < b.YDim; ++y) b.PrevLarvaeAt(x, y).fill(0);
    InitialFill(b, 5);

    NewSimulationModel(a, 999);
    EXPECT_TRUE(test::SameState(a, b));
    EXPECT_EQ(a.TimeStep, 0);
    EXPECT_FALSE(a.TerminateFlag);
    EXPECT_EQ(a.Disturbances.size(), 1u);
    for (int s = 0; s < MaxSpecies; ++s) EXPECT_EQ(a.LastAbundance[static_cast<size_t>(s)], s <= a.SpeciesMax ? 1 : 0);
    // Larvae of the discarded run are not reported as the larvae of the new start.
    EXPECT_FALSE(anyLarvae(a));
}

TEST(RunControl, RoundStopsSteppingOnceTerminationHolds)
{
    Model m = SmallScenario();
    m.MaxRuntime = 3;
    TStatusList list = FixedList();
    EXPECT_EQ(RunRoundSteps(m, 5), 3);
    EXPECT_EQ(m.TimeStep, 3);
    TRoundEnd end = FinishRound(m, list);
    EXPECT_TRUE(end.TerminationReached);
    EXPECT_FALSE(end.DiversityZero);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Lines()[0], "T; " + StatusLine(m));
    // The unanswered question stops the run; a later round does nothing.
    EXPECT_EQ(RunRoundSteps(m, 5), 0);
    ContinueAfterTermination(m);
    EXPECT_EQ(m.MaxRuntime, 0);
    EXPECT_EQ(RunRoundSteps(m, 5), 5);
    EXPECT_EQ(m.TimeStep, 8);
    EXPECT_FALSE(FinishRound(m, list).TerminationReached);
}

TEST(RunControl, DiversityZeroAddsTheStopEntry)
{
    Model m = SmallScenario(1);
    RunRoundSteps(m, 2);
    TStatusList list = FixedList();
    TRoundEnd end = FinishRound(m, list);
    EXPECT_TRUE(end.DiversityZero);
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Lines()[0], "T;" + StatusLine(m));
    EXPECT_EQ(list.Lines()[1], "T; " + StatusLine(m));
}

TEST(RunControl, RoundOverflowsTheFullList)
{
    Model m = SmallScenario();
    const std::string dir = ::testing::TempDir() + "marovi_round_overflow";
    std::filesystem::create_directories(dir);
    TStatusList list([] { return std::string("T"); }, dir);
    for (size_t i = 0; i + 1 < StatusListLimit; ++i) list.Append("x");
    FinishRound(m, list);
    EXPECT_EQ(list.TempFileCounter(), 1);
    EXPECT_EQ(list.Size(), 1u);
    std::filesystem::remove_all(dir);
}

TEST(RunControl, ExtraDisturbanceOccursExactlyOnceAfterTheStep)
{
    Model plain = SmallScenario();
    AddDisturbance(plain, 0, 7, 7, 0, false, 2.0, 0.0, 2.0, 0.0, 0.05, 1.0, 0.0, 0.0, 1, 1);
    Model extra = plain;
    extra.ExtraDisturbanceRequested = true;
    SimulationStep(plain);
    const double shannon = StepAndRefreshModel(extra);
    EXPECT_FALSE(extra.ExtraDisturbanceRequested);
    EXPECT_EQ(extra.DisturbanceEventCount, plain.DisturbanceEventCount + 1);
    EXPECT_EQ(extra.StepAbundance, plain.StepAbundance); // the census was taken before
    EXPECT_EQ(shannon, ShannonIndex(extra, extra.StepAbundance));
}

TEST(RunControl, ExtraDisturbanceDrawsAfterTheWholeStep)
{
    Model a = SmallScenario();
    AddDisturbance(a, 0, 7, 7, 0, false, 3.0, 1.0, 3.0, 1.0, 0.2, 0.5, 0.0, 1.0, 1, 2);
    AddDisturbance(a, 0, 7, 7, 0, false, 2.0, 0.0, 2.0, 0.0, 0.9, 1.0, 0.0, 0.0, 4, 1);
    Model b = a;
    a.ExtraDisturbanceRequested = true;
    StepAndRefreshModel(a);

    // The step with its own disturbances, then the first definition again until it fired.
    SimulationStep(b);
    const int32_t before = b.DisturbanceEventCount;
    int calls = 0;
    while (b.DisturbanceEventCount == before) {
        ApplyDisturbance(b, b.Disturbances.front());
        ++calls;
    }
    EXPECT_TRUE(test::SameState(a, b));
    EXPECT_GE(calls, 1);
    EXPECT_FALSE(a.ExtraDisturbanceRequested);
    EXPECT_EQ(a.Disturbances.front().LastEvent, 0);
}

TEST(RunControl, BatchRunsRoundsWithAShortLastOne)
{
    Model m = SmallScenario();
    TStatusList list = FixedList();
    list.StartNew(m);
    std::vector<int> reported;
    TBatchResult r = RunBatch(m, 10, 3, &list, [&](int done) { reported.push_back(done); });
    EXPECT_EQ(r.StepsDone, 10);
    EXPECT_EQ(m.TimeStep, 10);
    EXPECT_EQ(reported, (std::vector<int>{3, 6, 9, 10}));
    ASSERT_EQ(list.Size(), 6u);
    EXPECT_EQ(list.Lines()[0].substr(0, 10), "T; 000010;");
    EXPECT_EQ(list.Lines()[3].substr(0, 10), "T; 000003;");
    EXPECT_EQ(list.Lines()[4].substr(0, 9), "T;000000;");

    // Without a list the same steps are taken.
    Model again = SmallScenario();
    RunBatch(again, 10, 3, nullptr);
    for (size_t i = 0; i < m.Cells.size(); ++i) ASSERT_EQ(m.Cells[i].Abundance, again.Cells[i].Abundance);

    EXPECT_EQ(RunBatch(m, 0, 3, &list).StepsDone, 0);
    EXPECT_EQ(list.Size(), 6u);
}

TEST(RunControl, BatchEndsAtTheTerminationCriterion)
{
    Model m = SmallScenario();
    m.MaxRuntime = 4;
    TStatusList list = FixedList();
    TBatchResult r = RunBatch(m, 100, 3, &list);
    EXPECT_EQ(r.StepsDone, 4);
    EXPECT_TRUE(r.End.TerminationReached);
    EXPECT_EQ(list.Size(), 2u); // after steps 3 and 4; the rest of the second round is skipped
    EXPECT_EQ(list.Lines()[0].substr(0, 10), "T; 000004;");

    Model single = SmallScenario(1);
    r = RunBatch(single, 100, 1, &list);
    EXPECT_EQ(r.StepsDone, 1);
    EXPECT_TRUE(r.End.DiversityZero);
}
