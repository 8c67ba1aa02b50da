#include "landscape/landscape.h"

#include <algorithm>
#include <cmath>

#include "landscape/flow.h"
#include "model/grid.h"
#include "model/numeric.h"

namespace marovi {

namespace {

int ClampCapacity(int capacity) { return std::clamp(capacity, 0, MaxCellCapacity); }

struct THeightField {
    int xdim, ydim;
    std::vector<double> h;
    double lo = 0, hi = 0;
    double& at(int x, int y) { return h[static_cast<size_t>(x) * ydim + y]; }
};

void MidpointDisplacement(Model& m, THeightField& f, int x0, int y0, int x1, int y1, double amp)
{
    if (std::abs(x1 - x0) < 2 && std::abs(y1 - y0) < 2) return;
    double d = m.Random.Gauss() * amp;
    int xm = (x0 + x1) / 2, ym = (y0 + y1) / 2;
    f.at(xm, ym) = (f.at(x0, y0) + f.at(x1, y0) + f.at(x0, y1) + f.at(x1, y1)) / 4 + d;
    double c = f.at(xm, ym);
    f.at(xm, y0) = (f.at(x0, y0) + f.at(x1, y0) + c) / 3;
    f.at(x0, ym) = (f.at(x0, y0) + f.at(x0, y1) + c) / 3;
    f.at(xm, y1) = (f.at(x0, y1) + f.at(x1, y1) + c) / 3;
    f.at(x1, ym) = (f.at(x1, y0) + f.at(x1, y1) + c) / 3;
    if (c < f.lo) f.lo = c;
    if (c > f.hi) f.hi = c;
    amp = amp * 0.5;
    MidpointDisplacement(m, f, x0, y0, xm, ym, amp);
    MidpointDisplacement(m, f, xm, y0, x1, ym, amp);
    MidpointDisplacement(m, f, x0, ym, xm, y1, amp);
    MidpointDisplacement(m, f, xm, ym, x1, y1, amp);
}

double Grey(uint32_t rgb)
{
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return std::nearbyint(0.3 * r + 0.6 * g + 0.1 * b) / 255;
}

} // namespace

void SetCellCapacity(Model& m, int x, int y, int capacity)
{
    TCell& cell = m.Cell(x, y);
    cell.Capacity = ClampCapacity(capacity);
    cell.Individuals.reserve(static_cast<size_t>(cell.Capacity));
    cell.Substrate = 255;
}

void RandomLandscape(Model& m, double pHigh)
{
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            double u = m.Random.Uniform();
            SetCellCapacity(m, x, y, u <= pHigh ? m.HighCapacity : m.LowCapacity);
        }
}

void FractalLandscape(Model& m, int high, int low, bool discrete, double pHigh)
{
    THeightField f{m.XDim, m.YDim, std::vector<double>(static_cast<size_t>(m.XDim) * m.YDim, 0.0)};
    MidpointDisplacement(m, f, 0, 0, m.XMax, m.YMax, 10.0);
    // A grid too small for one displacement (or a field without range) is flat: every
    // cell takes the lowest level, f = 0.
    double range = f.hi - f.lo;
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            double level = range > 0 ? (f.at(x, y) - f.lo) / range : 0.0;
            int capacity;
            if (discrete)
                capacity = level > pHigh ? low : high;
            else
                capacity = RoundToInt(std::fabs(static_cast<double>(high) - low) * level);
            SetCellCapacity(m, x, y, capacity);
        }
}

void LandscapeFromImage(Model& m, const TGreyImage& image)
{
    const bool empty = image.Width <= 0 || image.Height <= 0 ||
                       image.Pixels.size() < static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    auto grey = [&](int px, int py) { return empty ? 1.0 : Grey(image.Pixels[static_cast<size_t>(py) * image.Width + px]); };
    double gMin = 1.0, gMax = 0.0;
    if (!empty)
        for (int px = 0; px < image.Width; ++px)
            for (int py = 0; py < image.Height; ++py) {
                double g = grey(px, py);
                if (g < gMin) gMin = g;
                if (g > gMax && g < 1.0) gMax = g;
            }
    // An image of one grey has no range: the full grey scale 0..1 is used instead.
    if (!(gMax > gMin)) {
        gMin = 0.0;
        gMax = 1.0;
    }
    ClearAllCells(m);
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            double v = 0.0;
            if (!empty) {
                int px = std::min(RoundToInt(static_cast<double>(image.Width) * x / m.XDim), image.Width - 1);
                int py = std::min(RoundToInt(static_cast<double>(image.Height) * (m.YMax - y) / m.YDim), image.Height - 1);
                v = 1 - grey(px, py);
            }
            int capacity = 0;
            // In double: the two capacities may come from a file, anywhere in the int32 range.
            if (v >= 0.1)
                capacity = RoundToInt(m.LowCapacity + std::nearbyint((v - gMin) / (gMax - gMin) *
                                                                     (static_cast<double>(m.HighCapacity) - m.LowCapacity)));
            SetCellCapacity(m, x, y, capacity);
        }
}

void PaintCapacity(Model& m, int a, int b, int c, int d, int v)
{
    if (!m.HasGrid()) return;
    v = ClampCapacity(v);
    a = std::clamp(a, 0, m.XMax);
    b = std::clamp(b, 0, m.XMax);
    c = std::clamp(c, 0, m.YMax);
    d = std::clamp(d, 0, m.YMax);
    for (int x = std::min(a, b); x <= std::max(a, b); ++x)
        for (int y = std::min(c, d); y <= std::max(c, d); ++y) m.Cell(x, y).Capacity = v;
    if (v > 0) {
        if (m.CapacityScaleMin > v) m.CapacityScaleMin = v;
        if (m.CapacityScaleMax < v) m.CapacityScaleMax = v;
    }
}

void NewLandscape(Model& m, int xdim, int ydim)
{
    if (xdim < 1 || ydim < 1) {
        CreateGrid(m, xdim, ydim); // refuses with its message before anything is released
        return;
    }
    // The old grid is kept aside until the new one exists: a grid too large for the memory
    // leaves the simulation as it was.
    struct {
        int32_t XDim, YDim, XMax, YMax, StartFill;
        TCellGrid Cells;
        std::vector<TDisturbanceDef> Disturbances;
        TFlowGrid FlowGrid;
    } old{m.XDim, m.YDim, m.XMax, m.YMax, m.StartFill, std::move(m.Cells), std::move(m.Disturbances),
          std::move(m.FlowGrid)};
    ReleaseGrid(m);
    try {
        CreateGrid(m, xdim, ydim);
    } catch (...) {
        m.XDim = old.XDim, m.YDim = old.YDim, m.XMax = old.XMax, m.YMax = old.YMax, m.StartFill = old.StartFill;
        m.Cells = std::move(old.Cells);
        m.Disturbances = std::move(old.Disturbances);
        m.FlowGrid = std::move(old.FlowGrid);
        throw;
    }
    NewFlowGrid(m.FlowGrid, 1, 1, M_PI / 2, 2 * M_PI, 1.0);
}

uint32_t CapacityColour(const Model& m, int capacity)
{
    if (capacity == 0) return 0xFFFFFF;
    int span = m.CapacityScaleMax - m.CapacityScaleMin;
    // In double and 64 bits: a capacity read from a file may lie anywhere in the int32 range.
    double fraction = span != 0 ? 100.0 * (static_cast<double>(capacity) - m.CapacityScaleMin) / span : 0.0;
    int red = static_cast<int>((int64_t{RoundToInt(fraction)} + 100) % 256);
    if (red < 0) red += 256;
    return static_cast<uint32_t>(red) << 16;
}

double ApplyHighProbField(double current, double p) { return (p >= 0 && p <= 1) ? p : current; }
double ApplyLowProbField(double current, double q) { return (q >= 0 && q <= 1) ? 1 - q : current; }

} // namespace marovi
