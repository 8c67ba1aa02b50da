#pragma once
#include <QChart>

class QAreaSeries;
class QLineSeries;
class QPainter;
class QValueAxis;

namespace marovi {
struct TClusterHistogram;
}

namespace marovi::app {

// "Cluster and average": one red bar per cluster at x = k - 1, and, once bars are shown, a
// line at their mean labelled with it.
class TClusterHistogramChart : public QChart {
    Q_OBJECT
public:
    TClusterHistogramChart();

    void Clear();
    void SetBars(const TClusterHistogram& h, const QString& valueAxisTitle);
    // The mean line and its label, drawn over the finished chart.
    void DrawMean(QPainter& painter);

    QAreaSeries* Bars() const { return bars_; }
    QValueAxis* ValueAxis() const { return axisY_; }
    int BarCount() const { return count_; }
    double Mean() const { return mean_; }

private:
    QFont MeanFont() const;

    QLineSeries* outline_;
    QAreaSeries* bars_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    int count_ = 0;
    double mean_ = 0;
};

} // namespace marovi::app
