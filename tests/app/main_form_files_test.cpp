// Saving and loading simulations from the main window, the command-line load, and the
// three text exports, driven through the window's buttons and file dialogs.
#include <QDir>
#include <QSignalSpy>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include "abundance_chart.h"
#include "app_test_support.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "model/simulation.h"
#include "program.h"
#include "shell_forms.h"
#include "util/error.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

std::unique_ptr<TProgram> MakeProgram()
{
    return apptest::MakeProgram(8, 6);
}

void Click(QObject* form, const char* name)
{
    ClickButton(form, name);
}

// A program after "new" and three single steps.
std::unique_ptr<TProgram> SteppedProgram()
{
    auto p = MakeProgram();
    Click(p->MainForm.get(), "InitButton1");
    for (int i = 0; i < 3; ++i) apptest::SingleStep(*p);
    return p;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ListLines(TMainForm* form)
{
    return StatusLines(form);
}

} // namespace

class TMainFormFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void saveThenLoadRestoresTheSimulationAndTheChart()
    {
        auto saved = SteppedProgram();
        const QString path = dir_.filePath(QStringLiteral("run"));
        {
            TModalResponder responder;
            responder.FileNames << path;
            Click(saved->MainForm.get(), "saveButton");
            QCOMPARE(responder.FileDialogs, 1);
            QVERIFY(responder.Boxes.empty());
        }
        const QString grid = path + QStringLiteral(".mgf");
        QCOMPARE(QString::fromStdString(saved->Simulation.FileName), grid);
        QCOMPARE(saved->MainForm->windowTitle(), QStringLiteral("MAROVI 1.6b, core V 1.20 file ") + grid);
        // The companion file holds the status list, newest first, lines ended by CR LF.
        const QByteArray companion = ReadFile(path + QStringLiteral(".TXT"));
        QCOMPARE(companion, ListLines(saved->MainForm.get()).join(QStringLiteral("\r\n")).toUtf8() + "\r\n");

        auto loaded = MakeProgram();
        TMainForm* f = loaded->MainForm.get();
        QSignalSpy reset(f, &TMainForm::SimulationReset);
        {
            TModalResponder responder;
            responder.FileNames << grid;
            responder.Answer = QMessageBox::Yes;
            Click(f, "LoadButton");
            QCOMPARE(responder.Boxes.size(), size_t(1));
            QCOMPARE(responder.Boxes[0].Title, QStringLiteral("loading data"));
            QCOMPARE(responder.Boxes[0].Text,
                     QStringLiteral("There seems to be a population graph data file, try to load (Y/N)\r(may take some time)"));
        }
        QCOMPARE(reset.count(), 1);
        QVERIFY(f->Initialised());
        QCOMPARE(GridFileBytes(loaded->Simulation), GridFileBytes(saved->Simulation));
        QCOMPARE(Child<QLabel>(f, "TimeLabel")->text(), QStringLiteral("3"));
        QVERIFY(Child<QLabel>(f, "Label11")->text().startsWith(QStringLiteral("    t timestep;")));
        // The companion file came back into the status list and the chart: steps 0..3 from
        // the file, then the current point.
        QCOMPARE(ListLines(f), ListLines(saved->MainForm.get()));
        const QList<QPointF>& first = f->Chart()->Points(0);
        QCOMPARE(first.size(), 5);
        QCOMPARE(first.last(), QPointF(3, loaded->Simulation.StepAbundance[0]));
        QCOMPARE(f->Chart()->Points(f->Chart()->DiversitySeriesIndex()).size(), 5);
        QCOMPARE(f->Chart()->TimeAxis()->min(), 0.0);
        QCOMPARE(f->Chart()->TimeAxis()->max(), 4.0);
        QVERIFY(!loaded->ProgressForm->isVisible());
        QVERIFY(!Child<QLabel>(f, "StaticText1")->isVisible());

        // Declining the population data leaves the one load entry and a short time axis.
        auto declined = MakeProgram();
        {
            TModalResponder responder;
            responder.FileNames << grid;
            responder.Answer = QMessageBox::No;
            Click(declined->MainForm.get(), "LoadButton");
        }
        const QStringList lines = ListLines(declined->MainForm.get());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith(QStringLiteral("2024-05-06 07:08:09; 000003;")), qPrintable(lines[0]));
        QCOMPARE(declined->MainForm->Chart()->Points(0).size(), 0);
        QCOMPARE(declined->MainForm->Chart()->TimeAxis()->min(), 3.0);
        QCOMPARE(declined->MainForm->Chart()->TimeAxis()->max(), 4.0);
        const QValueAxis* time = declined->MainForm->Chart()->TimeAxis(); // ticks at whole steps only
        QCOMPARE(time->tickType() == QValueAxis::TicksDynamic ? time->tickInterval() : 0.0, 1.0);

        // From the command line the population data are loaded without a question.
        auto commandLine = MakeProgram();
        {
            TModalResponder responder;
            commandLine->MainForm->LoadSimulationFromCommandLine(grid);
            QVERIFY(responder.Boxes.empty());
        }
        QCOMPARE(commandLine->MainForm->Chart()->Points(0).size(), 5);
    }

    void aBrokenFileShowsTheReadersMessageAndChangesNothing()
    {
        auto p = SteppedProgram();
        TMainForm* f = p->MainForm.get();
        const QString broken = dir_.filePath(QStringLiteral("broken.mgf"));
        {
            QFile file(broken);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("MAROVI GRID FILEV 1.20") + QByteArray(100, '\x7f')); // header cut short
        }
        std::string expected;
        try {
            Model scratch;
            LoadGridFile(scratch, broken.toStdString());
        } catch (const Error& e) {
            expected = e.what();
        }
        QVERIFY(!expected.empty());

        const std::string before = GridFileBytes(p->Simulation);
        const QStringList lines = ListLines(f);
        QSignalSpy reset(f, &TMainForm::SimulationReset);
        TModalResponder responder;
        responder.FileNames << broken;
        Click(f, "LoadButton");
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QString::fromStdString(expected));
        QCOMPARE(GridFileBytes(p->Simulation), before);
        QCOMPARE(p->Simulation.FileName, std::string("-not saved-"));
        QCOMPARE(ListLines(f), lines);
        QCOMPARE(reset.count(), 0);
        QVERIFY(f->Initialised());
        QVERIFY(!p->ProgressForm->isVisible());
        QVERIFY(!Child<QLabel>(f, "StaticText2")->isVisible());
        // The simulation goes on from where it was.
        apptest::SingleStep(*p);
        QCOMPARE(p->Simulation.TimeStep, 4);
    }

    void aCancelledDialogWritesNothing()
    {
        auto p = SteppedProgram();
        const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
        TModalResponder responder; // no names: every dialog is cancelled
        for (const char* button : {"saveButton", "SaveDataButton", "SaveIndividualsButton", "ExtractSpeciesButton", "LoadButton"})
            Click(p->MainForm.get(), button);
        QCOMPARE(responder.FileDialogs, 5);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
        QCOMPARE(p->Simulation.FileName, std::string("-not saved-"));
    }

    void theThreeExportsWriteTheirFiles()
    {
        auto p = SteppedProgram();
        TModalResponder responder;
        responder.FileNames << dir_.filePath(QStringLiteral("status")) << dir_.filePath(QStringLiteral("individuals"))
                            << dir_.filePath(QStringLiteral("species"));
        Click(p->MainForm.get(), "SaveDataButton");
        Click(p->MainForm.get(), "SaveIndividualsButton");
        Click(p->MainForm.get(), "ExtractSpeciesButton");
        QVERIFY(responder.Boxes.empty());
        QCOMPARE(ReadFile(dir_.filePath(QStringLiteral("status.txt"))),
                 ListLines(p->MainForm.get()).join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
        const QByteArray individuals = ReadFile(dir_.filePath(QStringLiteral("individuals.txt")));
        QVERIFY(individuals.startsWith("######################################################\r\n"
                                       "# MAROVI data file, individual list                  #\r\n"
                                       "# created 2024-05-06 07:08:09                        #\r\n"));
        const QByteArray species = ReadFile(dir_.filePath(QStringLiteral("species.txt")));
        QVERIFY(species.contains("# MAROVI data file, species list                     #\r\n"));
        QCOMPARE(species.count("\r\n"), 7 + 10 * 8 * 6);
    }

    void savingAfterAnOverflowWarnsAndGathersTheFiles()
    {
        auto p = SteppedProgram();
        TMainForm* f = p->MainForm.get();
        for (int i = 0; i < 25000; ++i) f->StatusList().InsertTop("older line");
        QVERIFY(f->StatusList().OverflowIfFull());
        f->StatusList().InsertTop("newest line");
        TModalResponder responder;
        responder.FileNames << dir_.filePath(QStringLiteral("gathered"));
        Click(f, "SaveDataButton");
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("CAUTION!"));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("There is additional data, saving might take some time!"));
        const QByteArray data = ReadFile(dir_.filePath(QStringLiteral("gathered.txt")));
        QVERIFY(data.startsWith("newest line\r\n> previos data saved to ~MAROVItemp000.tmp\r\nolder line\r\n"));
        QCOMPARE(data.count("\r\n"), 2 + 25000 + 5);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TMainFormFilesTest)
#include "main_form_files_test.moc"
