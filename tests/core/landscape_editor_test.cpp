// The rules of the landscape and flow grid editors' fields.
#include <gtest/gtest.h>

#include <cmath>

#include "disturbance/disturbance.h"
#include "landscape/flow.h"
#include "landscape/flow_editor.h"
#include "landscape/landscape.h"
#include "landscape/landscape_editor.h"
#include "model/grid.h"
#include "test_support.h"

namespace {

using namespace marovi;

TEST(LandscapeEditor, FieldsAndTheirRefusals)
{
    Model m = test::MakeModel(7, 3, 1, 5);
    m.HighCapacityProb = 0.3;
    const TLandscapeEntries e = LandscapeEntriesOf(m);
    EXPECT_EQ(e.XDim + " " + e.YDim + " " + e.HighCapacity + " " + e.LowCapacity, "7 3 10 5");
    EXPECT_EQ(e.HighProb, "0.3");
    EXPECT_EQ(e.LowProb, "0.7"); // 1 - 0.3 in 15 digits
    EXPECT_EQ(e.SetCapacity, "0");

    EXPECT_EQ(ConvertCapacity(" 100"), 100);
    EXPECT_EQ(ConvertCapacity("0"), 0);
    EXPECT_EQ(test::ErrorText([] { ConvertCapacity("101"); }), "a cell holds 0 to 100 individuals: 101 is not a capacity");
    EXPECT_EQ(test::ErrorText([] { ConvertCapacity("-1"); }), "a cell holds 0 to 100 individuals: -1 is not a capacity");
    EXPECT_EQ(test::ErrorText([] { ConvertCapacity("7a"); }), "'7a' is not a valid integer value");

    EXPECT_EQ(ConvertGridSize("4096", "4096").XDim, 4096);
    EXPECT_EQ(test::ErrorText([] { ConvertGridSize("0", "5"); }),
              "a landscape needs at least one cell in x and in y, not 0 x 5");
    EXPECT_EQ(test::ErrorText([] { ConvertGridSize("4097", "4096"); }),
              "a landscape of 4097 x 4096 cells is too large (at most 16777216 cells)");
    EXPECT_EQ(test::ErrorText([] { ConvertGridSize("5", ""); }), "'' is not a valid integer value");
}

TEST(LandscapeEditor, NewLandscapeBeyondTheMemoryLeavesTheSimulation)
{
    Model m = test::MakeModel(4, 3, 2, 6);
    InitialFill(m, 1);
    AddStandardDisturbance(m);
    NewFlowGrid(m.FlowGrid, 2, 2, 1.0, 0.1, 3.0);
    const Model before = m;
    EXPECT_EQ(test::ErrorText([&] { NewLandscape(m, 2000000000, 2000000000); }), "Not enough memory to initialize simulation!");
    EXPECT_TRUE(test::SameState(m, before));
    EXPECT_EQ(m.XMax, 3);
    EXPECT_EQ(m.StartFill, before.StartFill);
    EXPECT_EQ(m.Disturbances.size(), 1u);
    EXPECT_EQ(m.FlowGrid.XCount, 2);
    EXPECT_EQ(m.FlowGrid.Cell(1, 1).Speed, 3.0);
}

TEST(FlowEditor, LocalFieldsShowAndReadCompassBearings)
{
    Model m = test::MakeModel(10, 10, 1, 5);
    NewFlowGrid(m.FlowGrid, 2, 3, M_PI / 2, M_PI / 5, 1.0);
    EXPECT_EQ(FlowCellCaption(1, 2), "flow cell [2,3]");
    EXPECT_EQ(SpeedFactorText(0.5), " 0.50");
    const TFlowCellEntries shown = FlowCellEntriesOf(m.FlowGrid.Cell(0, 0));
    EXPECT_EQ(shown.Direction + " " + shown.Deviation + " " + shown.Speed, "0 36 1");

    std::vector<std::string> errors;
    UpdateFlowCell(m, 1, 2, {"33.3", "10", "2.5"}, errors);
    EXPECT_TRUE(errors.empty());
    const TFlowCellEntries updated = FlowCellEntriesOf(m.FlowGrid.Cell(1, 2));
    EXPECT_EQ(updated.Direction + " " + updated.Deviation + " " + updated.Speed, "33.3 10 2.5"); // not 33.300000000000004
    EXPECT_DOUBLE_EQ(m.FlowGrid.Cell(1, 2).Deviation, M_PI / 18);

    UpdateFlowCell(m, 0, 1, {"0", "0", "1"}, errors);
    EXPECT_NEAR(m.FlowGrid.Cell(0, 1).Direction, M_PI / 2, 1e-12); // north
    for (const char* east : {"90", "450", "-270"}) {
        UpdateFlowCell(m, 0, 1, {east, "0", "1"}, errors);
        EXPECT_NEAR(std::remainder(m.FlowGrid.Cell(0, 1).Direction, 2 * M_PI), 0.0, 1e-12) << east;
    }
    EXPECT_TRUE(errors.empty());

    // Fields that are no numbers keep the cell's values and report, in field order.
    const TFlowCell kept = m.FlowGrid.Cell(1, 2);
    UpdateFlowCell(m, 1, 2, {"north", "inf", "nan"}, errors);
    EXPECT_EQ(errors, (std::vector<std::string>{"error reading direction!", "error reading deviation!", "error reading speed!"}));
    EXPECT_NEAR(m.FlowGrid.Cell(1, 2).Direction, kept.Direction, 1e-12);
    EXPECT_NEAR(m.FlowGrid.Cell(1, 2).Deviation, kept.Deviation, 1e-12);
    EXPECT_EQ(m.FlowGrid.Cell(1, 2).Speed, 2.5);
    // So do a spread outside 0..360 degrees and a speed that would reverse the drift.
    errors.clear();
    UpdateFlowCell(m, 1, 2, {"north", "-5", "-1"}, errors);
    EXPECT_EQ(errors, (std::vector<std::string>{"error reading direction!", "\"deviation\" must be 0..360 (10 kept)!",
                                                "\"speed\" must be at least 0 (2.5 kept)!"}));
    EXPECT_NEAR(m.FlowGrid.Cell(1, 2).Deviation, kept.Deviation, 1e-12);
    EXPECT_EQ(m.FlowGrid.Cell(1, 2).Speed, 2.5);

    UpdateFlowCell(m, 2, 0, {"0", "0", "9"}, errors); // outside: nothing
    ClearFlowCell(m, 1, 2);
    EXPECT_EQ(m.FlowGrid.Cell(1, 2).Speed, 0.0);
    EXPECT_EQ(m.FlowGrid.Cell(1, 2).Direction, 0.0);
    ClearFlowCell(m, -1, 0);
    EXPECT_EQ(KeptSelection(1, 2), 1);
    EXPECT_EQ(KeptSelection(2, 2), 0);
}

TEST(FlowEditor, NewFlowGridFromTheFields)
{
    Model m = test::MakeModel(10, 4, 1, 5);
    NewFlowGrid(m.FlowGrid, 3, 2, 0.0, 0.0, 0.0);
    // Unreadable fields: the current counts and the defaults (bearing 90, 36 degrees, speed 1).
    TNewFlowGridPlan plan = PlanNewFlowGrid(m, "x", "2.5", {"", "?", "-"});
    EXPECT_EQ(plan.Errors, (std::vector<std::string>{"error reading xDim", "error reading yDim", "error reading direction!",
                                                     "error reading deviation!", "error reading speed!"}));
    EXPECT_EQ(plan.XCount, 3);
    EXPECT_EQ(plan.YCount, 2);
    EXPECT_NEAR(plan.Cell.Direction, m.FlowDirection, 1e-12);
    EXPECT_NEAR(plan.Cell.Deviation, m.FlowDeviation, 1e-12);
    EXPECT_EQ(plan.Cell.Speed, 1.0);
    EXPECT_FALSE(plan.AskX || plan.AskY);

    plan = PlanNewFlowGrid(m, "11", "5", {"180", "5", "0.5"});
    EXPECT_TRUE(plan.AskX);
    EXPECT_TRUE(plan.AskY);
    CreatePlannedFlowGrid(m, plan, true, false); // No: as many flow cells as grid cells
    EXPECT_EQ(m.FlowGrid.XCount, 11);
    EXPECT_EQ(m.FlowGrid.YCount, 4);
    EXPECT_NEAR(m.FlowGrid.Cell(10, 3).Direction, 3 * M_PI / 2, 1e-12); // south
    EXPECT_EQ(m.FlowGrid.Cell(10, 3).Speed, 0.5);

    CreatePlannedFlowGrid(m, PlanNewFlowGrid(m, "0", "-3", {"0", "0", "1"}), true, true);
    EXPECT_EQ(m.FlowGrid.XCount, 1);
    EXPECT_EQ(m.FlowGrid.YCount, 1);
    EXPECT_EQ(test::ErrorText([&] { CreatePlannedFlowGrid(m, PlanNewFlowGrid(m, "1001", "1000", {"0", "0", "1"}), true, true); }),
              "a flow grid of 1001 x 1000 cells is too large (at most 1000000 cells)");
    EXPECT_EQ(m.FlowGrid.XCount, 1);

    int size = 10;
    EXPECT_TRUE(ReadArrowSize("25", size));
    EXPECT_FALSE(ReadArrowSize("-1", size));
    EXPECT_FALSE(ReadArrowSize("2x", size));
    EXPECT_EQ(size, 25);
}

} // namespace
