#pragma once
#include <QWidget>
#include <vector>

#include "model/types.h"

class QChart;
class QLineSeries;
class QValueAxis;

namespace marovi::app {

class TChartView;
class TMainForm;
class TStepRunner;

// The region of interest: one rectangle of the grid, picked in the landscape view, whose
// species composition this window follows over time, absolute and relative. While it is
// active the view outlines it and the histogram window counts only inside it.
class TROIForm : public QWidget {
    Q_OBJECT
public:
    explicit TROIForm(TStepRunner& runner, QWidget* parent = nullptr);
    ~TROIForm() override;

    // The region: inclusive cell indices, x0 <= x1 and y0 <= y1. Read them only while
    // RoiActive(); after "reset ROI" they cover the whole grid.
    bool RoiActive() const { return active_; }
    int RoiX0() const { return x0_; }
    int RoiY0() const { return y0_; }
    int RoiX1() const { return x1_; }
    int RoiY1() const { return y1_; }

    // A point after every round of the run loop, and new curves for a new simulation.
    void SetMainForm(TMainForm* form);

    // "define ROI" of the view: a new region (the view rectangle) with the first point of
    // its composition. The caller shows the window.
    void DefineRoi(int x0, int y0, int x1, int y1);
    // The point of the time step just done; nothing while no region is active.
    void UpdateRoiCharts();
    // A new simulation: the curves start again (the region stays, limited to the grid).
    void ResetRoiCharts();
    // An edit of the species pool, between time steps: every curve goes with its species.
    void FollowSpeciesMoves(const TSpeciesMoves& moves);

    QChart* AbsoluteChart() const { return chart1_; }
    QChart* RelativeChart() const { return chart2_; }

signals:
    // The region was defined or reset.
    void RoiChanged();

private:
    void RebuildSeries();
    void AddPoint(double x, const std::vector<double>& absolute, const std::vector<double>& relative);
    void SetTimeMinimum(double min);
    void ClearGraph();
    void ResetRoi();
    void DisturbRoi();

    TStepRunner& runner_;
    bool active_ = false;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    QChart *chart1_, *chart2_;
    TChartView *view1_, *view2_;
    QValueAxis *time1_, *time2_, *value1_, *value2_;
    std::vector<QLineSeries*> absolute_, relative_;
    double minTime_ = 0, maxTime_ = 0.1, maxAbsolute_ = 0, maxRelative_ = 0;
};

} // namespace marovi::app
