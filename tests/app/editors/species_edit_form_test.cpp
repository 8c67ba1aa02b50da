// The species editor driven through its controls: list and fields, field rules, the
// normal-lifespan question, copy, delete with individuals in the grid, reorder, standard
// values, colours, the per-season dialog, and pool files through the file dialogs.
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QtEndian>
#include <QTimer>
#include <functional>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>

#include "abundance_chart.h"
#include "app_test_support.h"
#include "editors/season_values_form.h"
#include "editors/species_edit_form.h"
#include "files/species_pool_file.h"
#include "main_form.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QString RowText(QWidget* form, int row, int column)
{
    auto* list = Child<QTreeWidget>(form, "ListView1");
    QTreeWidgetItem* item = list ? list->topLevelItem(row) : nullptr;
    return item ? item->text(column) : QStringLiteral("<no row %1>").arg(row);
}

QString Text(QWidget* form, const char* name)
{
    auto* edit = Child<QLineEdit>(form, name);
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// Typing into a field and leaving it, as tabbing out does.
void Leave(QWidget* form, const char* name, const QString& text)
{
    auto* edit = Child<QLineEdit>(form, name);
    QVERIFY2(edit, name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    emit edit->editingFinished();
}

void Click(QWidget* form, const char* name)
{
    auto* button = Child<QAbstractButton>(form, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

void SelectRow(QWidget* form, int row)
{
    auto* list = Child<QTreeWidget>(form, "ListView1");
    list->setCurrentItem(list->topLevelItem(row));
}

// Clicks `button`, runs `answer` on the per-season dialog as soon as it shows, and waits
// until the dialog has closed and its result is applied.
void AnswerSeasonDialog(TProgram& program, const char* button, std::function<void(TmValueEditForm*)> answer)
{
    TmValueEditForm* dialog = program.mValueEditForm;
    bool answered = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, dialog, [&] {
        if (answered || !dialog->isVisible()) return;
        answered = true;
        answer(dialog);
    });
    timer.start();
    Click(program.SpeciesEditForm, button);
    QVERIFY(WaitFor([&] { return answered && !dialog->isVisible(); }));
    QTest::qWait(10); // the dialog's own loop returns, then its result goes to the model
    program.Runner->WaitIdle();
}

} // namespace

class TSpeciesEditFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void init()
    {
        program_ = MakeProgram(6, 5);
        form_ = program_->SpeciesEditForm;
        ClickButton(program_->MainForm.get(), "SpeciesPoolButton");
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        program_->Runner->WaitIdle();
    }

    void cleanup() { program_.reset(); }

    void showsThePoolAndTheSelectedSpecies()
    {
        QCOMPARE(Child<QTreeWidget>(form_, "ListView1")->topLevelItemCount(), 10);
        const QStringList first = {"Species 01", " 6.67", "0", "1", "1", "1", "2", " --- ", "30", "150", "0.154", "100.00", "0.000"};
        for (int c = 0; c < first.size(); ++c) QCOMPARE(RowText(form_, 0, c), first[c]);
        QCOMPARE(Text(form_, "SpeciesEdit"), QStringLiteral("10"));
        QCOMPARE(Text(form_, "externLPEdit"), QStringLiteral("0.00"));
        QCOMPARE(Text(form_, "StateNameEdit"), QStringLiteral("*"));
        QVERIFY(!Child<QLineEdit>(form_, "KEdit")->isVisible());
        QVERIFY(!Child<QLineEdit>(form_, "spkFactorEdit")->isVisible());
        SelectRow(form_, 9);
        QCOMPARE(form_->SelectedSpecies(), 9);
        QCOMPARE(Text(form_, "dispersaldistance"), QStringLiteral("10"));
        Child<QComboBox>(form_, "SelectGrowthComboBox")->setCurrentIndex(1);
        emit Child<QComboBox>(form_, "SelectGrowthComboBox")->activated(1);
        QCOMPARE(program_->Simulation.SpeciesPool[9].GrowthK, 0.05);
        QVERIFY(Child<QLineEdit>(form_, "KEdit")->isVisible());
        QCOMPARE(Text(form_, "KEdit"), QStringLiteral("0.050"));
    }

    void fieldRules()
    {
        TModalResponder responder;
        const TSpecies& s = program_->Simulation.SpeciesPool[0];
        Leave(form_, "ReproSyncEdit", QStringLiteral("150"));
        QCOMPARE(s.ReproAsync, 0.0);
        QCOMPARE(Text(form_, "ReproSyncEdit"), QStringLiteral("100.00"));
        Leave(form_, "ReproSyncEdit", QStringLiteral("-5"));
        QCOMPARE(s.ReproAsync, 1.0);
        QCOMPARE(RowText(form_, 0, 11), QStringLiteral(" 0.00"));
        Leave(form_, "firstReproduction", QStringLiteral("two"));
        QCOMPARE(s.FirstReproduction, 0);
        QCOMPARE(Text(form_, "firstReproduction"), QStringLiteral("0"));
        QVERIFY(responder.Boxes.empty()); // a text that is no number is dropped silently

        Leave(form_, "Reproductioninterval", QStringLiteral("0"));
        QCOMPARE(s.ReproInterval, 1);
        QCOMPARE(Text(form_, "Reproductioninterval"), QStringLiteral("1"));
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"Reproduction interval\" must be 1..100000 (1 kept)!"));

        Leave(form_, "Name", QStringLiteral("Balanus improvisus (barnacle)"));
        QCOMPARE(QString::fromStdString(s.Name), QStringLiteral("Balanus improvisus ("));
        QCOMPARE(RowText(form_, 0, 0), QStringLiteral("Balanus improvisus ("));
        // The pool-wide fields take their text when it is committed, not while it is typed.
        Model& m = program_->Simulation;
        auto* drift = Child<QLineEdit>(form_, "externLPEdit");
        drift->selectAll();
        QTest::keyClicks(drift, QStringLiteral("0.25"));
        QCOMPARE(m.ExternalDriftProb, 0.0);
        QTest::keyClick(drift, Qt::Key_Return);
        QCOMPARE(m.ExternalDriftProb, 0.25);
        Leave(form_, "externLPEdit", QStringLiteral("-1"));
        auto* larvae = Child<QLineEdit>(form_, "externLCEdit");
        larvae->selectAll();
        QTest::keyClick(larvae, Qt::Key_Backspace); // cleared to retype, then left
        emit larvae->editingFinished();
        QCOMPARE(m.ExternalDriftProb, 0.25);
        QCOMPARE(m.MaxDriftLarvae, 0);
        QCOMPARE(Text(form_, "externLPEdit"), QStringLiteral("0.25"));
        QCOMPARE(Text(form_, "externLCEdit"), QStringLiteral("0"));
        QCOMPARE(responder.Boxes.size(), size_t(3));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("\"probabillity for external larvae drift\" must be 0..1 (0.25 kept)!"));
        QCOMPARE(responder.Boxes[2].Text, QStringLiteral("\"max larvae per drift event\": '' is not a valid integer value"));
    }

    void normalLifespanQuestionRescalesTheDeathProbability()
    {
        TModalResponder responder;
        responder.Answer = QMessageBox::Yes;
        const double before = program_->Simulation.SpeciesPool[0].DeathProb[0];
        Leave(form_, "meanlivespan", QStringLiteral("60"));
        QVERIFY(WaitFor([&] { return program_->Simulation.SpeciesPool[0].NormalLifespan == 60; }));
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("adjust mortality to maintain current survival rate ?"));
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Question"));
        QVERIFY(std::fabs(program_->Simulation.SpeciesPool[0].DeathProb[0] - before / 2) < 1e-15);
        responder.Answer = QMessageBox::No;
        Leave(form_, "meanlivespan", QStringLiteral("20"));
        QVERIFY(WaitFor([&] { return program_->Simulation.SpeciesPool[0].NormalLifespan == 20; }));
        QVERIFY(std::fabs(program_->Simulation.SpeciesPool[0].DeathProb[0] - before / 2) < 1e-15);
        Leave(form_, "meanlivespan", QStringLiteral("20"));
        QTest::qWait(30);
        QCOMPARE(responder.Boxes.size(), size_t(2)); // no question without a change
    }

    void copyReorderAndDeleteWithIndividualsInTheGrid()
    {
        Model& m = program_->Simulation;
        SelectRow(form_, 0);
        Click(form_, "CopyButton");
        QCOMPARE(m.SpeciesMax, 10);
        QCOMPARE(RowText(form_, 10, 0), QStringLiteral("Species 01 10"));
        Click(form_, "SpinButton1Down");
        QCOMPARE(form_->SelectedSpecies(), 1);
        QCOMPARE(QString::fromStdString(m.SpeciesPool[1].Name), QStringLiteral("Species 01"));
        Click(form_, "SpinButton1Up");
        QCOMPARE(form_->SelectedSpecies(), 0);

        TMainForm* main = program_->MainForm.get();
        ClickButton(main, "InitButton1"); // fills the grid with all 11 species
        apptest::SingleStep(*program_);
        auto ofSpecies = [&m](int s) {
            int n = 0;
            for (const TCell& c : m.Cells) n += c.Abundance[static_cast<size_t>(s)];
            return n;
        };
        const int deleted = ofSpecies(3), fifth = ofSpecies(4);
        QVERIFY(deleted > 0);
        QStringList line = StatusLines(main)[0].split(QLatin1Char(';'));
        const QList<QPointF> fifthCurve = main->Chart()->Points(4);
        TModalResponder responder;
        SelectRow(form_, 3);
        Click(form_, "deleteSpeciesButton");
        QCOMPARE(m.SpeciesMax, 9);
        QCOMPARE(form_->SelectedSpecies(), 3);
        QCOMPARE(RowText(form_, 3, 0), QStringLiteral("Species 05"));
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text,
                 QStringLiteral("%1 individuals were removed from the grid: they were of the deleted species \"Species 04\".")
                     .arg(deleted));
        // The individuals, the curve and the status columns of species 5 are those of the fourth now.
        QCOMPARE(ofSpecies(3), fifth);
        QCOMPARE(main->Chart()->SpeciesSeriesCount(), 10);
        QCOMPARE(main->Chart()->Points(3), fifthCurve);
        line.removeAt(line.size() - 11 + 3);
        QCOMPARE(StatusLines(main)[0].split(QLatin1Char(';')), line);
        // The next step sees a consistent grid.
        apptest::SingleStep(*program_);
        QCOMPARE(ShownTimeStep(main), 2);
    }

    void changesWhileARunGoesOn()
    {
        TModalResponder responder; // the counts of removed individuals
        TMainForm* main = program_->MainForm.get();
        ClickButton(main, "InitButton1");
        ClickButton(main, "StartButton1");
        for (int i = 0; i < 6; ++i) {
            SelectRow(form_, 0);
            Click(form_, "CopyButton");
            Click(form_, "deleteSpeciesButton");
            Leave(form_, "ReproSyncEdit", QStringLiteral("50"));
            QTest::qWait(15);
        }
        ClickButton(main, "EndButton2");
        QVERIFY(WaitFor([&] { return !main->LoopActive(); }));
        program_->Runner->WaitIdle();
        const Model& m = program_->Simulation;
        QVERIFY(ShownTimeStep(main) > 0);
        QCOMPARE(m.SpeciesMax, 9);
        QCOMPARE(m.SpeciesPool[0].ReproAsync, 0.5);
        for (const TCell& cell : m.Cells) {
            QCOMPARE(static_cast<int>(cell.Individuals.size()), cell.IndividualCount);
            for (const TIndividual& i : cell.Individuals) QVERIFY(i.Species <= m.SpeciesMax);
        }
    }

    void standardValuesWithoutVariation()
    {
        Model& m = program_->Simulation;
        auto* count = Child<QLineEdit>(form_, "SpeciesEdit");
        count->setText(QStringLiteral("51"));
        Click(form_, "newButton");
        QCOMPARE(m.SpeciesMax, 50);
        Click(form_, "standardButton1"); // variation factor "0"
        QCOMPARE(RowText(form_, 0, 0), QStringLiteral("R0 1"));
        QCOMPARE(RowText(form_, 26, 0), QStringLiteral("R2 2"));
        QCOMPARE(RowText(form_, 50, 0), QStringLiteral("UD 13"));
        QCOMPARE(m.SpeciesPool[0].NormalLifespan, 5);
        QCOMPARE(m.SpeciesPool[0].MaxLifespan, 50);
        QCOMPARE(m.SpeciesPool[0].DeathProb[0], std::log(2.0) / 5);

        TModalResponder responder;
        count->setText(QStringLiteral("52"));
        Click(form_, "newButton");
        QCOMPARE(m.SpeciesMax, 50); // refused before the old pool goes
        QCOMPARE(responder.Boxes.at(0).Text, QStringLiteral("Can not create more then 50 different species!"));
        Click(form_, "CopyButton");
        QCOMPARE(responder.Boxes.at(1).Text, QStringLiteral("max. species count reached, can not add an other one!"));
    }

    void colourSwatchSetsTheDisplayColourAndOnRightClickTheStoredOne()
    {
        Model& m = program_->Simulation;
        const int32_t stored = m.SpeciesPool[2].Color;
        SelectRow(form_, 2);
        auto* swatch = Child<QWidget>(form_, "Shape1");
        {
            TModalResponder responder;
            responder.Colour = QColor(10, 20, 30);
            QTest::mouseClick(swatch, Qt::LeftButton);
            program_->Runner->WaitIdle();
        }
        QCOMPARE(m.SpeciesColor[2], 0x0A141Eu);
        QCOMPARE(m.SpeciesPool[2].Color, stored);
        {
            TModalResponder responder;
            responder.Colour = QColor(40, 50, 60);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(3, 3), swatch->mapToGlobal(QPoint(3, 3)));
            QApplication::sendEvent(swatch, &menu);
            program_->Runner->WaitIdle();
        }
        QCOMPARE(m.SpeciesColor[2], 0x28323Cu);
        QCOMPARE(m.SpeciesPool[2].Color, 0x3C3228); // blue in the high byte, as files store it
    }

    void seasonDialogCancelUseWithoutEnterAndSurvivalRate()
    {
        Model& m = program_->Simulation;
        const double fecundity = m.SpeciesPool[0].Fecundity[0];
        AnswerSeasonDialog(*program_, "FecButton", [](TmValueEditForm* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("fecundity of Species 01"));
            QCOMPARE(Child<QListWidget>(d, "ListBox1")->item(0)->text(), QStringLiteral("month 01 :   6.6667"));
            QVERIFY(!Child<QLineEdit>(d, "SREdit")->isVisible());
            QTest::keyClicks(Child<QLineEdit>(d, "Edit1"), QStringLiteral("9"));
            ClickButton(d, "cancelButton");
        });
        QCOMPARE(m.SpeciesPool[0].Fecundity[0], fecundity);

        AnswerSeasonDialog(*program_, "FecButton", [](TmValueEditForm* d) {
            auto* edit = Child<QLineEdit>(d, "Edit1");
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("12.5"));
            ClickButton(d, "CloseButton"); // no Enter: the typed value is still taken
        });
        QCOMPARE(m.SpeciesPool[0].Fecundity[0], 12.5);
        QCOMPARE(RowText(form_, 0, 1), QStringLiteral("12.50"));

        AnswerSeasonDialog(*program_, "DeathButton", [](TmValueEditForm* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("death propability of Species 01"));
            auto* survival = Child<QLineEdit>(d, "SREdit");
            QCOMPARE(survival->text(), QStringLiteral("0.0100"));
            survival->setText(QStringLiteral("0.5"));
            ClickButton(d, "SRButton");
            QCOMPARE(Child<QListWidget>(d, "ListBox1")->item(0)->text(), QStringLiteral("month 01 :   0.0231"));
            ClickButton(d, "CloseButton");
        });
        QCOMPARE(m.SpeciesPool[0].DeathProb[0], -std::log(0.5) / 30);
    }

    void seasonDialogEnterConvertsAndRefusesText()
    {
        TModalResponder responder;
        AnswerSeasonDialog(*program_, "FecButton", [&](TmValueEditForm* d) {
            auto* edit = Child<QLineEdit>(d, "Edit1");
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("1,5"));
            QTest::keyClick(edit, Qt::Key_Return); // converts; it does not close the dialog
            QVERIFY(d->isVisible());
            QCOMPARE(responder.Boxes.size(), size_t(1));
            QTest::keyClicks(edit, QStringLiteral("x")); // typed after Enter: converted once more on closing
            ClickButton(d, "CloseButton");
        });
        QCOMPARE(responder.Boxes.size(), size_t(2));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("Error converting \"1,5\" into a number!\r\rKeeping old value!"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("Error converting \"1,5x\" into a number!\r\rKeeping old value!"));
        QCOMPARE(program_->Simulation.SpeciesPool[0].Fecundity[0], 200.0 / 30);
    }

    void poolFilesWithAndWithoutColoursAndARefusedLoad()
    {
        Model& m = program_->Simulation;
        const QString coloured = dir_.filePath(QStringLiteral("coloured.msd"));
        const QString plain = dir_.filePath(QStringLiteral("plain.msd"));
        m.SpeciesColor[0] = 0x112233; // the display colour only
        const int32_t stored = m.SpeciesPool[0].Color;
        {
            TModalResponder responder;
            responder.FileNames << plain;
            Child<QCheckBox>(form_, "SaveColorCheckBox")->setChecked(false);
            Click(form_, "saveButton");
            responder.FileNames << coloured;
            Child<QCheckBox>(form_, "SaveColorCheckBox")->setChecked(true);
            Click(form_, "saveButton");
            QVERIFY(responder.Boxes.empty());
        }
        const std::string expected = SpeciesPoolBytes(m); // with the colour taken over
        QFile file(coloured);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), expected);
        QFile plainFile(plain);
        QVERIFY(plainFile.open(QIODevice::ReadOnly));
        const QByteArray plainBytes = plainFile.readAll();
        QCOMPARE(plainBytes.size(), 6 + 10 * 496);
        QCOMPARE(qFromLittleEndian<qint32>(plainBytes.constData() + 6 + 104), stored);
        QCOMPARE(m.SpeciesPool[0].Color, 0x332211);

        // A smaller pool: its colours are taken, and a damaged file changes nothing.
        Model small;
        CreateSpeciesPool(small, 3);
        small.SpeciesPool[1].Color = 0x0000FF; // red
        small.SpeciesPool[0].Color = 0x00FF00;
        SaveSpeciesPool(small, dir_.filePath(QStringLiteral("small.msd")).toStdString());
        {
            TModalResponder responder;
            responder.FileNames << dir_.filePath(QStringLiteral("small.msd"));
            Click(form_, "LoadButton");
        }
        QCOMPARE(m.SpeciesMax, 2);
        QCOMPARE(m.SpeciesColor[1], 0xFF0000u);
        QCOMPARE(Child<QTreeWidget>(form_, "ListView1")->topLevelItemCount(), 3);
        QFile damaged(dir_.filePath(QStringLiteral("damaged.msd")));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("V 1.20") + QByteArray(496, '\0').replace(0, 1, QByteArray(1, char(99))));
        damaged.close();
        {
            TModalResponder responder;
            responder.FileNames << damaged.fileName();
            Click(form_, "LoadButton");
            QCOMPARE(responder.Boxes.size(), size_t(1));
        }
        QCOMPARE(m.SpeciesMax, 2);
        QCOMPARE(SpeciesPoolBytes(m), SpeciesPoolBytes(small));
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TProgram> program_;
    TSpeciesEditForm* form_ = nullptr;
};

QTEST_MAIN(TSpeciesEditFormTest)
#include "species_edit_form_test.moc"
