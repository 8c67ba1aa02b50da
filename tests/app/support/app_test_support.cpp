#include "app_test_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "disturbance/disturbance.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "model/simulation.h"
#include "model/step.h"
#include "program.h"
#include "step_runner.h"

namespace marovi::apptest {

std::unique_ptr<app::TProgram> MakeProgram(int xdim, int ydim)
{
    auto program = std::make_unique<app::TProgram>(FixedClock());
    InitStartupModel(program->Simulation, 4711, xdim, ydim);
    program->Simulation.RandomSeed = 4711;
    return program;
}

std::unique_ptr<app::TProgram> AnalysedProgram(const QString& path, int xdim, int ydim, int steps)
{
    auto program = MakeProgram(xdim, ydim);
    Model& m = program->Simulation;
    NewSimulationModel(m, 0);
    AddDisturbance(m, 0, ydim - 1, xdim - 1, 0, false, 4, 1, 4, 1, 0.2, 1.0, 0, 6.283185307179586, 1, 1);
    AddDisturbance(m, 1, ydim - 2, xdim / 2, 1, true, 3, 1, 2, 0.5, 0.3, 0.6, 0.7, 0.2, 2, 3);
    for (int i = 0; i < steps; ++i) SimulationStep(m);
    SaveGridFile(m, path.toStdString());
    program->MainForm->LoadSimulationFromCommandLine(path);
    program->Runner->WaitIdle();
    return program;
}

QStringList StatusLines(app::TMainForm* form)
{
    QStringList lines;
    for (const std::string& line : form->StatusList().Lines()) lines << QString::fromStdString(line);
    return lines;
}

void SetText(QObject* form, const char* name, const QString& text)
{
    auto* edit = Child<QLineEdit>(form, name);
    QVERIFY2(edit, name);
    edit->setText(text);
}

void ClickButton(QObject* form, const char* name)
{
    auto* button = Child<QPushButton>(form, name);
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void SingleStep(app::TProgram& program)
{
    ClickButton(program.MainForm.get(), "SingleStepButton");
    program.Runner->WaitIdle();
}

int ShownTimeStep(app::TMainForm* form)
{
    return Child<QLabel>(form, "TimeLabel")->text().toInt();
}

TClock FixedClock()
{
    return [] { return std::string(TestTime); };
}

TModalResponder::TModalResponder()
{
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &TModalResponder::Poll);
    timer_.start();
}

TModalResponder::~TModalResponder() = default;

void TModalResponder::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        Boxes.push_back({box->windowTitle(), box->text()});
        QAbstractButton* button = box->button(Answer);
        if (!button) button = box->button(QMessageBox::Ok);
        if (!button) button = box->buttons().constFirst();
        button->click();
        return;
    }
    if (auto* dialog = qobject_cast<QColorDialog*>(modal)) {
        if (!Colour.isValid()) {
            dialog->reject();
            return;
        }
        dialog->setCurrentColor(Colour);
        dialog->accept();
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        ++FileDialogs;
        if (FileNames.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field, as a user would: selectFile may race the directory scan.
        const QFileInfo file(FileNames.takeFirst());
        dialog->setDirectory(file.absolutePath());
        // A file selected in the dialog's views by an earlier use would win over the typed name.
        for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
            if (view->selectionModel()) view->selectionModel()->clear();
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(file.fileName());
        static_cast<QDialog*>(dialog)->accept(); // the file dialog checks the name on accepting
    }
}

namespace {

QStringList CrLfLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace

QStringList RunCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(MAROVI_CLI), arguments);
    if (!cli.waitForFinished(120000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        return {QStringLiteral("marovi-cli %1 failed: %2").arg(arguments.join(QLatin1Char(' ')),
                                                              QString::fromUtf8(cli.readAllStandardError()))};
    return CrLfLines(cli.readAllStandardOutput());
}

bool CliSimulation(const QString& path, const QString& grid, int seed, int steps)
{
    const QStringList out = RunCli({QStringLiteral("new"), QStringLiteral("--grid"), grid, QStringLiteral("--seed"),
                                    QString::number(seed), QStringLiteral("--steps"), QString::number(steps),
                                    QStringLiteral("--out"), path});
    if (QFile::exists(path)) return true;
    qWarning("%s", qPrintable(out.join(QLatin1Char('\n'))));
    return false;
}

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot read ") + path};
    return CrLfLines(file.readAll());
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

QList<QPoint> DrawnPixels(QWidget* widget, const std::function<void()>& change, const std::function<void()>& undo)
{
    undo();
    const QImage without = widget->grab().toImage();
    change();
    const QImage with = widget->grab().toImage();
    QList<QPoint> drawn;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) drawn << QPoint(x, y);
    return drawn;
}

} // namespace marovi::apptest
