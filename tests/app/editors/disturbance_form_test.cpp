// The disturbance editor driven through its controls: the list, showing a definition, new,
// delete, standard, "set" and "update" with the recurrence interval, the per-season
// probability, directions and severity, and the refusals.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

#include "app_test_support.h"
#include "editors/disturbance_form.h"
#include "editors/season_values_form.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QStringList Row(QWidget* form, int row)
{
    QStringList texts;
    auto* list = Child<QTreeWidget>(form, "ListView1");
    if (QTreeWidgetItem* item = list->topLevelItem(row))
        for (int c = 0; c < list->columnCount(); ++c) texts << item->text(c);
    return texts;
}

QString Text(QWidget* form, const char* name)
{
    auto* edit = Child<QLineEdit>(form, name);
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

void SetText(QWidget* form, const char* name, const QString& text)
{
    auto* edit = Child<QLineEdit>(form, name);
    QVERIFY2(edit, name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void DoubleClickRow(QWidget* form, int row)
{
    auto* list = Child<QTreeWidget>(form, "ListView1");
    QTreeWidgetItem* item = list->topLevelItem(row);
    QVERIFY(item);
    list->setCurrentItem(item);
    emit list->itemDoubleClicked(item, 0);
}

} // namespace

class TDisturbanceFormTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        program_ = MakeProgram(100, 100);
        form_ = program_->DisturbanceForm;
        ClickButton(program_->MainForm.get(), "InitButton1");
        ClickButton(program_->MainForm.get(), "DisturbanceButton");
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        program_->Runner->WaitIdle();
    }

    void cleanup() { program_.reset(); }

    void opensOnlyWithASimulationAndKeepsTheFileButtonsDisabled()
    {
        auto fresh = MakeProgram(10, 10);
        ClickButton(fresh->MainForm.get(), "DisturbanceButton");
        QVERIFY(!fresh->DisturbanceForm->isVisible());
        QVERIFY(!Child<QPushButton>(form_, "saveButton")->isEnabled());
        QVERIFY(!Child<QPushButton>(form_, "LoadButton")->isEnabled());
    }

    void standardDefinitionListedShownAndItsRecurrence()
    {
        ClickButton(form_, "StandardButton");
        const QStringList expected = {"1", "(0,0)/(99,99)", "FALSE", "10.00±2.00", "10.00±2.00", "1.5000",
                                      "90.00 ± 360.00", "100 %", "000000001", "1"};
        QCOMPARE(Row(form_, 0), expected);
        DoubleClickRow(form_, 0);
        QCOMPARE(form_->SelectedDisturbance(), 0);
        QCOMPARE(Text(form_, "test"), QStringLiteral("  66.7"));
        QCOMPARE(Text(form_, "x2Edit"), QStringLiteral("99"));
        QCOMPARE(Text(form_, "xSizeDevEdit"), QStringLiteral("2"));
        QCOMPARE(Text(form_, "SeverityEdit"), QStringLiteral("100"));
        QCOMPARE(Text(form_, "DirEdit"), QStringLiteral(" 90"));
        QCOMPARE(Text(form_, "DevEdit"), QStringLiteral("360"));
        QVERIFY(Child<QCheckBox>(form_, "CheckBox1")->isChecked());
        QVERIFY(!Child<QCheckBox>(form_, "CheckBox2")->isChecked());
        QCOMPARE(Child<QWidget>(form_, "Label3")->property("text").toString(), QStringLiteral("Nummer 1"));
        QVERIFY(!form_->NeedsUpdate());
    }

    void setAndUpdateWithTheRecurrenceInterval()
    {
        ClickButton(form_, "StandardButton");
        DoubleClickRow(form_, 0);
        auto* update = Child<QPushButton>(form_, "UpdateValues");
        SetText(form_, "test", QStringLiteral("100"));
        ClickButton(form_, "setButton");
        QVERIFY(form_->NeedsUpdate());
        QCOMPARE(update->text(), QStringLiteral("need update"));
        ClickButton(form_, "UpdateValues");
        QCOMPARE(program_->Simulation.Disturbances[0].Probability[0], 1.0);
        QCOMPARE(Row(form_, 0)[5], QStringLiteral("1.0000"));
        QCOMPARE(update->text(), QStringLiteral("update"));
        // Without the per-season dialog, "update" computes the probability from the years again.
        SetText(form_, "xSizeEdit", QStringLiteral("20"));
        QVERIFY(form_->NeedsUpdate());
        ClickButton(form_, "UpdateValues");
        QCOMPARE(program_->Simulation.Disturbances[0].XSize, 20.0);
        QCOMPARE(program_->Simulation.Disturbances[0].Probability[0], 0.5);

        // A recurrence no time step could meet is refused and changes nothing.
        TModalResponder responder;
        SetText(form_, "test", QStringLiteral("0"));
        ClickButton(form_, "setButton");
        ClickButton(form_, "UpdateValues");
        QCOMPARE(program_->Simulation.Disturbances[0].Probability[0], 0.5);
        QCOMPARE(responder.Boxes.size(), size_t(2));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"every cell disturbed each years\" must be above 0!"));
    }

    void fieldsAreCheckedAndUpdateTakesAllOrNone()
    {
        ClickButton(form_, "StandardButton");
        const TDisturbanceDef standard = program_->Simulation.Disturbances[0];
        TModalResponder responder;
        const struct {
            const char* Field;
            const char* Text;
            const char* Message;
        } refused[] = {
            {"test", "-66", "\"every cell disturbed each years\" must be above 0!"},
            {"SeverityEdit", "150", "\"severity [%]\" must be 0..100!"},
            {"SubEdit", "0", "\"subevents\" must be 1..10000!"},
            {"ySizeDevEdit", "-2", "\"y-size +-\" must be 0..10000!"},
            {"DevEdit", "-1", "\"deviation [deg]\" must be 0..360!"},
        };
        for (const auto& r : refused) {
            DoubleClickRow(form_, 0);
            SetText(form_, "x1Edit", QStringLiteral("7")); // would be taken with the others
            SetText(form_, r.Field, QString::fromLatin1(r.Text));
            ClickButton(form_, "UpdateValues");
            QCOMPARE(responder.Boxes.back().Text, QString::fromLatin1(r.Message));
            const TDisturbanceDef& d = program_->Simulation.Disturbances[0];
            QCOMPARE(d.X1, 0);
            QCOMPARE(d.Probability[0], standard.Probability[0]);
            QCOMPARE(Row(form_, 0)[1], QStringLiteral("(0,0)/(99,99)"));
        }
        // Footprints of no cells have no recurrence: "update" keeps the probability.
        DoubleClickRow(form_, 0);
        SetText(form_, "xSizeEdit", QStringLiteral("0"));
        ClickButton(form_, "UpdateValues");
        QCOMPARE(Text(form_, "test"), QStringLiteral("   INF"));
        SetText(form_, "SeverityEdit", QStringLiteral("50"));
        ClickButton(form_, "UpdateValues");
        QCOMPARE(program_->Simulation.Disturbances[0].Severity, 0.5);
        QCOMPARE(program_->Simulation.Disturbances[0].Probability[0], 1.5);
        // One definition may not keep a time step busy for hours.
        const size_t boxes = responder.Boxes.size();
        for (const char* field : {"xSizeEdit", "ySizeEdit"}) SetText(form_, field, QStringLiteral("9000"));
        ClickButton(form_, "UpdateValues");
        QCOMPARE(responder.Boxes.size(), boxes + 1);
        QVERIFY(responder.Boxes.back().Text.startsWith(QStringLiteral("this disturbance could examine ")));
        QCOMPARE(program_->Simulation.Disturbances[0].XSize, 0.0);
    }

    void typedProbabilitySurvivesUpdate()
    {
        ClickButton(form_, "StandardButton");
        DoubleClickRow(form_, 0);
        TmValueEditForm* dialog = program_->mValueEditForm;
        bool answered = false;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, dialog, [&] {
            if (answered || !dialog->isVisible()) return;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("disturbance of probability"));
            QCOMPARE(Child<QListWidget>(dialog, "ListBox1")->item(0)->text(), QStringLiteral("month 01 :   1.5000"));
            SetText(dialog, "Edit1", QStringLiteral("0.25"));
            ClickButton(dialog, "CloseButton");
            answered = true;
        });
        poll.start();
        ClickButton(form_, "EditProbButton");
        QVERIFY(answered);
        QVERIFY(form_->NeedsUpdate());
        form_->activateWindow(); // active again after the dialog: the fields stay as they are
        QVERIFY(QTest::qWaitForWindowActive(form_));
        ClickButton(form_, "UpdateValues");
        program_->Runner->WaitIdle();
        QCOMPARE(program_->Simulation.Disturbances[0].Probability[0], 0.25);
        QCOMPARE(Row(form_, 0)[5], QStringLiteral("0.2500"));
    }

    void newReadsBearingSeverityAndSubstrate()
    {
        ClickButton(form_, "StandardButton");
        DoubleClickRow(form_, 0);
        SetText(form_, "DirEdit", QStringLiteral("90"));
        SetText(form_, "SeverityEdit", QStringLiteral("50"));
        QTest::mouseClick(Child<QCheckBox>(form_, "CheckBox8"), Qt::LeftButton);
        ClickButton(form_, "NewDistButton");
        SetText(form_, "DirEdit", QStringLiteral("0"));
        ClickButton(form_, "NewDistButton");
        const auto& list = program_->Simulation.Disturbances;
        QCOMPARE(list.size(), size_t(3));
        QCOMPARE(list[1].Direction, 0.0);
        QCOMPARE(list[1].Severity, 0.5);
        QCOMPARE(int(list[1].Substrate), 0x81);
        QCOMPARE(list[1].Probability[0], 1.5);
        QCOMPARE(list[2].Direction, M_PI / 2);
        QCOMPARE(Row(form_, 1)[7], QStringLiteral("050 %"));
        QCOMPARE(Row(form_, 1)[8], QStringLiteral("010000001"));
        QCOMPARE(Row(form_, 2)[6], QStringLiteral("0.00 ± 360.00"));
        DoubleClickRow(form_, 1);
        QCOMPARE(Text(form_, "SeverityEdit"), QStringLiteral(" 50"));

        // A text that is no number adds nothing.
        TModalResponder responder;
        SetText(form_, "SubEdit", QStringLiteral("one"));
        ClickButton(form_, "NewDistButton");
        QCOMPARE(list.size(), size_t(3));
        QCOMPARE(responder.Boxes.at(0).Text, QStringLiteral("\"subevents\": 'one' is not a valid integer value"));
    }

    void deleteAndSetWithoutSelection()
    {
        TModalResponder responder;
        ClickButton(form_, "setButton");
        QCOMPARE(responder.Boxes.at(0).Title, QStringLiteral("Error!"));
        QCOMPARE(responder.Boxes.at(0).Text, QStringLiteral("select disturbance first!"));
        ClickButton(form_, "StandardButton");
        ClickButton(form_, "StandardButton");
        DoubleClickRow(form_, 1);
        ClickButton(form_, "DelDistButton");
        QCOMPARE(program_->Simulation.Disturbances.size(), size_t(1));
        QCOMPARE(Child<QTreeWidget>(form_, "ListView1")->topLevelItemCount(), 1);
        // The deleted definition was the selected one: "update" reaches no other.
        SetText(form_, "x1Edit", QStringLiteral("7"));
        ClickButton(form_, "UpdateValues");
        QCOMPARE(program_->Simulation.Disturbances[0].X1, 0);
    }

private:
    std::unique_ptr<TProgram> program_;
    TDisturbanceForm* form_ = nullptr;
};

QTEST_MAIN(TDisturbanceFormTest)
#include "disturbance_form_test.moc"
