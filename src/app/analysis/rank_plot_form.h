#pragma once
#include <QWidget>
#include <string>
#include <vector>

#include "analysis/rank_list.h"

class QAbstractAxis;
class QChart;
class QCheckBox;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QPainter;

namespace marovi::app {

class TChartView;
class TStepRunner;

// "rank plot ": rank-abundance and k-dominance curves of sample areas of the grid.
class TRankPlotForm : public QWidget {
    Q_OBJECT
public:
    explicit TRankPlotForm(TStepRunner& runner, QWidget* parent = nullptr);

    // A loaded simulation: the areas belonged to the previous one.
    void ClearSampleAreas();
    const std::vector<tSampleAreaDef>& Areas() const { return areas_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void AddClicked();
    void RandomClicked();
    void ImportClicked();
    void DeleteClicked();
    void PlotClicked();
    void ShowAreas();
    void ShowTitle();
    void DrawRankLists(QPainter& painter);
    void SeriesClicked(QPointF position);

    TStepRunner& runner_;
    Model& model_;
    std::vector<tSampleAreaDef> areas_;
    // The last plot: its curves, the rank lists drawn beside them and their click messages.
    std::vector<QLineSeries*> series_;
    std::vector<std::string> rankNames_, messages_;

    QListWidget* ListBox1_;
    QLineEdit *NameEdit_, *x1Edit_, *y1Edit_, *x2Edit_, *y2Edit_;
    QCheckBox *LogYCheckBox_, *LogXCheckBox_, *RelativeCheckBox_, *MinYCheckBox_, *CumulativeCheckBox_;
    QCheckBox *ShowFileNameCheckBox_, *ShowRanksCheckBox_;
    QChart* chart_;
    TChartView* Chart1_;
    // Linear and logarithmic axes, attached as the check boxes say.
    QAbstractAxis *linearX_, *logX_, *linearY_, *logY_;
};

} // namespace marovi::app
