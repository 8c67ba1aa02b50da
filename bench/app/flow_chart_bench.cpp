// The flow grid editor's repaint for flow grids from one cell to a million (1000 x 1000,
// allowed past the landscape's size), in charts 600 and 1000 pixels wide: the background
// landscape, the deviation sectors and the arrows. Grids of 52 and 90 cells across are the
// finest that still get an arrow per cell in the two sizes (cell_px at least 8), so the most
// arrows drawn one by one. Target: at most 100 ms a repaint for any grid.
// Run with QT_QPA_PLATFORM=offscreen (set when missing).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cmath>
#include <vector>

#include "qt_benchmark.h"
#include "editors/flow_chart.h"
#include "landscape/flow_grid.h"

namespace {

// args: flow cells across (and up), chart width (the chart is 0.9 times as high), and 1 for
// moving water, 0 for still water (every arrow a dot).
void BM_FlowChartRepaint(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0)), width = static_cast<int>(state.range(1));
    const bool moving = state.range(2) != 0;
    marovi::TFlowGrid grid;
    grid.XCount = grid.YCount = n;
    // Directions that turn across the grid, the default deviation, speeds 0.5 to 1.5.
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            grid.Cells.push_back({2 * M_PI * (x + y) / (2.0 * n), M_PI / 5, moving ? 0.5 + static_cast<double>(y) / n : 0});
    QImage landscape(n, n, QImage::Format_RGB32);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) landscape.setPixel(x, y, qRgb((x * y) % 2 ? 200 : 100, 0, 0));

    marovi::app::TFlowChart chart;
    chart.resize(width, width * 9 / 10);
    chart.SetFlowGrid(grid);
    chart.SetBackground(landscape);
    chart.show();
    QApplication::processEvents();
    for (auto _ : state) chart.repaint();
    const QRectF cell = chart.ToPixelRect(0, 0, 1, 1);
    state.counters["cell_px"] = cell.width();
}

BENCHMARK(BM_FlowChartRepaint)
    ->ArgsProduct({{1, 10, 52, 90, 200, 1000}, {600, 1000}, {1}})
    ->Args({90, 1000, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3)
    ->Repetitions(3)
    ->ComputeStatistics("min", Fastest);

} // namespace
