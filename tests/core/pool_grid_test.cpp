// The grid follows the species pool: pool operations on a populated grid.
#include <gtest/gtest.h>

#include <string>

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

// The model m with the individuals of species `gone` taken out by hand: what a removal
// must leave.
Model Without(const Model& m, int gone)
{
    Model expected = m;
    for (TCell& c : expected.Cells)
        for (size_t i = c.Individuals.size(); i-- > 0;)
            if (c.Individuals[i].Species == gone) EraseIndividual(c, i);
    return expected;
}

void RunsOn(Model& m)
{
    for (int i = 0; i < 3; ++i) SimulationStep(m);
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(PoolGrid, DeletingRemovesTheIndividualsOfTheIndexThatNoLongerExists)
{
    Model m = Populated();
    Model expected = Without(m, 3);
    const long long last = OfSpecies(m, 3);
    ASSERT_GT(last, 0);
    EXPECT_EQ(DeleteSpecies(m, 1), last); // the others keep their index: index 3 is gone
    ASSERT_EQ(m.SpeciesMax, 2);
    expected.Cell(2, 3).Larvae[3] = 0;
    expected.Cell(2, 3).LarvaeCount -= 13;
    expected.PrevLarvaeAt(4, 1)[3] = 0;
    expected.StepAbundance[3] = expected.LastAbundance[3] = 0;
    EXPECT_TRUE(test::SameState(m, expected));
    EXPECT_TRUE(test::CellInvariants(m));
    RunsOn(m);
}

TEST(PoolGrid, AddingAndReorderingKeepTheGrid)
{
    Model m = Populated();
    const Model before = m;
    AddSisterSpecies(m, 0, "sister");
    SwapSpecies(m, 4, 1);
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
