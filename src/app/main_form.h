#pragma once
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <map>

#include "files/status_list.h"
#include "model/grid_properties.h"

class QFileDialog;
class QLabel;
class QListView;
class QPushButton;
class QScrollArea;
class QSlider;

namespace marovi {
struct Model;
}

namespace marovi::app {

class TAbundanceChart;
class TAutoCloseForm;
class TChartView;
class TProgressForm;
class TStatusListModel;
class TStepRunner;

// The tool windows that the main window's buttons open.
enum class TToolWindow {
    ShowSimulation, Disturbances, ClusterDiversity, Succession, RankPlot, // need a simulation
    SpeciesPool, Additional, LandscapeEditor, AgeDistribution, About,      // always
};

// The main window: runs the simulation in rounds driven by the event loop, keeps the
// status list and the abundance chart, saves and loads simulations and exports data.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    TMainForm(TStepRunner& runner, TStartFillSetting& startFill, TClock clock = LocalDateTimeText, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Windows created after the main window.
    void SetToolWindow(TToolWindow which, QWidget* window);
    void SetProgressForm(TProgressForm* form) { progress_ = form; }
    void SetAutoCloseForm(TAutoCloseForm* form) { autoClose_ = form; }

    void NewSimulation();
    void Run();
    void Stop();
    void SingleStep();
    void TogglePause();
    void ShowExtinctionTimes();
    void SaveSimulation();
    void LoadSimulation();
    void LoadSimulationFromCommandLine(const QString& path);
    void SaveData();
    void SaveIndividuals();
    void ExtractSpecies();
    // "new landscape" of the landscape editor: the view hides, curves and status list empty.
    void ClearForNewLandscape();
    // After an edit of the species pool, between time steps: the curves, the lines of the
    // status list and its column header follow the species.
    void FollowSpeciesMoves(const TSpeciesMoves& moves);

    bool Initialised() const { return initialised_; }
    bool Running() const { return running_; }
    // The run loop is still active: after "stop" it finishes its round first.
    bool LoopActive() const { return loopActive_; }
    bool Paused() const { return paused_; }
    TStatusList& StatusList() { return statusList_; }
    TAbundanceChart* Chart() const { return chart_; }

signals:
    // A new simulation or a loaded one: grid size, species and time may all have changed.
    void SimulationReset();
    // A simulation was loaded (just before SimulationReset).
    void SimulationLoaded();
    // A point was added to the curves: the open analysis windows may redraw.
    void ChartsUpdated();
    // The pause state as the view's pause button shows it ("resume" while paused).
    void PauseChanged(bool paused);
    // The window has closed for good.
    void Closed();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    // The column header above the status list: headerStart_ and the species' columns.
    void ShowStatusHeader();
    void OpenToolWindow(TToolWindow which);
    bool CheckInitialised(const char* message);

    void SubmitStep(std::function<void()> done, std::function<void(const QString&)> failed);
    void RunTick();
    void NextStepOfRound();
    void FinishRunRound();
    void AnswerTermination(int answer);
    void ContinueOrEndRun();
    void EndRun();
    void UpdateCharts();
    void RebuildChart();
    void StatusListChanged(size_t linesBefore);

    void LoadFile(const QString& path, bool askForCompanion);
    void LoadCompanion(const std::string& companion);
    void SaveStatusAs(const QString& path, bool companion);

    TStepRunner& runner_;
    Model& model_;
    TStartFillSetting& startFill_;
    TClock clock_;
    TStatusList statusList_;
    TStatusListModel* listModel_;
    TAbundanceChart* chart_;
    TChartView* chartView_;
    TProgressForm* progress_ = nullptr;
    TAutoCloseForm* autoClose_ = nullptr;
    std::map<TToolWindow, QWidget*> toolWindows_;

    bool initialised_ = false;
    bool running_ = false;
    bool loopActive_ = false;
    bool paused_ = false;

    // The round in progress.
    QTimer runTimer_;
    bool roundStarted_ = false;
    int roundSteps_ = 0;
    int stepsDone_ = 0;
    std::chrono::steady_clock::time_point roundStart_;
    int overflowsSeen_ = 0; // overflow files the list view knows of

    QPushButton *StartButton1_, *EndButton2_, *InitButton1_, *SingleStepButton_, *CloseButton_;
    QPushButton *saveButton_, *LoadButton_;
    QSlider* TrackBar1_;
    QLabel *Label6_, *Label5_, *TimeLabel_, *Label4_, *Label11_, *StaticText1_, *StaticText2_;
    QListView* ListBox1_;
    QScrollArea* headerArea_;
    QString headerStart_; // what the column header shows before the status header
    QFileDialog *SaveDialog1_, *OpenDialog1_, *SaveDialog2_, *IndividualListSaveDialog_;
};

} // namespace marovi::app
