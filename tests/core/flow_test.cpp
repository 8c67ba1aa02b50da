#include <gtest/gtest.h>

#include <cmath>

#include "landscape/flow.h"
#include "test_support.h"

namespace {

using namespace marovi;

// Marks each flow cell with its own x and y so that a lookup shows which one it found.
void MarkCells(TFlowGrid& g)
{
    for (int x = 0; x < g.XCount; ++x)
        for (int y = 0; y < g.YCount; ++y) g.Cell(x, y) = TFlowCell{static_cast<double>(x), static_cast<double>(y), 1.0};
}

TEST(Flow, LookupRoundsHalfToEven)
{
    Model m = test::MakeModel(10, 10, 1, 0);
    SetFlowGridSize(m.FlowGrid, 10, 10);
    MarkCells(m.FlowGrid);
    EXPECT_EQ(FlowAt(m, 9, 0).Direction, 8.0); // Round(8.1)
    EXPECT_EQ(FlowAt(m, 5, 0).Direction, 4.0); // Round(4.5), ties to even
    EXPECT_EQ(FlowAt(m, 0, 5).Deviation, 4.0);
    SetFlowGridSize(m.FlowGrid, 2, 1);
    MarkCells(m.FlowGrid);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(FlowAt(m, x, 3).Direction, x <= 5 ? 0.0 : 1.0) << x; // Round(0.5) = 0
    NewFlowGrid(m.FlowGrid, 1, 1, 0.25, 0.5, 2.0);
    for (int x = 0; x < 10; ++x) {
        const TFlowCell& f = FlowAt(m, x, 9 - x);
        EXPECT_EQ(f.Direction, 0.25);
        EXPECT_EQ(f.Deviation, 0.5);
        EXPECT_EQ(f.Speed, 2.0);
    }
}

TEST(Flow, LookupNeverLeavesTheFlowGrid)
{
    Model m = test::MakeModel(3, 2, 1, 0);
    SetFlowGridSize(m.FlowGrid, 8, 8); // more flow cells than landscape cells
    MarkCells(m.FlowGrid);
    EXPECT_EQ(FlowAt(m, 2, 1).Direction, 5.0); // Round(7 x 2 / 3)
    EXPECT_EQ(FlowAt(m, 2, 1).Deviation, 4.0); // Round(3.5)
    SetFlowGridSize(m.FlowGrid, 0, 0); // released: no drift rather than a crash
    EXPECT_EQ(FlowAt(m, 1, 1).Speed, 0.0);
}

TEST(Flow, GridSizeAndNewGrid)
{
    TFlowGrid g;
    NewFlowGrid(g, 3, 2, 1.0, 2.0, 3.0);
    ASSERT_EQ(g.Cells.size(), 6u);
    SetFlowGridSize(g, 2, 3);
    EXPECT_EQ(g.XCount, 2);
    EXPECT_EQ(g.YCount, 3);
    for (const TFlowCell& c : g.Cells) EXPECT_EQ(c.Speed, 0.0); // every field 0
    SetFlowGridSize(g, -1, 4);
    EXPECT_TRUE(g.Cells.empty());
    Model m;
    EXPECT_EQ(m.FlowGrid.XCount, 1); // start-up: one cell with the global defaults
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Direction, 0.0);
    EXPECT_DOUBLE_EQ(m.FlowGrid.Cell(0, 0).Deviation, M_PI / 5);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 1.0);
}

TEST(Angles, CompassAndMathConventions)
{
    EXPECT_NEAR(CompassToMath(0.0), 90.0, 1e-12);   // north is +y
    EXPECT_NEAR(CompassToMath(90.0), 0.0, 1e-12);   // east is +x
    EXPECT_NEAR(CompassToMath(180.0), 270.0, 1e-12);
    EXPECT_NEAR(CompassToMath(270.0), 180.0, 1e-12);
    EXPECT_NEAR(CompassToMath(450.0), CompassToMath(90.0), 1e-12);
    EXPECT_NEAR(CompassToMath(-270.0), CompassToMath(90.0), 1e-12);
    EXPECT_NEAR(MathToCompass(90.0), 0.0, 1e-9);
    EXPECT_NEAR(MathToCompass(0.0), 90.0, 1e-12);
    EXPECT_NEAR(MathToCompass(-90.0), 180.0, 1e-12);
    EXPECT_NEAR(DegToRad(CompassToMath(0.0)), M_PI / 2, 1e-15);
    for (double b = 0.5; b < 360; b += 7.25) {
        double back = MathToCompass(CompassToMath(b));
        EXPECT_NEAR(std::fmod(back - b + 540.0, 360.0) - 180.0, 0.0, 1e-9) << b;
        double math = CompassToMath(b);
        EXPECT_GE(math, 0.0);
        EXPECT_LT(math, 360.0);
    }
    EXPECT_EQ(NormalizeDegrees(-30.0), 330.0);
    EXPECT_EQ(NormalizeDegrees(360.0), 0.0);
    EXPECT_EQ(NormalizeDegrees(725.0), 5.0);
    EXPECT_EQ(NormalizeDegrees(1e300), std::fmod(1e300, 360.0)); // no endless loop far from the circle
    EXPECT_TRUE(std::isnan(NormalizeDegrees(std::nan(""))));
    EXPECT_DOUBLE_EQ(RadToDeg(M_PI), 180.0);
}

} // namespace
