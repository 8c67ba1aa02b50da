#pragma once
#include <QImage>
#include <QLineF>
#include <vector>

#include "landscape/flow_grid.h"
#include "widgets/grid_plot.h"

namespace marovi::app {

// The flow grid editor's chart: one arrow per flow cell from the cell's centre in its
// direction, as long as half its speed (in flow cells), over the landscape's background
// image, with the selected cell outlined and, optionally, the deviation of every moving
// cell as a pie sector. Arrows are numbered in the order they are added: x outer, y inner.
class TFlowChart : public TGridPlot {
    Q_OBJECT
public:
    explicit TFlowChart(QWidget* parent = nullptr);

    // A copy of the flow grid taken between time steps; painting reads only this copy.
    void SetFlowGrid(const TFlowGrid& grid);
    void SetSelection(int x, int y);
    void SetShowDeviation(bool show);
    void SetArrowSize(int pixels);
    void SetBackground(const QImage& image);

    int ArrowSize() const { return arrowSize_; }
    const QImage& Background() const { return background_; }
    // The arrow from a flow cell's centre to its tip, in pixels; `scale` times as long
    // where the arrow stands for a block of scale x scale cells.
    QLineF ArrowLine(int x, int y, double scale = 1) const;
    // The shown arrow under a pixel (the nearest within a few pixels), or -1.
    int ArrowAt(QPointF pixel) const;

    static constexpr double SpeedFactor = 0.5;

signals:
    void ArrowClicked(int arrow, Qt::MouseButton button);

protected:
    void PaintContent(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // An arrow drawn for flow cell (X, Y), standing for Scale x Scale cells around it.
    struct TShownArrow {
        int X, Y;
        double Scale;
    };
    // A cell this many pixels wide gets its own arrow, as long as there are no more than
    // MostArrows; finer grids show one arrow about every SampleSpacing pixels.
    static constexpr double MinArrowCell = 8;
    static constexpr double MostArrows = 10000;
    static constexpr double SampleSpacing = 24;
    std::vector<TShownArrow> ShownArrows() const;
    void PaintDeviation(QPainter& painter, const std::vector<TShownArrow>& arrows) const;
    void PaintArrows(QPainter& painter, const std::vector<TShownArrow>& arrows) const;

    TFlowGrid grid_;
    int selX_ = 0, selY_ = 0;
    bool showDeviation_ = true;
    int arrowSize_ = 10;
    QImage background_;
};

} // namespace marovi::app
