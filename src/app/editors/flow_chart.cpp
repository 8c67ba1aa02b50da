#include "editors/flow_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "landscape/flow.h"

namespace marovi::app {

namespace {

bool Finite(const TFlowCell& c) { return std::isfinite(c.Direction) && std::isfinite(c.Deviation) && std::isfinite(c.Speed); }

double DistanceToSegment(QPointF p, const QLineF& s)
{
    const QPointF d = s.p2() - s.p1();
    const double length2 = d.x() * d.x() + d.y() * d.y();
    double t = length2 > 0 ? ((p.x() - s.x1()) * d.x() + (p.y() - s.y1()) * d.y()) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = s.p1() + t * d - p;
    return std::hypot(q.x(), q.y());
}

} // namespace

TFlowChart::TFlowChart(QWidget* parent) : TGridPlot(QStringLiteral("detailed flow grid (complete landscape)"), parent)
{
    SetAxesVisible(false);
    setFocusPolicy(Qt::ClickFocus);
}

void TFlowChart::SetFlowGrid(const TFlowGrid& grid)
{
    grid_ = grid;
    SetRanges(-0.1 * grid_.XCount, 1.1 * grid_.XCount, -0.1 * grid_.YCount, 1.1 * grid_.YCount);
}

void TFlowChart::SetSelection(int x, int y)
{
    selX_ = x;
    selY_ = y;
    update();
}

void TFlowChart::SetShowDeviation(bool show)
{
    showDeviation_ = show;
    update();
}

void TFlowChart::SetArrowSize(int pixels)
{
    arrowSize_ = pixels;
    update();
}

void TFlowChart::SetBackground(const QImage& image)
{
    background_ = image;
    update();
}

QLineF TFlowChart::ArrowLine(int x, int y) const
{
    const TFlowCell& c = grid_.Cell(x, y);
    // An absurd speed from a file still gives an arrow that ends near the chart.
    const double limit = 2.0 * (grid_.XCount + grid_.YCount);
    const double length = std::clamp(SpeedFactor * c.Speed, -limit, limit);
    const QPointF from(x + 0.5, y + 0.5);
    return QLineF(ToPixel(from), ToPixel(from + QPointF(std::cos(c.Direction) * length, std::sin(c.Direction) * length)));
}

int TFlowChart::ArrowAt(QPointF pixel) const
{
    const double tolerance = std::max(5.0, arrowSize_ / 2.0);
    int best = -1;
    double bestDistance = tolerance;
    for (int x = 0; x < grid_.XCount; ++x)
        for (int y = 0; y < grid_.YCount; ++y) {
            if (!Finite(grid_.Cell(x, y))) continue;
            const double d = DistanceToSegment(pixel, ArrowLine(x, y));
            if (d <= bestDistance) {
                bestDistance = d;
                best = x * grid_.YCount + y;
            }
        }
    return best;
}

void TFlowChart::PaintContent(QPainter& painter)
{
    if (grid_.XCount < 1 || grid_.YCount < 1) return;
    const QRectF area = ToPixelRect(0, 0, grid_.XCount, grid_.YCount);
    if (!background_.isNull()) painter.drawImage(area, background_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (selX_ >= 0 && selX_ < grid_.XCount && selY_ >= 0 && selY_ < grid_.YCount) {
        painter.setPen(QPen(QColor(0, 120, 255), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToPixelRect(selX_, selY_, selX_ + 1, selY_ + 1));
    }
    if (showDeviation_) PaintDeviation(painter);
    PaintArrows(painter);
}

void TFlowChart::PaintDeviation(QPainter& painter) const
{
    painter.setPen(QPen(QColor(150, 210, 255, 200), 1));
    painter.setBrush(QColor(150, 210, 255, 120));
    for (int x = 0; x < grid_.XCount; ++x)
        for (int y = 0; y < grid_.YCount; ++y) {
            const TFlowCell& c = grid_.Cell(x, y);
            if (!(c.Speed > 0) || !Finite(c)) continue;
            const QRectF cell = ToPixelRect(x, y, x + 1, y + 1);
            const double from = RadToDeg(c.Direction - c.Deviation), span = RadToDeg(2 * c.Deviation);
            // A spread of a whole turn or more covers every direction.
            if (std::fabs(span) >= 360)
                painter.drawEllipse(cell);
            else
                painter.drawPie(cell, static_cast<int>(std::lround(std::fmod(from, 360.0) * 16)), static_cast<int>(std::lround(span * 16)));
        }
}

void TFlowChart::PaintArrows(QPainter& painter) const
{
    // Yellow on a dark outline: visible on the dark reds and on the white of empty cells.
    for (const auto& [colour, width] : {std::pair{QColor(Qt::black), 3.5}, std::pair{QColor(255, 230, 40), 1.5}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
        painter.setBrush(colour);
        for (int x = 0; x < grid_.XCount; ++x)
            for (int y = 0; y < grid_.YCount; ++y) {
                if (!Finite(grid_.Cell(x, y))) continue;
                const QLineF line = ArrowLine(x, y);
                if (line.length() < 0.5) {
                    painter.drawEllipse(line.p1(), 1.5, 1.5);
                    continue;
                }
                painter.drawLine(line);
                // The head: a triangle arrow size long and wide with its tip at the arrow's end.
                const QPointF unit = (line.p2() - line.p1()) / line.length();
                const QPointF normal(-unit.y(), unit.x());
                const QPointF base = line.p2() - unit * arrowSize_;
                painter.drawPolygon(QPolygonF{line.p2(), base + normal * (arrowSize_ / 2.0), base - normal * (arrowSize_ / 2.0)});
            }
    }
}

void TFlowChart::mousePressEvent(QMouseEvent* event)
{
    const int arrow = ArrowAt(event->position());
    if (arrow >= 0) {
        event->accept();
        emit ArrowClicked(arrow, event->button());
        return;
    }
    TGridPlot::mousePressEvent(event);
}

} // namespace marovi::app
