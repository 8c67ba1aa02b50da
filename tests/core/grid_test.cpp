#include <gtest/gtest.h>

#include <memory>

#include "landscape/landscape.h"
#include "model/cell_grid.h"
#include "model/grid.h"
#include "model/life_history.h"
#include "model/species_pool.h"
#include "test_support.h"

namespace {

using namespace marovi;
using test::ErrorText;

TEST(Grid, CreationSetsSizeAndFreshCells)
{
    Model m;
    m.TimeStep = 9;
    m.DisturbanceEventCount = 4;
    m.TerminateFlag = true;
    CreateGrid(m, 7, 3);
    EXPECT_EQ(m.XDim, 7);
    EXPECT_EQ(m.YDim, 3);
    EXPECT_EQ(m.XMax, 6);
    EXPECT_EQ(m.YMax, 2);
    EXPECT_EQ(m.StartFill, 6);
    ASSERT_EQ(m.Cells.size(), 21u);
    ASSERT_EQ(m.Cells.SpeciesCount(), m.SpeciesMax + 1); // counts sized by the pool
    for (const TCell& c : m.Cells) {
        EXPECT_EQ(c.Substrate, 255u);
        EXPECT_EQ(c.Capacity, 0);
        EXPECT_EQ(c.DisturbanceCount, 0);
        EXPECT_TRUE(c.Individuals.empty());
    }
    EXPECT_EQ(m.TimeStep, 0);
    EXPECT_EQ(m.DisturbanceEventCount, 0);
    EXPECT_FALSE(m.TerminateFlag);
    EXPECT_EQ(ErrorText([&] { CreateGrid(m, 0, 5); }), "invalid grid size 0 x 5!");
}

TEST(Grid, WrapCoordinates)
{
    Model m;
    CreateGrid(m, 100, 100);
    int x = -1, y = 100;
    EXPECT_TRUE(WrapCoordinates(m, x, y));
    EXPECT_EQ(x, 99);
    EXPECT_EQ(y, 0);
    x = -201, y = 250; // several widths away
    EXPECT_TRUE(WrapCoordinates(m, x, y));
    EXPECT_EQ(x, 99);
    EXPECT_EQ(y, 50);
    x = 99, y = 0;
    EXPECT_TRUE(WrapCoordinates(m, x, y));
    EXPECT_EQ(x, 99);

    m.Torus = false;
    x = -1, y = 100;
    EXPECT_FALSE(WrapCoordinates(m, x, y));
    EXPECT_EQ(x, -1); // left unchanged
    EXPECT_EQ(y, 100);
    x = 99, y = 99;
    EXPECT_TRUE(WrapCoordinates(m, x, y));
    x = 100, y = 0;
    EXPECT_FALSE(WrapCoordinates(m, x, y));
    x = 0, y = -1;
    EXPECT_FALSE(WrapCoordinates(m, x, y));
}

TEST(Grid, InsertDrawsPositionsUntilFreeAndAppends)
{
    Model m = test::MakeModel(2, 2, 3, 100, 17);
    TRandom replay;
    replay.SeedRandom(17);
    bool occupied[10][10] = {};
    for (int k = 0; k < 100; ++k) {
        InsertIndividual(m, 1, 0, k % 3, 4, 15);
        auto [px, py] = test::ReplayPosition(replay, occupied);
        const TIndividual& ind = m.Cell(1, 0).Individuals.back();
        ASSERT_EQ(ind.PosX, px);
        ASSERT_EQ(ind.PosY, py);
        ASSERT_EQ(ind.Species, k % 3);
        ASSERT_EQ(ind.Age, 15);
        ASSERT_EQ(ind.LastReproduction, 4);
        ASSERT_EQ(ind.Size, 0.5);
    }
    EXPECT_EQ(m.Cell(1, 0).IndividualCount, 100); // all 100 positions
    EXPECT_TRUE(test::CellInvariants(m));
    EXPECT_EQ(ErrorText([&] { InsertIndividual(m, 1, 0, 0, 0, 0); }), "capacity of cell [1,0] overload! (100/100)");
}

TEST(Grid, FailedInsertChangesNothing)
{
    Model m = test::MakeModel(3, 3, 2, 2, 5);
    InsertIndividual(m, 2, 1, 0, 0, 0);
    InsertIndividual(m, 2, 1, 1, 0, 0);
    const TRandom before = m.Random;
    EXPECT_EQ(ErrorText([&] { InsertIndividual(m, 2, 1, 0, 0, 0); }), "capacity of cell [2,1] overload! (2/2)");
    m.Cell(0, 0).Capacity = 5;
    EXPECT_EQ(ErrorText([&] { InsertIndividual(m, 0, 0, 2, 0, 0); }), "not existing species! (2)");
    EXPECT_EQ(ErrorText([&] { InsertIndividual(m, 0, 0, -1, 0, 0); }), "not existing species! (-1)");
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 0);
    EXPECT_EQ(m.Cell(2, 1).IndividualCount, 2);
    EXPECT_EQ(m.Random.Next, before.Next); // no position drawn
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(Grid, CapacityAboveOneHundredNeverOverfillsTheCell)
{
    Model m = test::MakeModel(1, 1, 1, 0, 3);
    m.Cell(0, 0).Capacity = 150; // as a damaged file could bring it
    for (int i = 0; i < 100; ++i) InsertIndividual(m, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorText([&] { InsertIndividual(m, 0, 0, 0, 0, 0); }), "capacity of cell [0,0] overload! (150/100)");
    ClearCell(m.Cell(0, 0));
    InitialFill(m, 0); // must stop at 100 rather than search for a 101st position
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 100);
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(Grid, RemoveClosesTheGap)
{
    Model m = test::MakeModel(1, 1, 3, 10, 2);
    for (int s : {0, 1, 2, 1}) InsertIndividual(m, 0, 0, s, 0, s + 10);
    const TIndividual removed = m.Cell(0, 0).Individuals[1];
    RemoveIndividual(m, 0, 0, 1, 1);
    const TCell& c = m.Cell(0, 0);
    ASSERT_EQ(c.IndividualCount, 3);
    EXPECT_EQ(c.Individuals[0].Age, 10);
    EXPECT_EQ(c.Individuals[1].Age, 12);
    EXPECT_EQ(c.Individuals[2].Age, 11);
    EXPECT_EQ(c.Abundance[1], 1);
    EXPECT_FALSE(c.Occupied.Has(removed.PosX, removed.PosY));
    EXPECT_TRUE(test::CellInvariants(m));
    EXPECT_EQ(ErrorText([&] { RemoveIndividual(m, 0, 0, 0, 3); }), "individual 3 of cell [0,0] does not exist!");
    EXPECT_EQ(ErrorText([&] { RemoveIndividual(m, 0, 0, 0, 1); }), "individual 1 of cell [0,0] is not of species 0!");
}

TEST(Grid, ClearCellAndClearAllCells)
{
    Model m = test::MakeModel(2, 1, 2, 6, 4);
    for (int i = 0; i < 4; ++i) InsertIndividual(m, 0, 0, i % 2, 0, 3);
    TCell& c = m.Cell(0, 0);
    c.Larvae[1] = 5;
    c.LarvaeCount = 5;
    c.CellAge = 12;
    c.DisturbanceCount = 3;
    c.Substrate = 40;
    m.PrevLarvaeAt(0, 0)[1] = 7;
    ClearCell(c);
    EXPECT_EQ(c.IndividualCount, 0);
    EXPECT_TRUE(c.Individuals.empty());
    EXPECT_EQ(c.Abundance, TSpeciesCounts{});
    EXPECT_EQ(c.Larvae, TSpeciesCounts{});
    EXPECT_EQ(c.LarvaeCount, 0);
    EXPECT_EQ(c.CellAge, 0);
    EXPECT_EQ(c.Substrate, 1u);
    EXPECT_EQ(c.Capacity, 6);         // kept
    EXPECT_EQ(c.DisturbanceCount, 3); // kept by ClearCell
    EXPECT_EQ(m.PrevLarvaeAt(0, 0)[1], 7);
    EXPECT_TRUE(test::CellInvariants(m));
    ClearAllCells(m);
    EXPECT_EQ(c.DisturbanceCount, 0);
    EXPECT_EQ(m.Cell(1, 0).Substrate, 1u);
}

TEST(Grid, SizedCountsUseTheirOwnBoundary)
{
    Model m = test::MakeModel(2, 2, 2, 10, 1);
    m.MinSize = 0.2;
    test::Place(m, 1, 1, 0, 6);  // size 0.2 exactly
    test::Place(m, 1, 1, 0, 9);  // 0.3
    test::Place(m, 1, 1, 1, 3);  // 0.1
    test::Place(m, 1, 1, 1, 30); // 1.0
    TSpeciesCounts counts = CountSizedIndividuals(m, 1, 1);
    EXPECT_EQ(counts[0], 1); // strictly greater: 0.2 is not counted
    EXPECT_EQ(counts[1], 1);
    EXPECT_DOUBLE_EQ(SizedCover(m, 1, 1), 0.2 + 0.3 + 1.0); // at least MinSize: 0.2 is counted
    EXPECT_EQ(CountSizedIndividuals(m, -1, -1), counts);     // wrapped onto (1, 1)
    m.Torus = false;
    EXPECT_EQ(CountSizedIndividuals(m, -1, 1), TSpeciesCounts{});
    EXPECT_EQ(SizedCover(m, 2, 1), 0.0);
}

TEST(Grid, InitialFillDrawOrder)
{
    Model m = test::MakeModel(3, 2, 3, 4, 29);
    m.SpeciesPool[1].ReproAsync = 0.5;
    m.SpeciesPool[2].FirstReproduction = 4;
    m.SpeciesPool[2].ReproInterval = 3;
    m.Cell(1, 1).Capacity = 2;
    InitialFill(m, 1);

    TRandom r;
    r.SeedRandom(29);
    TSpeciesCounts expectedAbundance{};
    for (int x = 0; x <= 1; ++x)
        for (int y = 0; y <= 1; ++y) {
            const TCell& c = m.Cell(x, y);
            ASSERT_EQ(c.IndividualCount, c.Capacity);
            EXPECT_EQ(c.Substrate, 255u);
            bool occupied[10][10] = {};
            for (const TIndividual& ind : c.Individuals) {
                int s = r.RandomInt(3);
                const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
                double u = r.Uniform();
                int age, last;
                if (u >= sp.ReproAsync) {
                    int k = r.RandomInt(static_cast<int>((sp.NormalLifespan - sp.FirstReproduction) / static_cast<double>(sp.ReproInterval)));
                    age = sp.FirstReproduction + sp.ReproInterval * k;
                    last = age;
                } else {
                    age = r.RandomInt(sp.NormalLifespan);
                    last = r.RandomInt(sp.NormalLifespan);
                }
                auto [px, py] = test::ReplayPosition(r, occupied);
                ASSERT_EQ(ind.Species, s);
                ASSERT_EQ(ind.Age, age);
                ASSERT_EQ(ind.LastReproduction, last);
                ASSERT_EQ(ind.PosX, px);
                ASSERT_EQ(ind.PosY, py);
                expectedAbundance[static_cast<size_t>(s)] += 1;
            }
        }
    EXPECT_EQ(m.Cell(2, 0).IndividualCount, 0); // column 2 is beyond the fill
    EXPECT_EQ(m.StepAbundance, expectedAbundance);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(m.LastAbundance[static_cast<size_t>(s)], 1);
    EXPECT_EQ(m.LastAbundance[3], 0);
    EXPECT_EQ(r.Next, m.Random.Next);
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(Grid, InitialFillSynchronousAges)
{
    Model m = test::MakeModel(10, 10, 3, 10, 8);
    m.SpeciesPool[1].FirstReproduction = 5;
    m.SpeciesPool[1].ReproInterval = 4;
    m.SpeciesPool[2].ReproInterval = 0; // taken as 1: no division by zero
    InitialFill(m, 100);                 // more columns than the grid has
    for (const TCell& c : m.Cells) {
        ASSERT_EQ(c.IndividualCount, 10);
        for (const TIndividual& ind : c.Individuals) {
            const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(ind.Species)];
            int interval = std::max(sp.ReproInterval, 1);
            EXPECT_EQ(ind.LastReproduction, ind.Age);
            EXPECT_LT(ind.Age, sp.NormalLifespan);
            EXPECT_GE(ind.Age, sp.FirstReproduction);
            EXPECT_EQ((ind.Age - sp.FirstReproduction) % interval, 0);
        }
    }
}

TEST(Grid, InitialFillEdgeColumns)
{
    Model m = test::MakeModel(3, 2, 2, 3, 8);
    InitialFill(m, -1);
    for (const TCell& c : m.Cells) EXPECT_EQ(c.IndividualCount, 0);
    EXPECT_EQ(m.LastAbundance[0], 1); // set even when nothing is placed
    m.Cell(0, 1).Capacity = -4;        // a negative capacity holds nothing
    InitialFill(m, 0);
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 3);
    EXPECT_EQ(m.Cell(0, 1).IndividualCount, 0);
    EXPECT_EQ(m.Cell(1, 0).IndividualCount, 0);
}

} // namespace

namespace {

// Lists with storage from the grid's arena (as a load or a copy gives them) keep their
// entries when they outgrow it, and a copy owns what it holds: the original can go.
TEST(Grid, ArenaListsGrowAndCopiesOutliveTheOriginal)
{
    using marovi::TCellGrid;
    using marovi::TIndividual;
    auto individual = [](int species) {
        TIndividual ind;
        ind.Species = species;
        ind.Age = 10 * species;
        return ind;
    };
    auto grid = std::make_unique<TCellGrid>();
    grid->Create(2, 3);
    grid->ReserveIndividuals((*grid)[0], 2);
    for (int s = 0; s < 5; ++s) (*grid)[0].Individuals.push_back(individual(s)); // past the arena's 2
    grid->ReserveIndividuals((*grid)[1], 3);
    (*grid)[1].Individuals.push_back(individual(7));
    TCellGrid copy = *grid;
    TCellGrid moved = std::move(*grid);
    grid.reset();
    moved.clear();
    for (int s = 8; s < 12; ++s) copy[1].Individuals.push_back(individual(s));
    ASSERT_EQ(copy[0].Individuals.size(), 5u);
    ASSERT_EQ(copy[1].Individuals.size(), 5u);
    for (int s = 0; s < 5; ++s) {
        EXPECT_EQ(copy[0].Individuals[static_cast<size_t>(s)].Age, 10 * s);
        EXPECT_EQ(copy[1].Individuals[static_cast<size_t>(s)].Species, s == 0 ? 7 : 7 + s);
    }
}

} // namespace
