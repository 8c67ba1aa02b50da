// Screenshots of the desktop program as a user sees it: loads a simulation, opens every
// window in turn, works its main controls so that it shows content, and saves the whole
// screen as OUTDIR/NN-name.png. Message boxes that the controls open are captured and
// closed. Run under a virtual X server of the screen size wanted (scripts/screenshots.sh).
//
//   marovi-screenshots FILE OUTDIR
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "analysis/age_histo_form.h"
#include "disturbance/disturbance.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "analysis/virtual_rov_form.h"
#include "editors/disturbance_form.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/land_edit_form.h"
#include "editors/species_edit_form.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "program.h"
#include "shell_forms.h"
#include "step_runner.h"
#include "view/god_mode_form.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"
#include "widgets/map_chart.h"

using namespace marovi::app;

namespace {

QString outDir;
int shot = 0;

void Settle(TProgram& p)
{
    for (int i = 0; i < 5; ++i) {
        p.Runner->WaitIdle();
        QApplication::processEvents();
        QTest::qWait(60);
    }
}

void Shoot(TProgram& p, const QString& name)
{
    Settle(p);
    const QString path = QStringLiteral("%1/%2-%3.png").arg(outDir).arg(++shot, 2, 10, QChar('0')).arg(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s\n", qPrintable(path));
}

// Clicks a named button of a window; says so when the window has none of that name.
void Click(TProgram& p, QWidget* window, const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button) {
        std::fprintf(stderr, "no button %s in %s\n", name, qPrintable(window->objectName()));
        return;
    }
    button->click();
    Settle(p);
}

// Shows a window at its own size, kept on the screen, and brings it to the front.
void Present(QWidget* w)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w->show();
    w->resize(w->size().boundedTo(screen.size()));
    w->move(screen.topLeft());
    w->raise();
    w->activateWindow();
}

// Message boxes opened by a control: captured, then closed so that the tour goes on.
void WatchModals(TProgram& p)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [&p] {
        static bool busy = false;
        if (busy) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        busy = true;
        QTest::qWait(100);
        Shoot(p, QStringLiteral("message"));
        modal->close();
        busy = false;
    });
    timer->start(200);
}

void ClickCell(TProgram& p, int x, int y, Qt::MouseButton button)
{
    auto* chart = p.Visulaize->findChild<TMapChart*>(QStringLiteral("Chart1"));
    QTest::mouseClick(chart, button, {}, chart->PixelOf(QPointF(x + 0.5, y + 0.5)).toPoint());
    Settle(p);
}

// Runs the simulation with the "run" button for a number of steps.
void RunSteps(TProgram& p, int steps)
{
    TMainForm* main = p.MainForm.get();
    auto* shown = main->findChild<QLabel*>(QStringLiteral("TimeLabel"));
    const int target = shown->text().toInt() + steps;
    main->findChild<QAbstractButton*>(QStringLiteral("StartButton1"))->click(); // no settling: it runs on
    while (shown->text().toInt() < target && main->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    main->Stop();
    while (main->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: marovi-screenshots FILE OUTDIR\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);
    TProgram p;
    WatchModals(p);
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
    main->Stop();
    return 0;
}
