#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "landscape/flow_grid.h"

namespace marovi {
struct Model;

// The flow grid editor's local fields: compass bearing and deviation in degrees, speed.
struct TFlowCellEntries {
    std::string Direction, Deviation, Speed;
};
TFlowCellEntries FlowCellEntriesOf(const TFlowCell& cell);

// "flow cell [x,y]" with 1-based indices.
std::string FlowCellCaption(int x, int y);
// The speed display factor as the editor shows it ("%5.2f").
std::string SpeedFactorText(double factor);

// The three fields read over `start`: a field that is no finite number keeps start's value
// and adds its message ("error reading direction!", "error reading deviation!",
// "error reading speed!") to errors; so does a deviation outside 0..360 degrees or a
// negative speed, with a message naming the field. Bearings in any range give the same
// direction as their equivalent in 0..360.
TFlowCell ReadFlowCellEntries(const TFlowCell& start, const TFlowCellEntries& e, std::vector<std::string>& errors);

// "update": the selected cell takes the fields when it lies inside the flow grid.
void UpdateFlowCell(Model& m, int x, int y, const TFlowCellEntries& e, std::vector<std::string>& errors);
// Delete key or right click: the selected cell's three fields become 0.
void ClearFlowCell(Model& m, int x, int y);

// A selection coordinate after the flow grid changed: outside the grid it returns to 0.
int KeptSelection(int coordinate, int count);

// Largest flow grid the editor creates: every flow cell is drawn as an arrow.
constexpr int64_t MaxFlowCells = 1000 * 1000;

// "new flow grid", before its questions: the counts and cell read from the fields (a
// field that cannot be read keeps the current count or the default and adds its message),
// and whether a count exceeds the landscape's and has to be confirmed.
struct TNewFlowGridPlan {
    int32_t XCount = 1, YCount = 1;
    TFlowCell Cell;
    std::vector<std::string> Errors;
    bool AskX = false, AskY = false;
};
TNewFlowGridPlan PlanNewFlowGrid(const Model& m, std::string_view xCount, std::string_view yCount,
                                 const TFlowCellEntries& e);
// After the questions: a count not confirmed becomes the landscape's, counts below 1
// become 1, and the grid is filled with the planned cell. A grid beyond MaxFlowCells is
// refused with marovi::Error and the flow grid stays as it was.
void CreatePlannedFlowGrid(Model& m, TNewFlowGridPlan plan, bool proceedX, bool proceedY);

// The arrow size field: a whole number of pixels from 0 to 1000, else false.
bool ReadArrowSize(std::string_view text, int& size);

} // namespace marovi
