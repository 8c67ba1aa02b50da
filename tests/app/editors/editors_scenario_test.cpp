// A scenario built through the editors alone (landscape, species pool, disturbance regime),
// run for 50 steps, saved from the main window and read back by marovi-cli.
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app_test_support.h"
#include "editors/disturbance_form.h"
#include "editors/land_edit_form.h"
#include "editors/species_edit_form.h"
#include "files/summary.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

class TEditorsScenarioTest : public QObject {
    Q_OBJECT
private slots:
    void builtThroughTheEditorsRunSavedAndReadByTheRunner()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        auto program = MakeProgram(10, 10);
        TMainForm* main = program->MainForm.get();
        TModalResponder responder; // "new landscape" is confirmed with OK
        const auto open = [&](const char* button, QWidget* window) {
            ClickButton(main, button);
            QVERIFY(QTest::qWaitForWindowExposed(window));
            program->Runner->WaitIdle();
        };

        open("LandscapeEditorButton", program->LandEditForm);
        SetText(program->LandEditForm, "XdimEdit", QStringLiteral("24"));
        SetText(program->LandEditForm, "ydimEdit", QStringLiteral("16"));
        ClickButton(program->LandEditForm, "NewButton");
        ClickButton(program->LandEditForm, "randomButton");
        program->Runner->WaitIdle();

        open("SpeciesPoolButton", program->SpeciesEditForm);
        SetText(program->SpeciesEditForm, "SpeciesEdit", QStringLiteral("4"));
        ClickButton(program->SpeciesEditForm, "newButton");
        ClickButton(program->SpeciesEditForm, "standardButton1");
        auto* interval = Child<QLineEdit>(program->SpeciesEditForm, "Reproductioninterval");
        SetText(program->SpeciesEditForm, "Reproductioninterval", QStringLiteral("2"));
        emit interval->editingFinished();

        ClickButton(main, "InitButton1");
        open("DisturbanceButton", program->DisturbanceForm);
        ClickButton(program->DisturbanceForm, "StandardButton");
        auto* list = Child<QTreeWidget>(program->DisturbanceForm, "ListView1");
        emit list->itemDoubleClicked(list->topLevelItem(0), 0);
        SetText(program->DisturbanceForm, "test", QStringLiteral("20"));
        ClickButton(program->DisturbanceForm, "setButton");
        ClickButton(program->DisturbanceForm, "UpdateValues");

        for (int i = 0; i < 50; ++i) SingleStep(*program);
        const QString path = dir.filePath(QStringLiteral("scenario.mgf"));
        responder.FileNames << path;
        ClickButton(main, "saveButton");
        program->Runner->WaitIdle();

        const Model& m = program->Simulation;
        QCOMPARE(m.XDim, 24);
        QCOMPARE(m.SpeciesMax, 3);
        QCOMPARE(m.SpeciesPool[0].ReproInterval, 2);
        QCOMPARE(m.Disturbances.size(), size_t(1));
        QCOMPARE(m.Disturbances[0].Probability[0], 24.0 * 16 / (10 * 10 * 20));
        QVERIFY(m.DisturbanceEventCount > 0);
        QCOMPARE(responder.Boxes.size(), size_t(1)); // the question of "new landscape" only
        // The summary ends its lines with LF only.
        const QString expected = QString::fromStdString(SimulationSummary(m)).trimmed();
        QCOMPARE(RunCli({QStringLiteral("info"), path}).join(QString()).trimmed(), expected);
        QVERIFY(expected.contains(QStringLiteral("\ntime step: 50\n")));
    }
};

QTEST_MAIN(TEditorsScenarioTest)
#include "editors_scenario_test.moc"
