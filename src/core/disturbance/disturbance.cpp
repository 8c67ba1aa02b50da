#include "disturbance/disturbance.h"

#include <cmath>
#include <cstdlib>

#include "model/grid.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

void AddDisturbance(Model& m, int x1, int y1, int x2, int y2, bool clipping, double xSize, double xSizeDev,
                    double ySize, double ySizeDev, double probability, double severity, double direction,
                    double deviation, int substrate, int subevents)
{
    if (substrate < 0 || substrate > 255) throw Error(Format("substrate %d out of range!", {substrate}));
    TDisturbanceDef d;
    d.X1 = x1;
    d.Y1 = y1;
    d.X2 = x2;
    d.Y2 = y2;
    d.Clipping = clipping;
    d.XSize = xSize;
    d.XSizeDev = xSizeDev;
    d.YSize = ySize;
    d.YSizeDev = ySizeDev;
    d.Probability.fill(probability);
    d.LastEvent = 0;
    d.Severity = severity;
    d.Direction = direction;
    d.Deviation = deviation;
    d.Substrate = static_cast<uint8_t>(substrate);
    d.Subevents = subevents;
    m.Disturbances.push_back(d);
}

void AddStandardDisturbance(Model& m)
{
    AddDisturbance(m, 0, 0, m.XMax, m.YMax, false, 10.0, 2.0, 10.0, 2.0, 1.5, 1.0, 0.0, 2 * M_PI, 1, 1);
}

namespace {

// Places one footprint of an event: Algorithm "centre, angle, sizes, rounded back-rotation".
void PlaceFootprint(Model& m, const TDisturbanceDef& d)
{
    // RandomInt on 64-bit spans: corners read from a file may be far apart.
    int64_t cx = d.X1 + TruncToInt(m.Random.Uniform() * static_cast<double>(int64_t{d.X2} - d.X1));
    int64_t cy = d.Y2 + TruncToInt(m.Random.Uniform() * static_cast<double>(int64_t{d.Y1} - d.Y2));
    double a = m.Random.Gauss() * d.Deviation + d.Direction;
    int64_t sx = std::llabs(RoundToInt(m.Random.Gauss() * d.XSizeDev + d.XSize));
    int64_t sy = std::llabs(RoundToInt(m.Random.Gauss() * d.YSizeDev + d.YSize));
    int64_t hx = RoundToInt(sx / 2.0);
    int64_t hy = RoundToInt(sy / 2.0);
    double c = std::cos(-a), s = std::sin(-a);
    int64_t r = RoundToInt(std::sqrt(static_cast<double>(hx * hx + hy * hy))) + 1;
    for (int64_t dx = -r; dx <= r; ++dx)
        for (int64_t dy = -r; dy <= r; ++dy) {
            int64_t rx = RoundToInt(dx * c - dy * s);
            int64_t ry = RoundToInt(dy * c + dx * s);
            if (rx < -hx || rx > hx || ry < -hy || ry > hy) continue;
            int64_t px = cx + dx, py = cy + dy;
            if (px < INT32_MIN || px > INT32_MAX || py < INT32_MIN || py > INT32_MAX) continue;
            int x = static_cast<int>(px), y = static_cast<int>(py);
            if (!WrapCoordinates(m, x, y)) continue;
            if (d.Clipping && !(d.X1 <= x && x <= d.X2 && d.Y2 <= y && y <= d.Y1)) continue;
            DisturbCell(m, x, y, d.Substrate, d.Severity);
        }
}

} // namespace

void ApplyDisturbance(Model& m, const TDisturbanceDef& def)
{
    double p = def.Probability[static_cast<size_t>(m.Season)];
    do {
        double u = m.Random.Uniform();
        if (u < p) {
            m.DisturbanceEventCount += 1;
            for (int k = 0; k < def.Subevents; ++k) PlaceFootprint(m, def);
        }
        p = p - 1;
    } while (p > 0);
}

void DisturbCell(Model& m, int x, int y, uint8_t substrate, double severity)
{
    TCell& cell = m.Cell(x, y);
    m.DisturbedCellCount += 1;
    cell.DisturbanceCount += 1;
    cell.CellAge = 0;
    cell.Substrate = substrate;
    size_t i = 0;
    while (i < cell.Individuals.size()) {
        double u = m.Random.Uniform();
        if (u <= severity)
            EraseIndividual(cell, i);
        else
            ++i;
    }
    m.PrevLarvaeAt(x, y).fill(0);
}

void ApplyRoiDisturbance(Model& m, const TDisturbanceDef& rect)
{
    m.DisturbanceEventCount += 1;
    m.Random.Gauss();
    m.Random.Gauss();
    for (int64_t px = rect.X1; px <= rect.X2; ++px)
        for (int64_t py = rect.Y1; py <= rect.Y2; ++py) {
            int x = static_cast<int>(px), y = static_cast<int>(py);
            if (!WrapCoordinates(m, x, y)) continue;
            TCell& cell = m.Cell(x, y);
            ClearCell(cell);
            m.DisturbedCellCount += 1;
            cell.DisturbanceCount += 1;
        }
}

void ApplyExtraDisturbance(Model& m)
{
    if (m.Disturbances.empty()) return;
    const TDisturbanceDef first = m.Disturbances.front();
    // A definition that can never fire would repeat for ever: the request is dropped.
    if (!(first.Probability[static_cast<size_t>(m.Season)] > 0)) {
        m.ExtraDisturbanceRequested = false;
        return;
    }
    int32_t before = m.DisturbanceEventCount;
    while (m.DisturbanceEventCount == before) ApplyDisturbance(m, first);
    m.ExtraDisturbanceRequested = false;
}

std::string ExtraDisturbanceRefusal(const Model& m)
{
    if (m.Disturbances.empty()) return "there is no disturbance definition to force: define one in \"disturbances\" first!";
    const double p = m.Disturbances.front().Probability[static_cast<size_t>(m.Season)];
    if (!(p > 0))
        return Format("the first disturbance definition never occurs (probability %s): it can not be forced!", {ShortestText(p)});
    return {};
}

void ClearDisturbances(Model& m) { m.Disturbances.clear(); }

} // namespace marovi
