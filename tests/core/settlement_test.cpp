#include <gtest/gtest.h>

#include "model/grid.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

TEST(Settlement, HasRoomBoundsCountAndSummedSize)
{
    Model m = test::MakeModel(1, 1, 2, 3);
    m.SpeciesPool[1].MaxSize = 1.5;
    TCell& c = m.Cell(0, 0);
    EXPECT_TRUE(HasRoom(c));
    test::Place(m, 0, 0, 0, 30); // size 1.0
    test::Place(m, 0, 0, 0, 30);
    EXPECT_TRUE(HasRoom(c)); // 2 < 3 and 2.0 < 3
    ClearCell(c);
    test::Place(m, 0, 0, 1, 30); // size 1.5
    test::Place(m, 0, 0, 1, 30);
    EXPECT_FALSE(HasRoom(c)); // 3.0 is not below 3
    c.Capacity = 0;
    ClearCell(c);
    EXPECT_FALSE(HasRoom(c));
    c.Capacity = -2;
    EXPECT_FALSE(HasRoom(c));
    // Whatever the capacity says, 100 individuals fill the cell.
    c.Capacity = 250;
    for (int i = 0; i < 100; ++i) test::Place(m, 0, 0, 0, 0);
    EXPECT_FALSE(HasRoom(c));
}

TEST(Settlement, UnsuitableLarvaeAreRemovedButRecorded)
{
    Model m = test::MakeModel(1, 1, 3, 10, 6);
    m.SpeciesPool[1].GrowsOn = 6;
    m.SpeciesPool[2].GrowsOn = 9;
    TCell& c = m.Cell(0, 0);
    c.Substrate = 8;
    c.Larvae[0] = 4;
    c.Larvae[1] = 5;
    c.Larvae[2] = 2;
    c.LarvaeCount = 11;
    SettleCell(m, 0, 0);
    EXPECT_EQ(m.PrevLarvaeAt(0, 0)[0], 4); // recorded before anything is removed
    EXPECT_EQ(m.PrevLarvaeAt(0, 0)[1], 5);
    EXPECT_EQ(c.Abundance[0], 0); // grows on substrate 1 only
    EXPECT_EQ(c.Abundance[1], 0);
    EXPECT_EQ(c.Abundance[2], 2);
    EXPECT_EQ(c.Larvae[0], 0);
    EXPECT_EQ(c.Larvae[1], 0);
    EXPECT_EQ(c.LarvaeCount, 2); // the step zeroes the rest afterwards
}

TEST(Settlement, SimpleLotteryDrawsByCumulativeCounts)
{
    Model m = test::MakeModel(1, 1, 4, 10, 40);
    const TSpeciesCounts pool{0, 3, 0, 2};
    for (int i = 0; i < 200; ++i) {
        TRandom r = m.Random;
        int expectedR = r.RandomInt(5);
        int s = SimpleLottery(m, pool);
        EXPECT_EQ(s, expectedR < 3 ? 1 : 3);
    }
}

TEST(Settlement, SettlersFillTheCellThenTheRestIsLost)
{
    Model m = test::MakeModel(3, 3, 3, 4, 50);
    TCell& c = m.Cell(1, 2);
    test::Place(m, 1, 2, 0, 30);
    c.Larvae[0] = 2;
    c.Larvae[2] = 7;
    c.LarvaeCount = 9;
    TRandom r = m.Random;
    SettleCell(m, 1, 2);
    // Replay: lottery draw, then the two position draws of the insertion.
    TSpeciesCounts pool{2, 0, 7};
    std::vector<int> settled;
    bool occupied[10][10] = {};
    occupied[0][0] = true;
    for (int k = 0; k < 3; ++k) {
        int total = pool[0] + pool[2];
        int pick = r.RandomInt(total);
        int s = pick < pool[0] ? 0 : 2;
        pool[static_cast<size_t>(s)] -= 1;
        settled.push_back(s);
        test::ReplayPosition(r, occupied);
    }
    ASSERT_EQ(c.IndividualCount, 4);
    for (int k = 0; k < 3; ++k) {
        const TIndividual& ind = c.Individuals[static_cast<size_t>(k + 1)];
        EXPECT_EQ(ind.Species, settled[static_cast<size_t>(k)]);
        EXPECT_EQ(ind.Age, 0);
        EXPECT_EQ(ind.Size, 0.0);
        EXPECT_EQ(ind.LastReproduction, 0);
    }
    EXPECT_EQ(m.Random.Next, r.Next);
    EXPECT_TRUE(test::CellInvariants(m));
}

TEST(Settlement, SummedSizeStopsSettlementBeforeTheCount)
{
    Model m = test::MakeModel(1, 1, 1, 3, 51);
    m.SpeciesPool[0].MaxSize = 1.5;
    test::Place(m, 0, 0, 0, 30);
    test::Place(m, 0, 0, 0, 30); // summed size 3.0: full although the count is 2 of 3
    m.Cell(0, 0).Larvae[0] = 10;
    m.Cell(0, 0).LarvaeCount = 10;
    const int next = m.Random.Next;
    SettleCell(m, 0, 0);
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 2);
    EXPECT_EQ(m.Random.Next, next);
}

TEST(Settlement, NeighbourhoodCountsAtTheCornerWithoutWrap)
{
    Model m = test::MakeModel(4, 4, 2, 10);
    m.MinSize = 0.2;
    test::Place(m, 0, 0, 0, 6);  // size 0.2: counted (at least MinSize)
    test::Place(m, 1, 1, 1, 30); // diagonal neighbour
    test::Place(m, 1, 1, 1, 3);  // too small
    test::Place(m, 3, 3, 0, 30); // a neighbour only with wrap-around
    test::Place(m, 2, 0, 0, 30); // outside radius 1
    m.Torus = false;
    TSpeciesCounts n = CountNeighbourhood(m, 0, 0);
    EXPECT_EQ(n[0], 1);
    EXPECT_EQ(n[1], 1);
    m.Torus = true;
    n = CountNeighbourhood(m, 0, 0);
    EXPECT_EQ(n[0], 2);
    m.NeighbourhoodSize = 2;
    n = CountNeighbourhood(m, 0, 0);
    EXPECT_EQ(n[0], 4); // column 2 is reached from x = 2 and from x = -2: counted twice
}

TEST(Settlement, BiasedLotteryWeights)
{
    Model m = test::MakeModel(1, 1, 3, 10, 61);
    m.GlobalKFactor = 2.0;
    const TSpeciesCounts pool{4, 0, 1};
    const TSpeciesCounts neighbours{1, 0, 3};
    // w = (k rel + 1) pool = (2 x 0.25 + 1) x 4 = 6 and (2 x 0.75 + 1) x 1 = 2.5.
    for (int i = 0; i < 100; ++i) {
        TRandom r = m.Random;
        double u = r.Uniform();
        int expected = u <= 6.0 / 8.5 ? 0 : 2;
        EXPECT_EQ(BiasedLotteryDraw(m, pool, neighbours), expected);
    }
    // Without neighbours every species has rel 1.
    TRandom r = m.Random;
    double u = r.Uniform();
    EXPECT_EQ(BiasedLotteryDraw(m, pool, TSpeciesCounts{}), u <= 12.0 / 15.0 ? 0 : 2);
    // Species k factors replace the global one.
    m.SpeciesKFactor = true;
    m.SpeciesPool[0].KFactor = -1.0; // (-1 x 0.25 + 1) x 4 = 3
    m.SpeciesPool[2].KFactor = 0.0;  // 1
    r = m.Random;
    u = r.Uniform();
    EXPECT_EQ(BiasedLotteryDraw(m, pool, neighbours), u <= 3.0 / 4.0 ? 0 : 2);
}

TEST(Settlement, BiasedLotteryClampsNegativeWeights)
{
    Model m = test::MakeModel(1, 1, 2, 10, 62);
    m.BiasedLottery = true;
    m.GlobalKFactor = -2.0;
    // Species 0 makes up the whole neighbourhood: (-2 x 1 + 1) x pool < 0 -> 0.
    test::Place(m, 0, 0, 0, 30);
    TCell& c = m.Cell(0, 0);
    c.Larvae[0] = 6;
    c.LarvaeCount = 6;
    const int next = m.Random.Next;
    SettleCell(m, 0, 0);
    EXPECT_EQ(c.IndividualCount, 1); // nothing settles, every attempt used up
    EXPECT_EQ(m.Random.Next, next);  // and no uniform drawn for them
    EXPECT_EQ(BiasedLotteryDraw(m, TSpeciesCounts{6}, TSpeciesCounts{1}), -1);

    // With larvae of a second species only that species settles.
    c.Larvae[0] = 6;
    c.Larvae[1] = 2;
    c.LarvaeCount = 8;
    SettleCell(m, 0, 0);
    EXPECT_EQ(c.Abundance[0], 1);
    EXPECT_EQ(c.Abundance[1], 2);
    EXPECT_TRUE(test::CellInvariants(m));
}

} // namespace
