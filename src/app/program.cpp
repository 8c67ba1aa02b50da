#include "program.h"

#include "analysis/age_histo_form.h"
#include "analysis/virtual_rov_form.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "auto_close_form.h"
#include "editors/disturbance_form.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/land_edit_form.h"
#include "editors/season_values_form.h"
#include "editors/species_edit_form.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "priority_form.h"
#include "messages.h"
#include "shell_forms.h"
#include "step_runner.h"
#include "view/god_mode_form.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"
#include "widgets/chart_background.h"

namespace marovi::app {

TProgram::TProgram(TClock clock)
    : Runner(std::make_unique<TStepRunner>(Simulation)), MainForm(std::make_unique<TMainForm>(*Runner, StartFill, clock))
{
    // Time steps use every processor the program may; any count gives the same simulation.
    Simulation.StepThreads.SetCount(UsableProcessors());
    // The other windows belong to the main window and close with it.
    QWidget* owner = MainForm.get();
    AboutForm = new TAboutForm(Simulation.StepThreads.Count(), owner);
    Visulaize = new TVisulaize(*Runner, owner);
    mValueEditForm = new TmValueEditForm(owner); // shared by the two editors after it
    SpeciesEditForm = new TSpeciesEditForm(*Runner, mValueEditForm, owner);
    DisturbanceForm = new TDisturbanceForm(*Runner, mValueEditForm, owner);
    PriorityForm = new TPriorityForm(owner);
    GridEditForm = new TGridEditForm(*Runner, StartFill, PriorityForm, owner);
    ROIForm = new TROIForm(*Runner, owner);
    VirtualRovForm = new TvirtualROVForm(*Runner, Visulaize, owner);
    AgeHistoForm = new TAgeHistoForm(*Runner, ROIForm, owner);
    EditFlowGridForm = new TEditFlowGridForm(*Runner, owner);
    LandEditForm = new TLandEditForm(*Runner, EditFlowGridForm, owner);
    ProgressForm = new TProgressForm(owner);
    GodModeForm = new TGodModeForm(*Runner, owner);
    DiversityForm = new TDiversityForm(*Runner, owner);
    DisturbanceAgeFilterForm = new TDisturbanceAgeFilterForm(*Runner, clock, owner);
    RankPlotForm = new TRankPlotForm(*Runner, owner);
    AutoCloseForm = new TAutoCloseForm(owner);

    MainForm->SetToolWindow(TToolWindow::About, AboutForm);
    MainForm->SetToolWindow(TToolWindow::Additional, GridEditForm);
    MainForm->SetToolWindow(TToolWindow::ShowSimulation, Visulaize);
    MainForm->SetToolWindow(TToolWindow::AgeDistribution, AgeHistoForm);
    Visulaize->SetRovWindow(VirtualRovForm);
    QObject::connect(MainForm.get(), &TMainForm::Closed, VirtualRovForm, &TvirtualROVForm::CancelSelection);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, VirtualRovForm, &TvirtualROVForm::SimulationReset);
    MainForm->SetToolWindow(TToolWindow::LandscapeEditor, LandEditForm);
    MainForm->SetToolWindow(TToolWindow::SpeciesPool, SpeciesEditForm);
    MainForm->SetToolWindow(TToolWindow::Disturbances, DisturbanceForm);
    Visulaize->SetMainForm(MainForm.get());
    Visulaize->SetGodModeForm(GodModeForm);
    Visulaize->SetRoiForm(ROIForm);
    ROIForm->SetMainForm(MainForm.get());
    GodModeForm->SetMainForm(MainForm.get());
    MainForm->SetToolWindow(TToolWindow::ClusterDiversity, DiversityForm);
    MainForm->SetToolWindow(TToolWindow::Succession, DisturbanceAgeFilterForm);
    MainForm->SetToolWindow(TToolWindow::RankPlot, RankPlotForm);
    MainForm->SetProgressForm(ProgressForm);
    MainForm->SetAutoCloseForm(AutoCloseForm);
    QObject::connect(Runner.get(), &TStepRunner::WorkFailed, MainForm.get(),
                     [owner](const QString& message) { ShowError(owner, message); });
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, DiversityForm, &TDiversityForm::Reset);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, DisturbanceAgeFilterForm, &TDisturbanceAgeFilterForm::Reset);
    QObject::connect(MainForm.get(), &TMainForm::SimulationLoaded, RankPlotForm, &TRankPlotForm::ClearSampleAreas);
    QObject::connect(MainForm.get(), &TMainForm::ChartsUpdated, DiversityForm, [form = DiversityForm] {
        if (form->isVisible()) form->Refresh();
    });
    const QList<QWidget*> chartWindows{MainForm.get(), Visulaize, AgeHistoForm, DisturbanceAgeFilterForm,
                                       DiversityForm, RankPlotForm, VirtualRovForm, ROIForm};
    QObject::connect(GridEditForm, &TGridEditForm::ChartBackgroundChanged, MainForm.get(), [chartWindows](const QColor& c) {
        for (QWidget* window : chartWindows) ApplyChartBackground(window, c);
    });
    QObject::connect(LandEditForm, &TLandEditForm::NewLandscapeConfirmed, MainForm.get(), &TMainForm::ClearForNewLandscape);
    QObject::connect(LandEditForm, &TLandEditForm::LandscapeRecreated, MainForm.get(), &TMainForm::SimulationReset);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, LandEditForm, &TLandEditForm::Refresh);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, EditFlowGridForm, &TEditFlowGridForm::Refresh);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, SpeciesEditForm, &TSpeciesEditForm::Refresh);
    QObject::connect(SpeciesEditForm, &TSpeciesEditForm::SpeciesMoved, MainForm.get(), &TMainForm::FollowSpeciesMoves);
    QObject::connect(SpeciesEditForm, &TSpeciesEditForm::SpeciesMoved, ROIForm, &TROIForm::FollowSpeciesMoves);
    QObject::connect(SpeciesEditForm, &TSpeciesEditForm::SpeciesMoved, Visulaize, &TVisulaize::FollowSpeciesMoves);
    QObject::connect(SpeciesEditForm, &TSpeciesEditForm::SpeciesMoved, GodModeForm, &TGodModeForm::FollowSpeciesMoves);
    QObject::connect(MainForm.get(), &TMainForm::SimulationReset, DisturbanceForm, &TDisturbanceForm::Refresh);
}

TProgram::~TProgram() = default;

} // namespace marovi::app
