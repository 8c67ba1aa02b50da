#pragma once
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

class QBarCategoryAxis;
class QBarSeries;
class QChart;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QLineSeries;
class QLogValueAxis;
class QRadioButton;
class QValueAxis;

namespace marovi {
struct THistogram;
}

namespace marovi::app {

class TChartView;
class TROIForm;
class TStepRunner;

// "age histogram": the age or size classes of one species in the region of interest, or in
// the whole grid without one, with the cumulative share and a summary line; saves the list.
class TAgeHistoForm : public QWidget {
    Q_OBJECT
public:
    TAgeHistoForm(TStepRunner& runner, const TROIForm* roi, QWidget* parent = nullptr);
    ~TAgeHistoForm() override;

    // Recomputes and redraws from the model for the selected species; a field that is not
    // a number is shown as an error unless `quiet`.
    void UpdateHistogram(bool quiet = false);

    int Species() const { return species_; }
    QChart* Chart() const { return chart_; }
    QBarSeries* Bars() const { return Series1_; }
    QLineSeries* Cumulative() const { return Series2_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void StepSpecies(int delta);
    void UpdateClicked();
    void SaveClicked();
    void SetLogScale(bool log);
    // Reads the model: inside a between-steps action only.
    void ShowSpecies();
    void Draw(const THistogram& h, const QString& title);
    void FitClassLabels();

    TStepRunner& runner_;
    QPointer<const TROIForm> roi_;
    int species_ = 0;
    int slots_ = 15;
    // The list of the last update, for "save".
    std::vector<std::string> listLines_;

    QLineEdit *Edit1_, *SlotEdit_, *Edit2_;
    QRadioButton *AgeRadioButton_, *SizeRadioButton_;
    QCheckBox* LogScaleCheckBox_;
    QLabel* Label2_;
    QChart* chart_;
    TChartView* Chart1_;
    QBarSeries* Series1_;
    QLineSeries* Series2_;
    QBarCategoryAxis* classes_;
    QValueAxis *linear_, *right_;
    QLogValueAxis* log_;
    QFileDialog* SaveDialog1_;
};

} // namespace marovi::app
