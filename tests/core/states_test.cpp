#include <gtest/gtest.h>

#include "analysis/states.h"
#include "test_support.h"

namespace {

using namespace marovi;

TEST(States, NamesAndColours)
{
    const char* names[] = {"unknown", "R0", "R1", "R2", "UD", "unknown"};
    const uint32_t colours[] = {0xC0C0C0, 0xFF0000, 0xFFFF00, 0x008000, 0x0000FF, 0xC0C0C0};
    for (int k = 0; k <= 5; ++k) {
        EXPECT_EQ(StateName(k), names[k]);
        EXPECT_EQ(StateColor(k), colours[k]);
    }
    EXPECT_EQ(StateName(-1), "unknown");
}

TEST(States, DefaultTable)
{
    TStateDef d;
    ResetStateDefs(d);
    for (int k = 0; k < 4; ++k)
        for (int g = 0; g < 5; ++g) {
            const TStateCriterion& c = d.Criteria[k][g];
            EXPECT_EQ(c.consider, g == k + 1);
            EXPECT_EQ(c.min, g == k + 1 ? 0.5 : 0.0);
            EXPECT_EQ(c.max, g == k + 1 ? 1.0 : 0.0);
        }
}

class CellStates : public ::testing::Test {
protected:
    CellStates()
    {
        for (int s = 0; s < 5; ++s) m.SpeciesPool[static_cast<size_t>(s)].Guild = static_cast<int8_t>(s);
    }
    Model m = test::MakeModel(2, 2, 5, 20);
};

TEST_F(CellStates, SizeFilterIsStrict)
{
    m.MinSize = 0.2;
    test::Place(m, 0, 0, 1, 6); // exactly MinSize: not counted
    EXPECT_EQ(CellState(m, 0, 0), 0);
    test::Place(m, 0, 0, 1, 7);
    EXPECT_EQ(CellState(m, 0, 0), 1);
}

TEST_F(CellStates, FirstMatchWins)
{
    test::Place(m, 0, 0, 1, 30);
    test::Place(m, 0, 0, 2, 30);
    EXPECT_EQ(CellState(m, 0, 0), 1); // half R0, half R1: both match, the first wins
    test::Place(m, 0, 0, 4, 30);
    EXPECT_EQ(CellState(m, 0, 0), 0); // a third each: none reaches 0.5
    test::Place(m, 0, 1, 3, 30);
    test::Place(m, 0, 1, 0, 30);
    EXPECT_EQ(CellState(m, 0, 1), 3);
    test::Place(m, 1, 1, 0, 30);
    EXPECT_EQ(CellState(m, 1, 1), 0); // guild 0 defines no state by default
}

TEST_F(CellStates, EditedCriteria)
{
    test::Place(m, 0, 0, 4, 30);
    test::Place(m, 0, 0, 3, 30);
    test::Place(m, 0, 0, 3, 30);
    test::Place(m, 0, 0, 3, 30);
    EXPECT_EQ(CellState(m, 0, 0), 3);
    // Bounds are inclusive: UD at exactly 0.25.
    m.StateDefs.Criteria[3][4] = TStateCriterion{true, 0.25, 0.25};
    m.StateDefs.Criteria[2][3].consider = false; // state 3 now has no criterion: matches any occupied cell
    EXPECT_EQ(CellState(m, 0, 0), 3);
    m.StateDefs.Criteria[2][0] = TStateCriterion{true, 0.0, 0.0};
    EXPECT_EQ(CellState(m, 0, 0), 3); // guild 0 is absent: 0 within 0..0
    m.StateDefs.Criteria[2][4] = TStateCriterion{true, 0.3, 1.0};
    EXPECT_EQ(CellState(m, 0, 0), 4);
    EXPECT_EQ(CellState(m, 1, 1), 0); // an empty cell has no state whatever the table says
}

} // namespace
