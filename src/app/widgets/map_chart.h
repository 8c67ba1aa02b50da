#pragma once
#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "view/map_frame.h"

class QIODevice;

namespace marovi::app {

// A map of grid cells and discs with a bottom axis (x) and a left axis (y) in cell units,
// row y growing upward. It paints a frame taken from the model beforehand and never reads
// the model itself, so it can repaint while a time step runs.
//
// The cells and discs are rasterised into a cached image, which is kept until the frame,
// the axes, the size or the look change: a repaint for an overlay costs one image copy.
// The mouse zooms (drag a rectangle to the lower right; drag to the upper left to undo the
// zoom; the wheel) and scrolls (drag with the right button); clicks report the value or
// the disc under the pointer, and a Shift + left click on the background as a middle click.
class TMapChart : public QWidget {
    Q_OBJECT
public:
    explicit TMapChart(QWidget* parent = nullptr);
    ~TMapChart() override;

    // Takes over the frame's content (the caller's frame gets the previous buffers back).
    void SetFrame(TMapFrame& frame);
    const TMapFrame& Frame() const { return frame_; }
    void SetCellBorders(bool on);
    void SetGridLines(bool on);
    // The plot's background, seen where no cell is drawn.
    void SetBackground(const QColor& colour);
    QRgb Background() const { return background_; }
    bool CellBorders() const { return cellBorders_; }
    bool GridLines() const { return gridLines_; }

    TAxisRange BottomAxis() const { return bottom_; }
    TAxisRange LeftAxis() const { return left_; }
    void SetAxes(const TAxisRange& bottom, const TAxisRange& left);
    // The axes that undoing a mouse zoom returns to.
    void SetHomeAxes(const TAxisRange& bottom, const TAxisRange& left);

    // The plotting rectangle in widget pixels, and conversions between pixels and values.
    QRect PlotRect() const;
    QPointF ValueAt(QPointF pixel) const;
    QPointF PixelOf(QPointF value) const;
    // The topmost disc under a pixel, -1 for none.
    int DiscAt(QPointF pixel) const;

    // Draws over the finished chart, in widget pixels (overlays).
    std::function<void(QPainter&)> AfterDraw;

    // The chart as it appears, overlays included.
    QImage Image();
    // Writing a file beside the target, renamed into place: empty, or what went wrong.
    QString SaveBitmap(const QString& path);
    QByteArray SvgBytes();
    QString SaveSvg(const QString& path);
    // The image, and with vector also the SVG, to the clipboard.
    void CopyToClipboard(bool vector);

signals:
    // The user zoomed, scrolled or undid a zoom with the mouse: the axes have changed.
    void AxesChangedByUser();
    void BackgroundClicked(Qt::MouseButton button, QPointF value);
    void DiscClicked(Qt::MouseButton button, int disc);
    void DoubleClicked(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void MeasureMargins();
    void Invalidate();
    void InvalidateAxes();
    void Rasterise();
    void RasteriseGrid(const QRect& plot, double dpr);
    void RasteriseCells(const QRect& plot);
    void RasteriseDiscs(const QRect& plot);
    void PaintVector(QPainter& p);
    void PaintGrid(QPainter& p, const QRect& plot) const;
    void PaintAxes(QPainter& p, const QRect& plot) const;
    void RenderSvg(QIODevice* device);
    double PixelsPerCell() const;

    TMapFrame frame_;
    TAxisRange bottom_, left_, homeBottom_, homeLeft_;
    bool cellBorders_ = true;
    bool gridLines_ = true;
    QRgb background_ = 0xFFFFFFFF;
    QMargins margins_;
    QImage raster_;
    bool rasterValid_ = false;
    bool axesValid_ = false; // the raster's axes and labels

    // The mouse gesture in progress.
    Qt::MouseButton pressButton_ = Qt::NoButton;
    QPoint pressPos_, lastPos_;
    bool dragging_ = false;
    QTimer shiftClick_; // a Shift + left click waiting for a possible double click
    QPointF shiftClickAt_;
};

} // namespace marovi::app
