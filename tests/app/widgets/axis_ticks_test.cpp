// Round tick steps: 1, 2 or 5 times a power of ten, at most the asked number of steps over
// the span, never below the finest step the values allow; and an axis fitted to a range
// starts and ends on ticks.
#include <QTest>
#include <QValueAxis>

#include "widgets/chart_tools.h"

using namespace marovi::app;

class AxisTicksTest : public QObject {
    Q_OBJECT
private slots:
    void roundSteps_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("intervals");
        QTest::addColumn<double>("minInterval");
        QTest::addColumn<double>("step");
        QTest::newRow("main chart, 291 steps") << 291.0 << 8 << 1.0 << 50.0;
        QTest::newRow("exact division stays") << 10.0 << 5 << 0.0 << 2.0;
        QTest::newRow("shares") << 1.0 << 10 << 0.0 << 0.1;
        QTest::newRow("below one") << 0.6 << 8 << 0.0 << 0.1;
        QTest::newRow("histogram of a species") << 3098.0 << 8 << 1.0 << 500.0;
        QTest::newRow("ten million") << 1e7 << 8 << 0.0 << 2e6;
        QTest::newRow("ROI over a step and a quarter") << 1.25 << 8 << 1.0 << 1.0;
        QTest::newRow("empty span") << 0.0 << 8 << 0.0 << 1.0;
    }
    void roundSteps()
    {
        QFETCH(double, span);
        QFETCH(int, intervals);
        QFETCH(double, minInterval);
        QFETCH(double, step);
        QCOMPARE(RoundTickInterval(span, intervals, minInterval), step);
    }

    void aFittedAxisEndsOnTicks()
    {
        QValueAxis axis;
        SetAxisRange(&axis, 20, 20.6, WholeNumberTicks); // a file loaded at step 20
        QCOMPARE(axis.tickInterval(), 1.0);
        QCOMPARE(axis.min(), 20.0);
        QCOMPARE(axis.max(), 21.0);
        SetAxisRange(&axis, 3, 3098);
        QCOMPARE(axis.tickInterval(), 500.0);
        QCOMPARE(axis.min(), 0.0);
        QCOMPARE(axis.max(), 3500.0);
    }
};

QTEST_MAIN(AxisTicksTest)
#include "axis_ticks_test.moc"
