#include "editors/capacity_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

#include "files/bmp.h"
#include "model/numeric.h"
#include "widgets/rgb_image.h"

namespace marovi::app {

TCapacityChart::TCapacityChart(QWidget* parent)
    : TGridPlot(QStringLiteral("landscape"), parent), band_(new QRubberBand(QRubberBand::Rectangle, this))
{
    setToolTip(QStringLiteral("display of landscape, as brighter the color as higher the capacity"));
}

void TCapacityChart::SetCells(const TRgbImage& image)
{
    cells_ = ToQImage(image);
    SetRanges(-0.5, image.Width - 0.5, -0.5, image.Height - 0.5);
}

void TCapacityChart::PaintContent(QPainter& painter)
{
    if (cells_.isNull()) return;
    painter.drawImage(ToPixelRect(-0.5, -0.5, cells_.width() - 0.5, cells_.height() - 0.5), cells_);
}

void TCapacityChart::ArmPainting()
{
    armed_ = true;
    dragging_ = false;
    setCursor(Qt::CrossCursor);
}

void TCapacityChart::DisarmPainting()
{
    armed_ = dragging_ = false;
    band_->hide();
    unsetCursor();
}

QPoint TCapacityChart::CellAt(QPointF pixel) const
{
    const QPointF v = ToValue(pixel);
    return {RoundToInt(v.x()), RoundToInt(v.y())};
}

QPointF TCapacityChart::CellCentre(int x, int y) const { return ToPixel(QPointF(x, y)); }

void TCapacityChart::mousePressEvent(QMouseEvent* event)
{
    if (!armed_ || event->button() != Qt::LeftButton) return TGridPlot::mousePressEvent(event);
    pressPoint_ = event->position().toPoint();
    dragging_ = true;
    band_->setGeometry(QRect(pressPoint_, QSize()));
    band_->show();
}

void TCapacityChart::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) band_->setGeometry(QRect(pressPoint_, event->position().toPoint()).normalized());
    TGridPlot::mouseMoveEvent(event);
}

void TCapacityChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (!armed_ || !dragging_ || event->button() != Qt::LeftButton) return TGridPlot::mouseReleaseEvent(event);
    DisarmPainting();
    const QPoint from = CellAt(pressPoint_), to = CellAt(event->position());
    emit RectanglePainted(from.x(), to.x(), from.y(), to.y());
}

} // namespace marovi::app
