// The grid follows the species pool: pool operations on a populated grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "files/byte_io.h"
#include "files/species_pool_file.h"
#include "model/grid.h"
#include "model/species_pool.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

// Four species on a filled 6 x 5 grid, with larvae of this step and of the last one.
Model Populated()
{
    Model m = test::MakeModel(6, 5, 4, 10, 17);
    InitialFill(m, m.XMax);
    for (int s = 0; s < 4; ++s) {
        m.Cell(2, 3).Larvae[static_cast<size_t>(s)] = 10 + s;
        m.Cell(2, 3).LarvaeCount += 10 + s;
        m.PrevLarvaeAt(4, 1)[static_cast<size_t>(s)] = 20 + s;
    }
    return m;
}

long long OfSpecies(const Model& m, int species)
{
    long long n = 0;
    for (const TCell& c : m.Cells)
        for (const TIndividual& ind : c.Individuals) n += ind.Species == species;
    return n;
}

void RunsOn(Model& m)
{
    for (int i = 0; i < 3; ++i) SimulationStep(m);
    EXPECT_TRUE(test::CellInvariants(m));
}

// The first entries as given, the others -1.
TSpeciesMoves MovesOf(std::initializer_list<int32_t> first)
{
    TSpeciesMoves moves;
    moves.fill(-1);
    std::copy(first.begin(), first.end(), moves.begin());
    return moves;
}

// The model m with every individual of species s given index moves[s] by hand (removed for
// -1): what an edit of the pool must leave in the lists.
Model Moved(const Model& m, const TSpeciesMoves& moves)
{
    Model expected = m;
    for (TCell& c : expected.Cells)
        for (size_t i = c.Individuals.size(); i-- > 0;) {
            const int32_t to = moves[static_cast<size_t>(c.Individuals[i].Species)];
            if (to < 0) EraseIndividual(c, i);
            else c.Individuals[i].Species = to;
        }
    return expected;
}

TEST(PoolGrid, DeletingASpeciesRemovesItsIndividualsAndTheOthersKeepTheirRecords)
{
    Model m = Populated();
    m.GrowthFunc[2] = 1;
    m.ExtinctionStep = {0, 7, 8, 9};
    m.StepAbundance = {1, 2, 3, 4};
    const std::string third = m.SpeciesPool[2].Name;
    const TSpeciesMoves moves = MovesOf({0, -1, 1, 2});
    Model expected = Moved(m, moves);
    const int32_t larvae[] = {10, 12, 13, 0}, previous[] = {20, 22, 23, 0}; // those of index 1 (11, 21) are gone
    for (size_t s = 0; s < 4; ++s) {
        expected.Cell(2, 3).Larvae[s] = larvae[s];
        expected.PrevLarvaeAt(4, 1)[s] = previous[s];
    }
    expected.Cell(2, 3).LarvaeCount -= 11;
    expected.StepAbundance = {1, 3, 4};
    expected.ExtinctionStep = {0, 8, 9};
    expected.LastAbundance = {1, 1, 1};

    const long long gone = OfSpecies(m, 1);
    ASSERT_GT(gone, 0);
    const TPoolEdit edit = DeleteSpecies(m, 1);
    EXPECT_EQ(edit.Removed, gone);
    EXPECT_EQ(edit.Moves, moves);
    ASSERT_EQ(m.SpeciesMax, 2);
    EXPECT_EQ(m.SpeciesPool[1].Name, third);
    EXPECT_EQ(m.GrowthFunc[1], 1);
    EXPECT_TRUE(test::SameState(m, expected));
    EXPECT_TRUE(test::CellInvariants(m));
    RunsOn(m);
}

TEST(PoolGrid, ReorderingMovesTheIndividualsWithTheirRecordsAndAddingKeepsTheGrid)
{
    Model m = Populated();
    m.ExtinctionStep = {5, 0, 0, 6};
    const Model before = m;
    const TPoolEdit edit = SwapSpecies(m, 0, 3);
    EXPECT_EQ(edit.Removed, 0);
    EXPECT_EQ(edit.Moves, MovesOf({3, 1, 2, 0}));
    Model expected = Moved(before, edit.Moves);
    std::swap(expected.Cell(2, 3).Larvae[0], expected.Cell(2, 3).Larvae[3]);
    std::swap(expected.PrevLarvaeAt(4, 1)[0], expected.PrevLarvaeAt(4, 1)[3]);
    std::swap(expected.StepAbundance[0], expected.StepAbundance[3]);
    expected.ExtinctionStep = {6, 0, 0, 5};
    EXPECT_TRUE(test::SameState(m, expected));
    EXPECT_EQ(m.SpeciesPool[3].Name, before.SpeciesPool[0].Name);
    SwapSpecies(m, 3, 0);
    EXPECT_TRUE(test::SameState(m, before));

    AddSisterSpecies(m, 0, "sister");
    EXPECT_TRUE(test::SameState(m, before));
    EXPECT_EQ(m.Cell(2, 3).Larvae[4], 0);
    m.Cell(2, 3).Larvae[4] = 5; // the new index has its own count
    m.Cell(2, 3).LarvaeCount += 5;
    EXPECT_EQ(m.Cell(2, 3).Larvae[3], 13);
    RunsOn(m);
}

TEST(PoolGrid, LoadingASmallerPoolOrClearingItRemovesWhatItNoLongerHolds)
{
    Model m = Populated();
    Model two;
    CreateSpeciesPool(two, 2);
    const std::string bytes = SpeciesPoolBytes(two);
    const long long gone = OfSpecies(m, 2) + OfSpecies(m, 3);
    TByteReader r(bytes, "two.msd");
    EXPECT_EQ(ReadSpeciesPool(m, r), gone);
    EXPECT_EQ(m.SpeciesMax, 1);
    EXPECT_TRUE(test::CellInvariants(m));
    EXPECT_EQ(m.Cell(2, 3).LarvaeCount, 21);
    EXPECT_EQ(m.PrevLarvaeAt(4, 1)[1], 21);
    RunsOn(m);

    const long long all = OfSpecies(m, 0) + OfSpecies(m, 1);
    EXPECT_EQ(ClearSpeciesPool(m), all);
    for (const TCell& c : m.Cells) EXPECT_EQ(c.IndividualCount, 0);
    EXPECT_EQ(CreateSpeciesPool(m, 3), 0);
    RunsOn(m);
}

} // namespace
