// The rank plot window driven by its controls: sample areas from the fields, at random and
// from the disturbances; curves equal to the runner's values; tie order and the click message.
#include <QAbstractButton>
#include <QChart>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "../../core/analysis_test_util.h"
#include "analysis/disturbance_age_form.h"
#include "analysis/diversity_form.h"
#include "analysis/rank_plot_form.h"
#include "app_test_support.h"
#include "chart_view.h"
#include "files/grid_file.h"
#include "main_form.h"
#include "model/grid.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QStringList ListLines(QWidget* form)
{
    QStringList lines;
    auto* list = Child<QListWidget>(form, "ListBox1");
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

void SetArea(QWidget* form, const QString& name, const QStringList& corners)
{
    Child<QLineEdit>(form, "NameEdit")->setText(name);
    const char* edits[] = {"x1Edit", "y1Edit", "x2Edit", "y2Edit"};
    for (int k = 0; k < 4; ++k) Child<QLineEdit>(form, edits[k])->setText(corners[k]);
}

QList<QLineSeries*> Curves(QWidget* form)
{
    QList<QLineSeries*> curves;
    for (QAbstractSeries* s : Child<TChartView>(form, "Chart1")->chart()->series()) curves << static_cast<QLineSeries*>(s);
    return curves;
}

} // namespace

class TRankPlotFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        path_ = dir_.filePath(QStringLiteral("rank.mgf"));
        program_ = AnalysedProgram(path_, 24, 18, 80);
        form_ = program_->RankPlotForm;
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }

    void init() { form_->ClearSampleAreas(); }
    void cleanupTestCase() { program_.reset(); }

    void mainWindowButtonsOpenTheWindows()
    {
        const struct {
            const char* Button;
            QWidget* Window;
        } windows[] = {{"ClusterButton", program_->DiversityForm},
                       {"SuccessionButton", program_->DisturbanceAgeFilterForm},
                       {"RankPlotButton", form_}};
        // Only with a simulation to look at.
        auto fresh = MakeProgram(4, 3);
        ClickButton(fresh->MainForm.get(), "RankPlotButton");
        QVERIFY(!fresh->RankPlotForm->isVisible());
        for (const auto& w : windows) {
            w.Window->hide();
            ClickButton(program_->MainForm.get(), w.Button);
            QVERIFY2(w.Window->isVisible(), w.Button);
        }
    }

    void areasFromFieldsDisturbancesAndChance()
    {
        SetArea(form_, QStringLiteral("cut"), {"30", "20", "5", "x"});
        ClickButton(form_, "AddButton");
        ClickButton(form_, "ImportButton");
        Model expected = program_->Simulation; // the draws the window will make
        std::vector<tSampleAreaDef> drawn(3);
        AddRandomSampleArea(expected, drawn);
        ClickButton(form_, "RandomButton");
        QCOMPARE(ListLines(form_), (QStringList{"cut [(5,17)/(23,17)]", "disturbance 1 [(0,0)/(23,17)]",
                                                "disturbance 2 [(1,1)/(12,16)]",
                                                QString::fromStdString(SampleAreaText(drawn.back()))}));
        QVERIFY(drawn.back().name == "area 4");
        Child<QListWidget>(form_, "ListBox1")->setCurrentRow(1);
        ClickButton(form_, "DeleteButton");
        QCOMPARE(ListLines(form_).size(), 3);
        QCOMPARE(ListLines(form_)[1], QStringLiteral("disturbance 2 [(1,1)/(12,16)]"));
        // A loaded simulation has other areas.
        program_->MainForm->LoadSimulationFromCommandLine(path_);
        program_->Runner->WaitIdle();
        QVERIFY(ListLines(form_).isEmpty());
    }

    void curvesAreTheRunnersValues()
    {
        SetArea(form_, QStringLiteral("west"), {"0", "0", "11", "17"});
        ClickButton(form_, "AddButton");
        ClickButton(form_, "ImportButton");
        Child<QAbstractButton>(form_, "RelativeCheckBox")->setChecked(true);
        Child<QAbstractButton>(form_, "CumulativeCheckBox")->setChecked(true);
        ClickButton(form_, "PlotButton");
        const QStringList runner =
            RunCli({"rank", path_, "--area", "west:0,0,11,17", "--disturbances", "--relative", "--cumulative"});
        const QList<QLineSeries*> curves = Curves(form_);
        QCOMPARE(curves.size(), 3);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(curves[k]->name(), ListLines(form_)[k].section(QStringLiteral(" ["), 0, 0));
            QCOMPARE(curves[k]->count(), 10);
            for (int r = 0; r < 10; ++r) {
                QCOMPARE(curves[k]->at(r).x(), double(r));
                QCOMPARE(curves[k]->at(r).y(), runner[k * 13 + 2 + r].section(QLatin1Char(';'), 3, 3).toDouble());
            }
            QCOMPARE(curves[k]->at(9).y(), 1.0);
        }
        auto* chart = Child<TChartView>(form_, "Chart1")->chart();
        QCOMPARE(chart->title(), QStringLiteral("rank abundance plot<br>file ") + path_);
    }

    void tiesEmptyAreasAndTheClickMessage()
    {
        // Species 1 and 2 once, species 3 twice, in the lower row; the upper right cell empty.
        const QString crafted = dir_.filePath(QStringLiteral("ties.mgf"));
        program_->Runner->BetweenSteps(form_, [&] {
            Model& m = program_->Simulation;
            ClearAllCells(m);
            testing_util::Put(m, 0, 0, 0, 0.5);
            testing_util::Put(m, 1, 0, 1, 0.5);
            testing_util::Put(m, 2, 0, 2, 0.5);
            testing_util::Put(m, 3, 0, 2, 0.5);
            SaveGridFile(m, crafted.toStdString());
        });
        SetArea(form_, QStringLiteral("row"), {"0", "0", "3", "0"});
        ClickButton(form_, "AddButton");
        SetArea(form_, QStringLiteral("empty"), {"23", "17", "23", "17"});
        ClickButton(form_, "AddButton");
        Child<QAbstractButton>(form_, "RelativeCheckBox")->setChecked(true);
        Child<QAbstractButton>(form_, "CumulativeCheckBox")->setChecked(false);
        ClickButton(form_, "PlotButton");
        const QStringList runner = RunCli({"rank", crafted, "--area", "row:0,0,3,0", "--relative"});
        QStringList names;
        for (int r = 0; r < 10; ++r) names << runner[2 + r].section(QLatin1Char(';'), 1, 1);
        QCOMPARE(names.mid(0, 3), (QStringList{"Species 03", "Species 02", "Species 01"}));
        const QList<QLineSeries*> curves = Curves(form_);
        for (int r = 0; r < 10; ++r) QCOMPARE(curves[1]->at(r).y(), 0.0);

        auto* view = Child<TChartView>(form_, "Chart1");
        QTest::qWait(50); // the chart lays out its new axes
        const QPointF at = view->chart()->mapToPosition(curves[0]->at(2), curves[0]);
        TModalResponder responder;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(at)));
        QVERIFY(WaitFor([&] { return !responder.Boxes.empty(); }));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("sample area \"row\"\n\nspecies rank : ") + names.join(QStringLiteral(", ")));
        // The rank lists are drawn over the chart, in exports too (names unbroken by a line end).
        const QString shown = names.mid(0, 3).join(QStringLiteral(", ")).replace(QStringLiteral("s "), QStringLiteral("s\u00A0"));
        QVERIFY(view->SvgBytes().contains(shown.toUtf8()));
    }

    void rankListsStayInsideThePlot()
    {
        SetArea(form_, QStringLiteral("all"), {"0", "0", "23", "17"});
        ClickButton(form_, "AddButton");
        SetArea(form_, QStringLiteral("corner"), {"0", "0", "3", "3"});
        ClickButton(form_, "AddButton");
        ClickButton(form_, "PlotButton");
        form_->show();
        form_->resize(1, 1); // the narrowest chart
        auto* view = Child<TChartView>(form_, "Chart1");
        auto* ranks = Child<QAbstractButton>(form_, "ShowRanksCheckBox");
        QTest::qWait(50);
        const QList<QPoint> drawn = DrawnPixels(view, [&] { ranks->setChecked(true); }, [&] { ranks->setChecked(false); });
        const QRect plot = view->mapFromScene(view->chart()->mapToScene(view->chart()->plotArea())).boundingRect();
        QVERIFY(drawn.size() > 100);
        for (const QPoint& p : drawn) QVERIFY2(plot.contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        form_->hide();
    }

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<TProgram> program_;
    TRankPlotForm* form_ = nullptr;
};

QTEST_MAIN(TRankPlotFormTest)
#include "rank_plot_form_test.moc"
