// The disturbance-age window driven by its controls: the saved list is the runner's in both
// modes, the curves keep their interval positions, a click in guild mode names the guild
// shares, and the state definitions are applied, saved and loaded.
#include <QAbstractButton>
#include <QChart>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include "analysis/chart_texts.h"
#include "analysis/disturbance_age_form.h"
#include "app_test_support.h"
#include "chart_view.h"
#include "files/grid_file.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

class TDisturbanceAgeFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        path_ = dir_.filePath(QStringLiteral("succession.mgf"));
        program_ = AnalysedProgram(path_, 24, 18, 80);
        form_ = program_->DisturbanceAgeFilterForm;
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        program_->Runner->WaitIdle();
    }

    void cleanupTestCase() { program_.reset(); }

    void activationShowsTheWholeGrid()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("file ") + path_);
        QCOMPARE(Text("Edit3"), QStringLiteral("23"));
        QCOMPARE(Text("Edit4"), QStringLiteral("17"));
        QCOMPARE(Child<QLabel>(form_, "Label4")->text(), QStringLiteral("minsize= 0.20\n(see \"show simulation\")"));
        QCOMPARE(Text("R0_R0_MIN_Edit"), QStringLiteral("0.5"));
        QVERIFY(Child<QAbstractButton>(form_, "UD_UD_CB")->isChecked());
        QCOMPARE(Text("UD_UD_Max_Edit"), QStringLiteral("1"));
    }

    void listIsTheRunnersInBothModes()
    {
        const QStringList runner = RunCli({"succession", path_, "--max-age", "60", "--step", "5", "--window",
                                                     "2,1,20,15"});
        for (const char* mode : {"singleSpeciesRadioButton", "guildeRadioButton"}) {
            Calculate("0", "60", "5", {"2", "1", "20", "15"}, mode);
            QStringList list = SavedList(QLatin1String(mode));
            QCOMPARE(list.takeFirst(), QStringLiteral("# sucsession data created ") + QLatin1String(TestTime));
            QCOMPARE(list, runner.mid(1));
        }
        // Step 5: the list rounds the centres half to even, the curves do not.
        QCOMPARE(runner[3].left(5), QStringLiteral("    2"));
        QCOMPARE(runner[4].left(5), QStringLiteral("    8"));
        QCOMPARE(runner[5].left(5), QStringLiteral("   12"));
        const QLineSeries* n = Series(QStringLiteral("N"));
        QCOMPARE(n->count(), 13);
        QCOMPARE(n->at(0), QPointF(0, 0));
        QCOMPARE(n->at(1).x(), 2.5);
        QCOMPARE(n->at(3).x(), 12.5);
    }

    void emptyIntervalsKeepOnlyTheCellShare()
    {
        Calculate("0", "400", "10", {"0", "0", "23", "17"}, "singleSpeciesRadioButton");
        // After 80 steps no cell is older than 80: the later intervals hold no individual.
        const QLineSeries* n = Series(QStringLiteral("N"));
        QCOMPARE(n->count(), 41);
        QCOMPARE(n->at(40), QPointF(395, 1.0));
        QCOMPARE(Series(QStringLiteral("diversity"))->count(), 41);
        const QLineSeries* species = Series(QStringLiteral("Species 01"));
        QVERIFY(species->count() > 1 && species->count() <= 10);
        const auto axes = Chart()->axes(Qt::Horizontal);
        QCOMPARE(static_cast<QValueAxis*>(axes[0])->max(), 401.0);
        // max(Y)=1 fixes the left axis a little above 1.
        Child<QCheckBox>(form_, "maxYCheckBox")->setChecked(true);
        ClickButton(form_, "CalcButton");
        program_->Runner->WaitIdle();
        QCOMPARE(static_cast<QValueAxis*>(Chart()->axes(Qt::Vertical)[0])->max(), 1.02);
        Child<QCheckBox>(form_, "maxYCheckBox")->setChecked(false);
    }

    void guildClickShowsTheShares()
    {
        // Guilds 0..4 in turn, saved so that the runner counts them too.
        const QString guilded = dir_.filePath(QStringLiteral("guilds.mgf"));
        program_->Runner->BetweenSteps(form_, [&] {
            for (int s = 0; s <= program_->Simulation.SpeciesMax; ++s) program_->Simulation.SpeciesPool[static_cast<size_t>(s)].Guild = s % 5;
            SaveGridFile(program_->Simulation, guilded.toStdString());
        });
        const QStringList counts = RunCli({"succession", guilded, "--max-age", "40", "--guilds"});
        Calculate("0", "40", "10", {"0", "0", "23", "17"}, "guildeRadioButton");
        // The interval 10..19, centre 15: its guild counts over its individuals.
        const QStringList fields = counts[4].split(QLatin1Char(';'));
        std::vector<double> shares;
        for (int g = 0; g < 5; ++g) shares.push_back(fields[3 + g].toDouble() / fields[2].toDouble());
        const QPointF at = Chart()->mapToPosition(QPointF(16, 0.5), Series(QStringLiteral("R0")));
        auto* view = Child<TChartView>(form_, "Chart1");
        TModalResponder responder;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(Chart()->mapToScene(at)));
        QVERIFY(WaitFor([&] { return !responder.Boxes.empty(); }));
        QCOMPARE(responder.Boxes[0].Text, QString::fromStdString(SuccessionClickMessage(shares)).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    }

    void aRefusalFoundOnActivationStandsInTheChart()
    {
        Child<QLineEdit>(form_, "AgeStepEdit")->setText(QStringLiteral("0"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        program_->Runner->WaitIdle();
        QCOMPARE(Chart()->title(), QStringLiteral("the step width must be at least 1"));
        QVERIFY(Chart()->series().isEmpty());
        Calculate("0", "40", "10", {"0", "0", "23", "17"}, "singleSpeciesRadioButton");
        QVERIFY(Chart()->title().startsWith(QStringLiteral("averaged for intervals of 10 time steps")));
    }

    void stateDefinitionsApplySaveAndLoad()
    {
        TStateDef& defs = program_->Simulation.StateDefs;
        Child<QAbstractButton>(form_, "R0_ND_CB")->setChecked(true);
        Child<QLineEdit>(form_, "R0_ND_MIN_Edit")->setText(QStringLiteral("0.25"));
        Child<QLineEdit>(form_, "R1_R0_MAX_Edit")->setText(QStringLiteral("x"));
        {
            TModalResponder responder;
            ClickButton(form_, "UpdateButton");
            program_->Runner->WaitIdle();
            QCOMPARE(responder.Boxes.size(), size_t(1));
            QCOMPARE(responder.Boxes[0].Text, QStringLiteral("'x' is not a valid floating point value"));
        }
        // The criteria before the bad field are in the table.
        QVERIFY(defs.Criteria[0][0].consider);
        QCOMPARE(defs.Criteria[0][0].min, 0.25);
        Child<QLineEdit>(form_, "R1_R0_MAX_Edit")->setText(QStringLiteral("0.75"));
        ClickButton(form_, "UpdateButton");
        program_->Runner->WaitIdle();
        QCOMPARE(defs.Criteria[1][1].max, 0.75);
        const QString file = dir_.filePath(QStringLiteral("states.mtd"));
        {
            TModalResponder responder;
            responder.FileNames << file;
            ClickButton(form_, "Save_State_def_Button");
            program_->Runner->WaitIdle();
        }
        QCOMPARE(QFileInfo(file).size(), 480);
        defs.Criteria[0][0] = {};
        TModalResponder responder;
        responder.FileNames << file;
        ClickButton(form_, "Load_Statedef_Button");
        program_->Runner->WaitIdle();
        QVERIFY(defs.Criteria[0][0].consider);
        QCOMPARE(Text("R0_ND_MIN_Edit"), QStringLiteral("0.25"));
    }

private:
    QString Text(const char* name) { return Child<QLineEdit>(form_, name)->text(); }
    QChart* Chart() { return Child<TChartView>(form_, "Chart1")->chart(); }
    QLineSeries* Series(const QString& title)
    {
        for (QAbstractSeries* s : Chart()->series())
            if (s->name() == title) return static_cast<QLineSeries*>(s);
        [&] { QFAIL(qPrintable(QStringLiteral("no series ") + title)); }();
        return nullptr;
    }

    void Calculate(const char* minAge, const char* maxAge, const char* step, const QStringList& area, const char* mode)
    {
        Child<QLineEdit>(form_, "MinAgeEdit")->setText(QLatin1String(minAge));
        Child<QLineEdit>(form_, "MaxAgeEdit")->setText(QLatin1String(maxAge));
        Child<QLineEdit>(form_, "AgeStepEdit")->setText(QLatin1String(step));
        const char* corners[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
        for (int k = 0; k < 4; ++k) Child<QLineEdit>(form_, corners[k])->setText(area[k]);
        Child<QAbstractButton>(form_, mode)->click(); // a mode button recalculates
        program_->Runner->WaitIdle();
    }

    QStringList SavedList(const QString& name)
    {
        const QString file = dir_.filePath(name + QStringLiteral(".txt"));
        TModalResponder responder;
        responder.FileNames << file;
        ClickButton(form_, "SaveButton");
        program_->Runner->WaitIdle();
        return FileLines(file);
    }

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<TProgram> program_;
    TDisturbanceAgeFilterForm* form_ = nullptr;
};

QTEST_MAIN(TDisturbanceAgeFormTest)
#include "disturbance_age_form_test.moc"
