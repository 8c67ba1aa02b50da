#pragma once
#include <string>

#include "landscape/flow_grid.h"

namespace marovi {
struct Model;

void SetFlowGridSize(TFlowGrid& g, int nx, int ny);
void NewFlowGrid(TFlowGrid& g, int nx, int ny, double direction, double deviation, double speed);
// The flow cell covering landscape cell (gx, gy).
const TFlowCell& FlowAt(const Model& m, int gx, int gy);

// Angle helpers, degrees in and out; compass bearings: 0 = north (+y), clockwise.
double NormalizeDegrees(double a);
double MathToCompass(double thetaDegrees);
double CompassToMath(double bearingDegrees);
double DegToRad(double degrees);
double RadToDeg(double radians);

} // namespace marovi
