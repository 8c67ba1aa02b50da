#include "widgets/grid_plot.h"

#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "messages.h"
#include "widgets/axis_ticks.h"
#include "widgets/widget_export.h"

namespace marovi::app {

namespace {

constexpr int TitleHeight = 26;
constexpr int Margin = 8;

} // namespace

TGridPlot::TGridPlot(const QString& title, QWidget* parent)
    : QWidget(parent), title_(title),
      saveDialog_(MakeFileDialog(this, "wmfSaveDialog", true, QStringLiteral("scalable vector graphics (*.svg)"),
                                 QStringLiteral("svg")))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize TGridPlot::minimumSizeHint() const
{
    QFont bold = font();
    bold.setBold(true);
    return {std::max(240, QFontMetrics(bold).horizontalAdvance(title_) + 2 * Margin), 200};
}

void TGridPlot::SetRanges(double xMin, double xMax, double yMin, double yMax)
{
    xMin_ = xMin;
    xMax_ = xMax > xMin ? xMax : xMin + 1;
    yMin_ = yMin;
    yMax_ = yMax > yMin ? yMax : yMin + 1;
    update();
}

void TGridPlot::SetBackground(const QColor& colour)
{
    background_ = colour.rgb();
    update();
}

void TGridPlot::SetAxesVisible(bool visible)
{
    axesVisible_ = visible;
    update();
}

QRectF TGridPlot::PlotRect() const
{
    const QFontMetrics metrics(font());
    const int axisSpace = axesVisible_ ? metrics.horizontalAdvance(QStringLiteral("00000")) + 8 : 0;
    const int bottomSpace = axesVisible_ ? metrics.height() + 8 : 0;
    // The last label of the bottom axis is centred on the plot's right edge.
    const int rightSpace = axesVisible_ ? metrics.horizontalAdvance(QString::number(std::floor(xMax_))) / 2 : 0;
    const QRectF room(Margin + axisSpace, TitleHeight, width() - 2 * Margin - axisSpace - rightSpace,
                      height() - TitleHeight - Margin - bottomSpace);
    if (room.width() <= 0 || room.height() <= 0) return QRectF(room.topLeft(), QSizeF(1, 1));
    const double aspect = (xMax_ - xMin_) / (yMax_ - yMin_);
    QSizeF size(room.width(), room.width() / aspect);
    if (size.height() > room.height()) size = QSizeF(room.height() * aspect, room.height());
    return QRectF(room.left() + (room.width() - size.width()) / 2, room.top(), size.width(), size.height());
}

QPointF TGridPlot::ToPixel(QPointF value) const
{
    const QRectF plot = PlotRect();
    return {plot.left() + (value.x() - xMin_) / (xMax_ - xMin_) * plot.width(),
            plot.bottom() - (value.y() - yMin_) / (yMax_ - yMin_) * plot.height()};
}

QPointF TGridPlot::ToValue(QPointF pixel) const
{
    const QRectF plot = PlotRect();
    return {xMin_ + (pixel.x() - plot.left()) / plot.width() * (xMax_ - xMin_),
            yMin_ + (plot.bottom() - pixel.y()) / plot.height() * (yMax_ - yMin_)};
}

QRectF TGridPlot::ToPixelRect(double x0, double y0, double x1, double y1) const
{
    return QRectF(ToPixel({x0, y0}), ToPixel({x1, y1})).normalized();
}

void TGridPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(0, 0, width(), TitleHeight), Qt::AlignCenter, title_);
    painter.setFont(font());
    const QRectF plot = PlotRect();
    painter.fillRect(plot, QColor::fromRgb(background_));
    painter.save();
    painter.setClipRect(plot);
    PaintContent(painter);
    painter.restore();
    if (axesVisible_) PaintAxes(painter, plot);
}

void TGridPlot::PaintAxes(QPainter& painter, const QRectF& plot) const
{
    painter.setPen(palette().windowText().color());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    const QFontMetrics metrics(font());
    // Whole cells, about five ticks.
    const double xStep = RoundTickInterval(xMax_ - xMin_, 5, 1), yStep = RoundTickInterval(yMax_ - yMin_, 5, 1);
    for (double v = std::ceil(xMin_ / xStep) * xStep; v <= xMax_; v += xStep) {
        const double px = ToPixel({v, yMin_}).x();
        painter.drawLine(QPointF(px, plot.bottom()), QPointF(px, plot.bottom() + 4));
        const QString label = QString::number(v);
        painter.drawText(QPointF(px - metrics.horizontalAdvance(label) / 2.0, plot.bottom() + 4 + metrics.ascent()), label);
    }
    for (double v = std::ceil(yMin_ / yStep) * yStep; v <= yMax_; v += yStep) {
        const double py = ToPixel({xMin_, v}).y();
        painter.drawLine(QPointF(plot.left() - 4, py), QPointF(plot.left(), py));
        const QString label = QString::number(v);
        painter.drawText(QPointF(plot.left() - 6 - metrics.horizontalAdvance(label), py + metrics.ascent() / 2.0 - 1), label);
    }
}

void TGridPlot::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    SaveOrCopyChart(this, title_, saveDialog_, event->modifiers());
}

} // namespace marovi::app
