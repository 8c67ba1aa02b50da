// The "Diversity" window driven by its controls: its reports are the runner's, its labels,
// layout chart and histogram follow the analysis, and the sliding box plots its steps.
#include <QAbstractButton>
#include <algorithm>
#include <atomic>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QValueAxis>

#include "analysis/cluster_histogram_chart.h"
#include "analysis/cluster_layout_view.h"
#include "analysis/diversity_form.h"
#include "app_test_support.h"
#include "chart_view.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

// The settings of one analysis, as the runner's options and as the window's controls.
struct TCase {
    QStringList Options;
    const char* Mode;           // the mode's radio button
    int Species = 0, State = 0; // item indices
    bool Larvae = false, Close = true, Orphans = true, Periodic = false;
    QString Min = {}, Max = {}; // of the mode's range fields, when given
    QString Age = {};           // "min:max" for the age restriction
    QString Window = {};        // "x1,y1,x2,y2"
};

} // namespace

class TDiversityFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        path_ = dir_.filePath(QStringLiteral("clusters.mgf"));
        program_ = AnalysedProgram(path_, 24, 18, 80);
        form_ = program_->DiversityForm;
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        program_->Runner->WaitIdle();
    }

    void cleanupTestCase() { program_.reset(); }

    void showsTheWholeGridAndTheDefaults()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("file ") + path_);
        QCOMPARE(Text("Editx2"), QStringLiteral("23"));
        QCOMPARE(Text("Edity2"), QStringLiteral("17"));
        QCOMPARE(Text("maxEdit"), QString::number(program_->Simulation.HighCapacity));
        QCOMPARE(Text("SHIMaxEdit"), QStringLiteral("2.30258509299405")); // ln 10, the 10 species of the pool
        QCOMPARE(Text("IncreaseByEdit"), QStringLiteral("1"));            // 23 / 25, rounded
        QCOMPARE(Child<QLabel>(form_, "minSizeLabel")->text(), QStringLiteral("min. indivdual size = 0.20"));
        auto* species = Child<QComboBox>(form_, "ComboBox1");
        QCOMPARE(species->count(), 11);
        QCOMPARE(species->itemText(10), QStringLiteral("any"));
        QCOMPARE(Child<QComboBox>(form_, "ComboBox2")->itemText(4), QStringLiteral("UD"));
        QVERIFY(Child<QAbstractButton>(form_, "PeriodicCheckBox")->isEnabled()); // the grid wraps around
        QVERIFY(!Child<QAbstractButton>(form_, "PeriodicCheckBox")->isChecked());
    }

    void reportsAreTheRunners()
    {
        const TCase cases[] = {
            {{"--mode", "species", "--species", "1"}, "SpeciesRadioButton"},
            {{"--mode", "species", "--species", "any", "--no-close", "--keep-orphans", "--window", "2,3,20,15"},
             "SpeciesRadioButton", 10, 0, false, false, false, false, {}, {}, {}, "2,3,20,15"},
            {{"--state", "0", "--age", "0:30"}, "StateRadioButton", 0, 0, false, true, true, false, {}, {}, "0:30"},
            {{"--mode", "diversity", "--larvae", "--min", "0.5", "--max", "1.5", "--keep-orphans"}, "ShannonRadioButton",
             0, 0, true, true, false, false, "0.5", "1.5"},
            {{"--mode", "area", "--min", "1", "--max", "5", "--age", "5:40"}, "SSumRadioButton", 0, 0, false, true, true,
             false, "1", "5", "5:40"},
            {{"--mode", "species", "--species", "9", "--no-close", "--keep-orphans", "--periodic"}, "SpeciesRadioButton",
             8, 0, false, false, false, true},
            // No cluster, and one cluster of every cell.
            {{"--mode", "species", "--min", "1000", "--max", "2000"}, "SpeciesRadioButton", 0, 0, false, true, true,
             false, "1000", "2000"},
            {{"--mode", "species", "--species", "any", "--min", "0", "--max", "100000"}, "SpeciesRadioButton", 10, 0,
             false, true, true, false, "0", "100000"},
        };
        for (const TCase& c : cases) {
            const QStringList options = c.Options;
            Analyse(c);
            QCOMPARE(Report(), RunCli(QStringList{"clusters", path_} + options));
        }
        // The last analysis: one cluster, whose size stands after "+-"; no bars.
        QCOMPARE(Child<QLabel>(form_, "ClusterCountLabel")->text(), QStringLiteral("1 clusters"));
        QCOMPARE(Child<QLabel>(form_, "ClusterAverageSizeLabel")->text(),
                 QStringLiteral("average size : 432.0 +- 432.0 cells"));
        QCOMPARE(Histogram()->BarCount(), 0);
        // Without bars the plot shows no red.
        auto* view = Child<QChartView>(form_, "ClusterHistogramChart");
        const QImage picture = view->grab().toImage();
        const QRect plot = view->mapFromScene(Histogram()->mapToScene(Histogram()->plotArea())).boundingRect();
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left() - 2; x <= plot.right(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                QVERIFY(!(c.red() > 150 && c.green() < 120 && c.blue() < 120));
            }
    }

    void noClusterLeavesZeroLabels()
    {
        Analyse({{}, "SpeciesRadioButton", 0, 0, false, true, true, false, "1000", "2000"});
        QCOMPARE(Child<QLabel>(form_, "ClusterCountLabel")->text(), QStringLiteral("0 clusters"));
        QCOMPARE(Child<QLabel>(form_, "ClusterAverageSizeLabel")->text(), QStringLiteral("average size :   0.0 +-   0.0 cells"));
        QCOMPARE(Child<QLabel>(form_, "ClusterMaxSizeLabel")->text(), QStringLiteral("max size     :   0.0 cells"));
        QImage blank(24, 18, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        QCOMPARE(Layout()->Cells(), blank);
    }

    void detailsResetAndSave()
    {
        Analyse({{}, "SpeciesRadioButton", 0, 0, false, false, false});
        SetText("DetailsOnEdit", QStringLiteral("2"));
        ClickButton(form_, "detailsButton");
        const QStringList options{"clusters", path_, "--mode", "species", "--no-close", "--keep-orphans"};
        QCOMPARE(Report(), RunCli(options + QStringList{"--details", "2"}));
        // A number that is no cluster changes nothing.
        SetText("DetailsOnEdit", QStringLiteral("999"));
        ClickButton(form_, "detailsButton");
        QCOMPARE(Report()[2], QStringLiteral("details of cluster 2"));
        // "reset": the table without the shape columns, summary and total.
        ClickButton(form_, "NoDetailsButton");
        const QStringList full = RunCli(options);
        const QStringList table = Report();
        QCOMPARE(table.size(), full.size() - 6);
        QCOMPARE(table[2], full[7]);
        QVERIFY(full[8].startsWith(table[3] + QLatin1Char(';')));
        // "save" writes the report as shown, in CR LF lines.
        Analyse({{}, "SpeciesRadioButton", 0, 0, false, false, false});
        TModalResponder responder;
        responder.FileNames << dir_.filePath(QStringLiteral("report"));
        ClickButton(form_, "Button3");
        QCOMPARE(FileLines(dir_.filePath(QStringLiteral("report.txt"))), RunCli(options));
    }

    void layoutAndHistogramFollowTheLabels()
    {
        Child<QAbstractButton>(form_, "monochromeCheckBox")->setChecked(true);
        Analyse({{}, "SpeciesRadioButton", 2, 0, false, false, false});
        Child<QAbstractButton>(form_, "monochromeCheckBox")->setChecked(false);
        const QString labels = dir_.filePath(QStringLiteral("labels.txt"));
        const QStringList report = RunCli(
            {"clusters", path_, "--mode", "species", "--species", "3", "--no-close", "--keep-orphans", "--labels", labels});
        const QStringList rows = FileLines(labels);
        const QImage& cells = Layout()->Cells();
        QCOMPARE(cells.height(), rows.size());
        const QRgb colour = 0xFF000000u | program_->Simulation.SpeciesColor[2];
        for (int j = 0; j < rows.size(); ++j) {
            const QStringList row = rows[j].split(QLatin1Char(' '));
            for (int i = 0; i < row.size(); ++i)
                QCOMPARE(cells.pixel(i, cells.height() - 1 - j), row[i] == QStringLiteral("0") ? 0u : colour);
        }
        // One bar per cluster, the mean in the series title, the axis to 1.1 x the highest.
        const int clusters = report[3].mid(15).toInt();
        QVERIFY(clusters > 1);
        QCOMPARE(Histogram()->BarCount(), clusters);
        QVERIFY(Histogram()->Bars()->name().startsWith(QStringLiteral("cluster, average=")));
        QCOMPARE(Histogram()->ValueAxis()->titleText(), QStringLiteral("size [cells]"));
        // The mean line crosses the plot; its label stands clear of the bars, right of it.
        auto* view = Child<TChartView>(form_, "ClusterHistogramChart");
        const QList<QPoint> mean = DrawnPixels(
            view, [&] { view->SetAfterDraw([this](QPainter& p) { Histogram()->DrawMean(p); }); },
            [&] { view->SetAfterDraw({}); });
        const QPointF line = view->mapFromScene(Histogram()->mapToScene(Histogram()->mapToPosition(QPointF(0, Histogram()->Mean()))));
        const QRect plot = view->mapFromScene(Histogram()->mapToScene(Histogram()->plotArea())).boundingRect();
        QVERIFY(std::any_of(mean.begin(), mean.end(), [&](QPoint p) { return p.x() > plot.right(); }));
        for (const QPoint& p : mean) QVERIFY(!plot.contains(p) || std::abs(p.y() - line.y()) <= 2);
        // Cell outlines from two pixels a cell.
        Layout()->resize(24 * 3 + 80, 18 * 3 + 60);
        const QList<QPoint> outlines = DrawnPixels(
            Layout(), [&] { Layout()->SetCells(Layout()->Cells(), 0, 0, true); },
            [&] { Layout()->SetCells(Layout()->Cells(), 0, 0, false); });
        QVERIFY(Layout()->ToPixelRect(0, 0, 1, 1).width() < 4);
        QVERIFY(outlines.size() > 100);
        // A double click saves the layout as SVG.
        TModalResponder responder;
        responder.FileNames << dir_.filePath(QStringLiteral("layout"));
        QTest::mouseDClick(Layout(), Qt::LeftButton);
        QFile svg(dir_.filePath(QStringLiteral("layout.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("Cluster-Layout"));
    }

    void refusalsAndBadNumbers()
    {
        const QString before = Report().join(QLatin1Char('\n'));
        TModalResponder responder;
        Analyse({{}, "StateRadioButton", 0, 0, true});
        Analyse({{}, "SSumRadioButton", 0, 0, true});
        Analyse({{}, "SpeciesRadioButton", 0, 0, false, true, true, false, "x", "5"});
        QCOMPARE(responder.Boxes.size(), size_t(3));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("Can not use larvae for grid state!"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("can not use larvae to calc area!"));
        QCOMPARE(responder.Boxes[2].Text, QStringLiteral("\"min #indviduals\": 'x' is not a valid integer value"));
        QCOMPARE(Report().join(QLatin1Char('\n')), before);
        // A window beyond the grid is cut at its edge when it is read.
        Child<QLineEdit>(form_, "Editx2")->setText(QStringLiteral("500"));
        emit Child<QLineEdit>(form_, "Editx2")->editingFinished();
        QCOMPARE(Text("Editx2"), QStringLiteral("23"));
    }

    void layoutLabelsStayInside()
    {
        SetText("Editx2", QStringLiteral("19")); // the axis ends at the tick 20
        emit Child<QLineEdit>(form_, "Editx2")->editingFinished();
        program_->Runner->WaitIdle();
        Layout()->resize(300, 500);
        const QImage picture = Layout()->grab().toImage();
        const QRgb background = picture.pixel(picture.width() - 1, 0);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = picture.width() - 3; x < picture.width(); ++x) QCOMPARE(picture.pixel(x, y), background);
        SetText("Editx2", QStringLiteral("23"));
        emit Child<QLineEdit>(form_, "Editx2")->editingFinished();
    }

    void slidingBoxShowsItsProgress()
    {
        Child<QTabWidget>(form_, "PageControl1")->setCurrentIndex(1);
        // The worker is held, so the calculation waits long enough to show its progress.
        std::atomic<bool> release = false;
        program_->Runner->Submit(form_, [&](Model&) {
            while (!release) QThread::msleep(5);
        });
        ClickButton(form_, "Button1");
        auto* progress = Child<QWidget>(form_, "ClusterProgressBar");
        const bool shown = WaitFor([&] { return progress->isVisible(); }, 5000);
        release = true;
        QVERIFY(WaitFor([this] { return !form_->Busy(); }));
        QVERIFY(shown);
        Child<QTabWidget>(form_, "PageControl1")->setCurrentIndex(0);
    }

    void slidingBoxPlotsEveryStep()
    {
        Child<QTabWidget>(form_, "PageControl1")->setCurrentIndex(1);
        SetText("SampleCountEdit", QStringLiteral("25"));
        SetText("RepCountEdit", QStringLiteral("3"));
        SetText("IncreaseByEdit", QStringLiteral("20"));
        Child<QAbstractButton>(form_, "ReciprocalCheckBox")->setChecked(true);
        ClickButton(form_, "Button1");
        QVERIFY(WaitFor([this] { return !form_->Busy(); }));
        auto* chart = Child<QChartView>(form_, "Chart1")->chart();
        QCOMPARE(chart->title(), QStringLiteral("Shannon Index^-1"));
        const auto series = chart->series();
        QCOMPARE(series.size(), 3);
        auto* average = static_cast<QLineSeries*>(series[0]);
        QCOMPARE(average->name(), QStringLiteral("average"));
        // Steps at x = 1, 21, ..., 481, each with a point unless its value is 0.
        QCOMPARE(average->count(), 25);
        for (int s = 0; s < 25; ++s) QCOMPARE(average->at(s).x(), 1.0 + 20 * s);
        // No steps or no replicates give no plot: refused, the last plot stays.
        TModalResponder responder;
        for (const char* field : {"SampleCountEdit", "RepCountEdit"}) {
            SetText(field, QStringLiteral("-1"));
            ClickButton(form_, "Button1");
            SetText(field, QStringLiteral("3"));
        }
        QCOMPARE(average->count(), 25);
        QCOMPARE(responder.Boxes.size(), size_t{2});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"no. sample steps\" must be at least 1!"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("\"replicates per sample\" must be at least 1!"));
        Child<QTabWidget>(form_, "PageControl1")->setCurrentIndex(0);
    }

private:
    QString Text(const char* name) { return Child<QLineEdit>(form_, name)->text(); }
    void SetText(const char* name, const QString& text) { Child<QLineEdit>(form_, name)->setText(text); }
    QStringList Report() { return Child<QPlainTextEdit>(form_, "Memo1")->toPlainText().split(QLatin1Char('\n')); }
    TClusterHistogramChart* Histogram()
    {
        return static_cast<TClusterHistogramChart*>(Child<QChartView>(form_, "ClusterHistogramChart")->chart());
    }
    TClusterLayoutView* Layout() { return Child<TClusterLayoutView>(form_, "ClusterLayoutChart"); }

    void Analyse(const TCase& c)
    {
        Child<QAbstractButton>(form_, c.Mode)->click();
        Child<QComboBox>(form_, "ComboBox1")->setCurrentIndex(c.Species);
        Child<QComboBox>(form_, "ComboBox2")->setCurrentIndex(c.State);
        Child<QAbstractButton>(form_, c.Larvae ? "useLarvaeRadioButton" : "useAdultsRadioButton")->click();
        Child<QAbstractButton>(form_, "CheckBox2")->setChecked(c.Close);
        Child<QAbstractButton>(form_, "CheckBox1")->setChecked(c.Orphans);
        Child<QAbstractButton>(form_, "PeriodicCheckBox")->setChecked(c.Periodic);
        const QString mode = QString::fromLatin1(c.Mode);
        const QString defaults[][2] = {{"1", QString::number(program_->Simulation.HighCapacity)},
                                       {"0", "2.30258509299405"},
                                       {"0", "25"}};
        const char* ranges[][2] = {{"minEdit", "maxEdit"}, {"SHIMinEdit", "SHIMaxEdit"}, {"MinSSumEdit", "MaxSSumEdit"}};
        const int range = mode.startsWith(QStringLiteral("Shannon")) ? 1 : mode.startsWith(QStringLiteral("SSum")) ? 2 : 0;
        for (int r = 0; r < 3; ++r) {
            const bool given = r == range && !c.Min.isEmpty();
            SetText(ranges[r][0], given ? c.Min : defaults[r][0]);
            SetText(ranges[r][1], given ? c.Max : defaults[r][1]);
        }
        Child<QAbstractButton>(form_, "AgeCheckBox")->setChecked(!c.Age.isEmpty());
        if (!c.Age.isEmpty()) {
            SetText("MinAgeEdit", c.Age.section(QLatin1Char(':'), 0, 0));
            SetText("maxAgeEdit", c.Age.section(QLatin1Char(':'), 1, 1));
        }
        const QStringList window = (c.Window.isEmpty() ? QStringLiteral("0,0,23,17") : c.Window).split(QLatin1Char(','));
        const char* corners[] = {"Editx1", "Edity1", "Editx2", "Edity2"};
        for (int k = 0; k < 4; ++k) SetText(corners[k], window[k]);
        ClickButton(form_, "ClusterButton");
        QVERIFY(WaitFor([this] { return !form_->Busy(); }));
    }

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<TProgram> program_;
    TDiversityForm* form_ = nullptr;
};

QTEST_MAIN(TDiversityFormTest)
#include "diversity_form_test.moc"
