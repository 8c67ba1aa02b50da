// Screenshots of the desktop program as a user sees it: loads a simulation, opens every
// window in turn, works its main controls so that it shows content, and saves the whole
// screen as OUTDIR/NN-name.png. Message boxes that the controls open are captured and
// closed. Run under a virtual X server of the screen size wanted (scripts/screenshots.sh).
// With --docs it makes the images of the user guide instead (docs_tour.cpp).
//
//   marovi-screenshots FILE OUTDIR
//   marovi-screenshots --docs IMAGEDIR EXAMPLE.mgf
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstring>
#include <vector>

#include "analysis/age_histo_form.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "analysis/virtual_rov_form.h"
#include "auto_close_form.h"
#include "disturbance/disturbance.h"
#include "docs_tour.h"
#include "editors/disturbance_form.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/land_edit_form.h"
#include "editors/season_values_form.h"
#include "editors/species_edit_form.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "priority_form.h"
#include "program.h"
#include "shell_forms.h"
#include "step_runner.h"
#include "tour.h"
#include "view/god_mode_form.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"

using namespace marovi::app;
using namespace marovi::tour;

namespace {

QString outDir;
int shot = 0;

// The whole screen as OUTDIR/NN-name.png.
void Shoot(TProgram& p, const QString& name)
{
    Settle(p);
    const QString path = QStringLiteral("%1/%2-%3.png").arg(outDir).arg(++shot, 2, 10, QChar('0')).arg(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--docs") == 0)
        return DocsTour(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc != 3) {
        std::fprintf(stderr, "usage: marovi-screenshots FILE OUTDIR\n"
                             "       marovi-screenshots --docs IMAGEDIR EXAMPLE.mgf\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);
    TProgram p;
    TModalWatch watch(p);
    watch.Seen = [&p](QWidget*) { Shoot(p, QStringLiteral("message")); };
    TMainForm* main = p.MainForm.get();
    Present(main);
    main->LoadSimulationFromCommandLine(QString::fromLocal8Bit(argv[1]));
    p.Runner->WaitIdle();
    p.Runner->BetweenSteps(main, [&p] { marovi::AddStandardDisturbance(p.Runner->model()); });
    RunSteps(p, 300);
    Shoot(p, QStringLiteral("main"));

    TVisulaize* view = p.Visulaize;
    Click(p, main, "ShowSimulationButton");
    Present(view);
    const char* modes[] = {"noneRadioButton",   "SingleSpeciesRadioButton", "dominanzRadioButton",
                           "stateRadioButton",  "GuildeRadioButton",        "DiversityRadioButton",
                           "turnoverCheckBox",  "disturbanceRadioButton",   "CapacityRadioButton"};
    for (const char* mode : modes) {
        Click(p, view, mode);
        Shoot(p, QStringLiteral("view-") + QString::fromLatin1(mode));
    }
    Click(p, view, "dominanzRadioButton");
    Click(p, view, "ShowSpeciesCheckBox");
    Click(p, view, "ZoomInButton");
    Click(p, view, "ZoomInButton");
    Click(p, view, "ZoomInButton");
    Click(p, view, "ShowFlowCheckBox");
    Click(p, view, "TestButton");
    Shoot(p, QStringLiteral("view-zoomed-individuals-flow"));
    Click(p, view, "LarvaeRadioButton");
    Shoot(p, QStringLiteral("view-larvae"));
    Click(p, view, "AdultRadioButton");
    ClickCell(p, 3, 3, Qt::MiddleButton);

    Click(p, view, "GoodModeButton");
    ClickCell(p, 4, 4, Qt::MiddleButton);
    Present(p.GodModeForm);
    Shoot(p, QStringLiteral("god-mode"));
    p.GodModeForm->close();
    Click(p, view, "GoodModeButton");

    Click(p, view, "ROIButton");
    for (int i = 0; i < 5; ++i) Click(p, main, "SingleStepButton");
    Present(p.ROIForm);
    Shoot(p, QStringLiteral("roi"));

    auto* rov = p.VirtualRovForm;
    Click(p, view, "ROVButton");
    Present(rov);
    Click(p, rov, "StartROVButton");
    Shoot(p, QStringLiteral("rov"));
    Click(p, view, "ROVCheckBox");
    Present(view);
    Shoot(p, QStringLiteral("view-rov-course"));

    struct TStop {
        const char* Opener;
        QWidget* Window;
        std::vector<const char*> Clicks;
    };
    const TStop tour[] = {
        {"AgeDistributionButton", p.AgeHistoForm, {"UpdateButton"}},
        {"ClusterButton", p.DiversityForm, {"ClusterButton"}},
        {"SuccessionButton", p.DisturbanceAgeFilterForm, {"CalcButton"}},
        {"RankPlotButton", p.RankPlotForm, {"RandomButton", "RandomButton", "PlotButton"}},
        {"SpeciesPoolButton", p.SpeciesEditForm, {}},
        {"DisturbanceButton", p.DisturbanceForm, {}},
        {"LandscapeEditorButton", p.LandEditForm, {}},
        {"AdditionalButton", p.GridEditForm, {}},
        {"AboutButton", p.AboutForm, {}},
        {nullptr, p.EditFlowGridForm, {}},
    };
    for (const TStop& stop : tour) {
        if (stop.Opener) Click(p, main, stop.Opener);
        Present(stop.Window);
        for (const char* name : stop.Clicks) Click(p, stop.Window, name);
        Shoot(p, stop.Window->objectName());
        stop.Window->hide();
    }

    // Every window at its minimum size, on its first tab.
    const QWidget* const keep = main;
    for (QWidget* w : std::initializer_list<QWidget*>{
             main, p.Visulaize, p.GodModeForm, p.ROIForm, rov, p.AgeHistoForm, p.DiversityForm,
             p.DisturbanceAgeFilterForm, p.RankPlotForm, p.SpeciesEditForm, p.DisturbanceForm, p.LandEditForm,
             p.GridEditForm, p.PriorityForm, p.mValueEditForm, p.AboutForm, p.EditFlowGridForm, p.AutoCloseForm}) {
        const QSize size = w->size();
        Present(w);
        w->resize(1, 1); // held at the minimum
        Shoot(p, QStringLiteral("min-") + w->objectName());
        if (w == keep)
            w->resize(size);
        else
            w->hide();
    }
    main->Stop();
    return 0;
}
