// The Grid properties dialog driven by its controls: what it shows, the order and guards
// of "update", the separator, the measures, the seed, and the priority dialog behind it.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "analysis/indices.h"
#include "app_test_support.h"
#include "grid_edit_form.h"
#include "main_form.h"
#include "model/model.h"
#include "model/status_line.h"
#include "priority_form.h"
#include "program.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QString Text(QWidget* dialog, const char* name)
{
    auto* edit = Child<QLineEdit>(dialog, name);
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

void Click(QWidget* dialog, const char* name)
{
    auto* button = Child<QAbstractButton>(dialog, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Leaving an edit field, as tabbing out of it does.
void Leave(QWidget* dialog, const char* name, const QString& text)
{
    auto* edit = Child<QLineEdit>(dialog, name);
    QVERIFY2(edit, name);
    edit->setText(text);
    emit edit->editingFinished();
}

} // namespace

class TGridEditFormTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        program_ = std::make_unique<TProgram>(FixedClock());
        dialog_ = program_->GridEditForm;
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog_));
    }

    void cleanup()
    {
        program_.reset();
    }

    void showsTheParameters()
    {
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("file -not saved-"));
        QCOMPARE(Text(dialog_, "xSeedEdit"), QStringLiteral("99"));
        QCOMPARE(Text(dialog_, "RadEdit"), QStringLiteral("0.8"));
        QCOMPARE(Text(dialog_, "DirEdit"), QStringLiteral("90"));  // flow towards +x is a bearing of 90
        QCOMPARE(Text(dialog_, "DirDevEdit"), QStringLiteral("36")); // pi / 5
        QCOMPARE(Text(dialog_, "minSizeEdit"), QStringLiteral("0.2"));
        QCOMPARE(Text(dialog_, "EditHillNo"), QStringLiteral("1"));
        QVERIFY(Child<QRadioButton>(dialog_, "Hill_1_RadioButton")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog_, "colonRadioButton")->isChecked());
        QVERIFY(!Child<QLineEdit>(dialog_, "DSCEdit")->isEnabled());
        QCOMPARE(Text(dialog_, "DSCEdit"), QStringLiteral("59"));
        QCOMPARE(Child<QLabel>(dialog_, "DSCLabel")->text(), QStringLiteral("current DSC=\";\""));
        QVERIFY(Child<QRadioButton>(dialog_, "SoerensenRadioButton")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog_, "dk_exp_RadioButton")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog_, "pk_exp_RadioButton")->isChecked());
        QCOMPARE(Child<QLineEdit>(dialog_, "kFactorEdit")->toolTip(), QStringLiteral("wight for biased lottery"));
    }

    void updateAppliesGuardedFieldsOnlyWithinRange()
    {
        Model& m = program_->Simulation;
        SetText(dialog_, "kFactorEdit", QStringLiteral("99.9"));
        SetText(dialog_, "NSizeEdit", QStringLiteral("24"));
        Click(dialog_, "OKButton");
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(m.GlobalKFactor, 99.9);
        QCOMPARE(int(m.NeighbourhoodSize), 24);

        const struct { const char* KFactor; const char* Neighbourhood; } refused[] = {
            {"100", "25"}, {"-100", "0"}, {"abc", "2.5"}, {"", ""},
        };
        for (const auto& r : refused) {
            dialog_->show();
            SetText(dialog_, "kFactorEdit", QString::fromLatin1(r.KFactor));
            SetText(dialog_, "NSizeEdit", QString::fromLatin1(r.Neighbourhood));
            Click(dialog_, "OKButton");
            QCOMPARE(m.GlobalKFactor, 99.9);
            QCOMPARE(int(m.NeighbourhoodSize), 24);
        }
        dialog_->show();
        SetText(dialog_, "kFactorEdit", QStringLiteral("-99.5"));
        SetText(dialog_, "NSizeEdit", QStringLiteral("1"));
        SetText(dialog_, "FlucRepMinEdit", QStringLiteral("x"));
        SetText(dialog_, "FlucRepMaxEdit", QStringLiteral("7"));
        SetText(dialog_, "pDistEdit", QStringLiteral("3"));
        SetText(dialog_, "pStepEdit", QStringLiteral("1e3"));
        Click(dialog_, "OKButton");
        QCOMPARE(m.GlobalKFactor, -99.5);
        QCOMPARE(int(m.NeighbourhoodSize), 1);
        QCOMPARE(m.FluctReproMin, 1);
        QCOMPARE(m.FluctReproMax, 7);
        QCOMPARE(m.TermDisturbances, 3);
        QCOMPARE(m.TermSteps, 0);
    }

    void aBadNumberStopsTheUpdateAtThatField()
    {
        Model& m = program_->Simulation;
        SetText(dialog_, "xSeedEdit", QStringLiteral("40"));
        SetText(dialog_, "RadEdit", QStringLiteral("0.5"));
        SetText(dialog_, "MaxruntimeEdit", QStringLiteral("12x"));
        SetText(dialog_, "RepEdit", QStringLiteral("5"));
        SetText(dialog_, "NSizeEdit", QStringLiteral("3"));
        TModalResponder responder;
        Click(dialog_, "OKButton");
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("'12x' is not a valid integer value"));
        QVERIFY(dialog_->isVisible());
        // The fields before the bad one are applied, the later ones are not.
        QCOMPARE(program_->StartFill.Value, 40);
        QVERIFY(program_->StartFill.Changed);
        QCOMPARE(m.BubbleScale, 0.5);
        QCOMPARE(m.MaxRuntime, 0);
        QCOMPARE(m.Repetitions, 1);
        QCOMPARE(int(m.NeighbourhoodSize), 1);
    }

    void theSameStartFillIsNoChange()
    {
        Click(dialog_, "OKButton");
        QCOMPARE(program_->StartFill.Value, 99);
        QVERIFY(!program_->StartFill.Changed);
    }

    void kernelsAndLotteryAreAppliedByUpdate()
    {
        Model& m = program_->Simulation;
        Click(dialog_, "dk_uni_RadioButton");
        Click(dialog_, "pk_dif_RadioButton");
        Click(dialog_, "BiasedLotteryCheckBox");
        QCOMPARE(m.DispersalKernel, TKernel::Exponential); // nothing before "update"
        QVERIFY(!m.BiasedLottery);
        Click(dialog_, "OKButton");
        QCOMPARE(m.DispersalKernel, TKernel::Uniform);
        QCOMPARE(m.PatchKernel, TKernel::Diffusion);
        QVERIFY(m.BiasedLottery);
        // The species k-factor box acts at once and locks the global k-factor.
        dialog_->show();
        Click(dialog_, "spkfactorCheckBox");
        QVERIFY(m.SpeciesKFactor);
        QVERIFY(!Child<QLineEdit>(dialog_, "kFactorEdit")->isEnabled());
        Click(dialog_, "TimeSyncCheckBox");
        QVERIFY(!m.OldReproInterval);
    }

    void closeAsksAndKeepsTheValues()
    {
        SetText(dialog_, "RepEdit", QStringLiteral("9"));
        {
            TModalResponder responder;
            responder.Answer = QMessageBox::No;
            Click(dialog_, "Button2");
            QCOMPARE(responder.Boxes.size(), size_t(1));
            QCOMPARE(responder.Boxes[0].Title, QStringLiteral("question"));
            QCOMPARE(responder.Boxes[0].Text, QStringLiteral("close without updateing values?"));
        }
        QVERIFY(dialog_->isVisible());
        TModalResponder responder;
        responder.Answer = QMessageBox::Yes;
        Click(dialog_, "Button2");
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(program_->Simulation.Repetitions, 1);
    }

    void reseedsOnlyOnAChangedSeed()
    {
        Model& m = program_->Simulation;
        m.RandomSeed = 17;
        dialog_->hide();
        dialog_->show();
        QCOMPARE(Text(dialog_, "RandSeedVEdit"), QStringLiteral("17"));
        const TRandom before = m.Random;
        Click(dialog_, "OKButton"); // the same seed again: the stream goes on undisturbed
        QCOMPARE(m.Random.Next, before.Next);
        QVERIFY(std::equal(std::begin(m.Random.Table), std::end(m.Random.Table), std::begin(before.Table)));

        dialog_->show();
        SetText(dialog_, "RandSeedVEdit", QStringLiteral("4711"));
        Click(dialog_, "OKButton");
        QCOMPARE(m.RandomSeed, 4711);
        TRandom expected;
        expected.SeedRandom(4711);
        QCOMPARE(m.Random.Uniform(), expected.Uniform());

        dialog_->show();
        SetText(dialog_, "RandSeedVEdit", QStringLiteral("seed"));
        Click(dialog_, "OKButton");
        QCOMPARE(m.RandomSeed, 4711);
    }

    void separatorByButtonCodeAndCharacter()
    {
        Model& m = program_->Simulation;
        auto* label = Child<QLabel>(dialog_, "DSCLabel");
        Click(dialog_, "TABRadioButton");
        QCOMPARE(m.Separator, '\t');
        QCOMPARE(Text(dialog_, "DSCEdit"), QStringLiteral("9"));
        Click(dialog_, "CommaRadioButton");
        QCOMPARE(m.Separator, ',');
        QCOMPARE(label->text(), QStringLiteral("\",\""));
        QVERIFY(!Child<QLineEdit>(dialog_, "DSCEdit")->isEnabled());

        Click(dialog_, "OtherRadioButton");
        QVERIFY(Child<QLineEdit>(dialog_, "DSCEdit")->isEnabled());
        Leave(dialog_, "DSCEdit", QStringLiteral("9")); // one character: that character
        QCOMPARE(m.Separator, '9');
        QCOMPARE(Text(dialog_, "DSCEdit"), QStringLiteral("57"));
        QCOMPARE(label->text(), QStringLiteral("\"9\""));
        Leave(dialog_, "DSCEdit", QStringLiteral("59")); // more characters: a code
        QCOMPARE(m.Separator, ';');
        Leave(dialog_, "DSCEdit", QStringLiteral("|"));
        QCOMPARE(m.Separator, '|');
        Leave(dialog_, "DSCEdit", QStringLiteral("128")); // outside 0..127: refused
        QCOMPARE(m.Separator, '|');
        Leave(dialog_, "DSCEdit", QStringLiteral("-1"));
        QCOMPARE(m.Separator, '|');
        TModalResponder responder;
        Leave(dialog_, "DSCEdit", QStringLiteral("ab"));
        QCOMPARE(m.Separator, '|');
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("'ab' is not a valid integer value"));
        // The status header of the next "new" uses the separator.
        QVERIFY(QString::fromStdString(StatusHeader(m)).startsWith(QStringLiteral("timestep|")));
    }

    void diversityMeasureByButtonAndOrder()
    {
        Model& m = program_->Simulation;
        Click(dialog_, "Hill_0_RadioButton");
        QCOMPARE(m.DiversityName, std::string("species count (Hill 0)"));
        QCOMPARE(m.HillOrder, 0.0);
        Click(dialog_, "BrillouinRadioButton");
        QCOMPARE(m.DiversityName, std::string("M-Index"));
        QVERIFY(m.DiversityFunc == &MIndex);
        Leave(dialog_, "EditHillNo", QStringLiteral("2"));
        QVERIFY(Child<QRadioButton>(dialog_, "Hill_2_RadioButton")->isChecked());
        QCOMPARE(m.DiversityName, std::string("rec. Simpson Index (Hill 2)"));
        Leave(dialog_, "EditHillNo", QStringLiteral("0.5"));
        QVERIFY(Child<QRadioButton>(dialog_, "Hill_user_RadioButton")->isChecked());
        QCOMPARE(m.DiversityName, std::string("Hill 0.5"));
        QVERIFY(m.DiversityFunc == &UserHillNumber);
        // A negative order has no value for absent species: refused with a message.
        TModalResponder responder;
        Leave(dialog_, "EditHillNo", QStringLiteral("-1"));
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(m.HillOrder, 0.5);
        Click(dialog_, "Mindex0RadioButton");
        QCOMPARE(m.DiversityName, std::string("M-Index0"));
        QVERIFY(!Child<QRadioButton>(dialog_, "Hill_user_RadioButton")->isChecked());
        Click(dialog_, "JaccardRadioButton");
        QVERIFY(m.SimilarityFunc == &JaccardIndex);
        Click(dialog_, "MSRadioButton");
        QVERIFY(m.SimilarityFunc == &MarczewskiSteinhausDistance);
    }

    void flowFieldsOnlyPointToTheFlowEditor()
    {
        TModalResponder responder;
        QTest::mouseClick(Child<QLineEdit>(dialog_, "DirEdit"), Qt::LeftButton);
        QCOMPARE(responder.Boxes.size(), size_t(1));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("inactive, use \"edit flow grid\" of the landscape editor!"));
        QCOMPARE(Text(dialog_, "DirEdit"), QStringLiteral("90"));
    }

    void renderPriorityOpensThePriorityDialog()
    {
        TPriorityForm* priority = program_->PriorityForm;
        int niceNow = 0;
        std::vector<int> requested;
        priority->GetNice = [&] { return niceNow; };
        priority->SetNice = [&](int nice) { requested.push_back(nice); return false; }; // the system refuses
        QTimer::singleShot(50, priority, [priority] {
            QVERIFY(priority->isVisible());
            QCOMPARE(priority->windowTitle(), QStringLiteral("set application priority"));
            QVERIFY(Child<QRadioButton>(priority, "RadioButton2")->isChecked()); // normal
            Click(priority, "RadioButton3");
            Click(priority, "SetButton");
        });
        TModalResponder responder;
        Click(dialog_, "Button1");
        QVERIFY(!priority->isVisible());
        QCOMPARE(requested, std::vector<int>{-10}); // "high"
        QCOMPARE(responder.Boxes.size(), size_t(1)); // a refusal says why
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("the system refused the priority \"high\" (nice -10; the program stays at nice 0): "
                                                         "without privileges a program may lower its priority, but not raise it again!"));
    }

private:
    std::unique_ptr<TProgram> program_;
    TGridEditForm* dialog_ = nullptr;
};

QTEST_MAIN(TGridEditFormTest)
#include "grid_edit_form_test.moc"
