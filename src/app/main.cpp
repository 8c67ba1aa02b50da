// marovi: the desktop program.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "main_form.h"
#include "program.h"
#include "shell_forms.h"
#include "util/version.h"

namespace {

// --help and --version answer on the terminal before any window exists, so they work
// without a display.
bool AnsweredOnTheTerminal(int argc, char** argv)
{
    if (argc != 2) return false;
    const char* a = argv[1];
    if (std::strcmp(a, "--version") == 0 || std::strcmp(a, "-v") == 0) {
        std::printf("MAROVI %s, core %s\n", marovi::ProgramVersionText, marovi::CoreVersionText);
        return true;
    }
    if (std::strcmp(a, "--help") != 0 && std::strcmp(a, "-h") != 0) return false;
    std::printf("Usage: marovi [FILE.mgf]\n"
                "MAROVI %s, core %s: an individual-based simulation of sessile organisms on a grid of cells.\n"
                "\n"
                "  FILE.mgf    a saved simulation, loaded when the splash window closes\n"
                "  --help      this text\n"
                "  --version   the version\n"
                "\n"
                "marovi-cli runs simulations, sweeps and analyses without a window (marovi-cli --help).\n",
                marovi::ProgramVersionText, marovi::CoreVersionText);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (AnsweredOnTheTerminal(argc, argv)) return 0;
    QApplication app(argc, argv);
    // Numbers are formatted without the locale; C functions must not use one either.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("MAROVI"));

    marovi::app::TSplashForm splash;
    splash.show();
    QApplication::processEvents();

    marovi::app::TProgram program;
    auto* mainForm = program.MainForm.get();
    const bool loadArgument = argc == 2;
    const QString argument = loadArgument ? QString::fromLocal8Bit(argv[1]) : QString();
    QObject::connect(&splash, &marovi::app::TSplashForm::Finished, mainForm, [mainForm, loadArgument, argument] {
        if (loadArgument) mainForm->LoadSimulationFromCommandLine(argument);
    });
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(mainForm, &marovi::app::TMainForm::Closed, &app, &QApplication::quit);
    mainForm->show();
    splash.raise();
    return app.exec();
}
