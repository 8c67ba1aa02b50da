// marovi: the desktop program.
#include <QApplication>
#include <clocale>

#include "main_form.h"
#include "program.h"
#include "shell_forms.h"

int main(int argc, char** argv)
{
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
