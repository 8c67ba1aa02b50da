#include "map_chart.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "widgets/axis_ticks.h"
#include "widgets/cell_outline.h"

namespace marovi::app {

namespace {

constexpr int DragThreshold = 4;

QRgb Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

// Scales the channels of a pixel by f (0..1): darker edges of cells and discs.
QRgb Darker(QRgb c, int f256)
{
    return qRgb(qRed(c) * f256 >> 8, qGreen(c) * f256 >> 8, qBlue(c) * f256 >> 8);
}

QRgb Blend(QRgb under, QRgb over, double alpha)
{
    const int a = static_cast<int>(alpha * 256);
    const auto mix = [a](int u, int o) { return u + ((o - u) * a >> 8); };
    return qRgb(mix(qRed(under), qRed(over)), mix(qGreen(under), qGreen(over)), mix(qBlue(under), qBlue(over)));
}

// Round tick values of an axis: about one every `spacing` pixels.
std::vector<double> Ticks(const TAxisRange& axis, int pixels, int spacing)
{
    std::vector<double> ticks;
    const double span = axis.Max - axis.Min;
    if (!(span > 0) || pixels <= 0) return ticks;
    const double step = RoundTickInterval(span, std::max(1, pixels / spacing));
    for (double v = std::ceil(axis.Min / step) * step; v <= axis.Max + step * 1e-9; v += step)
        ticks.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
    return ticks;
}

QString TickText(double v) { return QString::number(v, 'g', 6); }

} // namespace

TMapChart::TMapChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setMinimumSize(120, 120);
    shiftClick_.setSingleShot(true);
    connect(&shiftClick_, &QTimer::timeout, this, [this] { emit BackgroundClicked(Qt::MiddleButton, shiftClickAt_); });
    MeasureMargins();
    homeBottom_ = bottom_;
    homeLeft_ = left_;
}

TMapChart::~TMapChart() = default;

void TMapChart::Invalidate()
{
    rasterValid_ = false;
    update();
}

void TMapChart::InvalidateAxes()
{
    axesValid_ = false;
    Invalidate();
}

void TMapChart::SetFrame(TMapFrame& frame)
{
    std::swap(frame_, frame);
    Invalidate();
}

void TMapChart::SetCellBorders(bool on)
{
    if (cellBorders_ == on) return;
    cellBorders_ = on;
    Invalidate();
}

void TMapChart::SetBackground(const QColor& colour)
{
    background_ = colour.rgb();
    Invalidate();
}

void TMapChart::SetGridLines(bool on)
{
    if (gridLines_ == on) return;
    gridLines_ = on;
    Invalidate();
}

void TMapChart::SetAxes(const TAxisRange& bottom, const TAxisRange& left)
{
    bottom_ = bottom;
    left_ = left;
    InvalidateAxes();
}

void TMapChart::SetHomeAxes(const TAxisRange& bottom, const TAxisRange& left)
{
    homeBottom_ = bottom;
    homeLeft_ = left;
}

// Room for the tick labels around the plot, measured once per font.
void TMapChart::MeasureMargins()
{
    const QFontMetrics fm(font());
    margins_ = QMargins(fm.horizontalAdvance(QStringLiteral("00000")) + 8, fm.height() / 2 + 4,
                        fm.horizontalAdvance(QStringLiteral("000")) / 2 + 6, fm.height() + 8);
}

void TMapChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        MeasureMargins();
        InvalidateAxes();
    }
    QWidget::changeEvent(event);
}

QRect TMapChart::PlotRect() const
{
    return QRect(margins_.left(), margins_.top(), std::max(1, width() - margins_.left() - margins_.right()),
                 std::max(1, height() - margins_.top() - margins_.bottom()));
}

QPointF TMapChart::ValueAt(QPointF pixel) const
{
    const QRect plot = PlotRect();
    return {bottom_.Min + (pixel.x() - plot.left()) * (bottom_.Max - bottom_.Min) / plot.width(),
            left_.Max - (pixel.y() - plot.top()) * (left_.Max - left_.Min) / plot.height()};
}

QPointF TMapChart::PixelOf(QPointF value) const
{
    const QRect plot = PlotRect();
    return {plot.left() + (value.x() - bottom_.Min) * plot.width() / (bottom_.Max - bottom_.Min),
            plot.top() + (left_.Max - value.y()) * plot.height() / (left_.Max - left_.Min)};
}

double TMapChart::PixelsPerCell() const
{
    const QRect plot = PlotRect();
    return plot.height() / (left_.Max - left_.Min);
}

int TMapChart::DiscAt(QPointF pixel) const
{
    // A disc of under two pixels is hit within two pixels of its centre.
    const double scale = PixelsPerCell();
    for (size_t i = frame_.Discs.size(); i-- > 0;) {
        const TMapDisc& d = frame_.Discs[i];
        const QPointF c = PixelOf(QPointF(d.X, d.Y));
        const double r = std::max(d.Radius * scale, 2.0);
        const double dx = pixel.x() - c.x(), dy = pixel.y() - c.y();
        if (dx * dx + dy * dy <= r * r) return static_cast<int>(i);
    }
    return -1;
}

// ---- painting ----

void TMapChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rasterValid_ = axesValid_ = false;
}

void TMapChart::paintEvent(QPaintEvent*)
{
    if (!rasterValid_) Rasterise();
    QPainter p(this);
    p.drawImage(0, 0, raster_);
    if (AfterDraw) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(PlotRect());
        AfterDraw(p);
        p.restore();
    }
    if (dragging_ && pressButton_ == Qt::LeftButton) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(pressPos_, lastPos_).normalized());
    }
}

void TMapChart::Rasterise()
{
    const qreal dpr = devicePixelRatioF();
    if (raster_.size() != size() * dpr) {
        raster_ = QImage(size() * dpr, QImage::Format_RGB32);
        axesValid_ = false;
    }
    raster_.setDevicePixelRatio(dpr);
    const QRect plot = PlotRect();
    // The axes stay while only the frame changes (every redraw of a run): only the plot
    // is drawn again.
    if (!axesValid_) {
        raster_.fill(palette().color(QPalette::Window));
        QPainter p(&raster_);
        PaintAxes(p, plot);
        axesValid_ = true;
    }
    // Pixel work happens in device pixels, QPainter work in widget pixels.
    const QRect device(QPoint(qRound(plot.left() * dpr), qRound(plot.top() * dpr)),
                       QPoint(qRound((plot.right() + 1) * dpr) - 1, qRound((plot.bottom() + 1) * dpr) - 1));
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
        std::fill(line + device.left(), line + device.right() + 1, background_);
    }
    if (bottom_.Max > bottom_.Min && left_.Max > left_.Min) {
        RasteriseCells(device);
        if (gridLines_) RasteriseGrid(device, dpr);
        RasteriseDiscs(device);
    }
    rasterValid_ = true;
}

// Dotted grey lines at the ticks, every other pixel.
void TMapChart::RasteriseGrid(const QRect& plot, double dpr)
{
    constexpr QRgb grey = 0xFF808080;
    constexpr double alpha = 160 / 255.0;
    for (double v : Ticks(bottom_, PlotRect().width(), 60)) {
        const int x = qRound(PixelOf(QPointF(v, 0)).x() * dpr);
        if (x < plot.left() || x > plot.right()) continue;
        for (int y = plot.top(); y <= plot.bottom(); y += 2) {
            auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
            line[x] = Blend(line[x], grey, alpha);
        }
    }
    for (double v : Ticks(left_, PlotRect().height(), 40)) {
        const int y = qRound(PixelOf(QPointF(0, v)).y() * dpr);
        if (y < plot.top() || y > plot.bottom()) continue;
        auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
        for (int x = plot.left(); x <= plot.right(); x += 2) line[x] = Blend(line[x], grey, alpha);
    }
}

void TMapChart::RasteriseCells(const QRect& plot)
{
    const int nx = frame_.Columns(), ny = frame_.Rows();
    if (!frame_.CellsDrawn || nx == 0 || ny == 0 || frame_.CellColours.size() != static_cast<size_t>(nx) * ny) return;
    const double sx = plot.width() / (bottom_.Max - bottom_.Min);
    const double sy = plot.height() / (left_.Max - left_.Min);
    // Pixel edges of the cells: column i spans [ex[i], ex[i + 1]), row j spans [ey[j + 1], ey[j]).
    std::vector<int> ex(static_cast<size_t>(nx) + 1), ey(static_cast<size_t>(ny) + 1);
    const auto clampX = [&](double v) { return static_cast<int>(std::clamp(std::round(v), double(plot.left()), plot.right() + 1.0)); };
    const auto clampY = [&](double v) { return static_cast<int>(std::clamp(std::round(v), double(plot.top()), plot.bottom() + 1.0)); };
    for (int i = 0; i <= nx; ++i) ex[static_cast<size_t>(i)] = clampX(plot.left() + (frame_.Rect.X0 + i - bottom_.Min) * sx);
    for (int j = 0; j <= ny; ++j) ey[static_cast<size_t>(j)] = clampY(plot.top() + (left_.Max - (frame_.Rect.Y0 + j)) * sy);

    const uint32_t* colours = frame_.CellColours.data();
    for (int j = 0; j < ny; ++j) {
        const int rowTop = ey[static_cast<size_t>(j) + 1], rowEnd = ey[static_cast<size_t>(j)];
        for (int y = rowTop; y < rowEnd; ++y) {
            auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
            for (int i = 0; i < nx; ++i) {
                const int a = ex[static_cast<size_t>(i)], b = ex[static_cast<size_t>(i) + 1];
                if (a < b) std::fill(line + a, line + b, Opaque(colours[static_cast<size_t>(i) * ny + j]));
            }
        }
    }

    // Outlines from two pixels a cell; fainter while they would hide much of a cell's colour.
    const TCellOutline outline = CellOutline(std::min(sx, sy));
    if (!cellBorders_ || outline == TCellOutline::None) return;
    const int left = ex.front(), right = ex.back(), top = ey.back(), bottom = ey.front();
    if (left >= right || top >= bottom) return;
    const int shade = outline == TCellOutline::Faint ? 200 : 150; // of 256
    std::vector<char> edgeRow(static_cast<size_t>(bottom - top), 0);
    for (int j = 0; j <= ny; ++j) {
        int y = ey[static_cast<size_t>(j)];
        if (j == 0) --y; // the lowest edge is the last row of the lowest cells
        if (y < top || y >= bottom || edgeRow[static_cast<size_t>(y - top)]) continue;
        edgeRow[static_cast<size_t>(y - top)] = 1;
        auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
        for (int x = left; x < right; ++x) line[x] = Darker(line[x], shade);
    }
    std::vector<int> edgeColumns;
    for (int i = 0; i <= nx; ++i) {
        const int x = ex[static_cast<size_t>(i)] - (i == nx ? 1 : 0);
        if (x >= left && x < right && (edgeColumns.empty() || edgeColumns.back() != x)) edgeColumns.push_back(x);
    }
    for (int y = top; y < bottom; ++y) {
        if (edgeRow[static_cast<size_t>(y - top)]) continue; // darkened already
        auto* line = reinterpret_cast<QRgb*>(raster_.scanLine(y));
        for (int x : edgeColumns) line[x] = Darker(line[x], shade);
    }
}

void TMapChart::RasteriseDiscs(const QRect& plot)
{
    if (frame_.Discs.empty()) return;
    const double sx = plot.width() / (bottom_.Max - bottom_.Min);
    const double sy = plot.height() / (left_.Max - left_.Min);
    const double x0 = plot.left() - bottom_.Min * sx, y0 = plot.top() + left_.Max * sy;
    const int left = plot.left(), right = plot.right(), top = plot.top(), bottom = plot.bottom();
    const int stride = static_cast<int>(raster_.bytesPerLine() / sizeof(QRgb));
    QRgb* bits = reinterpret_cast<QRgb*>(raster_.bits());
    for (const TMapDisc& d : frame_.Discs) {
        const double cx = x0 + d.X * sx, cy = y0 - d.Y * sy;
        const double r = d.Radius * sy;
        const QRgb colour = Opaque(d.Colour);
        if (r < 0.8) {
            // Smaller than a pixel: one pixel, so that every individual stays visible.
            const int px = static_cast<int>(std::floor(cx)), py = static_cast<int>(std::floor(cy));
            if (px >= left && px <= right && py >= top && py <= bottom) bits[py * stride + px] = colour;
            continue;
        }
        const bool outline = r >= 2.5;
        const QRgb rim = Darker(colour, 140);
        const int xa = std::max(left, static_cast<int>(std::floor(cx - r - 0.5)));
        const int xb = std::min(right, static_cast<int>(std::ceil(cx + r + 0.5)));
        const int ya = std::max(top, static_cast<int>(std::floor(cy - r - 0.5)));
        const int yb = std::min(bottom, static_cast<int>(std::ceil(cy + r + 0.5)));
        const double inner = outline ? r - 1.5 : r - 0.5;
        const double inner2 = inner > 0 ? inner * inner : -1, outer2 = (r + 0.5) * (r + 0.5);
        for (int y = ya; y <= yb; ++y) {
            QRgb* line = bits + y * stride;
            const double dy = y + 0.5 - cy;
            for (int x = xa; x <= xb; ++x) {
                const double dx = x + 0.5 - cx;
                const double d2 = dx * dx + dy * dy;
                if (d2 <= inner2) {
                    line[x] = colour;
                } else if (d2 < outer2) {
                    const double dist = std::sqrt(d2);
                    const QRgb c = outline && dist > r - 1.2 ? rim : colour;
                    line[x] = Blend(line[x], c, std::min(1.0, r + 0.5 - dist));
                }
            }
        }
    }
}

void TMapChart::PaintGrid(QPainter& p, const QRect& plot) const
{
    p.save();
    p.setClipRect(plot);
    p.setPen(QPen(QColor(128, 128, 128, 160), 1, Qt::DotLine));
    for (double v : Ticks(bottom_, plot.width(), 60)) {
        const int x = qRound(PixelOf(QPointF(v, 0)).x());
        p.drawLine(x, plot.top(), x, plot.bottom());
    }
    for (double v : Ticks(left_, plot.height(), 40)) {
        const int y = qRound(PixelOf(QPointF(0, v)).y());
        p.drawLine(plot.left(), y, plot.right(), y);
    }
    p.restore();
}

void TMapChart::PaintAxes(QPainter& p, const QRect& plot) const
{
    p.save();
    p.setFont(font());
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.adjusted(0, 0, -1, -1).adjusted(-1, -1, 1, 1));
    const QFontMetrics fm(font());
    for (double v : Ticks(bottom_, plot.width(), 60)) {
        const int x = qRound(PixelOf(QPointF(v, 0)).x());
        p.drawLine(x, plot.bottom() + 1, x, plot.bottom() + 4);
        const QString text = TickText(v);
        p.drawText(x - fm.horizontalAdvance(text) / 2, plot.bottom() + 5 + fm.ascent(), text);
    }
    for (double v : Ticks(left_, plot.height(), 40)) {
        const int y = qRound(PixelOf(QPointF(0, v)).y());
        p.drawLine(plot.left() - 4, y, plot.left() - 1, y);
        const QString text = TickText(v);
        p.drawText(plot.left() - 6 - fm.horizontalAdvance(text), y + fm.ascent() / 2 - 1, text);
    }
    p.restore();
}

// The same picture from shapes, for vector files.
void TMapChart::PaintVector(QPainter& p)
{
    const QRect plot = PlotRect();
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.fillRect(plot, QColor::fromRgb(background_));
    if (bottom_.Max > bottom_.Min && left_.Max > left_.Min) {
        p.save();
        p.setClipRect(plot);
        const double sx = plot.width() / (bottom_.Max - bottom_.Min);
        const double sy = plot.height() / (left_.Max - left_.Min);
        const int nx = frame_.Columns(), ny = frame_.Rows();
        if (frame_.CellsDrawn && frame_.CellColours.size() == static_cast<size_t>(nx) * ny) {
            const TCellOutline outline = cellBorders_ ? CellOutline(std::min(sx, sy)) : TCellOutline::None;
            p.setPen(outline == TCellOutline::None ? QPen(Qt::NoPen)
                                                   : QPen(QColor(0, 0, 0, outline == TCellOutline::Faint ? 56 : 105), 1));
            for (int i = 0; i < nx; ++i)
                for (int j = 0; j < ny; ++j) {
                    const QPointF corner = PixelOf(QPointF(frame_.Rect.X0 + i, frame_.Rect.Y0 + j + 1));
                    p.setBrush(QColor::fromRgb(Opaque(frame_.CellColours[static_cast<size_t>(i) * ny + j])));
                    p.drawRect(QRectF(corner, QSizeF(sx, sy)));
                }
        }
        if (gridLines_) PaintGrid(p, plot);
        p.setRenderHint(QPainter::Antialiasing);
        for (const TMapDisc& d : frame_.Discs) {
            const double r = std::max(d.Radius * sy, 0.5);
            const QColor colour = QColor::fromRgb(Opaque(d.Colour));
            p.setPen(r >= 2.5 ? QPen(colour.darker(180), 1) : QPen(Qt::NoPen));
            p.setBrush(colour);
            p.drawEllipse(PixelOf(QPointF(d.X, d.Y)), r, r);
        }
        p.restore();
    }
    PaintAxes(p, plot);
    if (AfterDraw) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(plot);
        AfterDraw(p);
        p.restore();
    }
}

// ---- output ----

QImage TMapChart::Image()
{
    if (!rasterValid_) Rasterise();
    QImage image = raster_.copy();
    if (AfterDraw) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(PlotRect());
        AfterDraw(p);
    }
    return image;
}

namespace {

QString WriteFailure(const QString& path, const QSaveFile& file)
{
    return QStringLiteral("can not write %1: %2").arg(path, file.errorString());
}

} // namespace

QString TMapChart::SaveBitmap(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return WriteFailure(path, file);
    QImage image = Image();
    image.setDevicePixelRatio(1);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&file, "BMP") || !file.commit()) return WriteFailure(path, file);
    return {};
}

void TMapChart::RenderSvg(QIODevice* device)
{
    QSvgGenerator generator;
    generator.setOutputDevice(device);
    generator.setSize(size());
    generator.setViewBox(rect());
    generator.setTitle(window()->windowTitle());
    QPainter p(&generator);
    PaintVector(p);
}

QByteArray TMapChart::SvgBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RenderSvg(&buffer);
    return buffer.data();
}

QString TMapChart::SaveSvg(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return WriteFailure(path, file);
    RenderSvg(&file);
    if (!file.commit()) return WriteFailure(path, file);
    return {};
}

void TMapChart::CopyToClipboard(bool vector)
{
    auto* data = new QMimeData;
    data->setImageData(Image());
    if (vector) data->setData(QStringLiteral("image/svg+xml"), SvgBytes());
    QApplication::clipboard()->setMimeData(data);
}

// ---- mouse ----

void TMapChart::mousePressEvent(QMouseEvent* event)
{
    pressButton_ = event->button();
    pressPos_ = lastPos_ = event->position().toPoint();
    dragging_ = false;
    event->accept();
}

void TMapChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (pressButton_ == Qt::NoButton) return;
    if (!dragging_ && (pos - pressPos_).manhattanLength() < DragThreshold) return;
    dragging_ = true;
    if (pressButton_ == Qt::RightButton) {
        // Scrolling: the grid follows the pointer.
        const QPointF from = ValueAt(lastPos_), to = ValueAt(pos);
        const double dx = from.x() - to.x(), dy = from.y() - to.y();
        bottom_ = {bottom_.Min + dx, bottom_.Max + dx};
        left_ = {left_.Min + dy, left_.Max + dy};
        lastPos_ = pos;
        InvalidateAxes();
        emit AxesChangedByUser();
        return;
    }
    lastPos_ = pos;
    update();
}

void TMapChart::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = pressButton_;
    pressButton_ = Qt::NoButton;
    event->accept();
    if (button != event->button()) return;
    if (dragging_) {
        dragging_ = false;
        if (button != Qt::LeftButton) return;
        const QPoint end = event->position().toPoint();
        if (end.x() > pressPos_.x() && end.y() > pressPos_.y()) {
            const QPointF a = ValueAt(pressPos_), b = ValueAt(end);
            bottom_ = {a.x(), b.x()};
            left_ = {b.y(), a.y()};
        } else {
            bottom_ = homeBottom_;
            left_ = homeLeft_;
        }
        InvalidateAxes();
        emit AxesChangedByUser();
        return;
    }
    const QPointF at = event->position();
    const int disc = DiscAt(at);
    if (disc >= 0) {
        emit DiscClicked(button, disc);
    } else if (PlotRect().contains(at.toPoint())) {
        // Shift + left click is the middle click of a pointer without a middle button; it
        // waits until it is clear that no double click (a copy with Shift held) follows.
        if (button == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
            shiftClickAt_ = ValueAt(at);
            shiftClick_.start(QApplication::doubleClickInterval());
        } else {
            emit BackgroundClicked(button, ValueAt(at));
        }
    }
}

void TMapChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    pressButton_ = Qt::NoButton;
    shiftClick_.stop();
    emit DoubleClicked(event->modifiers());
}

void TMapChart::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    event->accept();
    // Zooms about the value under the pointer.
    const QPointF at = ValueAt(event->position());
    const double f = std::pow(1.25, -steps);
    bottom_ = {at.x() - (at.x() - bottom_.Min) * f, at.x() + (bottom_.Max - at.x()) * f};
    left_ = {at.y() - (at.y() - left_.Min) * f, at.y() + (left_.Max - at.y()) * f};
    InvalidateAxes();
    emit AxesChangedByUser();
}

} // namespace marovi::app
