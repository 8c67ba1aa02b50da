#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "model/model.h"
#include "model/species_pool.h"
#include "test_support.h"

namespace {

using namespace marovi;
using test::ErrorText;

TEST(SpeciesPool, CreationDefaults)
{
    Model m;
    CreateSpeciesPool(m, 10);
    ASSERT_EQ(m.SpeciesMax, 9);
    ASSERT_EQ(m.SpeciesPool.size(), 10u);
    const TSpecies& first = m.SpeciesPool[0];
    EXPECT_EQ(first.Name, "Species 01");
    EXPECT_EQ(m.SpeciesPool[9].Name, "Species 10");
    EXPECT_EQ(first.DispersalDistance, 1.0);
    EXPECT_EQ(m.SpeciesPool[9].DispersalDistance, 10.0);
    EXPECT_EQ(first.PatchSize, 2.0);
    EXPECT_EQ(first.MaxSize, 1.0);
    EXPECT_EQ(first.NormalLifespan, 30);
    EXPECT_EQ(first.MaxLifespan, 150);
    EXPECT_EQ(first.FirstReproduction, 0);
    EXPECT_EQ(first.ReproInterval, 1);
    EXPECT_EQ(first.GrowsOn, 1u);
    EXPECT_EQ(first.ChangesSubstrate, 0u);
    EXPECT_FALSE(first.GlobalDrift);
    EXPECT_EQ(first.Guild, 0);
    EXPECT_EQ(first.KFactor, 0.0);
    EXPECT_EQ(first.Fecundity[0], 200.0 / 30);
    EXPECT_NEAR(first.Fecundity[0], 6.6666666667, 1e-9);
    EXPECT_EQ(first.DeathProb[0], std::log(100.0) / 30);
    EXPECT_NEAR(first.DeathProb[0], 0.1535056728, 1e-9);
}

TEST(SpeciesPool, SizeLimits)
{
    Model m;
    EXPECT_EQ(ErrorText([&] { CreateSpeciesPool(m, 52); }), "Can not create more then 50 different species!");
    EXPECT_EQ(m.SpeciesMax, -1); // nothing created
    CreateSpeciesPool(m, 51);
    EXPECT_EQ(m.SpeciesMax, 50);
    EXPECT_EQ(m.SpeciesPool[50].Name, "Species 51");
    EXPECT_EQ(ErrorText([&] { AddSisterSpecies(m, 0, "x"); }), "max. species count reached, can not add an other one!");
    EXPECT_EQ(m.SpeciesPool.size(), 51u);
}

TEST(SpeciesPool, RecreatingKeepsFieldsThatCreationDoesNotSet)
{
    Model m;
    CreateSpeciesPool(m, 2);
    m.SpeciesPool[0].Color = 0x123456;
    m.SpeciesPool[0].GrowthK = 0.2;
    m.SpeciesPool[0].NormalLifespan = 7;
    CreateSpeciesPool(m, 3);
    EXPECT_EQ(m.SpeciesPool[0].Color, 0x123456);
    EXPECT_EQ(m.SpeciesPool[0].GrowthK, 0.2);
    EXPECT_EQ(m.SpeciesPool[0].NormalLifespan, 30);
    EXPECT_EQ(m.SpeciesPool[2].Color, 0);
}

TEST(SpeciesPool, SisterSpeciesCopiesTheRecordUnderANewName)
{
    Model m;
    CreateSpeciesPool(m, 2);
    m.SpeciesPool[1].KFactor = 2.5;
    m.SpeciesPool[1].Reserved[7] = 9;
    AddSisterSpecies(m, 1, "a name longer than twenty characters");
    ASSERT_EQ(m.SpeciesMax, 2);
    EXPECT_EQ(m.SpeciesPool[2].Name, "a name longer than t");
    EXPECT_EQ(m.SpeciesPool[2].KFactor, 2.5);
    EXPECT_EQ(m.SpeciesPool[2].Reserved[7], 9);
    EXPECT_EQ(m.SpeciesPool[2].DispersalDistance, 2.0);
}

TEST(SpeciesPool, SwapAndDeleteKeepOrder)
{
    Model m;
    CreateSpeciesPool(m, 4);
    for (int i = 0; i < 4; ++i) m.SpeciesPool[static_cast<size_t>(i)].Name = std::string(1, static_cast<char>('A' + i));
    m.GrowthFunc[0] = 1;
    SwapSpecies(m, 0, 3);
    EXPECT_EQ(m.SpeciesPool[0].Name, "D");
    EXPECT_EQ(m.SpeciesPool[3].Name, "A");
    EXPECT_EQ(m.GrowthFunc[3], 1); // the growth function goes with its record
    EXPECT_EQ(m.GrowthFunc[0], 0);
    SwapSpecies(m, 0, 3);

    DeleteSpecies(m, 1); // A B C D -> A C D
    ASSERT_EQ(m.SpeciesMax, 2);
    EXPECT_EQ(m.SpeciesPool[0].Name + m.SpeciesPool[1].Name + m.SpeciesPool[2].Name, "ACD");
    DeleteSpecies(m, 0);
    EXPECT_EQ(m.SpeciesPool[0].Name + m.SpeciesPool[1].Name, "CD");
    DeleteSpecies(m, 1);
    ASSERT_EQ(m.SpeciesMax, 0);
    EXPECT_EQ(m.SpeciesPool[0].Name, "C");
}

TEST(SpeciesPool, IndexErrors)
{
    Model m;
    CreateSpeciesPool(m, 3);
    EXPECT_EQ(ErrorText([&] { SwapSpecies(m, -1, 0); }), "first species number out of range!");
    EXPECT_EQ(ErrorText([&] { SwapSpecies(m, 3, 0); }), "first species number out of range!");
    EXPECT_EQ(ErrorText([&] { SwapSpecies(m, 0, 3); }), "second species number out of range!");
    EXPECT_EQ(ErrorText([&] { DeleteSpecies(m, 3); }), "species number out of range!");
    EXPECT_EQ(ErrorText([&] { DeleteSpecies(m, -1); }), "species number out of range!");
    EXPECT_EQ(m.SpeciesMax, 2);
}

TEST(SpeciesPool, StandardValuesDeriveFromLifespanAndDistance)
{
    Model m;
    CreateSpeciesPool(m, 1);
    TSpecies& s = m.SpeciesPool[0];
    s.NormalLifespan = 40;
    s.DispersalDistance = 3.0;
    StandardValues(m, 0);
    EXPECT_EQ(s.Fecundity[0], 200.0 / 40);
    EXPECT_EQ(s.DeathProb[0], std::log(1 / 0.01) / 40);
    EXPECT_EQ(s.FirstReproduction, 8);
    EXPECT_EQ(s.PatchSize, 5.0 * std::sqrt(4.0 * 0.12));
    // Rounded, not cut: 12.4 -> 12, 7.4 -> 7, 7.6 -> 8.
    s.NormalLifespan = 62;
    StandardValues(m, 0);
    EXPECT_EQ(s.FirstReproduction, 12);
    s.NormalLifespan = 37;
    StandardValues(m, 0);
    EXPECT_EQ(s.FirstReproduction, 7);
    s.NormalLifespan = 38;
    StandardValues(m, 0);
    EXPECT_EQ(s.FirstReproduction, 8);
}

TEST(SpeciesPool, AnyGlobalDriftFollowsThePool)
{
    Model m;
    CreateSpeciesPool(m, 3);
    UpdateAnyGlobalDrift(m);
    EXPECT_FALSE(m.AnyGlobalDrift);
    m.SpeciesPool[2].GlobalDrift = true;
    UpdateAnyGlobalDrift(m);
    EXPECT_TRUE(m.AnyGlobalDrift);
    ClearSpeciesPool(m);
    UpdateAnyGlobalDrift(m);
    EXPECT_FALSE(m.AnyGlobalDrift);
    EXPECT_EQ(m.SpeciesMax, -1);
}

} // namespace
