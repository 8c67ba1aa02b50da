#pragma once
#include <QBrush>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/succession.h"
#include "files/status_list.h"

class QChart;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QLineSeries;
class QRadioButton;
class QValueAxis;

namespace marovi::app {

class TChartView;
class TStateDefGroup;
class TStepRunner;

// "Disturbace Age Filter": species or guild proportions, the share of cells and the
// diversity against the time since the last disturbance, the list behind them, and the
// succession state definitions.
class TDisturbanceAgeFilterForm : public QWidget {
    Q_OBJECT
public:
    TDisturbanceAgeFilterForm(TStepRunner& runner, TClock clock, QWidget* parent = nullptr);

    // A new or loaded simulation: the last results no longer apply.
    void Reset();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Activated();
    // Reads the fields and plots; a refusal stands in the chart's title, and in a message box
    // only when asked (not on activation, where closing the box would activate the window again).
    void Calculate(bool showErrors);
    void Plot(const TSuccessionPlot& plot, const std::vector<uint32_t>& colours, const std::string& diversityName);
    void ShowClickMessage(QPointF position);
    void SaveList();
    // Runs a change of the state definition table between steps; a failure is shown, and
    // after success the fields show the table again when asked.
    void ChangeDefinitions(std::function<void()> change, bool redisplay);
    void ApplyDefinitions();
    void LoadDefinitions();
    void SaveDefinitions();
    void ShowDefinitions();

    TStepRunner& runner_;
    Model& model_;
    TClock clock_;
    std::vector<TSuccessionRecord> results_;
    bool areaSet_ = false;
    bool guildPlot_ = false;

    QLineEdit *MinAgeEdit_, *MaxAgeEdit_, *AgeStepEdit_;
    QLineEdit *Edit1_, *Edit2_, *Edit3_, *Edit4_;
    QRadioButton *singleSpeciesRadioButton_, *guildeRadioButton_;
    QCheckBox *ShowDiversityCheckBox_, *maxYCheckBox_;
    QLabel* Label4_;
    TStateDefGroup* stateDefs_;
    QChart* chart_;
    QBrush titleBrush_; // of a chart that shows results
    TChartView* Chart1_;
    QValueAxis *axisX_, *axisLeft_, *axisRight_;
    std::vector<QLineSeries*> groups_;
    QFileDialog *listDialog_, *loadDialog_, *saveDialog_;
};

} // namespace marovi::app
