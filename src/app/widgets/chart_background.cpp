#include "widgets/chart_background.h"

#include <QChartView>

#include "widgets/grid_plot.h"
#include "widgets/map_chart.h"

namespace marovi::app {

namespace {

// The widgets of a kind inside the window itself, not inside the windows it owns.
template <class W>
QList<W*> Inside(QWidget* window)
{
    QList<W*> found;
    for (W* w : window->findChildren<W*>())
        if (w->window() == window) found << w;
    return found;
}

} // namespace

void ApplyChartBackground(QWidget* window, const QColor& colour)
{
    for (QChartView* view : Inside<QChartView>(window)) view->chart()->setBackgroundBrush(colour);
    for (TGridPlot* plot : Inside<TGridPlot>(window)) plot->SetBackground(colour);
    for (TMapChart* map : Inside<TMapChart>(window)) map->SetBackground(colour);
}

} // namespace marovi::app
