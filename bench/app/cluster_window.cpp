// The cluster window's analysis as a user starts it, in a process of its own: the real
// windows load a saved simulation, the "Diversity" window is shown and "calc cluster stats"
// pressed (species 1, clean-up on: the window's defaults), and the time until the report
// stands is taken, together with the longest pause of the event loop meanwhile (how long
// the window stopped answering). bench/cluster_window_vs_cli.sh compares the time with the
// runner's.
//
//   cluster_window FILE
//
// Prints "analysis_s=<seconds>" and "longest_pause_ms=<milliseconds>". Runs offscreen
// unless QT_QPA_PLATFORM says otherwise.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "analysis/diversity_form.h"
#include "main_form.h"
#include "program.h"
#include "step_runner.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: cluster_window FILE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    marovi::app::TProgram program;
    marovi::app::TMainForm* form = program.MainForm.get();
    form->show();
    form->LoadSimulationFromCommandLine(QString::fromLocal8Bit(argv[1]));
    program.Runner->WaitIdle();
    if (!form->Initialised()) return 1;
    marovi::app::TDiversityForm* window = program.DiversityForm;
    form->findChild<QPushButton*>(QStringLiteral("ClusterButton"))->click();
    window->findChild<QAbstractButton*>(QStringLiteral("SpeciesRadioButton"))->click();
    program.Runner->WaitIdle();

    // A timer that should fire every 10 ms: the longest gap between its shots.
    QElapsedTimer clock, gap;
    qint64 longest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    clock.start();
    gap.start();
    probe.start(10);
    window->findChild<QPushButton*>(QStringLiteral("ClusterButton"))->click();
    while (window->Busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = clock.elapsed() / 1000.0;
    QApplication::processEvents(); // the report's first paint
    std::printf("analysis_s=%.3f\nlongest_pause_ms=%lld\n", seconds, static_cast<long long>(longest));
    return 0;
}
