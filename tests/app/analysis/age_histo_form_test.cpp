// The histogram window through its controls: bins, saved list and summary line against
// marovi-cli, in both modes, for another species and inside a region of interest; the
// fields that are not numbers.
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLogValueAxis>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "analysis/age_histo_form.h"
#include "app_test_support.h"
#include "main_form.h"
#include "program.h"
#include "step_runner.h"
#include "view/roi_form.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

class TAgeHistoFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("histo.mgf"));
        QVERIFY(CliSimulation(file_, QStringLiteral("25x25"), 9, 30));
    }

    void init() { program_ = std::make_unique<TProgram>(FixedClock()); }
    void cleanup() { program_.reset(); }

    // The saved list followed by the summary line, as the runner prints them; the bars
    // must show the counts of the list.
    QStringList SavedAndSummary(TAgeHistoForm* form)
    {
        TModalResponder responder;
        const QString path = dir_.filePath(QStringLiteral("list%1.txt").arg(++saves_));
        responder.FileNames << path;
        ClickButton(form, "SaveButton");
        QStringList lines = FileLines(path);
        const QBarSet* bars = form->Bars()->barSets().constFirst();
        for (int k = 0; k < bars->count(); ++k)
            if (5 + k >= lines.size() || lines[5 + k].section(QLatin1Char('\t'), 2).toDouble() != bars->at(k))
                return {QStringLiteral("bar %1 differs from the list").arg(k)};
        return lines << Child<QLabel>(form, "Label2")->text();
    }

    void listAndSummaryEqualTheRunner()
    {
        program_->MainForm->LoadSimulationFromCommandLine(file_);
        program_->Runner->WaitIdle();
        ClickButton(program_->MainForm.get(), "AgeDistributionButton");
        TAgeHistoForm* form = program_->AgeHistoForm;
        QVERIFY(form->isVisible());
        program_->Runner->WaitIdle();
        const auto cli = [this](QStringList args) {
            return RunCli(QStringList{QStringLiteral("histogram"), file_} + args);
        };

        SetText(form, "SlotEdit", QStringLiteral("10"));
        SetText(form, "Edit2", QStringLiteral("30"));
        ClickButton(form, "UpdateButton");
        program_->Runner->WaitIdle();
        QCOMPARE(SavedAndSummary(form), cli({QStringLiteral("--max-age"), QStringLiteral("30"), QStringLiteral("--slots"),
                                             QStringLiteral("10")}));
        QCOMPARE(form->Chart()->title(), QStringLiteral("age histogram of <br>Species 01"));

        // The next species with its proposed maximum age, by size.
        QTest::mouseClick(Child<QToolButton>(form, "UpDown1Up"), Qt::LeftButton);
        program_->Runner->WaitIdle();
        QCOMPARE(Child<QLineEdit>(form, "Edit1")->text(), QStringLiteral("Species 02"));
        Child<QRadioButton>(form, "SizeRadioButton")->click();
        program_->Runner->WaitIdle();
        QCOMPARE(SavedAndSummary(form),
                 cli({QStringLiteral("--species"), QStringLiteral("2"), QStringLiteral("--slots"), QStringLiteral("10"),
                      QStringLiteral("--size")}));

        // Only the region of interest, while there is one.
        program_->Runner->BetweenSteps(form, [this] { program_->ROIForm->DefineRoi(3, 4, 12, 20); });
        Child<QRadioButton>(form, "AgeRadioButton")->click();
        program_->Runner->WaitIdle();
        QCOMPARE(SavedAndSummary(form),
                 cli({QStringLiteral("--species"), QStringLiteral("2"), QStringLiteral("--slots"), QStringLiteral("10"),
                      QStringLiteral("--window"), QStringLiteral("3,4,12,20")}));

        Child<QCheckBox>(form, "LogScaleCheckBox")->click();
        QVERIFY(qobject_cast<QLogValueAxis*>(form->Bars()->attachedAxes().constLast()));
    }

    void fieldsThatAreNoNumbers()
    {
        // The window opens before any simulation exists.
        ClickButton(program_->MainForm.get(), "AgeDistributionButton");
        TAgeHistoForm* form = program_->AgeHistoForm;
        QVERIFY(form->isVisible());
        program_->Runner->WaitIdle();
        TModalResponder responder;
        SetText(form, "Edit2", QStringLiteral("-"));
        ClickButton(form, "UpdateButton");
        program_->Runner->WaitIdle();
        SetText(form, "SlotEdit", QStringLiteral("0"));
        ClickButton(form, "UpdateButton");
        program_->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), size_t(2));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("'-' is not a valid integer value"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("the histogram has 1 to 1000 slots"));
        QCOMPARE(form->Bars()->barSets().constFirst()->count(), 0);
        // Recomputing on activation reports nothing.
        form->UpdateHistogram(true);
        program_->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), size_t(2));
    }

private:
    QTemporaryDir dir_;
    QString file_;
    int saves_ = 0;
    std::unique_ptr<TProgram> program_;
};

QTEST_MAIN(TAgeHistoFormTest)
#include "age_histo_form_test.moc"
