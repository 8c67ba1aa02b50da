#pragma once
#include <QImage>
#include <QPoint>

#include "widgets/grid_plot.h"

class QRubberBand;

namespace marovi {
struct TRgbImage;
}

namespace marovi::app {

// The landscape editor's chart: one square per cell in its capacity colour, cell (x, y)
// centred on the axis point (x, y), row YMax at the top. Armed, it takes the next
// press-and-release as a rectangle to paint, showing a rubber band while dragging.
class TCapacityChart : public TGridPlot {
    Q_OBJECT
public:
    explicit TCapacityChart(QWidget* parent = nullptr);

    // The capacity colours rendered from the model, one pixel per cell, row YMax on top.
    void SetCells(const TRgbImage& image);
    const QImage& Cells() const { return cells_; }

    void ArmPainting();
    void DisarmPainting();
    bool PaintingArmed() const { return armed_; }
    // The cell index (rounded axis value) under a pixel.
    QPoint CellAt(QPointF pixel) const;
    // The centre pixel of a cell.
    QPointF CellCentre(int x, int y) const;

signals:
    // A rectangle was dragged while armed: columns a..b and rows c..d, in any order and
    // possibly outside the grid.
    void RectanglePainted(int a, int b, int c, int d);

protected:
    void PaintContent(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage cells_;
    bool armed_ = false;
    bool dragging_ = false;
    QPoint pressPoint_;
    QRubberBand* band_;
};

} // namespace marovi::app
