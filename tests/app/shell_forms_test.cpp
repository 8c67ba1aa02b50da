// The application shell and the small dialogs: splash, about box, progress window, the
// timed question and the process priority dialog.
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app_test_support.h"
#include "auto_close_form.h"
#include "priority_form.h"
#include "shell_forms.h"
#include "util/process_priority.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

class TShellFormsTest : public QObject {
    Q_OBJECT
private slots:
    void splashSaysFinishedOnceByTimerOrButton()
    {
        TSplashForm byTimer(30);
        QSignalSpy timerDone(&byTimer, &TSplashForm::Finished);
        byTimer.show();
        QTRY_COMPARE_WITH_TIMEOUT(timerDone.count(), 1, 5000);
        QVERIFY(!byTimer.isVisible());
        byTimer.close();
        QCOMPARE(timerDone.count(), 1);

        TSplashForm byButton(60000);
        QSignalSpy buttonDone(&byButton, &TSplashForm::Finished);
        byButton.show();
        QTest::mouseClick(Child<QPushButton>(&byButton, "OKButton"), Qt::LeftButton);
        QCOMPARE(buttonDone.count(), 1);
        QVERIFY(!byButton.Timer()->isActive()); // the timer cannot finish it a second time
    }

    void aboutBoxShowsVersionsBuildTimeAndThreads()
    {
        TAboutForm about(3);
        QCOMPARE(Child<QLabel>(&about, "ProgramVersionLabel")->text(), QStringLiteral("version 1.6b"));
        QCOMPARE(Child<QLabel>(&about, "StepThreadsLabel")->text(), QStringLiteral("time steps on 3 threads"));
        TAboutForm one(1);
        QCOMPARE(Child<QLabel>(&one, "StepThreadsLabel")->text(), QStringLiteral("time steps on 1 thread"));
        QCOMPARE(Child<QLabel>(&about, "CoreVersionLabel")->text(), QStringLiteral("core V 1.20"));
        const QString built = Child<QLabel>(&about, "BuildTimeLabel")->text();
        QVERIFY2(QRegularExpression(QStringLiteral("^built \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")).match(built).hasMatch(),
                 qPrintable(built));
    }

    void progressWindowStaysOnTop()
    {
        TProgressForm progress;
        QVERIFY(progress.windowFlags() & Qt::WindowStaysOnTopHint);
        progress.Start(QStringLiteral("Loading grid data"), 101);
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.Label()->text(), QStringLiteral("Loading grid data"));
        QCOMPARE(progress.Bar()->maximum(), 101);
        progress.SetPosition(42);
        QCOMPARE(progress.Bar()->value(), 42);
    }

    void timedQuestionStartsNeutralAndAnswers()
    {
        TAutoCloseForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("question"));
        QCOMPARE(Child<QLabel>(&form, "Label1")->text(), QStringLiteral("press yes or no"));
        QCOMPARE(form.Answer(), TAutoCloseForm::NoAnswer);

        QSignalSpy answered(&form, &TAutoCloseForm::Answered);
        form.AskTimed(QStringLiteral("go on?"), QStringLiteral("Run"), TAutoCloseForm::No);
        QVERIFY(form.isVisible());
        QCOMPARE(form.Timer1()->interval(), 10000);
        QTest::mouseClick(Child<QPushButton>(&form, "YesButton"), Qt::LeftButton);
        QCOMPARE(answered.count(), 1);
        QCOMPARE(answered.last().at(0).toInt(), TAutoCloseForm::Yes);
        QVERIFY(!form.Timer1()->isActive());

        // Empty texts keep the last ones; the time-out answers with the default.
        form.AskTimed(QString(), QString(), TAutoCloseForm::Yes, 20);
        QCOMPARE(form.windowTitle(), QStringLiteral("Run"));
        QCOMPARE(Child<QLabel>(&form, "Label1")->text(), QStringLiteral("go on?"));
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 2, 5000);
        QCOMPARE(answered.last().at(0).toInt(), TAutoCloseForm::Yes);
        QVERIFY(!form.isVisible());

        // Closing the window is no answer either: the default stands.
        form.AskTimed(QStringLiteral("again?"), QString(), TAutoCloseForm::No);
        form.close();
        QCOMPARE(answered.count(), 3);
        QCOMPARE(answered.last().at(0).toInt(), TAutoCloseForm::No);
    }

    void priorityDialogMarksAndSetsTheRealPriority()
    {
        const int original = CurrentProcessNice();
        TPriorityForm form;
        QTimer::singleShot(50, &form, [&form] {
            Child<QRadioButton>(&form, "RadioButton6")->click(); // below normal
            Child<QPushButton>(&form, "SetButton")->click();
        });
        form.exec();
        QCOMPARE(CurrentProcessNice(), 10);
        // Opening again shows the class now in force.
        QTimer::singleShot(50, &form, [&form] {
            QVERIFY(Child<QRadioButton>(&form, "RadioButton6")->isChecked());
            form.reject();
        });
        form.exec();
        SetProcessNice(original); // raising it again needs the right to do so
    }

    void anUnknownPriorityIsReportedAndNothingIsSet()
    {
        TPriorityForm form;
        std::vector<int> requested;
        form.GetNice = [] { return 3; }; // matches none of the six classes
        form.SetNice = [&](int nice) { requested.push_back(nice); return true; };
        TModalResponder responder;
        QTimer::singleShot(100, &form, [&form] { Child<QPushButton>(&form, "SetButton")->click(); });
        form.exec();
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Error"));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("undefined priority class!"));
        QVERIFY(requested.empty());
    }
};

QTEST_MAIN(TShellFormsTest)
#include "shell_forms_test.moc"
