// The main window driven by its controls: new, +1, run, stop, pause, the termination
// question, the status list overflow, exit, the tool window buttons and the chart.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include "abundance_chart.h"
#include "analysis/age_histo_form.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "analysis/virtual_rov_form.h"
#include "app_test_support.h"
#include "auto_close_form.h"
#include "chart_view.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "model/simulation.h"
#include "program.h"
#include "shell_forms.h"
#include "step_runner.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"
#include "widgets/grid_plot.h"
#include "widgets/map_chart.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

constexpr char Header10[] =
    "timestep;Shannon Index(species);Shannon Index(guild);Count;Area ;"
    "------- 1------- 2------- 3------- 4------- 5------- 6------- 7------- 8------- 9-------10";

std::unique_ptr<TProgram> MakeProgram(int side = 12)
{
    return apptest::MakeProgram(side, side);
}

QStringList ListLines(TMainForm* form)
{
    return StatusLines(form);
}

// The time step field of a status entry ("date;step;..." or "date; step;...").
int EntryStep(const QString& line)
{
    return line.section(QLatin1Char(';'), 1, 1).trimmed().toInt();
}

// One double click on a chart, as the window system delivers it.
void DoubleClick(QWidget* viewport, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &event);
}

void Click(QObject* form, const char* name)
{
    ClickButton(form, name);
}

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void controlsHaveTheirCaptionsAndHints()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        const struct { const char* Name; const char* Caption; } buttons[] = {
            {"StartButton1", "run"}, {"EndButton2", "stop"}, {"InitButton1", "new"}, {"SingleStepButton", "+1"},
            {"CloseButton", "&Exit"}, {"saveButton", "save simulation"}, {"LoadButton", "load simulation"},
            {"SaveDataButton", "save data"}, {"SaveIndividualsButton", "save individuals"},
            {"ExtractSpeciesButton", "extract species"}, {"ExtinctionButton", "extinction time"},
            {"AdditionalButton", "additional"}, {"SuccessionButton", "succsession"},
        };
        for (const auto& b : buttons) {
            auto* button = Child<QPushButton>(f, b.Name);
            QVERIFY2(button, b.Name);
            QCOMPARE(button->text(), QString::fromLatin1(b.Caption));
        }
        QVERIFY(!Child<QPushButton>(f, "EndButton2")->isEnabled());
        auto* track = Child<QSlider>(f, "TrackBar1");
        QCOMPARE(track->minimum(), 1);
        QCOMPARE(track->maximum(), 100);
        QCOMPARE(track->value(), 10);
        QCOMPARE(track->toolTip(), QStringLiteral("update statistics and data every n-th timestep"));
        QCOMPARE(Child<QLabel>(f, "Label6")->text(), QStringLiteral("10"));
        track->setValue(37);
        QCOMPARE(Child<QLabel>(f, "Label6")->text(), QStringLiteral("37"));
        QCOMPARE(Child<QLabel>(f, "Label3")->text(), QStringLiteral("free memory: "));
        QCOMPARE(Child<QListView>(f, "ListBox1")->toolTip(), QStringLiteral("simulation status information"));
        QCOMPARE(Child<TChartView>(f, "Chart1")->toolTip(), QStringLiteral("species abundance over time"));
        QCOMPARE(Child<QPushButton>(f, "InitButton1")->toolTip(),
                 QStringLiteral("create new simulation / reset current simulation to timestep 0"));
        QCOMPARE(f->windowTitle(), QStringLiteral("MAROVI 1.6b, core V 1.20.J"));
    }

    void startUpStateIsTheDefaultScenario()
    {
        TProgram p(FixedClock());
        QCOMPARE(p.Simulation.XDim, 100);
        QCOMPARE(p.Simulation.YDim, 100);
        QCOMPARE(p.Simulation.SpeciesMax, 9);
        QCOMPARE(p.Simulation.TimeStep, 0);
        QVERIFY(!p.MainForm->Initialised());
        QCOMPARE(p.StartFill.Value, 99); // XMax when the Grid properties dialog is created
        // Steps on every processor the program may use, as the about box says.
        QCOMPARE(p.Simulation.StepThreads.Count(), UsableProcessors());
        QCOMPARE(Child<QLabel>(p.AboutForm, "StepThreadsLabel")->text(),
                 QStringLiteral("time steps on %1 thread%2").arg(UsableProcessors()).arg(UsableProcessors() == 1 ? "" : "s"));
    }

    void newWritesTheTwoBottomLinesAndTheHeader()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        QSignalSpy reset(f, &TMainForm::SimulationReset);
        Click(f, "InitButton1");
        QVERIFY(f->Initialised());
        QCOMPARE(reset.count(), 1);
        const QStringList lines = ListLines(f);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1], QStringLiteral("# time;") + QLatin1String(Header10));
        QVERIFY2(lines[0].startsWith(QStringLiteral("2024-05-06 07:08:09;000000;")), qPrintable(lines[0]));
        QCOMPARE(Child<QLabel>(f, "Label11")->text(), QStringLiteral("time      step ") + QLatin1String(Header10));
        QCOMPARE(Child<QLabel>(f, "TimeLabel")->text(), QStringLiteral("0"));
        QCOMPARE(p->Simulation.FileName, std::string("-not saved-"));
        // One curve per species in the pool's order, then the diversity on the right axis.
        const QList<QAbstractSeries*> series = f->Chart()->series();
        QCOMPARE(series.size(), 11);
        QCOMPARE(series[0]->name(), QString::fromStdString(p->Simulation.SpeciesPool[0].Name));
        QCOMPARE(series[10]->name(), QStringLiteral("Shannon"));
        QCOMPARE(static_cast<QLineSeries*>(series[10])->pen().color(), QColor(Qt::black));
        QCOMPARE(series[10]->attachedAxes().last(), static_cast<QAbstractAxis*>(f->Chart()->RightAxis()));
    }

    void newTakesOverAChangedStartFillOnce()
    {
        auto p = MakeProgram();
        p->StartFill = {3, true};
        Click(p->MainForm.get(), "InitButton1");
        QCOMPARE(p->Simulation.StartFill, 3);
        QVERIFY(!p->StartFill.Changed);
        // Columns beyond the start fill stay empty.
        int beyond = 0;
        for (int x = 4; x < p->Simulation.XDim; ++x)
            for (int y = 0; y < p->Simulation.YDim; ++y) beyond += p->Simulation.Cell(x, y).IndividualCount;
        QCOMPARE(beyond, 0);
    }

    void steppingOrRunningBeforeNewShowsTheError()
    {
        auto p = MakeProgram();
        TModalResponder responder;
        Click(p->MainForm.get(), "SingleStepButton");
        Click(p->MainForm.get(), "StartButton1");
        QCOMPARE(responder.Boxes.size(), size_t(2));
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Error!"));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("you must initialise first (load or press \"new\" )"));
        QCOMPARE(responder.Boxes[1].Title, QStringLiteral("Error!"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("you must initialise first (load or press \"new\")"));
        QCOMPARE(p->Simulation.TimeStep, 0);
        QVERIFY(!p->MainForm->Running());
        QVERIFY(ListLines(p->MainForm.get()).isEmpty());
    }

    void singleStepAddsAnEntryWithoutBlankAndAChartPoint()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        Click(f, "InitButton1");
        SingleStep(*p);
        SingleStep(*p);
        const QStringList lines = ListLines(f);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith(QStringLiteral("2024-05-06 07:08:09;000002;")), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("2024-05-06 07:08:09;000001;")), qPrintable(lines[1]));
        QCOMPARE(Child<QLabel>(f, "TimeLabel")->text(), QStringLiteral("2"));
        QVERIFY(Child<QLabel>(f, "Label4")->text().endsWith(QStringLiteral(" used kB")));
        const QList<QPointF>& first = f->Chart()->Points(0);
        QCOMPARE(first.size(), 2);
        QCOMPARE(first[1], QPointF(2, p->Simulation.StepAbundance[0]));
        QCOMPARE(f->Chart()->Points(10).size(), 2);
    }

    void runWritesOneEntryPerRound()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        Click(f, "InitButton1");
        Child<QSlider>(f, "TrackBar1")->setValue(5);
        Click(f, "StartButton1");
        QVERIFY(f->Running());
        QVERIFY(!Child<QPushButton>(f, "StartButton1")->isEnabled());
        QVERIFY(!Child<QPushButton>(f, "CloseButton")->isEnabled());
        QVERIFY(Child<QPushButton>(f, "EndButton2")->isEnabled());
        QVERIFY(WaitFor([&] { return ShownTimeStep(f) >= 22; }));
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        // "stop" ends the run after the round: every round of five steps left one entry.
        QCOMPARE(p->Simulation.TimeStep % 5, 0);
        const QStringList lines = ListLines(f);
        const int rounds = p->Simulation.TimeStep / 5;
        QCOMPARE(lines.size(), rounds + 2);
        for (int r = 0; r < rounds; ++r) {
            QVERIFY2(lines[r].startsWith(QStringLiteral("2024-05-06 07:08:09; ")), qPrintable(lines[r]));
            QCOMPARE(EntryStep(lines[r]), (rounds - r) * 5);
        }
        QCOMPARE(f->Chart()->Points(0).size(), rounds);
        QVERIFY(Child<QLabel>(f, "Label5")->text().endsWith(QStringLiteral(" tpm)")));
        QVERIFY(Child<QPushButton>(f, "CloseButton")->isEnabled());
        QVERIFY(!Child<QPushButton>(f, "EndButton2")->isEnabled());
    }

    void terminationInTheThirdStepSkipsTheRestAndATimeoutStops()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        p->Simulation.MaxRuntime = 3; // with no further disturbances or steps the flag is set in step 3
        Click(f, "InitButton1");
        Child<QSlider>(f, "TrackBar1")->setValue(5);
        Click(f, "StartButton1");
        TAutoCloseForm* question = p->AutoCloseForm;
        QVERIFY(WaitFor([&] { return question->isVisible(); }));
        QCOMPARE(p->Simulation.TimeStep, 3);
        QVERIFY(f->Running());
        QCOMPARE(question->windowTitle(), QStringLiteral("Question"));
        QCOMPARE(Child<QLabel>(question, "Label1")->text(), QStringLiteral("termination criteria is true, proceed ?"));
        QVERIFY(question->Timer1()->isActive());
        QCOMPARE(question->Timer1()->interval(), 10000);
        // The round's entry and chart point were written before the question.
        const QStringList lines = ListLines(f);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(EntryStep(lines[0]), 3);
        QCOMPARE(f->Chart()->Points(0).size(), 1);
        // Nobody answers: the time-out closes the question with "No", which ends the run.
        question->Timer1()->start(1);
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        QVERIFY(!question->isVisible());
        QCOMPARE(p->Simulation.TimeStep, 3);
        QCOMPARE(p->Simulation.MaxRuntime, 3);
        QVERIFY(Child<QPushButton>(f, "StartButton1")->isEnabled());
    }

    void yesToTheTerminationQuestionRunsOnWithoutCriterion()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        p->Simulation.MaxRuntime = 2;
        Click(f, "InitButton1");
        Child<QSlider>(f, "TrackBar1")->setValue(4);
        Click(f, "StartButton1");
        TAutoCloseForm* question = p->AutoCloseForm;
        QVERIFY(WaitFor([&] { return question->isVisible(); }));
        QTest::mouseClick(Child<QPushButton>(question, "YesButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return ShownTimeStep(f) >= 10; }));
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        p->Runner->WaitIdle(); // the model is the worker's while steps run
        QCOMPARE(p->Simulation.MaxRuntime, 0);
        QVERIFY(!p->Simulation.TerminateFlag);
        // The first round ended at step 2; the following ones are whole rounds of four.
        QCOMPARE((p->Simulation.TimeStep - 2) % 4, 0);
    }

    void theStatusListOverflowsAt25000Lines()
    {
        auto p = MakeProgram(3);
        TMainForm* f = p->MainForm.get();
        QFile::remove(QStringLiteral("~MAROVItemp000.tmp"));
        Click(f, "InitButton1");
        Child<QSlider>(f, "TrackBar1")->setValue(1);
        for (int i = 0; i < 24997; ++i) f->StatusList().InsertTop("filler");
        QCOMPARE(f->StatusList().Size(), size_t(24999));
        Click(f, "StartButton1");
        QVERIFY(WaitFor([&] { return f->StatusList().TempFileCounter() == 1; }));
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        QFile file(QStringLiteral("~MAROVItemp000.tmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), 25000);
        QVERIFY(bytes.endsWith("# time;" + QByteArray(Header10) + "\r\n"));
        const QStringList lines = ListLines(f);
        QCOMPARE(lines.last(), QStringLiteral("> previos data saved to ~MAROVItemp000.tmp"));
        // The view shows exactly what the list holds.
        QCOMPARE(Child<QListView>(f, "ListBox1")->model()->rowCount(), lines.size());
        QCOMPARE(Child<QListView>(f, "ListBox1")->model()->index(lines.size() - 1, 0).data().toString(), lines.last());
    }

    void exitIsRefusedWhileRunning()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        f->show();
        QSignalSpy closed(f, &TMainForm::Closed);
        Click(f, "InitButton1");
        Click(f, "StartButton1");
        QVERIFY(!f->close());
        QVERIFY(f->isVisible());
        QCOMPARE(closed.count(), 0);
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        Click(f, "CloseButton");
        QVERIFY(!f->isVisible());
        QCOMPARE(closed.count(), 1);
    }

    void pauseHoldsTheLoopUntilResumed()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        Click(f, "InitButton1");
        Child<QSlider>(f, "TrackBar1")->setValue(1);
        Click(f, "StartButton1");
        QSignalSpy pause(f, &TMainForm::PauseChanged);
        QVERIFY(WaitFor([&] { return ShownTimeStep(f) >= 2; }));
        f->TogglePause();
        QCOMPARE(pause.count(), 1);
        QCOMPARE(pause.last().at(0).toBool(), true);
        QTest::qWait(50);
        const int held = p->Simulation.TimeStep;
        QTest::qWait(150);
        QCOMPARE(p->Simulation.TimeStep, held);
        // "+1" still works while the loop idles.
        SingleStep(*p);
        QCOMPARE(p->Simulation.TimeStep, held + 1);
        f->TogglePause();
        QVERIFY(WaitFor([&] { return ShownTimeStep(f) > held + 2; }));
        f->TogglePause(); // stopping a paused run resumes nothing: the loop just ends
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        QVERIFY(!f->Paused());
        QCOMPARE(pause.last().at(0).toBool(), false);
    }

    void pauseButtonReadsResumeOnlyWhilePaused()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        auto* button = Child<QPushButton>(p->Visulaize, "PauseButton");
        Click(f, "InitButton1");
        Click(p->Visulaize, "PauseButton"); // while idle
        QCOMPARE(button->text(), QStringLiteral("resume"));
        Click(f, "StartButton1"); // the run does not start paused
        QCOMPARE(button->text(), QStringLiteral("pause"));
        Click(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
    }

    void extinctionTimesAreShownInAMessage()
    {
        auto p = MakeProgram();
        p->Simulation.SpeciesPool[0].Name = "a very long species name";
        p->Simulation.ExtinctionStep[1] = 42;
        TModalResponder responder;
        Click(p->MainForm.get(), "ExtinctionButton");
        QCOMPARE(responder.Boxes.size(), size_t(1));
        const QString text = responder.Boxes[0].Text;
        QVERIFY2(text.startsWith(QStringLiteral("extinction time :\r\r\r01.) a very long spe : -----\r02.) ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(" : 00042\r03.) ")), qPrintable(text));
    }

    void toolButtonsOpenOnlyExistingWindowsAndRespectInitialisation()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        QWidget view;
        f->SetToolWindow(TToolWindow::ShowSimulation, &view);
        Click(f, "ShowSimulationButton");
        QVERIFY(!view.isVisible()); // needs a simulation
        Click(f, "RankPlotButton");  // no such window yet: nothing happens
        Click(f, "InitButton1");
        Click(f, "ShowSimulationButton");
        QVERIFY(view.isVisible());
        Click(f, "AdditionalButton");
        QVERIFY(p->GridEditForm->isVisible());
        p->GridEditForm->hide();
        view.hide();
    }

    void chartDoubleClickSavesSvgAndCtrlCopies()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        Click(f, "InitButton1");
        SingleStep(*p);
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        auto* chart = Child<TChartView>(f, "Chart1");
        const QString path = QDir::current().filePath(QStringLiteral("chart"));
        QFile::remove(path + QStringLiteral(".svg"));
        {
            TModalResponder responder;
            responder.FileNames << path;
            DoubleClick(chart->viewport());
            QCOMPARE(responder.FileDialogs, 1);
        }
        QFile svg(path + QStringLiteral(".svg")); // the default extension was added
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray bytes = svg.readAll();
        QVERIFY(bytes.contains("<svg"));
        QVERIFY(bytes.contains("Shannon"));
        auto* dialog = chart->findChild<QFileDialog*>(QStringLiteral("ChartSaveDialog"));
        QVERIFY(dialog);
        QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("scalable vector graphics (*.svg)")});
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);

        // With Ctrl the chart goes to the clipboard as an image and as SVG, and no dialog opens.
        QApplication::clipboard()->clear();
        TModalResponder responder;
        DoubleClick(chart->viewport(), Qt::ControlModifier);
        QCOMPARE(responder.FileDialogs, 0);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasImage());
        QVERIFY(data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    }

    void theHeaderScrollsSidewaysWithTheList()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        f->resize(700, 600); // narrower than a status line
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        Click(f, "InitButton1");
        auto* list = Child<QListView>(f, "ListBox1");
        auto* header = Child<QScrollArea>(f, "HeaderArea");
        QVERIFY(WaitFor([&] { return list->horizontalScrollBar()->maximum() > 0; }, 2000));
        list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum() / 2);
        QVERIFY(header->horizontalScrollBar()->value() > 0);
        QCOMPARE(header->horizontalScrollBar()->value(), list->horizontalScrollBar()->value());
    }

    void captionNamesTheFileOnActivation()
    {
        auto p = MakeProgram();
        TMainForm* f = p->MainForm.get();
        p->Simulation.FileName = "/data/reef.mgf";
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QCOMPARE(f->windowTitle(), QStringLiteral("MAROVI 1.6b, core V 1.20.J file /data/reef.mgf"));
    }

    void chartBackgroundComesFromTheGridPropertiesDialog()
    {
        auto p = MakeProgram();
        const QBrush before = p->MainForm->Chart()->backgroundBrush();
        {
            TModalResponder responder; // cancelled: nothing changes
            QTest::mouseClick(Child<QPushButton>(p->GridEditForm, "SelectChartBackgroundButton"), Qt::LeftButton);
        }
        QCOMPARE(p->MainForm->Chart()->backgroundBrush(), before);
        TModalResponder responder;
        responder.Colour = QColor(10, 20, 30);
        QTest::mouseClick(Child<QPushButton>(p->GridEditForm, "SelectChartBackgroundButton"), Qt::LeftButton);
        QCOMPARE(p->GridEditForm->ChartBackground(), QColor(10, 20, 30));
        // Every chart of every window follows, shown or not.
        int charts = 0;
        for (QWidget* w : std::initializer_list<QWidget*>{p->MainForm.get(), p->AgeHistoForm, p->DisturbanceAgeFilterForm,
                                                          p->DiversityForm, p->RankPlotForm, p->VirtualRovForm, p->ROIForm})
            for (QChartView* view : w->findChildren<QChartView*>()) {
                if (view->window() != w) continue; // a window the main window owns
                QCOMPARE(view->chart()->backgroundBrush().color(), QColor(10, 20, 30));
                ++charts;
            }
        QCOMPARE(charts, 9);
        QCOMPARE(Child<TGridPlot>(p->DiversityForm, "ClusterLayoutChart")->Background(), qRgb(10, 20, 30));
        QCOMPARE(Child<TMapChart>(p->Visulaize, "Chart1")->Background(), qRgb(10, 20, 30));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TMainFormTest)
#include "main_form_test.moc"
