#pragma once

namespace marovi {
struct Model;

// The cells the landscape view draws: inclusive indices.
struct TViewRect {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};

// An axis range of the map, in cell units.
struct TAxisRange {
    double Min = 0, Max = 1;
};

// The view rectangle for the axis limits asked for: limited to the grid, widened to at
// least one cell, made square by extending the shorter side, then cut at XMax and YMax
// (so that near the grid's edge it may stay oblong). Axes scrolled beyond the grid's far
// edge give a rectangle with X0 > X1 or Y0 > Y1, which holds no cell.
TViewRect ViewRectFromAxes(const Model& m, double leftMax, double bottomMax, double leftMin, double bottomMin);

// The axes that show a view rectangle whole.
TAxisRange BottomAxisOf(const TViewRect& r);
TAxisRange LeftAxisOf(const TViewRect& r);

// The navigation buttons: each moves or scales the axes by half their span.
enum class TNavigation { ZoomIn, ZoomOut, Left, Right, Up, Down };
void Navigate(TNavigation n, TAxisRange& bottom, TAxisRange& left);

// "fit chart": the chart's place in the space available (availW x availH) after it has been
// stretched to w x h, narrowed or flattened so that the cells of the axes come out square.
struct TChartGeometry {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};
TChartGeometry FitChartGeometry(const TAxisRange& bottom, const TAxisRange& left, int w, int h, int availW,
                                int availH);

} // namespace marovi
