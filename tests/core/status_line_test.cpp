#include <gtest/gtest.h>

#include "analysis/indices.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "model/status_line.h"

using namespace marovi;

namespace {

Model ThreeSpecies()
{
    Model m;
    CreateSpeciesPool(m, 3);
    CreateGrid(m, 2, 2);
    return m;
}

} // namespace

TEST(StatusLine, FieldsWidthsAndSeparators)
{
    Model m = ThreeSpecies();
    m.TimeStep = 12;
    m.StepAbundance[0] = 10;
    m.StepAbundance[1] = 10;
    m.SpeciesPool[0].Guild = 1;
    m.SpeciesPool[1].Guild = 2;
    m.DisturbanceEventCount = 3;
    m.DisturbedCellCount = 250;
    EXPECT_EQ(StatusLine(m), "000012;    0.69;    0.69;         3;       250;      10;      10;       0");
    m.Separator = ',';
    EXPECT_EQ(StatusLine(m), "000012,    0.69,    0.69,         3,       250,      10,      10,       0");
}

TEST(StatusLine, GuildColumnCountsSpeciesPresentNotIndividuals)
{
    Model m = ThreeSpecies();
    m.StepAbundance = {500, 1, 7};
    m.SpeciesPool[0].Guild = 1;
    m.SpeciesPool[1].Guild = 1;
    m.SpeciesPool[2].Guild = 2;
    TSpeciesCounts g = GuildVector(m);
    EXPECT_EQ(g[1], 2);
    EXPECT_EQ(g[2], 1);
    EXPECT_EQ(g[0], 0);
    // Guild counts (2, 1): Shannon of p = 2/3, 1/3 is 0.64; the species column is dominated.
    EXPECT_EQ(StatusLine(m).substr(0, 25), "000000;    0.09;    0.64;");
    // An absent species adds nothing, a guild outside the vector is ignored.
    m.StepAbundance[2] = 0;
    m.SpeciesPool[1].Guild = -4;
    m.SpeciesPool[0].Guild = 60;
    g = GuildVector(m);
    EXPECT_EQ(g, TSpeciesCounts{});
}

TEST(StatusLine, UsesTheSelectedMeasureAndWidensLargeNumbers)
{
    Model m = ThreeSpecies();
    m.DiversityFunc = &SpeciesCount;
    m.DiversityName = "species count (Hill 0)";
    m.TimeStep = 1234567;
    m.StepAbundance = {123456789, 0, 4};
    m.DisturbanceEventCount = -1;
    EXPECT_EQ(StatusLine(m), "1234567;    2.00;    1.00;        -1;         0;123456789;       0;       4");
    EXPECT_EQ(StatusHeader(m), "timestep;species count (Hill 0)(species);species count (Hill 0)(guild);Count;Area ;"
                               "------- 1------- 2------- 3");
}

TEST(StatusLine, HeaderNumbersEverySpecies)
{
    Model m;
    CreateSpeciesPool(m, 12);
    m.Separator = '\t';
    const std::string h = StatusHeader(m);
    EXPECT_EQ(h.substr(0, 74), "timestep\tShannon Index(species)\tShannon Index(guild)\tCount\tArea \t------- 1");
    EXPECT_EQ(h.substr(h.size() - 18), "-------11-------12");
    EXPECT_EQ(h.size(), 65u + 12u * 9u);
}

TEST(StatusLine, SingleSpeciesHasNoTrailingSeparator)
{
    Model m;
    CreateSpeciesPool(m, 1);
    m.StepAbundance[0] = 5;
    EXPECT_EQ(StatusLine(m), "000000;    0.00;    0.00;         0;         0;       5");
}

TEST(ExtinctionTimes, DashesForSurvivorsAndCutNames)
{
    Model m = ThreeSpecies();
    m.SpeciesPool[2].Name = "A very long species";
    m.ExtinctionStep[1] = 12;
    m.ExtinctionStep[2] = 123456;
    EXPECT_EQ(ExtinctionTimesText(m), "extinction time :\r\r"
                                      "\r01.) Species 01      : -----"
                                      "\r02.) Species 02      : 00012"
                                      "\r03.) A very long spe : 123456");
}
