#pragma once
#include <cstdint>
#include <string>

#include "disturbance/disturbance_def.h"

namespace marovi {
struct Model;

// No grid is wider than this; a footprint or an event count beyond it is no disturbance
// regime (a damaged record, a slip of the keyboard) and would keep a time step busy for ever.
constexpr double MaxFootprintExtent = 10000.0;
constexpr double MaxEventsPerStep = 10000.0;
// Each of those limits alone still lets one definition keep a step busy for hours; the
// editor bounds the cells a definition examines per step (about a second's work).
constexpr double MaxCellsExaminedPerStep = 25e6;

void AddDisturbance(Model& m, int x1, int y1, int x2, int y2, bool clipping, double xSize, double xSizeDev,
                    double ySize, double ySizeDev, double probability, double severity, double direction,
                    double deviation, int substrate, int subevents);
void AddStandardDisturbance(Model& m);
void ApplyDisturbance(Model& m, const TDisturbanceDef& def);
void DisturbCell(Model& m, int x, int y, uint8_t substrate, double severity);
void ApplyRoiDisturbance(Model& m, const TDisturbanceDef& rect);
void ApplyExtraDisturbance(Model& m);
// Why an extra disturbance cannot be had now (no definition, or a first definition that
// never occurs), or an empty text when it can.
std::string ExtraDisturbanceRefusal(const Model& m);
void ClearDisturbances(Model& m);

} // namespace marovi
