#include "landscape/flow_editor.h"

#include <cmath>

#include "landscape/flow.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

bool InsideFlowGrid(const TFlowGrid& g, int x, int y) { return x >= 0 && x < g.XCount && y >= 0 && y < g.YCount; }

// A real field; infinite and undefined values are no numbers here. A number outside lo..hi
// is refused too, naming the field; the value stays either way.
void ReadReal(const std::string& text, double& value, const char* message, std::vector<std::string>& errors,
              const char* caption = nullptr, double lo = -HUGE_VAL, double hi = HUGE_VAL)
{
    double v = 0;
    if (!ParseFiniteReal(text, v)) {
        errors.emplace_back(message);
        return;
    }
    if (v < lo || v > hi) {
        errors.push_back(Format("\"%s\" must be %s (%s kept)!", {caption, RangeText(lo, hi), ShortestText(value)}));
        return;
    }
    value = v;
}

void ReadCount(std::string_view text, int32_t& value, const char* message, std::vector<std::string>& errors)
{
    int v = 0;
    if (ParseInt(text, v))
        value = v;
    else
        errors.emplace_back(message);
}

} // namespace

TFlowCellEntries FlowCellEntriesOf(const TFlowCell& cell)
{
    return {ShortestText(MathToCompass(RadToDeg(cell.Direction))), ShortestText(RadToDeg(cell.Deviation)),
            ShortestText(cell.Speed)};
}

std::string FlowCellCaption(int x, int y) { return Format("flow cell [%d,%d]", {x + 1, y + 1}); }

std::string SpeedFactorText(double factor) { return Format("%5.2f", {factor}); }

TFlowCell ReadFlowCellEntries(const TFlowCell& start, const TFlowCellEntries& e, std::vector<std::string>& errors)
{
    // Start from the values as the fields show them: bearing and deviation in degrees.
    double bearing = MathToCompass(RadToDeg(start.Direction));
    double deviation = RadToDeg(start.Deviation);
    double speed = start.Speed;
    ReadReal(e.Direction, bearing, "error reading direction!", errors);
    // A negative spread means nothing, a negative speed would reverse the drift.
    ReadReal(e.Deviation, deviation, "error reading deviation!", errors, "deviation", 0, 360);
    ReadReal(e.Speed, speed, "error reading speed!", errors, "speed", 0);
    return TFlowCell{DegToRad(CompassToMath(bearing)), DegToRad(deviation), speed};
}

void UpdateFlowCell(Model& m, int x, int y, const TFlowCellEntries& e, std::vector<std::string>& errors)
{
    if (!InsideFlowGrid(m.FlowGrid, x, y)) return;
    TFlowCell& cell = m.FlowGrid.Cell(x, y);
    cell = ReadFlowCellEntries(cell, e, errors);
}

void ClearFlowCell(Model& m, int x, int y)
{
    if (InsideFlowGrid(m.FlowGrid, x, y)) m.FlowGrid.Cell(x, y) = TFlowCell{};
}

int KeptSelection(int coordinate, int count) { return coordinate >= 0 && coordinate < count ? coordinate : 0; }

TNewFlowGridPlan PlanNewFlowGrid(const Model& m, std::string_view xCount, std::string_view yCount,
                                 const TFlowCellEntries& e)
{
    TNewFlowGridPlan plan;
    plan.XCount = m.FlowGrid.XCount;
    plan.YCount = m.FlowGrid.YCount;
    ReadCount(xCount, plan.XCount, "error reading xDim", plan.Errors);
    ReadCount(yCount, plan.YCount, "error reading yDim", plan.Errors);
    plan.Cell = ReadFlowCellEntries(TFlowCell{m.FlowDirection, m.FlowDeviation, 1.0}, e, plan.Errors);
    plan.AskX = m.XDim < plan.XCount;
    plan.AskY = m.YDim < plan.YCount;
    return plan;
}

void CreatePlannedFlowGrid(Model& m, TNewFlowGridPlan plan, bool proceedX, bool proceedY)
{
    if (plan.AskX && !proceedX) plan.XCount = m.XDim;
    if (plan.AskY && !proceedY) plan.YCount = m.YDim;
    if (plan.XCount < 1) plan.XCount = 1;
    if (plan.YCount < 1) plan.YCount = 1;
    if (int64_t{plan.XCount} * plan.YCount > MaxFlowCells)
        throw Error(Format("a flow grid of %d x %d cells is too large (at most %d cells)",
                           {plan.XCount, plan.YCount, static_cast<long long>(MaxFlowCells)}));
    NewFlowGrid(m.FlowGrid, plan.XCount, plan.YCount, plan.Cell.Direction, plan.Cell.Deviation, plan.Cell.Speed);
}

bool ReadArrowSize(std::string_view text, int& size)
{
    int v = 0;
    if (!ParseInt(text, v) || v < 0 || v > 1000) return false;
    size = v;
    return true;
}

} // namespace marovi
