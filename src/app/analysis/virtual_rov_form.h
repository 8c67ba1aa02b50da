#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

class QButtonGroup;
class QChart;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marovi {
struct TRovTransect;
}

namespace marovi::app {

class TChartView;
class TStepRunner;
class TVisulaize;

// "virtual ROV": samples the cells along a transect, a random walk or a straight line picked
// with two middle clicks in the landscape view, lists them, charts their composition or
// their similarity to the first sample, saves the table and exports the transect's scene.
class TvirtualROVForm : public QWidget {
    Q_OBJECT
public:
    TvirtualROVForm(TStepRunner& runner, TVisulaize* view, QWidget* parent = nullptr);
    ~TvirtualROVForm() override;

    const TRovTransect& Transect() const { return *transect_; }
    // The sample table as listed, header first.
    QStringList Lines() const;
    QChart* Chart() const { return chart_; }
    // "select ROV " is waiting for the two ends to be picked in the view.
    bool WaitingForPick() const { return waiting_; }
    // Ends a wait for the picks without a transect (the program closes, the user cancels).
    void CancelSelection();
    // A new or loaded simulation: a transect that no longer fits on the grid is dropped.
    void SimulationReset();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void StartRov();
    void SelectRov();
    void RovPicked(QPoint start, QPoint end);
    void EndWait();
    void Resample();
    void SaveResults();
    void ExportScene();
    void ChartModeChanged();
    // Reads the model: inside a between-steps action only.
    void ShowTransectChart();
    void SetLines(const QStringList& lines);
    void PublishCourse();

    TStepRunner& runner_;
    QPointer<TVisulaize> view_;
    std::unique_ptr<TRovTransect> transect_;
    bool waiting_ = false;

    QCheckBox *RandomStartCheckBox_, *StackedCheckBox_;
    QLineEdit *xStartEdit_, *yStartEdit_, *LengthEdit_, *pLeftEdit_, *pUpEdit_, *pRightEdit_, *pDownEdit_;
    QLineEdit *POVFileName_, *PovOutDir_;
    QPushButton *selectButton_, *cancelButton_;
    QLabel* pickLabel_;
    QListWidget* ListBox1_;
    QButtonGroup* chartMode_;
    QChart* chart_;
    TChartView* Chart1_;
    QFileDialog* SaveDialog1_;
};

} // namespace marovi::app
