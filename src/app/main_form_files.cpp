// Saving and loading simulations and the text exports of the main window.
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QThread>

#include "abundance_chart.h"
#include "app_texts.h"
#include "colours/species_colors.h"
#include "files/exports.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "messages.h"
#include "model/model.h"
#include "model/status_line.h"
#include "shell_forms.h"
#include "status_list_model.h"
#include "step_runner.h"
#include "util/error.h"

namespace marovi::app {

void TMainForm::SaveStatusAs(const QString& path, bool companion)
{
    if (statusList_.TempFileCounter() > 0)
        ShowMessage(this, QStringLiteral("CAUTION!"), QStringLiteral("There is additional data, saving might take some time!"));
    const std::string target = path.toStdString();
    if (companion)
        statusList_.SaveCompanion(target);
    else
        statusList_.SaveStatusData(target);
}

void TMainForm::SaveSimulation()
{
    const QString path = ChooseFile(SaveDialog1_);
    if (path.isEmpty()) return;
    runner_.BetweenSteps(this, [this, path] {
        Attempt(this, [&] {
            SaveGridFile(model_, path.toStdString());
            model_.FileName = path.toStdString();
            setWindowTitle(FileCaption(model_.FileName));
            SaveStatusAs(QString::fromStdString(CompanionFileName(model_.FileName)), true);
        });
    });
}

void TMainForm::LoadSimulation()
{
    if (loopActive_) return;
    const QString path = ChooseFile(OpenDialog1_);
    if (!path.isEmpty()) runner_.BetweenSteps(this, [this, path] { LoadFile(path, true); });
}

void TMainForm::LoadSimulationFromCommandLine(const QString& path)
{
    runner_.BetweenSteps(this, [this, path] { LoadFile(path, false); });
}

void TMainForm::LoadFile(const QString& path, bool askForCompanion)
{
    StaticText1_->setVisible(true);
    StaticText2_->setVisible(true);
    repaint();
    if (progress_) progress_->Start(QStringLiteral("Loading grid data"), 101);
    TLoadProgress hook;
    if (progress_) hook.OnProgress = [this](int percent) { progress_->SetPosition(percent); };

    const bool loaded = Attempt(this, [&] {
        LoadGridFile(model_, path.toStdString(), hook);
        model_.FileName = path.toStdString();
        setWindowTitle(FileCaption(model_.FileName));
        initialised_ = true;
        TimeLabel_->setText(QString::number(model_.TimeStep));
        AdoptSpeciesColors(model_);
        RebuildChart();
        statusList_.Reset();
        statusList_.StartLoaded(model_);
        StatusListChanged(0);
        headerStart_ = QStringLiteral("    t ");
        ShowStatusHeader();

        const std::string companion = CompanionFileName(model_.FileName);
        const bool offered = QFileInfo::exists(QString::fromStdString(companion)) && model_.TimeStep > 1;
        if (offered && (!askForCompanion ||
                        AskYesNo(this, QStringLiteral("loading data"),
                                 QStringLiteral("There seems to be a population graph data file, try to load (Y/N)\r(may take some time)"))))
            LoadCompanion(companion);
        else
            chart_->SetTimeRange(model_.TimeStep, model_.TimeStep + 1);
    });

    if (progress_) {
        progress_->SetPosition(100);
        progress_->hide();
    }
    StaticText1_->setVisible(false);
    StaticText2_->setVisible(false);
    if (!loaded) return;
    emit SimulationLoaded();
    emit SimulationReset();
}

void TMainForm::LoadCompanion(const std::string& companion)
{
    if (progress_) {
        progress_->SetText(QStringLiteral("Loading population graph data"));
        progress_->SetPosition(0);
        QThread::msleep(100);
    }
    const QString caption = windowTitle();
    setWindowTitle(QStringLiteral("loading ") + QString::fromStdString(companion));
    TPopulationData data;
    // The population graph is a bonus: a companion file that cannot be read is passed over.
    try {
        data = LoadPopulationData(model_, companion, model_.FirstSpeciesColumn, statusList_, [this](size_t lines) {
            if (progress_) progress_->SetPosition(static_cast<int>(lines / 25 % 101));
        });
    } catch (const std::exception&) {
    }
    StatusListChanged(0);
    chart_->ClearPoints();
    for (const TPopulationPoint& p : data.Points) chart_->AddPoint(p.TimeStep, p.Counts, p.Shannon);
    chart_->Flush();
    if (!data.Points.empty()) chart_->SetTimeRange(data.MinStep, data.MaxStep + 1);
    setWindowTitle(caption);
}

void TMainForm::SaveData()
{
    const QString path = ChooseFile(SaveDialog2_);
    if (!path.isEmpty()) runner_.BetweenSteps(this, [this, path] { Attempt(this, [&] { SaveStatusAs(path, false); }); });
}

void TMainForm::SaveIndividuals()
{
    const QString path = ChooseFile(IndividualListSaveDialog_);
    if (!path.isEmpty())
        runner_.BetweenSteps(this, [this, path] { Attempt(this, [&] { SaveIndividualList(model_, path.toStdString(), clock_); }); });
}

void TMainForm::ExtractSpecies()
{
    const QString path = ChooseFile(IndividualListSaveDialog_);
    if (!path.isEmpty())
        runner_.BetweenSteps(this, [this, path] { Attempt(this, [&] { SaveSpeciesList(model_, path.toStdString(), clock_); }); });
}

} // namespace marovi::app
