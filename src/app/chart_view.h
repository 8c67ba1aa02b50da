#pragma once
#include <QByteArray>
#include <QChartView>
#include <functional>

class QFileDialog;

namespace marovi::app {

// A chart that saves itself on a double click: as an SVG file chosen in a save dialog, or,
// with Ctrl held, to the clipboard as an image and as SVG.
class TChartView : public QChartView {
    Q_OBJECT
public:
    explicit TChartView(QChart* chart, QWidget* parent = nullptr);

    QByteArray SvgBytes();
    // Writes the SVG beside path and renames it into place; false when that fails.
    bool SaveSvg(const QString& path);
    void CopyToClipboard();

    // Drawing over the finished chart (in scene coordinates), on screen and in every export.
    // It may depend on anything in the chart, so every repaint draws the whole chart.
    void SetAfterDraw(std::function<void(QPainter&)> draw);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    QFileDialog* saveDialog_;
    std::function<void(QPainter&)> afterDraw_;
};

} // namespace marovi::app
