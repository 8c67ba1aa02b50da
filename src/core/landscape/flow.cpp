#include "landscape/flow.h"

#include <cmath>

#include "model/model.h"
#include "model/numeric.h"

namespace marovi {

void SetFlowGridSize(TFlowGrid& g, int nx, int ny)
{
    g.XCount = nx;
    g.YCount = ny;
    g.Cells.assign(static_cast<size_t>(nx > 0 ? nx : 0) * static_cast<size_t>(ny > 0 ? ny : 0), TFlowCell{});
}

void NewFlowGrid(TFlowGrid& g, int nx, int ny, double direction, double deviation, double speed)
{
    SetFlowGridSize(g, nx, ny);
    for (TFlowCell& c : g.Cells) c = TFlowCell{direction, deviation, speed};
}

const TFlowCell& FlowAt(const Model& m, int gx, int gy)
{
    static const TFlowCell still{};
    const TFlowGrid& g = m.FlowGrid;
    if (g.XCount < 1 || g.YCount < 1) return still;
    int fx = RoundToInt(static_cast<double>(static_cast<int64_t>(g.XCount - 1) * gx) / m.XDim);
    int fy = RoundToInt(static_cast<double>(static_cast<int64_t>(g.YCount - 1) * gy) / m.YDim);
    // A flow grid larger than the landscape cannot index past its own cells.
    if (fx < 0) fx = 0;
    if (fx >= g.XCount) fx = g.XCount - 1;
    if (fy < 0) fy = 0;
    if (fy >= g.YCount) fy = g.YCount - 1;
    return g.Cell(fx, fy);
}

double NormalizeDegrees(double a)
{
    if (!std::isfinite(a)) return a;
    // Far from the circle, repeated adding would never change the value.
    if (std::fabs(a) > 1.0e6) a = std::fmod(a, 360.0);
    while (a < 0) a += 360;
    while (a >= 360) a -= 360;
    return a;
}

double DegToRad(double degrees) { return degrees * M_PI / 180.0; }
double RadToDeg(double radians) { return radians * 180.0 / M_PI; }

double MathToCompass(double thetaDegrees)
{
    double r = DegToRad(thetaDegrees);
    return NormalizeDegrees(RadToDeg(M_PI / 2 + std::atan2(-std::sin(r), std::cos(r))));
}

double CompassToMath(double bearingDegrees)
{
    double r = DegToRad(90.0 - bearingDegrees);
    return NormalizeDegrees(RadToDeg(std::atan2(std::sin(r), std::cos(r))));
}

} // namespace marovi
