#pragma once
#include <QWidget>
#include <functional>
#include <memory>
#include <random>

class QCheckBox;
class QChart;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QValueAxis;

namespace marovi {
struct Model;
struct TClusterAnalysis;
struct TClusterEntries;
} // namespace marovi

namespace marovi::app {

class TBusyIndicator;
class TTextFiller;
class TChartView;
class TClusterHistogramChart;
class TClusterLayoutView;
class TStepRunner;

// The "Diversity" window: the cluster analysis of a window of the grid with its report,
// layout chart and histogram, and the diversity of sliding boxes of growing size.
class TDiversityForm : public QWidget {
    Q_OBJECT
public:
    explicit TDiversityForm(TStepRunner& runner, QWidget* parent = nullptr);
    ~TDiversityForm() override;

    // A new or loaded simulation: the whole grid, fresh lists of species and states.
    void Reset();
    // The main window's round is done: redraw what is shown.
    void Refresh();
    // Work of the window is in flight, or its report still going in.
    bool Busy() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildClusterTab();
    QWidget* BuildSlidingBoxTab();

    TClusterEntries Entries() const;
    void ShowEntries(const TClusterEntries& e);
    void ReadWindow();
    void ShowWindow(int x1, int y1, int x2, int y2);
    void FillOnShow();

    void CalcCA();
    void CalcClusters();
    void ShowDetails();
    void ShowTable();
    void SaveReport();
    void ShowReport(std::vector<std::string> lines);

    void CalcSlidingBox();
    void ResetSlidingBoxChart();

    // Work on the worker thread with a busy cursor; `done` shows the result.
    void Submit(std::function<void(Model&)> work, std::function<void()> done);

    TStepRunner& runner_;
    Model& model_;
    std::mt19937 colourRandom_;     // the palette draws: not the simulation's stream
    std::shared_ptr<TClusterAnalysis> analysis_;
    bool windowEdited_ = false;
    bool readingWindow_ = false;
    double slidingBoxMin_ = 0;      // the fixed minimum of the sliding box's value axis

    // Cluster tab.
    QLineEdit *Editx1_, *Edity1_, *Editx2_, *Edity2_;
    QRadioButton *SpeciesRadioButton_, *StateRadioButton_, *ShannonRadioButton_, *SSumRadioButton_;
    QRadioButton *useAdultsRadioButton_, *useLarvaeRadioButton_;
    QComboBox *ComboBox1_, *ComboBox2_;
    QLineEdit *minEdit_, *maxEdit_, *SHIMinEdit_, *SHIMaxEdit_, *MinSSumEdit_, *MaxSSumEdit_;
    QCheckBox* AgeCheckBox_;
    QLineEdit *MinAgeEdit_, *maxAgeEdit_;
    QCheckBox *CheckBox2_, *CheckBox1_, *PeriodicCheckBox_, *monochromeCheckBox_, *RahmenSichtbar_, *DisplaySizeCheckBox_;
    QLineEdit* CAEdit_;
    QPushButton *CalcCAButton_, *ClusterButton_;
    QLineEdit* DetailsOnEdit_;
    QLabel *minSizeLabel_, *ClusterCountLabel_, *ClusterAverageSizeLabel_, *ClusterminSizeLabel_, *ClusterMaxSizeLabel_;
    QPlainTextEdit* Memo1_;
    TTextFiller* reportFiller_;
    QFileDialog* reportDialog_;
    TClusterLayoutView* ClusterLayoutChart_;
    TClusterHistogramChart* histogram_;
    TChartView* ClusterHistogramChart_;

    // Sliding box tab.
    QLineEdit *SampleCountEdit_, *RepCountEdit_, *IncreaseByEdit_;
    QRadioButton *SpeciesRadioButton_2_, *StateRadioButton_2_;
    QCheckBox* ReciprocalCheckBox_;
    QChart* slidingChart_;
    QLineSeries *average_, *min_, *max_;
    QValueAxis *slidingX_, *slidingY_;

    TBusyIndicator* busy_;
};

} // namespace marovi::app
