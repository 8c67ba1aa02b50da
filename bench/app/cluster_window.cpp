// The cluster window's analysis as a user starts it, in a process of its own: the real
// windows load a saved simulation, the "Diversity" window is shown and, once it stands,
// "calc cluster stats" pressed (species 1, clean-up on: the window's defaults; with
// --no-clean both clean-ups off, which leaves a hundred thousand clusters on a large grid),
// and the time until the report stands is taken, together with the longest pause of the
// event loop meanwhile (how long the window stopped answering).
// bench/cluster_window_vs_cli.sh compares the time with the runner's.
//
//   cluster_window FILE [--no-clean]
//
// Prints "analysis_s=<seconds>", "cpu_s=<processor seconds of all threads meanwhile>" and
// "longest_pause_ms=<milliseconds>". Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "analysis/diversity_form.h"
#include "main_form.h"
#include "program.h"
#include "step_runner.h"

int main(int argc, char** argv)
{
    const bool noClean = argc == 3 && std::strcmp(argv[2], "--no-clean") == 0;
    if (argc != 2 && !noClean) {
        std::fprintf(stderr, "usage: cluster_window FILE [--no-clean]\n");
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
    if (noClean)
        for (const char* box : {"CheckBox2", "CheckBox1"}) window->findChild<QAbstractButton*>(QString::fromLatin1(box))->click();
    program.Runner->WaitIdle();
    // The window's first paint (fonts, glyphs, styles) belongs to opening it, not to the
    // analysis: a user sees the window before pressing its button.
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 50);

    // A timer that should fire every 10 ms: the longest gap between its shots.
    QElapsedTimer clock, gap;
    qint64 longest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    // Processor time of all threads as well: on a busy machine the wall time stretches.
    timespec c0{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
    clock.start();
    gap.start();
    probe.start(10);
    window->findChild<QPushButton*>(QStringLiteral("ClusterButton"))->click();
    while (window->Busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = clock.elapsed() / 1000.0;
    timespec c1{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
    const double cpu = static_cast<double>(c1.tv_sec - c0.tv_sec) + static_cast<double>(c1.tv_nsec - c0.tv_nsec) / 1e9;
    QApplication::processEvents(); // the report's first paint
    std::printf("analysis_s=%.3f\ncpu_s=%.3f\nlongest_pause_ms=%lld\n", seconds, cpu, static_cast<long long>(longest));
    return 0;
}
