#pragma once
#include <QChart>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "model/types.h"

class QLineSeries;
class QValueAxis;

namespace marovi::app {

// The abundance chart of the main window: one line per species (left axis) and the
// Shannon index (right axis) over the time steps. Points are collected at once and drawn
// at most ten times a second, so a fast run is not slowed down by redrawing long curves.
class TAbundanceChart : public QChart {
    Q_OBJECT
public:
    struct TSpeciesLine {
        QString Title;
        QColor Colour;
    };

    TAbundanceChart();

    // Removes all series and adds one per species, then the black "Shannon" series.
    void Rebuild(const std::vector<TSpeciesLine>& species);
    // Adds the point of time step t to every species series and to the diversity series.
    void AddPoint(int t, const TSpeciesCounts& counts, double shannon);
    // Removes every point, keeping the series.
    void ClearPoints();
    // After an edit of the species pool: the curve of species i becomes that of moves[i] (or
    // goes), the series take the titles and colours given; the time axis stays.
    void FollowSpecies(const TSpeciesMoves& moves, const std::vector<TSpeciesLine>& species);
    // The species series there are.
    int SpeciesSeriesCount() const { return std::max(DiversitySeriesIndex(), 0); }

    // A fixed time axis; the axes scale themselves again after SetAutomatic.
    void SetTimeRange(double min, double max);
    void SetAutomatic();
    bool Automatic() const { return automatic_; }

    int DiversitySeriesIndex() const { return static_cast<int>(points_.size()) - 1; }
    const QList<QPointF>& Points(int series) const { return points_[static_cast<size_t>(series)]; }
    QValueAxis* TimeAxis() const { return axisX_; }
    QValueAxis* LeftAxis() const { return axisLeft_; }
    QValueAxis* RightAxis() const { return axisRight_; }

    // Draws what has been collected now.
    void Flush();

private:
    // New series, one per species and the diversity's, with no points.
    void ReplaceSeries(const std::vector<TSpeciesLine>& species);
    void UpdateAxes();

    QValueAxis* axisX_;
    QValueAxis* axisLeft_;
    QValueAxis* axisRight_;
    std::vector<QLineSeries*> series_;
    std::vector<QList<QPointF>> points_;
    QTimer flushTimer_;
    bool automatic_ = true;
    double minT_ = 0, maxT_ = 0, maxCount_ = 0, maxDiversity_ = 0;
    bool empty_ = true;
    bool dirty_ = false;
};

} // namespace marovi::app
