#pragma once
#include <QImage>

#include "widgets/grid_plot.h"

namespace marovi::app {

// The "Cluster-Layout" chart: the feature cells of the analysis window in their clusters'
// colours, on axes fixed to the window. It paints a picture made when the analysis
// finished, never the model.
class TClusterLayoutView : public TGridPlot {
    Q_OBJECT
public:
    explicit TClusterLayoutView(QWidget* parent = nullptr);

    // The axes: cell columns x1..x2 and rows y1..y2, each cell one unit wide.
    void SetWindow(int x1, int y1, int x2, int y2);
    // The cells of an analysis whose window starts at (x1, y1): pixel (i, h - 1 - j) is window
    // cell (i, j); transparent pixels are cells without the feature.
    void SetCells(QImage cells, int x1, int y1, bool border);
    void Clear();

    const QImage& Cells() const { return cells_; }
    QSize sizeHint() const override { return {420, 360}; }

protected:
    void PaintContent(QPainter& painter) override;

private:
    QImage cells_;
    int cellsX1_ = 0, cellsY1_ = 0;
    bool border_ = false;
};

} // namespace marovi::app
