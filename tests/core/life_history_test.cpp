#include <gtest/gtest.h>

#include <cmath>

#include "model/grid.h"
#include "model/life_history.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;
using test::ErrorText;

TEST(Growth, LinearAndExponential)
{
    Model m = test::MakeModel(1, 1, 2, 10);
    EXPECT_EQ(GrowthLinear(m, 0, 0), 0.0);
    EXPECT_EQ(GrowthLinear(m, 0, 15), 0.5);
    EXPECT_EQ(GrowthLinear(m, 0, 10), 10.0 / 30 * 1.0);
    EXPECT_EQ(GrowthLinear(m, 0, 30), 1.0);
    EXPECT_EQ(GrowthLinear(m, 0, 400), 1.0);

    m.SpeciesPool[1].MaxSize = 2.0;
    SetGrowthModel(m, 1, 1);
    EXPECT_EQ(m.SpeciesPool[1].GrowthK, DefaultGrowthK); // 0 becomes the default rate
    EXPECT_EQ(m.SpeciesPool[1].GrowthModel, 1);
    EXPECT_EQ(GrowthSize(m, 1, 0), 0.0);
    EXPECT_EQ(GrowthSize(m, 1, 30), 2.0 * (1.0 - std::exp(-0.05 * 3000 / 150)));
    EXPECT_NEAR(GrowthSize(m, 1, 30) / 2.0, 1 - std::exp(-1.0), 1e-15);
    EXPECT_NEAR(GrowthSize(m, 1, 150) / 2.0, 0.99326, 1e-5);
    EXPECT_EQ(GrowthSize(m, 0, 15), 0.5); // other species stay linear

    m.SpeciesPool[1].GrowthK = 0.2;
    SetGrowthModel(m, 1, 1);
    EXPECT_EQ(m.SpeciesPool[1].GrowthK, 0.2); // a rate of its own is kept
    SetGrowthModel(m, 1, 0);
    EXPECT_EQ(GrowthSize(m, 1, 15), 1.0);
    EXPECT_EQ(ErrorText([&] { SetGrowthModel(m, 1, 2); }), "unknown growth model!");
    EXPECT_EQ(m.GrowthFunc[1], 0);
    EXPECT_EQ(m.SpeciesPool[1].GrowthModel, 0);
}

TEST(Mortality, DeathProbabilityByAge)
{
    Model m = test::MakeModel(1, 1, 1, 10);
    const double p0 = m.SpeciesPool[0].DeathProb[0];
    EXPECT_EQ(DeathProbability(m, 0, 10), p0);
    EXPECT_EQ(DeathProbability(m, 0, 30), p0);
    EXPECT_EQ(DeathProbability(m, 0, 90), p0 + 60 * (1 - p0) / 120);
    EXPECT_NEAR(DeathProbability(m, 0, 90), 0.5767528, 1e-7);
    EXPECT_DOUBLE_EQ(DeathProbability(m, 0, 150), 1.0);
    EXPECT_GT(DeathProbability(m, 0, 200), 1.0);
    m.SpeciesPool[0].MaxLifespan = 30; // no span: certain death after the normal lifespan
    EXPECT_EQ(DeathProbability(m, 0, 30), p0);
    EXPECT_EQ(DeathProbability(m, 0, 31), 1.0);
}

TEST(Mortality, OneDrawPerCallAlsoForCertainDeath)
{
    Model m = test::MakeModel(1, 1, 1, 10, 12);
    TRandom r;
    r.SeedRandom(12);
    m.SpeciesPool[0].DeathProb[0] = 0.0;
    for (int i = 0; i < 50; ++i) EXPECT_EQ(DiesThisStep(m, 0, 5), r.Uniform() <= 0.0);
    EXPECT_TRUE(DiesThisStep(m, 0, 400)); // probability above 1
    r.Uniform();
    EXPECT_EQ(m.Random.Uniform(), r.Uniform());
}

TEST(Mortality, CellWalkVisitsEveryIndividualOnce)
{
    Model m = test::MakeModel(1, 1, 2, 20, 33);
    m.SpeciesPool[1].DeathProb[0] = 1.0;
    for (int i = 0; i < 12; ++i) test::Place(m, 0, 0, i % 3 == 0 ? 0 : 1, i);
    m.SpeciesPool[0].DeathProb[0] = 0.5;
    // Replay: one draw per individual in list order; the survivors keep their order.
    TRandom r;
    r.SeedRandom(33);
    std::vector<int> survivors;
    for (const TIndividual& ind : m.Cell(0, 0).Individuals)
        if (!(r.Uniform() <= DeathProbability(m, ind.Species, ind.Age))) survivors.push_back(ind.Age);
    const int32_t ageBefore = m.Cell(0, 0).CellAge;
    const uint32_t substrateBefore = m.Cell(0, 0).Substrate;
    MortalityCell(m, 0, 0);
    const TCell& c = m.Cell(0, 0);
    ASSERT_EQ(c.Individuals.size(), survivors.size());
    for (size_t i = 0; i < survivors.size(); ++i) EXPECT_EQ(c.Individuals[i].Age, survivors[i]);
    EXPECT_EQ(c.Abundance[1], 0); // all of species 1 died, several of them in a row
    EXPECT_EQ(m.Random.Next, r.Next);
    EXPECT_EQ(c.CellAge, ageBefore);
    EXPECT_EQ(c.Substrate, substrateBefore);
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(Ageing, SubstrateBitsToggleWhileOldIndividualsLive)
{
    Model m = test::MakeModel(1, 1, 3, 10);
    m.SpeciesPool[0].ChangesSubstrate = 2;
    TCell& c = m.Cell(0, 0);
    c.Substrate = 1;
    test::Place(m, 0, 0, 0, 28);
    AgeCell(m, 0, 0); // age 29
    EXPECT_EQ(c.Substrate, 1u);
    EXPECT_EQ(c.Individuals[0].Age, 29);
    EXPECT_EQ(c.Individuals[0].Size, 29.0 / 30);
    EXPECT_EQ(c.CellAge, 1);
    AgeCell(m, 0, 0); // age 30
    EXPECT_EQ(c.Substrate, 3u);
    EXPECT_EQ(c.Individuals[0].Size, 1.0);
    AgeCell(m, 0, 0); // age 31
    EXPECT_EQ(c.Substrate, 1u);
    // Two species toggling the same bit cancel each other; the mask is applied once.
    m.SpeciesPool[1].ChangesSubstrate = 2;
    test::Place(m, 0, 0, 1, 40);
    test::Place(m, 0, 0, 0, 40);
    AgeCell(m, 0, 0);
    EXPECT_EQ(c.Substrate, 3u);
    m.SpeciesPool[1].ChangesSubstrate = 6;
    AgeCell(m, 0, 0);
    EXPECT_EQ(c.Substrate, 3u ^ 6u);
}

TEST(Reproduction, IndividualRhythm)
{
    Model m = test::MakeModel(1, 1, 2, 20);
    m.SpeciesPool[0].FirstReproduction = 3;
    m.SpeciesPool[0].ReproInterval = 2;
    test::Place(m, 0, 0, 0, 2, 0);  // immature
    test::Place(m, 0, 0, 0, 5, 4);  // 1 step since the last: not yet
    test::Place(m, 0, 0, 0, 6, 4);  // 2 steps: reproduces
    test::Place(m, 0, 0, 1, 6, 0);  // other species
    test::Place(m, 0, 0, 0, 3, -9); // just mature
    const int next = m.Random.Next;
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 2);
    EXPECT_EQ(m.Random.Next, next); // no draw
    const auto& list = m.Cell(0, 0).Individuals;
    EXPECT_EQ(list[0].LastReproduction, 0);
    EXPECT_EQ(list[1].LastReproduction, 4);
    EXPECT_EQ(list[2].LastReproduction, 6);
    EXPECT_EQ(list[3].LastReproduction, 0);
    EXPECT_EQ(list[4].LastReproduction, 3);

    // The one-pass count of every species gives the same counts and marks.
    Model again = test::MakeModel(1, 1, 2, 20);
    again.SpeciesPool = m.SpeciesPool;
    for (const TIndividual& ind : m.Cell(0, 0).Individuals) test::Place(again, 0, 0, ind.Species, ind.Age + 2, ind.LastReproduction);
    Model copy = again;
    TSpeciesCounts all{};
    CountReproducingIndividualRhythm(again, again.Cell(0, 0), all);
    EXPECT_EQ(all[0], CountReproducing(copy, copy.Cell(0, 0), 0));
    EXPECT_EQ(all[1], CountReproducing(copy, copy.Cell(0, 0), 1));
    EXPECT_TRUE(test::SameState(again, copy));
}

TEST(Reproduction, SettlerReproducesFromTheNextStep)
{
    Model m = test::MakeModel(1, 1, 1, 20);
    test::Place(m, 0, 0, 0, 0, 0); // settled last step
    AgeCell(m, 0, 0);
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 1);
    AgeCell(m, 0, 0);
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 1);
}

TEST(Reproduction, CommonRhythmDrawsForEveryMatureIndividual)
{
    Model m = test::MakeModel(1, 1, 1, 20, 44);
    m.OldReproInterval = false;
    TSpecies& sp = m.SpeciesPool[0];
    sp.ReproInterval = 5;
    sp.FirstReproduction = 2;
    sp.ReproAsync = 0.0;
    test::Place(m, 0, 0, 0, 1);
    test::Place(m, 0, 0, 0, 4);
    test::Place(m, 0, 0, 0, 9);
    TRandom r;
    r.SeedRandom(44);
    for (int step = 1; step <= 15; ++step) {
        m.TimeStep = step;
        int n = CountReproducing(m, m.Cell(0, 0), 0);
        EXPECT_EQ(n, step % 5 == 0 ? 2 : 0) << step;
        r.Uniform();
        r.Uniform(); // the two mature ones draw even in the common step
    }
    EXPECT_EQ(m.Random.Next, r.Next);

    // Full asynchrony: every mature individual reproduces in every step.
    sp.ReproAsync = 1.0;
    m.TimeStep = 3;
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 2);

    // Partial asynchrony follows the draws: u < ReproAsync.
    sp.ReproAsync = 0.5;
    TRandom replay = m.Random;
    int expected = 0;
    for (int i = 0; i < 2; ++i) expected += replay.Uniform() < 0.5 ? 1 : 0;
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), expected);

    // An interval below 1 is a divisor taken as 1: every step is a common step.
    sp.ReproInterval = 0;
    sp.ReproAsync = 0.0;
    m.TimeStep = 7;
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 2);
    sp.ReproInterval = -3;
    EXPECT_EQ(CountReproducing(m, m.Cell(0, 0), 0), 2);
    EXPECT_EQ(m.Cell(0, 0).Individuals[2].LastReproduction, 9);
}

} // namespace
