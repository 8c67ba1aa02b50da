#pragma once
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

class QFileDialog;

namespace marovi::app {

// A chart of a grid drawn in axis units: a title, a plot rectangle that keeps the aspect
// ratio of the axis ranges (cells stay square), conversions between pixels and axis
// values, and optional left and bottom axes with tick labels. A double click saves the
// chart through its "wmfSaveDialog" as SVG, or copies it with Ctrl held.
// Subclasses paint what they rendered from the model beforehand, never the model itself.
class TGridPlot : public QWidget {
    Q_OBJECT
public:
    explicit TGridPlot(const QString& title, QWidget* parent = nullptr);

    void SetRanges(double xMin, double xMax, double yMin, double yMax);
    void SetAxesVisible(bool visible);
    // The plot's background, seen where nothing is drawn.
    void SetBackground(const QColor& colour);
    QRgb Background() const { return background_; }

    QRectF PlotRect() const;
    QPointF ToPixel(QPointF value) const;
    QPointF ToValue(QPointF pixel) const;
    // The pixel rectangle of the axis rectangle from (x0, y0) to (x1, y1).
    QRectF ToPixelRect(double x0, double y0, double x1, double y1) const;
    QString Title() const { return title_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return {600, 560}; }

protected:
    virtual void PaintContent(QPainter& painter) = 0;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PaintAxes(QPainter& painter, const QRectF& plot) const;

    QString title_;
    double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
    bool axesVisible_ = true;
    QRgb background_ = 0xFFFFFFFF;
    QFileDialog* saveDialog_;
};

} // namespace marovi::app
