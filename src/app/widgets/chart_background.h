#pragma once

class QColor;
class QWidget;

namespace marovi::app {

// Gives every chart inside a window the background colour chosen for all charts: the
// charts of Qt Charts, the grid plots and the landscape map.
void ApplyChartBackground(QWidget* window, const QColor& colour);

} // namespace marovi::app
