// The run control of the main window: "new", "run", "stop", "+1", pause, and the run loop,
// whose time steps run on the step runner's worker so that the window stays live.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <exception>

#include "abundance_chart.h"
#include "analysis/indices.h"
#include "auto_close_form.h"
#include "main_form.h"
#include "messages.h"
#include "model/model.h"
#include "model/run_labels.h"
#include "model/simulation.h"
#include "model/status_line.h"
#include "status_list_model.h"
#include "step_runner.h"

namespace marovi::app {

bool TMainForm::CheckInitialised(const char* message)
{
    if (initialised_) return true;
    ShowMessage(this, QStringLiteral("Error!"), QString::fromLatin1(message));
    return false;
}

void TMainForm::StatusListChanged(size_t linesBefore)
{
    // Lines only added on top show as an insertion; anything else redraws the list.
    if (statusList_.Size() > linesBefore && statusList_.TempFileCounter() == overflowsSeen_)
        listModel_->Inserted(static_cast<int>(statusList_.Size() - linesBefore));
    else
        listModel_->Reset();
    overflowsSeen_ = statusList_.TempFileCounter();
}

namespace {

// One curve per species, named and coloured as the species.
std::vector<TAbundanceChart::TSpeciesLine> SpeciesLines(const Model& m)
{
    std::vector<TAbundanceChart::TSpeciesLine> lines;
    for (int s = 0; s <= m.SpeciesMax; ++s)
        lines.push_back({QString::fromStdString(m.SpeciesPool[static_cast<size_t>(s)].Name),
                         QColor(static_cast<QRgb>(m.SpeciesColor[static_cast<size_t>(s)]))});
    return lines;
}

} // namespace

void TMainForm::RebuildChart() { chart_->Rebuild(SpeciesLines(model_)); }

void TMainForm::FollowSpeciesMoves(const TSpeciesMoves& moves)
{
    const int before = chart_->SpeciesSeriesCount(), now = model_.SpeciesMax + 1;
    chart_->FollowSpecies(moves, SpeciesLines(model_));
    if (!initialised_) return;
    bool changed = true;
    Attempt(this, [&] { changed = statusList_.FollowSpeciesMoves(moves, before, now, model_.Separator); });
    if (changed) listModel_->Reset();
    ShowStatusHeader();
}

void TMainForm::NewSimulation()
{
    if (loopActive_) return;
    runner_.BetweenSteps(this, [this] {
        try {
            NewSimulationModel(model_, ClockSeed(), startFill_.Changed ? std::optional<int>(startFill_.Value) : std::nullopt);
            startFill_.Changed = false;
            statusList_.Reset();
            statusList_.StartNew(model_);
            StatusListChanged(0);
            RebuildChart();
            headerStart_ = QStringLiteral("time      step ");
            ShowStatusHeader();
            initialised_ = true;
            model_.FileName = "-not saved-";
            TimeLabel_->setText(QStringLiteral("0"));
        } catch (const std::exception& e) {
            ShowError(this, QString::fromStdString(e.what()));
            return;
        }
        emit SimulationReset();
    });
}

void TMainForm::SubmitStep(std::function<void()> done, std::function<void(const QString&)> failed)
{
    runner_.Submit(
        this, [](Model& m) { StepAndRefreshModel(m); },
        [this, done = std::move(done)] {
            Label4_->setText(QString::fromStdString(MemoryText(CurrentHeapFigures())));
            TimeLabel_->setText(QString::number(model_.TimeStep));
            done();
        },
        std::move(failed));
}

void TMainForm::UpdateCharts()
{
    chart_->AddPoint(model_.TimeStep, model_.StepAbundance, ShannonIndex(model_, model_.StepAbundance));
    emit ChartsUpdated();
}

void TMainForm::SingleStep()
{
    if (!CheckInitialised("you must initialise first (load or press \"new\" )")) return;
    SubmitStep(
        [this] {
            const size_t before = statusList_.Size();
            statusList_.AddEntry(model_);
            StatusListChanged(before);
            UpdateCharts();
        },
        [this](const QString& message) { ShowError(this, message); });
}

void TMainForm::Run()
{
    if (loopActive_ || !CheckInitialised("you must initialise first (load or press \"new\")")) return;
    running_ = true;
    loopActive_ = true;
    paused_ = false;
    emit PauseChanged(false); // a pause asked for while idle ends here
    StartButton1_->setEnabled(false);
    CloseButton_->setEnabled(false);
    EndButton2_->setEnabled(true);
    // A new simulation or a load in the middle of a round would tear the round apart.
    InitButton1_->setEnabled(false);
    LoadButton_->setEnabled(false);
    chart_->SetAutomatic();
    roundStarted_ = false;
    runTimer_.start(0);
}

void TMainForm::Stop()
{
    paused_ = false;
    running_ = false;
    EndButton2_->setEnabled(false);
    emit PauseChanged(false);
}

void TMainForm::TogglePause()
{
    paused_ = !paused_;
    emit PauseChanged(paused_);
}

// The loop between rounds: a zero-delay timer, slowed down while paused.
void TMainForm::RunTick()
{
    if (!running_) { // stopped while paused or while the question was open
        EndRun();
        return;
    }
    if (paused_) {
        runTimer_.setInterval(20);
        return;
    }
    runTimer_.stop();
    runTimer_.setInterval(0);
    roundStarted_ = true;
    roundSteps_ = TrackBar1_->value();
    stepsDone_ = 0;
    roundStart_ = std::chrono::steady_clock::now();
    runner_.BetweenSteps(this, [this] { NextStepOfRound(); });
}

// The steps of a round run on the worker one after another; between them the window
// handles what the user did meanwhile. Once the termination criterion holds, the rest of
// the round does nothing.
void TMainForm::NextStepOfRound()
{
    if (stepsDone_ >= roundSteps_ || model_.TerminateFlag) {
        FinishRunRound();
        return;
    }
    SubmitStep(
        [this] {
            ++stepsDone_;
            NextStepOfRound();
        },
        [this](const QString& message) {
            EndRun();
            ShowError(this, message);
        });
}

void TMainForm::FinishRunRound()
{
    roundStarted_ = false;
    const size_t before = statusList_.Size();
    const TRoundEnd end = FinishRound(model_, statusList_);
    StatusListChanged(before);

    const double minutes = std::chrono::duration<double>(std::chrono::steady_clock::now() - roundStart_).count() / 60;
    if (minutes > 0) {
        Label5_->setText(QString::fromStdString(SpeedText(roundSteps_, minutes, model_.MaxRuntime, model_.TimeStep)));
        Label5_->repaint();
    }
    UpdateCharts();

    if (end.DiversityZero) {
        running_ = false;
        QApplication::beep();
    }
    if (end.TerminationReached) {
        if (!autoClose_) autoClose_ = new TAutoCloseForm(this);
        connect(autoClose_, &TAutoCloseForm::Answered, this, &TMainForm::AnswerTermination, Qt::SingleShotConnection);
        autoClose_->AskTimed(QStringLiteral("termination criteria is true, proceed ?"), QStringLiteral("Question"),
                             TAutoCloseForm::No);
        return;
    }
    ContinueOrEndRun();
}

void TMainForm::AnswerTermination(int answer)
{
    running_ = answer == TAutoCloseForm::Yes;
    runner_.BetweenSteps(this, [this] {
        if (running_) ContinueAfterTermination(model_);
        ContinueOrEndRun();
    });
}

void TMainForm::ContinueOrEndRun()
{
    if (!running_) {
        EndRun();
        return;
    }
    runTimer_.start(0);
}

void TMainForm::EndRun()
{
    runTimer_.stop();
    roundStarted_ = false;
    running_ = false;
    loopActive_ = false;
    paused_ = false;
    QApplication::beep();
    emit PauseChanged(false);
    StartButton1_->setEnabled(true);
    CloseButton_->setEnabled(true);
    EndButton2_->setEnabled(false);
    InitButton1_->setEnabled(true);
    LoadButton_->setEnabled(true);
}

} // namespace marovi::app
