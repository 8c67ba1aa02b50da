#include "analysis/cluster_layout_view.h"

#include <QPainter>
#include <QVector>

#include "widgets/cell_outline.h"

namespace marovi::app {

TClusterLayoutView::TClusterLayoutView(QWidget* parent) : TGridPlot(QStringLiteral("Cluster-Layout"), parent) {}

void TClusterLayoutView::SetWindow(int x1, int y1, int x2, int y2)
{
    SetRanges(x1, x2 + 1, y1, y2 + 1);
}

void TClusterLayoutView::SetCells(QImage cells, int x1, int y1, bool border)
{
    cells_ = std::move(cells);
    cellsX1_ = x1;
    cellsY1_ = y1;
    border_ = border;
    update();
}

void TClusterLayoutView::Clear()
{
    cells_ = QImage();
    update();
}

void TClusterLayoutView::PaintContent(QPainter& painter)
{
    if (cells_.isNull()) return;
    const QRectF target = ToPixelRect(cellsX1_, cellsY1_, cellsX1_ + cells_.width(), cellsY1_ + cells_.height());
    painter.drawImage(target, cells_);
    // Outlines from two pixels a cell; fainter while they would hide much of a cell's colour.
    const double unit = target.width() / cells_.width();
    const TCellOutline outline = CellOutline(unit);
    if (!border_ || outline == TCellOutline::None) return;
    painter.setPen(QPen(outline == TCellOutline::Faint ? QColor(0, 0, 0, 90) : QColor(Qt::black), 0));
    QVector<QRectF> outlines;
    for (int i = 0; i < cells_.width(); ++i)
        for (int r = 0; r < cells_.height(); ++r)
            if (qAlpha(cells_.pixel(i, r)) != 0) outlines.append(QRectF(target.left() + i * unit, target.top() + r * unit, unit, unit));
    painter.drawRects(outlines);
}

} // namespace marovi::app
