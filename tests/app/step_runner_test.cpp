// The step runner: work runs off the user-interface thread, actions wait for the work in
// flight, and a run through the window computes exactly what the runner computes.
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <atomic>
#include <thread>

#include "app_test_support.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "model/simulation.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

class TStepRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void actionsWaitForTheWorkInFlightAndComeBeforeLaterWork()
    {
        Model m;
        TStepRunner runner(m);
        QObject context;
        std::atomic<bool> release{false};
        std::thread::id workThread;
        QStringList order;

        runner.Submit(&context, [&](Model&) {
            workThread = std::this_thread::get_id();
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }, [&] {
            order << "done 1";
            // Submitted from `done`: it waits behind the action queued meanwhile.
            runner.Submit(&context, [&](Model&) {}, [&] { order << "done 2"; });
        });
        QVERIFY(runner.Busy());
        runner.BetweenSteps(&context, [&] { order << "action"; });
        // The window stays live: timers fire while the work runs.
        bool ticked = false;
        QTimer::singleShot(10, [&] { ticked = true; });
        QVERIFY(WaitFor([&] { return ticked; }, 2000));
        QVERIFY(order.isEmpty());

        release = true;
        runner.WaitIdle();
        QCOMPARE(order, QStringList({"done 1", "action", "done 2"}));
        QVERIFY(workThread != std::this_thread::get_id());
        // Idle: an action runs at once.
        runner.BetweenSteps(&context, [&] { order << "now"; });
        QCOMPARE(order.last(), QStringLiteral("now"));
    }

    void failedWorkReportsItsMessageAndLaterWorkGoesOn()
    {
        Model m;
        TStepRunner runner(m);
        QObject context;
        QString failure;
        bool doneRan = false, laterRan = false;
        runner.Submit(&context, [](Model&) { throw std::runtime_error("cell out of range"); }, [&] { doneRan = true; },
                      [&](const QString& message) { failure = message; });
        runner.Submit(&context, [](Model&) {}, [&] { laterRan = true; });
        runner.WaitIdle();
        QCOMPARE(failure, QStringLiteral("cell out of range"));
        QVERIFY(!doneRan);
        QVERIFY(laterRan);
    }

    void workOfAClosedWindowIsDropped()
    {
        Model m;
        TStepRunner runner(m);
        std::atomic<bool> release{false};
        QObject busy;
        runner.Submit(&busy, [&](Model&) {
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        bool ran = false;
        {
            QObject gone;
            runner.BetweenSteps(&gone, [&] { ran = true; });
            runner.Submit(&gone, [&](Model&) { ran = true; });
        }
        release = true;
        runner.WaitIdle();
        QVERIFY(!ran);
    }

    void aRunThroughTheWindowEqualsTheHeadlessSteps()
    {
        auto p = MakeProgram(20, 20);
        TMainForm* f = p->MainForm.get();
        ClickButton(f, "InitButton1");
        Model headless;
        InitStartupModel(headless, 4711, 20, 20);
        headless.RandomSeed = 4711;
        NewSimulationModel(headless, 0);
        QCOMPARE(GridFileBytes(headless), GridFileBytes(p->Simulation));

        Child<QSlider>(f, "TrackBar1")->setValue(4);
        ClickButton(f, "StartButton1");
        QVERIFY(WaitFor([&] { return ShownTimeStep(f) >= 10; }));
        ClickButton(f, "EndButton2");
        QVERIFY(WaitFor([&] { return !f->LoopActive(); }));
        RunRoundSteps(headless, p->Simulation.TimeStep);
        QCOMPARE(GridFileBytes(headless), GridFileBytes(p->Simulation));
    }
};

QTEST_MAIN(TStepRunnerTest)
#include "step_runner_test.moc"
