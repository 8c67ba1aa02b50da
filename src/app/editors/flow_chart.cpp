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

// A triangle with every side moved out by `by` pixels: its corners move away from the
// centre of its inscribed circle by the ratio of the grown circle to the old one.
QPolygonF Grown(const QPolygonF& t, double by)
{
    const double a = QLineF(t[1], t[2]).length(), b = QLineF(t[2], t[0]).length(), c = QLineF(t[0], t[1]).length();
    const double perimeter = a + b + c;
    if (!(perimeter > 0)) return t;
    const QPointF centre = (a * t[0] + b * t[1] + c * t[2]) / perimeter;
    const double s = perimeter / 2, radius = std::sqrt(std::max(0.0, (s - a) * (s - b) * (s - c) / s));
    if (!(radius > 0)) return t;
    const double f = (radius + by) / radius;
    return QPolygonF{centre + (t[0] - centre) * f, centre + (t[1] - centre) * f, centre + (t[2] - centre) * f};
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

QLineF TFlowChart::ArrowLine(int x, int y, double scale) const
{
    const TFlowCell& c = grid_.Cell(x, y);
    // An absurd speed from a file still gives an arrow that ends near the chart.
    const double limit = 2.0 * (grid_.XCount + grid_.YCount);
    const double length = std::clamp(SpeedFactor * c.Speed * scale, -limit, limit);
    const QPointF from(x + 0.5, y + 0.5);
    return QLineF(ToPixel(from), ToPixel(from + QPointF(std::cos(c.Direction) * length, std::sin(c.Direction) * length)));
}

int TFlowChart::ArrowAt(QPointF pixel) const
{
    const double tolerance = std::max(5.0, arrowSize_ / 2.0);
    int best = -1;
    double bestDistance = tolerance;
    for (const TShownArrow& a : ShownArrows()) {
        const double d = DistanceToSegment(pixel, ArrowLine(a.X, a.Y, a.Scale));
        if (d <= bestDistance) {
            bestDistance = d;
            best = a.X * grid_.YCount + a.Y;
        }
    }
    return best;
}

// Painting costs what the screen shows: a flow cell gets its own arrow (and pie) only
// where it is a few pixels wide and the arrows stay few enough to draw at once; otherwise
// one cell of every block of k x k cells stands for the block, drawn as if the block were
// one cell.
std::vector<TFlowChart::TShownArrow> TFlowChart::ShownArrows() const
{
    std::vector<TShownArrow> arrows;
    const QRectF unit = ToPixelRect(0, 0, 1, 1);
    const double pixels = std::min(unit.width(), unit.height());
    const double cells = static_cast<double>(grid_.XCount) * grid_.YCount;
    double k = 1;
    if (pixels < MinArrowCell || cells > MostArrows)
        k = std::ceil(std::max(SampleSpacing / std::max(pixels, 1e-3), std::sqrt(cells / MostArrows)));
    const int stride = static_cast<int>(std::min<double>(k, std::max(grid_.XCount, grid_.YCount)));
    for (int bx = 0; bx < grid_.XCount; bx += stride)
        for (int by = 0; by < grid_.YCount; by += stride) {
            const int x = std::min(bx + stride / 2, grid_.XCount - 1), y = std::min(by + stride / 2, grid_.YCount - 1);
            if (Finite(grid_.Cell(x, y))) arrows.push_back({x, y, static_cast<double>(stride)});
        }
    return arrows;
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
    const std::vector<TShownArrow> arrows = ShownArrows();
    if (showDeviation_) PaintDeviation(painter, arrows);
    PaintArrows(painter, arrows);
}

void TFlowChart::PaintDeviation(QPainter& painter, const std::vector<TShownArrow>& arrows) const
{
    painter.setPen(QPen(QColor(150, 210, 255, 200), 1));
    painter.setBrush(QColor(150, 210, 255, 120));
    for (const TShownArrow& a : arrows) {
        const TFlowCell& c = grid_.Cell(a.X, a.Y);
        if (!(c.Speed > 0)) continue;
        const double half = a.Scale / 2;
        const QRectF cell = ToPixelRect(a.X + 0.5 - half, a.Y + 0.5 - half, a.X + 0.5 + half, a.Y + 0.5 + half);
        const double from = RadToDeg(c.Direction - c.Deviation), span = RadToDeg(2 * c.Deviation);
        // A spread of a whole turn or more covers every direction.
        if (std::fabs(span) >= 360)
            painter.drawEllipse(cell);
        else
            painter.drawPie(cell, static_cast<int>(std::lround(std::fmod(from, 360.0) * 16)), static_cast<int>(std::lround(span * 16)));
    }
}

void TFlowChart::PaintArrows(QPainter& painter, const std::vector<TShownArrow>& arrows) const
{
    QList<QLineF> shafts;
    QList<QPolygonF> heads;
    QList<QPointF> dots;
    for (const TShownArrow& a : arrows) {
        const QLineF line = ArrowLine(a.X, a.Y, a.Scale);
        if (line.length() < 0.5) {
            dots.append(line.p1());
            continue;
        }
        shafts.append(line);
        // The head: a triangle arrow size long and wide with its tip at the arrow's end.
        const QPointF unit = (line.p2() - line.p1()) / line.length();
        const QPointF normal(-unit.y(), unit.x());
        const QPointF base = line.p2() - unit * arrowSize_;
        heads.append(QPolygonF{line.p2(), base + normal * (arrowSize_ / 2.0), base - normal * (arrowSize_ / 2.0)});
    }
    // Yellow on a dark outline: visible on the dark reds and on the white of empty cells.
    // Flat line ends and heads filled without a pen draw thousands of arrows in
    // milliseconds; round ends and outlined heads took ten times as long.
    const QColor outline(Qt::black), fill(255, 230, 40);
    painter.setPen(QPen(outline, 3.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(shafts);
    painter.setPen(QPen(fill, 1.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(shafts);
    painter.setPen(Qt::NoPen);
    for (const auto& [colour, grow] : {std::pair{outline, 1.0}, std::pair{fill, 0.0}}) {
        painter.setBrush(colour);
        for (const QPolygonF& head : heads) painter.drawPolygon(grow > 0 ? Grown(head, grow) : head);
        for (const QPointF& dot : dots) painter.drawEllipse(dot, 1.5 + grow, 1.5 + grow);
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
