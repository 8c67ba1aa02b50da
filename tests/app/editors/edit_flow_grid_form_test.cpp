// The flow grid editor driven through its controls: the selected cell, selection by the
// arrows, local updates and their messages, clearing, a new flow grid with its questions,
// the two file kinds through the dialogs, the arrow size and the deviation sectors.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app_test_support.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/flow_chart.h"
#include "editors/land_edit_form.h"
#include "files/flow_grid_file.h"
#include "landscape/flow.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QLineEdit* Field(QWidget* form, const char* name) { return Child<QLineEdit>(form, name); }

void SetFields(QWidget* form, const char* direction, const char* deviation, const char* speed)
{
    SetText(form, "DirEdit", QString::fromLatin1(direction));
    SetText(form, "devEdit", QString::fromLatin1(deviation));
    SetText(form, "speedEdit", QString::fromLatin1(speed));
}

QString Shown(QWidget* form)
{
    return Child<QLabel>(form, "CellLabel")->text() + QLatin1Char(' ') + Field(form, "DirEdit")->text() + QLatin1Char(' ') +
           Field(form, "devEdit")->text() + QLatin1Char(' ') + Field(form, "speedEdit")->text();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TEditFlowGridFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void init()
    {
        program_ = MakeProgram(12, 8);
        NewFlowGrid(program_->Simulation.FlowGrid, 3, 2, 0.0, M_PI / 5, 1.0);
        program_->Simulation.FlowGrid.Cell(2, 1) = TFlowCell{M_PI, M_PI / 18, 2.5};
        ClickButton(program_->MainForm.get(), "LandscapeEditorButton");
        ClickButton(program_->LandEditForm, "EditFlowGridButton");
        form_ = program_->EditFlowGridForm;
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        program_->Runner->WaitIdle();
    }

    void cleanup() { program_.reset(); }

    void showsTheGridAndTheSelectedCell()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("edit flow field"));
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [1,1] 90 36 1"));
        QCOMPARE(Field(form_, "xDimEdit")->text(), QStringLiteral("3"));
        QCOMPARE(Field(form_, "yDimEdit")->text(), QStringLiteral("2"));
        QCOMPARE(Field(form_, "SpeedFactorEdit")->text(), QStringLiteral(" 0.50"));
        QCOMPARE(Field(form_, "ArrowSizeEdit")->text(), QStringLiteral("10"));
    }

    void clickingAnArrowSelectsItsCell()
    {
        TFlowChart* chart = form_->Chart();
        // Arrow 5 is cell (2, 1): it points west from the cell's centre.
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ArrowLine(2, 1).center().toPoint());
        QCOMPARE(form_->SelectedX(), 2);
        QCOMPARE(form_->SelectedY(), 1);
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [3,2] 270 10 2.5"));
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ToPixel({0.05, 1.95}).toPoint()); // no arrow there
        QCOMPARE(form_->SelectedX(), 2);
    }

    void localUpdateReadsBearingsAndReportsUnreadableFields()
    {
        Model& m = program_->Simulation;
        TModalResponder responder;
        SetFields(form_, "0", "x", "0.5");
        ClickButton(form_, "UpdateLocalButton");
        const TFlowCell& c = m.FlowGrid.Cell(0, 0);
        QVERIFY(std::fabs(c.Direction - M_PI / 2) < 1e-12); // north
        QVERIFY(std::fabs(c.Deviation - M_PI / 5) < 1e-12);
        QCOMPARE(c.Speed, 0.5);
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [1,1] 0 36 0.5"));
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("error reading deviation!"));
        for (const char* east : {"450", "-270"}) {
            SetFields(form_, east, "36", "1");
            ClickButton(form_, "UpdateLocalButton");
            QVERIFY(std::fabs(std::remainder(c.Direction, 2 * M_PI)) < 1e-12);
            QCOMPARE(Field(form_, "DirEdit")->text(), QStringLiteral("90"));
        }
        QCOMPARE(responder.Boxes.size(), size_t{1});
        SetFields(form_, "90", "36", "-1"); // a negative speed would reverse the drift
        ClickButton(form_, "UpdateLocalButton");
        QCOMPARE(c.Speed, 1.0);
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("\"speed\" must be at least 0 (1 kept)!"));
    }

    void deleteClearsTheSelectedCellAndRightClickTheOneUnderThePointer()
    {
        Model& m = program_->Simulation;
        TFlowChart* chart = form_->Chart();
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ArrowLine(1, 0).center().toPoint());
        QTest::keyClick(chart, Qt::Key_Delete);
        QCOMPARE(m.FlowGrid.Cell(1, 0).Speed, 0.0);
        QCOMPARE(m.FlowGrid.Cell(1, 0).Deviation, 0.0);
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [2,1] 90 0 0"));
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ArrowLine(0, 1).center().toPoint());
        QTest::mouseClick(chart, Qt::RightButton, {}, chart->ArrowLine(2, 1).center().toPoint());
        QCOMPARE(m.FlowGrid.Cell(0, 1).Speed, 1.0);
        QCOMPARE(m.FlowGrid.Cell(2, 1).Speed, 0.0);
        QCOMPARE(form_->SelectedX(), 2);
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [3,2] 90 0 0"));
    }

    void newFlowGridAsksBeforeExceedingTheLandscape()
    {
        Model& m = program_->Simulation;
        QTest::mouseClick(form_->Chart(), Qt::LeftButton, {}, form_->Chart()->ArrowLine(2, 1).center().toPoint());
        TModalResponder responder;
        responder.Answer = QMessageBox::No;
        SetText(form_, "xDimEdit", QStringLiteral("20"));
        SetText(form_, "yDimEdit", QStringLiteral("x"));
        SetFields(form_, "180", "10", "2");
        ClickButton(form_, "NewFlowGridButton");
        QCOMPARE(m.FlowGrid.XCount, 12); // No: as many as the landscape has
        QCOMPARE(m.FlowGrid.YCount, 2);  // unreadable: kept
        QVERIFY(std::fabs(m.FlowGrid.Cell(11, 1).Direction - 3 * M_PI / 2) < 1e-12);
        QCOMPARE(m.FlowGrid.Cell(11, 1).Speed, 2.0);
        QCOMPARE(responder.Boxes.size(), size_t{2});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("error reading yDim"));
        QCOMPARE(responder.Boxes[1].Title, QStringLiteral("Attention"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("More flow cells than grid cells! Proceed ?"));
        QCOMPARE(Field(form_, "xDimEdit")->text(), QStringLiteral("12"));
        QCOMPARE(form_->SelectedX(), 2); // still inside

        responder.Answer = QMessageBox::Yes;
        SetText(form_, "xDimEdit", QStringLiteral("20"));
        SetText(form_, "yDimEdit", QStringLiteral("0"));
        ClickButton(form_, "NewFlowGridButton");
        QCOMPARE(m.FlowGrid.XCount, 20);
        QCOMPARE(m.FlowGrid.YCount, 1);
        QCOMPARE(form_->SelectedY(), 0); // outside the new grid: back to 0
        QCOMPARE(Shown(form_), QStringLiteral("flow cell [3,1] 180 10 2"));
    }

    void filesRoundTripThroughTheDialogs()
    {
        Model& m = program_->Simulation;
        const std::string original = FlowGridText(m);
        const QString binary = dir_.filePath(QStringLiteral("flow.mfg")), text = dir_.filePath(QStringLiteral("flow.txt"));
        TModalResponder responder;
        responder.FileNames << binary << text;
        ClickButton(form_, "SaveButton");
        ClickButton(form_, "ExportButton");
        QCOMPARE(ReadFile(text).toStdString(), original);

        QTest::mouseClick(form_->Chart(), Qt::LeftButton, {}, form_->Chart()->ArrowLine(2, 1).center().toPoint());
        NewFlowGrid(m.FlowGrid, 4, 4, 1.0, 1.0, 1.0);
        responder.FileNames << binary;
        ClickButton(form_, "LoadButton");
        QCOMPARE(FlowGridText(m), original);
        QCOMPARE(form_->SelectedX(), 0); // loading selects the first cell
        NewFlowGrid(m.FlowGrid, 4, 4, 1.0, 1.0, 1.0);
        responder.FileNames << text;
        ClickButton(form_, "ImportButton");
        QCOMPARE(FlowGridText(m), original);
        QCOMPARE(Field(form_, "xDimEdit")->text(), QStringLiteral("3"));

        // A damaged file is refused and leaves the flow grid. (In a directory of its own: the
        // dialog would keep the file it selected before in this one.)
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("damaged")));
        QFile damaged(dir_.filePath(QStringLiteral("damaged/flow.mfg")));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
        damaged.close();
        responder.FileNames << damaged.fileName();
        ClickButton(form_, "LoadButton");
        QCOMPARE(FlowGridText(m), original);
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QVERIFY(responder.Boxes[0].Text.contains(QStringLiteral("flow cells")));
    }

    void arrowSizeAndDeviationSectors()
    {
        QLineEdit* size = Field(form_, "ArrowSizeEdit");
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("25"));
        QCOMPARE(form_->Chart()->ArrowSize(), 25);
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("-3"));
        QCOMPARE(form_->Chart()->ArrowSize(), 25);

        // One flow cell pointing north with 20 degrees either side, on white: the sector is
        // coloured beside the arrow and not across from it, and not at all when switched off.
        Model& m = program_->Simulation;
        NewFlowGrid(m.FlowGrid, 1, 1, M_PI / 2, M_PI / 9, 1.0);
        form_->Chart()->SetBackground(QImage());
        form_->Refresh();
        program_->Runner->WaitIdle();
        TFlowChart* chart = form_->Chart();
        const auto pixel = [chart](double angle) {
            const QPointF p = chart->ToPixel({0.5 + 0.3 * std::cos(angle), 0.5 + 0.3 * std::sin(angle)});
            return chart->grab().toImage().pixelColor(p.toPoint());
        };
        const double inside = M_PI / 2 + M_PI / 18, outside = M_PI / 2 + M_PI / 5;
        QVERIFY(pixel(inside) != QColor(Qt::white));
        QCOMPARE(pixel(outside), QColor(Qt::white));
        QCOMPARE(pixel(-M_PI / 2 + M_PI / 18), QColor(Qt::white));
        Child<QCheckBox>(form_, "ShowDevCheckBox")->click();
        QCOMPARE(pixel(inside), QColor(Qt::white));
    }

    void aMillionFlowCellsShowASampleOfArrowsOverTheLandscape()
    {
        // Cells below a pixel: an arrow per cell made a solid black and yellow square.
        TModalResponder responder;
        responder.Answer = QMessageBox::Yes;
        SetText(form_, "xDimEdit", QStringLiteral("1000"));
        SetText(form_, "yDimEdit", QStringLiteral("1000"));
        SetFields(form_, "45", "10", "1");
        ClickButton(form_, "NewFlowGridButton");
        QCOMPARE(program_->Simulation.FlowGrid.XCount, 1000);
        Child<QCheckBox>(form_, "ShowDevCheckBox")->click();
        const QImage shot = form_->Chart()->grab().toImage();
        const QRect plot = form_->Chart()->ToPixelRect(0, 0, 1000, 1000).toAlignedRect() & shot.rect();
        int arrow = 0; // black or yellow pixels
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                arrow += std::max({c.red(), c.green(), c.blue()}) < 60 || (c.red() > 200 && c.green() > 200 && c.blue() < 120);
            }
        QVERIFY2(arrow < plot.width() * plot.height() / 4, qPrintable(QString::number(arrow)));
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TProgram> program_;
    TEditFlowGridForm* form_ = nullptr;
};

QTEST_MAIN(TEditFlowGridFormTest)
#include "edit_flow_grid_form_test.moc"
