// The virtual ROV window through its controls: tables and files against marovi-cli, the
// chart by mode, and the wait for the two picks in the view, which ends by the picks, by
// "cancel", by hiding the view or this window and by closing the program.
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPercentBarSeries>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "analysis/transect.h"
#include "analysis/virtual_rov_form.h"
#include "app_test_support.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"
#include "view/landscape_view.h"
#include "widgets/map_chart.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

// A middle click on the centre of cell (x, y) of the view's map.
void MiddleClickCell(TProgram& p, int x, int y)
{
    auto* map = Child<TMapChart>(p.Visulaize, "Chart1");
    QVERIFY(map);
    QTest::mouseClick(map, Qt::MiddleButton, {}, map->PixelOf(QPointF(x + 0.5, y + 0.5)).toPoint());
    p.Runner->WaitIdle();
}

QAbstractBarSeries* BarSeries(QChart* chart)
{
    return chart->series().isEmpty() ? nullptr : qobject_cast<QAbstractBarSeries*>(chart->series().constFirst());
}

} // namespace

class TVirtualRovFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("rov.mgf"));
        QVERIFY(CliSimulation(file_, QStringLiteral("30x20"), 5, 12));
    }

    void init()
    {
        program_ = std::make_unique<TProgram>(FixedClock());
        program_->MainForm->LoadSimulationFromCommandLine(file_);
        program_->Runner->WaitIdle();
        QVERIFY(program_->MainForm->Initialised());
        view_ = program_->Visulaize;
        form_ = program_->VirtualRovForm;
        ClickButton(program_->MainForm.get(), "ShowSimulationButton");
        program_->Runner->WaitIdle();
        ClickButton(view_, "ROVButton");
        QVERIFY(form_->isVisible());
    }

    void cleanup() { program_.reset(); }

    void randomWalkTableAndFileEqualTheRunner()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("virtual ROV"));
        SetText(form_, "LengthEdit", QStringLiteral("40"));
        SetText(form_, "pUpEdit", QStringLiteral("1"));
        SetText(form_, "pRightEdit", QStringLiteral("2"));
        program_->Runner->BetweenSteps(form_, [this] { program_->Runner->model().Random.SeedRandom(77); });
        ClickButton(form_, "StartROVButton");
        program_->Runner->WaitIdle();
        const QStringList args{QStringLiteral("transect"), file_, QStringLiteral("--walk"), QStringLiteral("40"),
                               QStringLiteral("--p"), QStringLiteral("1,0.25,0.25,2"), QStringLiteral("--seed"),
                               QStringLiteral("77")};
        const QStringList expected = RunCli(args);
        QCOMPARE(form_->Lines(), expected);
        // The transect is what the view's "ROV course" draws.
        QCOMPARE(view_->RovCourse().size(), form_->Transect().Samples.size());
        QCOMPARE(view_->RovCourse().back(), QPoint(form_->Transect().Samples.back().x, form_->Transect().Samples.back().y));

        TModalResponder responder;
        const QString saved = dir_.filePath(QStringLiteral("walk.txt"));
        responder.FileNames << saved;
        ClickButton(form_, "SaveResultsButton");
        QCOMPARE(FileLines(saved), expected);

        // A fixed start and a field that is not a number, which keeps the transect.
        Child<QCheckBox>(form_, "RandomStartCheckBox")->click();
        SetText(form_, "xStartEdit", QStringLiteral("29"));
        SetText(form_, "yStartEdit", QStringLiteral("3"));
        ClickButton(form_, "StartROVButton");
        program_->Runner->WaitIdle();
        QCOMPARE(form_->Transect().Samples.front().x, 29);
        QCOMPARE(form_->Transect().Samples.front().y, 3);
        const QStringList fixed = form_->Lines();
        SetText(form_, "pDownEdit", QStringLiteral("a"));
        ClickButton(form_, "StartROVButton");
        program_->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("'a' is not a valid floating point value"));
        QCOMPARE(form_->Lines(), fixed);
    }

    void probabilitiesAreLabelledByTheirWayOnTheMap()
    {
        Child<QCheckBox>(form_, "RandomStartCheckBox")->click();
        SetText(form_, "xStartEdit", QStringLiteral("10"));
        SetText(form_, "yStartEdit", QStringLiteral("10"));
        SetText(form_, "LengthEdit", QStringLiteral("2"));
        const std::map<QString, QPoint> ways{{QStringLiteral("up (y+1)"), {0, 1}}, {QStringLiteral("down (y-1)"), {0, -1}},
                                             {QStringLiteral("left (x-1)"), {-1, 0}}, {QStringLiteral("right (x+1)"), {1, 0}}};
        const char* fields[] = {"pUpEdit", "pDownEdit", "pLeftEdit", "pRightEdit"};
        int labelled = 0;
        for (QLabel* caption : form_->findChildren<QLabel*>()) {
            const auto way = ways.find(caption->text());
            if (way == ways.end()) continue;
            for (const char* f : fields) SetText(form_, f, caption->buddy() == Child<QLineEdit>(form_, f) ? "1" : "0");
            ClickButton(form_, "StartROVButton");
            program_->Runner->WaitIdle();
            const auto& samples = form_->Transect().Samples;
            QCOMPARE(QPoint(samples[1].x - samples[0].x, samples[1].y - samples[0].y), way->second);
            ++labelled;
        }
        QCOMPARE(labelled, 4);
    }

    void chartFollowsModeAndStacking()
    {
        ClickButton(form_, "StartROVButton");
        program_->Runner->WaitIdle();
        const TRovTransect& t = form_->Transect();
        QCOMPARE(t.Samples.size(), size_t(25));
        QChart* chart = form_->Chart();
        QCOMPARE(chart->title(), QStringLiteral("species along the virtual ROV transect"));
        auto* percent = qobject_cast<QPercentBarSeries*>(BarSeries(chart));
        QVERIFY(percent);
        const Model& m = program_->Simulation;
        QCOMPARE(percent->count(), m.SpeciesMax + 1);
        QBarSet* second = percent->barSets()[1];
        QCOMPARE(second->label(), QString::fromStdString(m.SpeciesPool[1].Name));
        QCOMPARE(second->color(), QColor(static_cast<QRgb>(m.SpeciesColor[1])));
        for (int i = 0; i < 25; ++i) QCOMPARE(second->at(i), double(t.Samples[size_t(i)].counts[1]));

        Child<QCheckBox>(form_, "StackedCheckBox")->click();
        program_->Runner->WaitIdle();
        QVERIFY(qobject_cast<QStackedBarSeries*>(BarSeries(chart)));
        QCOMPARE(chart->axes(Qt::Vertical).constFirst()->titleText(), QStringLiteral("abundance"));

        Child<QRadioButton>(form_, "GuildsRadioButton")->click();
        program_->Runner->WaitIdle();
        QCOMPARE(BarSeries(chart)->count(), 5);
        QCOMPARE(BarSeries(chart)->barSets()[2]->label(), QStringLiteral("R1"));
        QCOMPARE(BarSeries(chart)->barSets()[2]->color(), QColor(Qt::yellow));

        Child<QRadioButton>(form_, "BetaGuildsRadioButton")->click();
        program_->Runner->WaitIdle();
        QCOMPARE(chart->title(), QStringLiteral("Sorensen Index(guilds) along the virtual ROV transect"));
        QBarSet* beta = BarSeries(chart)->barSets().constFirst();
        QCOMPARE(beta->label(), QStringLiteral("Sorensen Index(guildes)"));
        QCOMPARE(beta->color(), QColor(Qt::blue));
        QCOMPARE(beta->at(24), t.Samples[24].betaGuild);
        QCOMPARE(chart->axes(Qt::Vertical).constFirst()->titleText(), QStringLiteral("value"));
    }

    void straightTransectFollowsTheListAndExportsItsBox()
    {
        SetText(form_, "LengthEdit", QStringLiteral("3"));
        ClickButton(form_, "StartROVButton");
        program_->Runner->WaitIdle();
        const QStringList walk = form_->Lines();
        QCOMPARE(walk.size(), 4);

        TModalResponder responder;
        ClickButton(form_, "SelectROVButton");
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Attention!"));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("please select start end end of rov transect by middle mouse"));
        QVERIFY(view_->RovPickActive());
        QVERIFY(view_->SelectingRovStart());
        QVERIFY(form_->WaitingForPick());
        QVERIFY(Child<QWidget>(form_, "CancelSelectButton")->isVisible());

        MiddleClickCell(*program_, 2, 17);
        MiddleClickCell(*program_, 25, 4);
        QVERIFY(!form_->WaitingForPick());
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("ROV transect complete!"));
        const QStringList expected =
            RunCli({QStringLiteral("transect"), file_, QStringLiteral("--line"), QStringLiteral("2,17,25,4")});
        QCOMPARE(form_->Lines(), walk + expected.mid(1)); // the lines follow those listed, without a header
        QCOMPARE(view_->RovCourse().front(), QPoint(2, 17));
        ClickButton(form_, "ResampleButton");
        program_->Runner->WaitIdle();
        QCOMPARE(form_->Lines(), expected);

        // The scene of the transect's bounding box, as the runner writes it (the creation
        // time aside), into a folder made for it, and said so.
        QDir(dir_.path()).mkpath(QStringLiteral("cli"));
        int x0, y0, x1, y1;
        QVERIFY(TransectBounds(form_->Transect(), x0, y0, x1, y1));
        SetText(form_, "PovOutDir", dir_.filePath(QStringLiteral("pov/new")));
        SetText(form_, "POVFileName", QStringLiteral("line.pov"));
        ClickButton(form_, "ROVtoPOVButton");
        program_->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("scene \"line.pov\" written to the folder ") + dir_.filePath(QStringLiteral("pov/new")));
        RunCli({QStringLiteral("pov"), file_, QStringLiteral("--window"),
                QStringLiteral("%1,%2,%3,%4").arg(x0).arg(y0).arg(x1).arg(y1), QStringLiteral("--dir"),
                dir_.filePath(QStringLiteral("cli")), QStringLiteral("--name"), QStringLiteral("line.pov")});
        for (const char* name : {"line.pov", "camdef.inc", "MAROVIColors.inc"}) {
            QStringList window = FileLines(dir_.filePath(QStringLiteral("pov/new/") + QLatin1String(name)));
            QStringList cli = FileLines(dir_.filePath(QStringLiteral("cli/") + QLatin1String(name)));
            QVERIFY2(window.size() > 5, name);
            QCOMPARE(window.mid(5), cli.mid(5));
        }
    }

    void transectOffALoadedGridIsDropped()
    {
        const QString small = dir_.filePath(QStringLiteral("small.mgf"));
        QVERIFY(CliSimulation(small, QStringLiteral("10x10"), 1, 1));
        emit view_->RovPicked(QPoint(0, 0), QPoint(0, 9)); // not asked for: ignored
        program_->Runner->WaitIdle();
        QVERIFY(form_->Transect().Samples.empty());
        TModalResponder responder;
        ClickButton(form_, "SelectROVButton");
        MiddleClickCell(*program_, 0, 0); // fits on both grids
        MiddleClickCell(*program_, 0, 9);
        program_->MainForm->LoadSimulationFromCommandLine(small);
        program_->Runner->WaitIdle();
        QCOMPARE(form_->Transect().Samples.size(), size_t(9));
        program_->MainForm->LoadSimulationFromCommandLine(file_);
        program_->Runner->WaitIdle();
        ClickButton(form_, "SelectROVButton");
        MiddleClickCell(*program_, 0, 0);
        MiddleClickCell(*program_, 20, 0);
        QCOMPARE(form_->Transect().Samples.size(), size_t(20));
        program_->MainForm->LoadSimulationFromCommandLine(small);
        program_->Runner->WaitIdle();
        QVERIFY(form_->Transect().Samples.empty());
        QVERIFY(view_->RovCourse().empty());
        ClickButton(form_, "ResampleButton");
        program_->Runner->WaitIdle();
        QCOMPARE(form_->Lines().size(), 1);
    }

    void waitForThePicksEndsWithoutATransect()
    {
        TModalResponder responder;
        ClickButton(form_, "SelectROVButton");
        QVERIFY(form_->WaitingForPick());
        QVERIFY(!Child<QWidget>(form_, "SelectROVButton")->isEnabled());
        ClickButton(form_, "CancelSelectButton");
        QVERIFY(!form_->WaitingForPick());
        QVERIFY(!view_->RovPickActive());
        QVERIFY(Child<QWidget>(form_, "SelectROVButton")->isEnabled());
        QVERIFY(!Child<QWidget>(form_, "CancelSelectButton")->isVisible());

        ClickButton(form_, "SelectROVButton");
        view_->hide();
        QVERIFY(!form_->WaitingForPick());
        QVERIFY(!view_->RovPickActive());
        view_->show();
        ClickButton(form_, "SelectROVButton");
        form_->close();
        QVERIFY(!form_->WaitingForPick());
        QVERIFY(!view_->RovPickActive());
        form_->show();

        ClickButton(form_, "SelectROVButton"); // shows the view again to take the picks
        QVERIFY(view_->isVisible());
        QVERIFY(form_->WaitingForPick());
        program_->MainForm->close();
        QVERIFY(!form_->WaitingForPick());
        QVERIFY(!view_->RovPickActive());
        // A late pick belongs to nobody.
        emit view_->RovPicked(QPoint(0, 0), QPoint(9, 9));
        program_->Runner->WaitIdle();
        QVERIFY(form_->Transect().Samples.empty());
    }

private:
    QTemporaryDir dir_;
    QString file_;
    std::unique_ptr<TProgram> program_;
    TVisulaize* view_ = nullptr;
    TvirtualROVForm* form_ = nullptr;
};

QTEST_MAIN(TVirtualRovFormTest)
#include "virtual_rov_form_test.moc"
