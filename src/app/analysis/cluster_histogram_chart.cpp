#include "analysis/cluster_histogram_chart.h"

#include <QAreaSeries>
#include <QFontMetrics>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

#include "analysis/chart_texts.h"
#include "analysis/cluster_analysis.h"
#include "widgets/chart_tools.h"

namespace marovi::app {

namespace {

constexpr double BarHalfWidth = 0.4;
constexpr int MostColumns = 1000; // before the chart has a size

} // namespace

TClusterHistogramChart::TClusterHistogramChart()
    : outline_(new QLineSeries(this)), bars_(new QAreaSeries(outline_)), axisX_(new QValueAxis), axisY_(new QValueAxis)
{
    setTitle(QStringLiteral("Cluster and average"));
    bars_->setName(QStringLiteral("cluster"));
    bars_->setColor(Qt::red);
    bars_->setBorderColor(Qt::red);
    addSeries(bars_);
    axisX_->setTitleText(QStringLiteral("cluster no."));
    axisY_->setTitleText(QStringLiteral("size [cells]"));
    axisX_->setLabelFormat(QStringLiteral("%g"));
    axisY_->setLabelFormat(QStringLiteral("%g"));
    addAxis(axisX_, Qt::AlignBottom);
    addAxis(axisY_, Qt::AlignLeft);
    bars_->attachAxis(axisX_);
    bars_->attachAxis(axisY_);
    legend()->setAlignment(Qt::AlignTop);
    setMargins(QMargins(2, 2, 2, 2));
    Clear();
}

void TClusterHistogramChart::Clear()
{
    outline_->clear();
    bars_->setVisible(false);
    setMargins(QMargins(2, 2, 2, 2));
    count_ = 0;
    mean_ = 0;
    SetFixedAxisRange(axisX_, -0.5, 0.5, {5, 1});
    SetFixedAxisRange(axisY_, 0, 1);
}

void TClusterHistogramChart::SetBars(const TClusterHistogram& h, const QString& valueAxisTitle)
{
    axisY_->setTitleText(valueAxisTitle);
    count_ = static_cast<int>(h.Bars.size());
    mean_ = h.Mean;
    // The outline of all bars as one path, so that thousands of clusters draw at once. More
    // bars than the plot has pixels across are drawn as columns of neighbouring bars at the
    // highest of them, which is what the screen shows of them anyway: a hundred thousand
    // clusters drew for seconds.
    const int columns = plotArea().width() >= 1 ? static_cast<int>(plotArea().width()) : MostColumns;
    const int perColumn = (count_ + columns - 1) / std::max(columns, 1);
    QList<QPointF> points;
    points.reserve(4 * (count_ / std::max(perColumn, 1) + 1));
    for (int first = 0; first < count_; first += perColumn) {
        const int last = std::min(first + perColumn, count_) - 1;
        const auto from = h.Bars.begin() + first;
        const double v = *std::max_element(from, from + (last - first + 1));
        points << QPointF(first - BarHalfWidth, 0) << QPointF(first - BarHalfWidth, v) << QPointF(last + BarHalfWidth, v)
               << QPointF(last + BarHalfWidth, 0);
    }
    outline_->replace(points);
    // Without bars (one cluster or none) the empty area would still draw its edge.
    bars_->setVisible(count_ > 0);
    // Clusters are numbered from 0, one bar each.
    SetFixedAxisRange(axisX_, -0.5, std::max(0.5, count_ - 0.5), {5, 1});
    SetFixedAxisRange(axisY_, h.AxisMin, h.AxisMax);
    if (count_ > 0) bars_->setName(QString::fromStdString(ClusterHistogramSeriesTitle(mean_)));
    // The mean's label goes right of the plot, clear of the bars.
    const QString label = QString::fromStdString(ClusterHistogramMeanLabel(mean_));
    setMargins(QMargins(2, 2, count_ > 0 ? QFontMetrics(MeanFont()).horizontalAdvance(label) + 8 : 2, 2));
}

void TClusterHistogramChart::DrawMean(QPainter& painter)
{
    if (count_ == 0) return;
    painter.translate(pos());
    const QRectF plot = plotArea();
    const double y = mapToPosition(QPointF(0, mean_), bars_).y();
    if (y < plot.top() || y > plot.bottom()) return;
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setFont(MeanFont());
    painter.drawText(QRectF(plot.right() + 4, y - 10, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(ClusterHistogramMeanLabel(mean_)));
}

QFont TClusterHistogramChart::MeanFont() const
{
    QFont small = font();
    small.setPointSize(8);
    return small;
}

} // namespace marovi::app
