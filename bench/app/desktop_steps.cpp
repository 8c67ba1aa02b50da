// The desktop program's run loop as a user drives it, in a process of its own: the real
// windows load a saved simulation, "run" is pressed with the update interval at its
// start-up position, and the time to the N-th step is taken from the status of the main
// window. Prints "steps_per_s=<rate>" (wall time) and "cpu_s_per_step=<seconds>" (processor
// time of the whole process, both threads, which a busy machine distorts less).
// bench/desktop_vs_cli.sh compares them with the runner's.
//
//   desktop_steps FILE STEPS [--view] [--every N]
//
// --view shows the landscape view (1000 x 740, individuals shown, no display delay), which
// then redraws after every round; --every sets the update interval of the main window.
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "main_form.h"
#include "program.h"
#include "step_runner.h"
#include "view/landscape_view.h"

namespace {

double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Leaves the upper halves of the vector registers in use, as library code loaded by the
// window system once did in this process (the worker thread started later inherits the
// state). The program must cure it itself; this makes the benchmark see the worst case
// whatever the installed libraries do.
void DirtyVectorState()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx")) asm volatile("vpcmpeqb %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");
#endif
}

int ShownStep(marovi::app::TMainForm* form)
{
    return form->findChild<QLabel*>(QStringLiteral("TimeLabel"))->text().toInt();
}

} // namespace

int main(int argc, char** argv)
{
    bool view = false;
    int every = 0;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--view") == 0)
            view = true;
        else if (std::strcmp(argv[i], "--every") == 0 && i + 1 < argc)
            every = std::atoi(argv[++i]);
        else
            argc = 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: desktop_steps FILE STEPS [--view] [--every N]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int steps = std::atoi(argv[2]);

    DirtyVectorState();
    marovi::app::TProgram program;
    marovi::app::TMainForm* form = program.MainForm.get();
    form->show();
    form->LoadSimulationFromCommandLine(QString::fromLocal8Bit(argv[1]));
    program.Runner->WaitIdle();
    if (!form->Initialised()) return 1;
    if (every > 0) form->findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(every);
    if (view) {
        marovi::app::TVisulaize* v = program.Visulaize;
        v->resize(1000, 740);
        form->findChild<QPushButton*>(QStringLiteral("ShowSimulationButton"))->click();
        v->findChild<QAbstractButton*>(QStringLiteral("ShowSpeciesCheckBox"))->click();
        program.Runner->WaitIdle();
    }
    const int target = ShownStep(form) + steps;

    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessSeconds();
    form->findChild<QPushButton*>(QStringLiteral("StartButton1"))->click();
    while (ShownStep(form) < target && form->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuSeconds = ProcessSeconds() - cpuStart;
    const int done = ShownStep(form) - (target - steps);

    form->Stop();
    while (form->LoopActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("steps_per_s=%.3f\ncpu_s_per_step=%.6f\n", done / seconds, cpuSeconds / done);
    return done == steps ? 0 : 1;
}
