// What an axis change of every chart costs, in the real windows of one program: the
// default scenario (100 x 100 cells, 10 species, seed 4711) after 150 steps, saved and
// loaded as a user would, with every chart window opened and filled by its own buttons.
// Then, each change timed with the repaint that shows it:
// - the sequences that froze the windows: the cluster histogram after "any" (no bars, value
//   axis 0..1) then after a species with clusters of up to 3,098 cells, on the chart itself
//   and through the "Diversity" window; the disturbance-age analysis with max age 10, then
//   20,000 at step 10, through its fields and "calculate";
// - on every value and logarithmic axis of every chart, the widest jumps a chart meets:
//   0..1 -> 0..10^7 -> 0..1, scaled and fixed.
//
//   chart_axes_bench [--check MS]
//
// Prints every change with its milliseconds (and the user-interface thread's processor
// milliseconds) and "slowest_ms=<milliseconds>"; with --check, fails when the slowest change
// took longer than MS (the aim is 50). Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLogValueAxis>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>

#include "analysis/cluster_analysis.h"
#include "analysis/cluster_histogram_chart.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "analysis/virtual_rov_form.h"
#include "chart_view.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "model/model.h"
#include "model/simulation.h"
#include "program.h"
#include "step_runner.h"
#include "view/landscape_view.h"
#include "widgets/chart_tools.h"

namespace {

using namespace marovi;
using namespace marovi::app;

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct TBench {
    TProgram& Program;
    double Slowest = 0;
    std::string SlowestWhat;

    // The milliseconds from the change to the event loop being free again and `view` repainted;
    // the longest pause of the event loop meanwhile when work went to the worker. Beside it
    // the processor time of the user-interface thread, which other work on the machine does
    // not stretch.
    void Time(const std::string& what, QWidget* view, const std::function<void()>& change)
    {
        const double cpu0 = ThreadCpuMs();
        QElapsedTimer clock, gap;
        qint64 longest = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] { longest = std::max(longest, gap.nsecsElapsed()); gap.restart(); });
        clock.start();
        gap.start();
        probe.start(5);
        change();
        const bool worked = !Program.Runner->Idle();
        Program.Runner->WaitIdle();
        QApplication::processEvents();
        view->repaint();
        const double total = clock.nsecsElapsed() / 1e6;
        longest = std::max(longest, gap.nsecsElapsed());
        // Work on the worker is not an axis change: there the window's longest pause counts.
        const double ms = worked ? longest / 1e6 : total;
        std::printf("%-78s %7.1f ms %7.1f ms cpu\n", what.c_str(), ms, ThreadCpuMs() - cpu0);
        std::fflush(stdout);
        if (ms > Slowest) {
            Slowest = ms;
            SlowestWhat = what;
        }
    }

    void Click(QObject* parent, const char* name)
    {
        auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (!button) {
            std::fprintf(stderr, "no button %s\n", name);
            std::exit(1);
        }
        button->click();
        Program.Runner->WaitIdle();
        QApplication::processEvents();
    }

    void Type(QObject* parent, const char* name, const QString& text)
    {
        auto* edit = parent->findChild<QLineEdit*>(QString::fromLatin1(name));
        edit->setText(text);
        emit edit->editingFinished();
    }
};

std::string AxisName(QChartView* view, QAbstractAxis* axis)
{
    QString chart = view->chart()->title();
    chart = chart.left(chart.indexOf(QStringLiteral("<br>"))).left(30);
    const char* side = axis->alignment() == Qt::AlignBottom ? "bottom" : axis->alignment() == Qt::AlignLeft ? "left" : "right";
    return QStringLiteral("%1 / %2 / %3").arg(view->window()->objectName(), chart, QLatin1String(side)).toStdString();
}

// The widest jumps on every axis in use of every chart shown.
void JumpEveryAxis(TBench& bench)
{
    QList<QChartView*> views;
    for (QWidget* window : QApplication::topLevelWidgets())
        for (QChartView* view : window->findChildren<QChartView*>())
            if (view->isVisible() && !views.contains(view)) views << view;
    for (QChartView* view : views)
        for (QAbstractAxis* axis : view->chart()->axes()) {
            if (!axis->isVisible()) continue;
            const std::string name = AxisName(view, axis);
            if (auto* value = qobject_cast<QValueAxis*>(axis)) {
                for (const auto& [min, max] : {std::pair{0.0, 1.0}, std::pair{0.0, 1e7}, std::pair{0.0, 1.0}})
                    bench.Time(name + QStringLiteral(" scaled 0..%1").arg(max).toStdString(), view, [&] { SetAxisRange(value, min, max); });
                for (const auto& [min, max] : {std::pair{0.0, 1e7}, std::pair{0.0, 1.0}})
                    bench.Time(name + QStringLiteral(" fixed 0..%1").arg(max).toStdString(), view, [&] { SetFixedAxisRange(value, min, max); });
            } else if (qobject_cast<QLogValueAxis*>(axis)) {
                for (const auto& [min, max] : {std::pair{1.0, 10.0}, std::pair{1.0, 1e7}, std::pair{1.0, 10.0}})
                    bench.Time(name + QStringLiteral(" log 1..%1").arg(max).toStdString(), view, [&] { SetAxisRange(axis, min, max); });
            }
        }
}

} // namespace

int main(int argc, char** argv)
{
    double check = 0;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--check") == 0 && i + 1 < argc) check = std::atof(argv[++i]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path()); // snapshots and overflow files stay out of the caller's way

    // The scenario, saved and loaded through the main window.
    {
        Model m;
        InitStartupModel(m, 4711);
        m.RandomSeed = 4711;
        NewSimulationModel(m, 0);
        RunRoundSteps(m, 150);
        SaveGridFile(m, dir.filePath(QStringLiteral("scenario.mgf")).toStdString());
    }
    TProgram program([] { return std::string("2024-01-01 00:00:00"); });
    TBench bench{program, 0, {}};
    TMainForm* main = program.MainForm.get();
    main->resize(1100, 760);
    main->show();
    main->LoadSimulationFromCommandLine(dir.filePath(QStringLiteral("scenario.mgf")));
    program.Runner->WaitIdle();
    if (!main->Initialised()) return 1;
    for (int i = 0; i < 3; ++i) bench.Click(main, "SingleStepButton");

    // The sequence of the cluster histogram on the chart itself: "any" gave one cluster, so no
    // bars and the value axis 0..1 by 0.1; then a species with clusters of up to 3,098 cells.
    {
        auto* chart = new TClusterHistogramChart;
        TChartView view(chart);
        view.resize(600, 400);
        view.show();
        TClusterHistogram any, species;
        species.Bars = {3098, 1200, 40, 7, 1};
        species.Mean = 869.2;
        species.AxisMax = 1.1 * 3098;
        bench.Time("cluster histogram: \"any\" (no bars, 0..1)", &view, [&] { chart->SetBars(any, QStringLiteral("size [cells]")); });
        bench.Time("cluster histogram: then a species (0..3407.8)", &view, [&] { chart->SetBars(species, QStringLiteral("size [cells]")); });
        bench.Time("cluster histogram: \"any\" again", &view, [&] { chart->SetBars(any, QStringLiteral("size [cells]")); });
    }

    // The same through the "Diversity" window.
    bench.Click(main, "ClusterButton");
    TDiversityForm* diversity = program.DiversityForm;
    auto* species = diversity->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    auto* histogram = diversity->findChild<QChartView*>(QStringLiteral("ClusterHistogramChart"));
    bench.Click(diversity, "SpeciesRadioButton");
    auto* histogramAxis = qobject_cast<QValueAxis*>(histogram->chart()->axes(Qt::Vertical).at(0));
    for (int item : {species->count() - 1, 0, species->count() - 1}) {
        species->setCurrentIndex(item);
        bench.Time("Diversity: calc cluster stats of " + species->currentText().toStdString(), histogram,
                   [&] { diversity->findChild<QPushButton*>(QStringLiteral("ClusterButton"))->click(); });
        std::printf("    (value axis %g..%g)\n", histogramAxis->min(), histogramAxis->max());
    }
    diversity->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    bench.Click(diversity, "Button1"); // the sliding box

    // The disturbance-age analysis: max age 10, then 20,000 at step 10, and back.
    bench.Click(main, "SuccessionButton");
    QWidget* ages = program.DisturbanceAgeFilterForm;
    auto* agesChart = ages->findChild<QChartView*>();
    for (const char* maxAge : {"10", "20000", "10"}) {
        bench.Type(ages, "MaxAgeEdit", QString::fromLatin1(maxAge));
        bench.Time(std::string("disturbance-age: max age ") + maxAge + ", step 10", agesChart, [&] { bench.Click(ages, "CalcButton"); });
    }

    // Every other chart window, filled by its own buttons.
    bench.Click(main, "ShowSimulationButton");
    bench.Click(program.Visulaize, "ROIButton");
    bench.Click(main, "RankPlotButton");
    bench.Click(program.RankPlotForm, "RandomButton");
    bench.Click(program.RankPlotForm, "PlotButton");
    bench.Click(main, "AgeDistributionButton");
    bench.Click(program.Visulaize, "ROVButton");
    bench.Click(program.VirtualRovForm, "StartROVButton");

    // Logarithmic axes too.
    bench.Click(program.RankPlotForm, "LogYCheckBox");
    bench.Click(program.RankPlotForm, "PlotButton");
    JumpEveryAxis(bench);

    std::printf("slowest_ms=%.1f (%s)\n", bench.Slowest, bench.SlowestWhat.c_str());
    return check > 0 && bench.Slowest > check ? 1 : 0;
}
