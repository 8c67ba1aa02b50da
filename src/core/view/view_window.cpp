#include "view/view_window.h"

#include <algorithm>

#include "model/model.h"
#include "model/numeric.h"

namespace marovi {

TViewRect ViewRectFromAxes(const Model& m, double leftMax, double bottomMax, double leftMin, double bottomMin)
{
    bottomMin = std::max(bottomMin, 0.0);
    bottomMax = std::min(bottomMax, static_cast<double>(m.XDim));
    leftMin = std::max(leftMin, 0.0);
    leftMax = std::min(leftMax, static_cast<double>(m.YDim));
    TViewRect r{TruncToInt(bottomMin), TruncToInt(leftMin), TruncToInt(bottomMax), TruncToInt(leftMax)};
    if (r.X0 >= r.X1) r.X1 = r.X0 + 1;
    if (r.Y0 >= r.Y1) r.Y1 = r.Y0 + 1;
    const int dx = r.X1 - r.X0, dy = r.Y1 - r.Y0;
    if (dy >= dx)
        r.X1 = r.X0 + dy;
    else
        r.Y1 = r.Y0 + dx;
    r.X1 = std::min(r.X1, m.XMax);
    r.Y1 = std::min(r.Y1, m.YMax);
    return r;
}

TAxisRange BottomAxisOf(const TViewRect& r) { return {static_cast<double>(r.X0), r.X1 + 1.0}; }

TAxisRange LeftAxisOf(const TViewRect& r) { return {static_cast<double>(r.Y0), r.Y1 + 1.0}; }

void Navigate(TNavigation n, TAxisRange& bottom, TAxisRange& left)
{
    const double dx = (bottom.Max - bottom.Min) / 2, dy = (left.Max - left.Min) / 2;
    switch (n) {
    case TNavigation::ZoomIn:
        bottom.Max = bottom.Min + dx;
        left.Max = left.Min + dy;
        break;
    case TNavigation::ZoomOut:
        bottom.Max += dx;
        left.Max += dy;
        break;
    case TNavigation::Left:
        bottom.Min += dx;
        bottom.Max += dx;
        break;
    case TNavigation::Right:
        bottom.Min -= dx;
        bottom.Max -= dx;
        break;
    case TNavigation::Up:
        left.Min += dy;
        left.Max += dy;
        break;
    case TNavigation::Down:
        left.Min -= dy;
        left.Max -= dy;
        break;
    }
}

TChartGeometry FitChartGeometry(const TAxisRange& bottom, const TAxisRange& left, int w, int h, int availW, int availH)
{
    const int nx = RoundToInt(bottom.Max - bottom.Min) + 1;
    const int ny = RoundToInt(left.Max - left.Min) + 1;
    TChartGeometry g{0, 0, w, h};
    if (ny >= nx) {
        g.Width = RoundToInt(static_cast<double>(nx) * h / ny);
        g.Left = (availW - g.Width) / 2;
    } else {
        g.Height = RoundToInt(static_cast<double>(ny) * w / nx);
        g.Top = (availH - g.Height) / 2;
    }
    return g;
}

} // namespace marovi
