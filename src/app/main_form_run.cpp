// The run control of the main window: "new", "run", "stop", "+1", pause, and the run loop,
// which does one time step per tick of a zero-delay timer so that the window stays live.
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

void TMainForm::RebuildChart()
{
    std::vector<TAbundanceChart::TSpeciesLine> lines;
    for (int s = 0; s <= model_.SpeciesMax; ++s)
        lines.push_back({QString::fromStdString(model_.SpeciesPool[static_cast<size_t>(s)].Name),
                         QColor(static_cast<QRgb>(model_.SpeciesColor[static_cast<size_t>(s)]))});
    chart_->Rebuild(lines);
}

void TMainForm::NewSimulation()
{
    if (loopActive_) return;
    try {
        NewSimulationModel(model_, ClockSeed(), startFill_.Changed ? std::optional<int>(startFill_.Value) : std::nullopt);
        startFill_.Changed = false;
        statusList_.Reset();
        statusList_.StartNew(model_);
        StatusListChanged(0);
        RebuildChart();
        SetHeader(QStringLiteral("time      step ") + QString::fromStdString(StatusHeader(model_)));
        initialised_ = true;
        model_.FileName = "-not saved-";
        TimeLabel_->setText(QStringLiteral("0"));
    } catch (const std::exception& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    emit SimulationReset();
}

void TMainForm::StepAndRefresh()
{
    StepAndRefreshModel(model_);
    Label4_->setText(QString::fromStdString(MemoryText(CurrentHeapFigures())));
}

void TMainForm::UpdateCharts()
{
    chart_->AddPoint(model_.TimeStep, model_.StepAbundance, ShannonIndex(model_, model_.StepAbundance));
    emit ChartsUpdated();
}

void TMainForm::SingleStep()
{
    if (!CheckInitialised("you must initialise first (load or press \"new\" )")) return;
    try {
        StepAndRefresh();
    } catch (const std::exception& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    TimeLabel_->setText(QString::number(model_.TimeStep));
    const size_t before = statusList_.Size();
    statusList_.AddEntry(model_);
    StatusListChanged(before);
    UpdateCharts();
}

void TMainForm::Run()
{
    if (loopActive_ || !CheckInitialised("you must initialise first (load or press \"new\")")) return;
    running_ = true;
    loopActive_ = true;
    paused_ = false;
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
}

void TMainForm::TogglePause()
{
    paused_ = !paused_;
    emit PauseChanged(paused_);
}

void TMainForm::RunTick()
{
    if (!roundStarted_) {
        if (!running_) { // stopped while paused or while the question was open
            EndRun();
            return;
        }
        // A paused loop only looks again now and then.
        if (paused_) {
            runTimer_.setInterval(20);
            return;
        }
        runTimer_.setInterval(0);
        roundStarted_ = true;
        roundSteps_ = TrackBar1_->value();
        stepsDone_ = 0;
        roundStart_ = std::chrono::steady_clock::now();
    }
    // Once the termination criterion holds, the rest of the round does nothing.
    if (stepsDone_ < roundSteps_ && !model_.TerminateFlag) {
        try {
            StepAndRefresh();
        } catch (const std::exception& e) {
            EndRun();
            ShowError(this, QString::fromStdString(e.what()));
            return;
        }
        TimeLabel_->setText(QString::number(model_.TimeStep));
        if (++stepsDone_ < roundSteps_) return;
    }
    FinishRunRound();
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
        runTimer_.stop();
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
    if (running_) ContinueAfterTermination(model_);
    ContinueOrEndRun();
}

void TMainForm::ContinueOrEndRun()
{
    if (!running_) {
        EndRun();
        return;
    }
    if (!runTimer_.isActive()) runTimer_.start(0);
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
