// The landscape view, its cell editor and the region of interest through their controls:
// view rectangle, clicks on cells and individuals, the grey background, transect picking,
// snapshots, colours against marovi-cli, God mode and the region's curves.
#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <map>
#include <utility>

#include "app_test_support.h"
#include "disturbance/disturbance.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"
#include "view/cell_info.h"
#include "view/god_mode_form.h"
#include "view/landscape_view.h"
#include "view/roi_form.h"
#include "widgets/map_chart.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

// A new simulation on a small grid with the view shown.
std::unique_ptr<TProgram> ShownView(int xdim = 12, int ydim = 12)
{
    auto p = MakeProgram(xdim, ydim);
    ClickButton(p->MainForm.get(), "InitButton1");
    p->Runner->WaitIdle();
    ClickButton(p->MainForm.get(), "ShowSimulationButton");
    p->Runner->WaitIdle();
    return p;
}

TMapChart* Chart(TProgram& p) { return Child<TMapChart>(p.Visulaize, "Chart1"); }

// A click on the centre of cell (x, y) of the map.
void ClickCell(TProgram& p, int x, int y, Qt::MouseButton button = Qt::MiddleButton)
{
    const QPoint at = Chart(p)->PixelOf(QPointF(x + 0.5, y + 0.5)).toPoint();
    QTest::mouseClick(Chart(p), button, {}, at);
    p.Runner->WaitIdle();
}

void Check(TProgram& p, QObject* parent, const char* name)
{
    auto* button = Child<QAbstractButton>(parent, name);
    QVERIFY2(button, name);
    button->click();
    p.Runner->WaitIdle();
}

} // namespace

class TLandscapeViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void viewAllOnAnOblongGridAndTheCaption()
    {
        auto p = ShownView(100, 60);
        ClickButton(p->Visulaize, "ZoomInButton");
        p->Runner->WaitIdle();
        QCOMPARE(p->Visulaize->ViewRect().X1, 50);
        ClickButton(p->Visulaize, "viewallButton");
        p->Runner->WaitIdle();
        const TViewRect r = p->Visulaize->ViewRect();
        QCOMPARE(QList<int>({r.X0, r.Y0, r.X1, r.Y1}), QList<int>({0, 0, 99, 59}));
        QCOMPARE(Chart(*p)->BottomAxis().Max, 100.0);
        QCOMPARE(Chart(*p)->LeftAxis().Max, 60.0);
        QCOMPARE(p->Visulaize->windowTitle(), QStringLiteral("MAROVI timestep 0        (00/00000 month/year) file -not saved-"));
    }

    void middleClickTellsOfTheCell()
    {
        auto p = ShownView();
        TModalResponder responder;
        ClickCell(*p, 3, 4, Qt::LeftButton); // only the middle button asks
        ClickCell(*p, 3, 4);
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text, QString::fromStdString(CellInfoText(p->Simulation, 3, 4)));
        // Shift + left click for a pointer without a middle button; with a double click it
        // is the bitmap copy alone.
        const QPoint at = Chart(*p)->PixelOf(QPointF(3.5, 4.5)).toPoint();
        QTest::mouseClick(Chart(*p), Qt::LeftButton, Qt::ShiftModifier, at);
        QVERIFY(WaitFor([&] { return responder.Boxes.size() == 2; }, 5000));
        QCOMPARE(responder.Boxes[1].Text, responder.Boxes[0].Text);
        QApplication::clipboard()->clear();
        QTest::mouseDClick(Chart(*p), Qt::LeftButton, Qt::ShiftModifier, at);
        QTest::qWait(QApplication::doubleClickInterval() + 200);
        QCOMPARE(responder.Boxes.size(), size_t{2});
        QVERIFY(!QApplication::clipboard()->image().isNull());
    }

    void arrowsPointToTheCellsTheyShow()
    {
        auto p = ShownView();
        ClickButton(p->Visulaize, "ZoomInButton");
        p->Runner->WaitIdle();
        const std::map<QString, QPoint> ways{{QStringLiteral("\u25B2"), {0, 1}}, {QStringLiteral("\u25B6"), {1, 0}},
                                             {QStringLiteral("\u25BC"), {0, -1}}, {QStringLiteral("\u25C0"), {-1, 0}}};
        for (const char* name : {"BitBtn5", "BitBtn1", "BitBtn4", "BitBtn3"}) { // away from the corner and back
            const TViewRect before = p->Visulaize->ViewRect();
            auto* arrow = Child<QPushButton>(p->Visulaize, name);
            ClickButton(p->Visulaize, name);
            p->Runner->WaitIdle();
            const TViewRect after = p->Visulaize->ViewRect();
            const QPoint moved((after.X0 > before.X0) - (after.X0 < before.X0), (after.Y0 > before.Y0) - (after.Y0 < before.Y0));
            QCOMPARE(moved, ways.at(arrow->text()));
        }
    }

    void cellBordersShowFromTwoPixelsACell()
    {
        auto p = ShownView(100, 100);
        p->Visulaize->resize(620, 660); // a map of about 300 pixels
        p->Runner->WaitIdle();
        QTest::qWait(50);
        const double cell = Chart(*p)->PlotRect().width() / 100.0;
        QVERIFY2(cell >= 2 && cell < 4, qPrintable(QString::number(cell)));
        auto* borders = Child<QCheckBox>(p->Visulaize, "BorderCheckBox");
        QVERIFY(borders->isChecked());
        QVERIFY(DrawnPixels(Chart(*p), [&] { borders->click(); }, [&] { borders->click(); }).size() > 1000);
    }

    void redrawsAskedForDuringTheDelayMergeIntoOne()
    {
        auto p = ShownView();
        Child<QSlider>(p->Visulaize, "TrackBar1")->setValue(100); // "slow": a second before each redraw
        Check(*p, p->Visulaize, "disturbanceRadioButton");
        auto* age = Child<QSlider>(p->Visulaize, "DistAgeBar");
        for (int i = 0; i < 20; ++i) QTest::keyClick(age, Qt::Key_Right);
        QCOMPARE(age->value(), 320);
        TModalResponder responder;
        QTest::mouseClick(Chart(*p), Qt::MiddleButton, {}, Chart(*p)->PixelOf(QPointF(3.5, 4.5)).toPoint());
        // Twenty queued redraws would keep the answer back for twenty seconds.
        QVERIFY(WaitFor([&] { return !responder.Boxes.empty(); }, 5000));
        QCOMPARE(p->Visulaize->MaxDisturbanceAge(), 320);
    }

    void clickOnAnIndividualTellsOfIt()
    {
        auto p = ShownView();
        Check(*p, p->Visulaize, "ShowSpeciesCheckBox");
        ClickButton(p->Visulaize, "ZoomInButton");
        p->Runner->WaitIdle();
        const std::vector<TMapDisc>& discs = Chart(*p)->Frame().Discs;
        QVERIFY(!discs.empty());
        const TMapDisc d = discs.back();
        TModalResponder responder;
        QTest::mouseClick(Chart(*p), Qt::LeftButton, {}, Chart(*p)->PixelOf(QPointF(d.X, d.Y)).toPoint());
        p->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text, QString::fromStdString(IndividualInfoText(p->Simulation, d.X, d.Y)));
        QVERIFY(responder.Boxes[0].Text.contains(QStringLiteral("\rIndividual ")));
    }

    void greyBackgroundRules()
    {
        auto p = ShownView();
        TVisulaize* v = p->Visulaize;
        auto* borders = Child<QCheckBox>(v, "BorderCheckBox");
        {
            TModalResponder responder;
            Check(*p, v, "BackgroundCheckBox");
            QCOMPARE(responder.Boxes.size(), size_t{1});
            QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Caution"));
            QCOMPARE(responder.Boxes[0].Text,
                     QStringLiteral("You might not be able to pan and scroll with the mouse!\rUse the buttons on the right instead!"));
        }
        QVERIFY(!borders->isEnabled());
        QVERIFY(!borders->isChecked());
        QVERIFY(!Chart(*p)->CellBorders());
        QVERIFY(Chart(*p)->Frame().CellsDrawn); // other modes still colour every cell
        Check(*p, v, "noneRadioButton");
        QVERIFY(!Chart(*p)->Frame().CellsDrawn);
        Check(*p, v, "BackgroundCheckBox");
        QVERIFY(Chart(*p)->Frame().CellsDrawn);
        QVERIFY(borders->isEnabled());
        QVERIFY(!borders->isChecked()); // the borders stay off until asked for
    }

    void coloursAsTheRunnerMapsThem()
    {
        auto p = ShownView(20, 16);
        for (int i = 0; i < 5; ++i) SingleStep(*p);
        TVisulaize* v = p->Visulaize;
        Child<QComboBox>(v, "ComboBox1")->setCurrentIndex(2); // also chooses "abundance"
        p->Runner->WaitIdle();
        QVERIFY(Child<QAbstractButton>(v, "SingleSpeciesRadioButton")->isChecked());
        const QString file = dir_.filePath(QStringLiteral("colours.mgf"));
        QVERIFY(ClickSave(*p, file));
        const QString bmp = dir_.filePath(QStringLiteral("colours.bmp"));
        const QStringList out = RunCli({QStringLiteral("map"), file, QStringLiteral("--mode"), QStringLiteral("abundance"),
                                        QStringLiteral("--species"), QStringLiteral("3"), QStringLiteral("--out"), bmp});
        QVERIFY2(out.isEmpty(), qPrintable(out.join(QLatin1Char('\n'))));
        const QImage image(bmp);
        QCOMPARE(image.size(), QSize(20, 16));
        const TMapFrame& f = Chart(*p)->Frame();
        QCOMPARE(f.Columns(), 20);
        QCOMPARE(f.Rows(), 16);
        for (int x = 0; x < f.Columns(); ++x)
            for (int y = 0; y < f.Rows(); ++y)
                QCOMPARE(f.CellColours[static_cast<size_t>(x * f.Rows() + y)], image.pixel(x, f.Rows() - 1 - y) & 0xFFFFFFu);
    }

    void transectPickedWithTwoMiddleClicks()
    {
        auto p = ShownView();
        TVisulaize* v = p->Visulaize;
        QSignalSpy picked(v, &TVisulaize::RovPicked);
        QSignalSpy cancelled(v, &TVisulaize::RovPickCancelled);
        v->StartRovPick();
        TModalResponder responder;
        ClickCell(*p, 1, 2);
        QVERIFY(v->SelectingRovEnd());
        ClickCell(*p, 9, 6);
        QCOMPARE(responder.Boxes.size(), size_t{2});
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("attention"));
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("now select endpoint of ROV transect!"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("ROV transect complete!"));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(v->RovStart(), QPoint(1, 2));
        QCOMPARE(v->RovEnd(), QPoint(9, 6));
        QVERIFY(!v->RovPickActive());
        // Hiding the view ends a pick without a result.
        v->StartRovPick();
        v->hide();
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!v->RovPickActive());
    }

    void snapshotNames()
    {
        auto p = ShownView();
        TVisulaize* v = p->Visulaize;
        QTemporaryDir out;
        Child<QLineEdit>(v, "PovDirEdit")->setText(out.path() + QLatin1Char('/'));
        Child<QLineEdit>(v, "PovFileEdit")->setText(QStringLiteral("frame"));
        ClickButton(v, "BMPOutButton");
        p->Runner->WaitIdle();
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("frame000000.BMP"))));
        for (const char* box : {"BMPCheckBox", "WMFCheckBox", "autoPOVSave"}) Check(*p, v, box);
        SingleStep(*p);
        for (const char* name : {"frame000001.bmp", "frame000001.svg", "frame000001.pov", "camdef.inc", "MAROVIColors.inc"})
            QVERIFY2(QFile::exists(out.filePath(QString::fromLatin1(name))), name);
        QFile bitmap(out.filePath(QStringLiteral("frame000001.bmp")));
        QVERIFY(bitmap.open(QIODevice::ReadOnly));
        QCOMPARE(bitmap.read(2), QByteArray("BM"));
        QFile svg(out.filePath(QStringLiteral("frame000001.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }

    void godModePutKillEditClear()
    {
        auto p = ShownView();
        TVisulaize* v = p->Visulaize;
        TGodModeForm* g = p->GodModeForm;
        TModalResponder responder;
        auto* godMode = Child<QPushButton>(v, "GoodModeButton");
        ClickButton(v, "GoodModeButton");
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("God-Mode is on"));
        QVERIFY(godMode->isChecked());
        ClickCell(*p, 2, 3);
        QVERIFY(g->isVisible());
        QCOMPARE(g->windowTitle(), QStringLiteral("Your are God; edit cell [2,3]"));
        auto* cellList = Child<QListWidget>(g, "CellIndiListBox");
        auto* pool = Child<QListWidget>(g, "SpeciesPoolListBox");
        const TCell& cell = p->Simulation.Cell(2, 3);
        QCOMPARE(cellList->count(), cell.IndividualCount);

        ClickButton(g, "ClearCellButton");
        p->Runner->WaitIdle();
        QCOMPARE(cellList->count(), 0);
        const size_t before = responder.Boxes.size();
        ClickButton(g, "CreateButton");
        ClickButton(g, "KillButton");
        ClickButton(g, "EditButton");
        p->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), before + 3);
        QCOMPARE(responder.Boxes[before].Text, QStringLiteral("please select species!"));
        QCOMPARE(responder.Boxes[before + 1].Text, QStringLiteral("please select indivdual to kill!"));
        QCOMPARE(responder.Boxes[before + 2].Text, QStringLiteral("please select indivdual to edit!"));

        pool->setCurrentRow(1);
        for (int i = 0; i < cell.Capacity; ++i) ClickButton(g, "CreateButton");
        p->Runner->WaitIdle();
        QCOMPARE(cell.IndividualCount, cell.Capacity);
        ClickButton(g, "CreateButton");
        p->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("no more room in this cell!"));
        QCOMPARE(cell.IndividualCount, cell.Capacity);

        cellList->setCurrentRow(0);
        ClickButton(g, "EditButton");
        p->Runner->WaitIdle();
        QVERIFY(Child<QLabel>(g, "Label1")->text().startsWith(QStringLiteral("Indiviudal 0 is Species 02 ")));
        Child<QLineEdit>(g, "AgeEdit")->setText(QStringLiteral("77"));
        ClickButton(g, "updateButton");
        p->Runner->WaitIdle();
        QCOMPARE(cell.Individuals[0].Age, 77);
        QVERIFY(cellList->item(0)->text().contains(QStringLiteral(",   77, ")));

        cellList->setCurrentRow(0);
        ClickButton(g, "KillButton");
        p->Runner->WaitIdle();
        QCOMPARE(cell.IndividualCount, cell.Capacity - 1);
        QCOMPARE(Child<QLabel>(g, "Label1")->text(), QStringLiteral("none selected"));
        QCOMPARE(cellList->item(0)->text().left(3), QStringLiteral(" 1:")); // renumbered

        ClickButton(v, "GoodModeButton");
        QCOMPARE(responder.Boxes.back().Text, QStringLiteral("God-Mode is off"));
        QVERIFY(!godMode->isChecked());
        // A new simulation ends God mode, and the button shows it.
        ClickButton(v, "GoodModeButton");
        ClickButton(p->MainForm.get(), "InitButton1");
        p->Runner->WaitIdle();
        QVERIFY(!v->GodMode());
        QVERIFY(!godMode->isChecked());
    }

    void godModeFollowsTheEditedIndividualAcrossATimeStep()
    {
        auto p = ShownView();
        Model& m = p->Simulation;
        TGodModeForm* g = p->GodModeForm;
        TModalResponder responder;
        ClickButton(p->Visulaize, "GoodModeButton");
        ClickCell(*p, 2, 3);
        ClickButton(g, "ClearCellButton");
        auto* pool = Child<QListWidget>(g, "SpeciesPoolListBox");
        for (int species : {0, 1}) {
            pool->setCurrentRow(species);
            ClickButton(g, "CreateButton");
        }
        p->Runner->WaitIdle();
        m.SpeciesPool[0].DeathProb[0] = 1; // the first of the cell dies in the next step
        m.SpeciesPool[1].DeathProb[0] = 0;
        Child<QListWidget>(g, "CellIndiListBox")->setCurrentRow(1);
        ClickButton(g, "EditButton");
        p->Runner->WaitIdle();
        apptest::SingleStep(*p);
        QVERIFY(WaitFor([&] { return g->EditedIndex() == 0; }, 2000));
        QVERIFY(Child<QLabel>(g, "Label1")->text().startsWith(QStringLiteral("Indiviudal 0 is Species 02 ")));
        Child<QLineEdit>(g, "AgeEdit")->setText(QStringLiteral("44"));
        ClickButton(g, "updateButton");
        p->Runner->WaitIdle();
        const TCell& cell = m.Cell(2, 3);
        QCOMPARE(cell.Individuals[0].Species, 1);
        QCOMPARE(cell.Individuals[0].Age, 44);
        for (size_t i = 1; i < cell.Individuals.size(); ++i) QVERIFY(cell.Individuals[i].Age != 44);

        m.SpeciesPool[1].DeathProb[0] = 1; // now it dies too: the fields let it go
        apptest::SingleStep(*p);
        QVERIFY(WaitFor([&] { return Child<QLabel>(g, "Label1")->text() == QStringLiteral("none selected"); }, 2000));
        QCOMPARE(Child<QLineEdit>(g, "AgeEdit")->text(), QStringLiteral("---"));
    }

    void extraDisturbanceSaysWhyItCanNotBeHad()
    {
        auto p = ShownView();
        TModalResponder responder;
        ClickButton(p->Visulaize, "ExtraDistButton");
        p->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text,
                 QStringLiteral("there is no disturbance definition to force: define one in \"disturbances\" first!"));
        QVERIFY(!p->Simulation.ExtraDisturbanceRequested);
        AddStandardDisturbance(p->Simulation);
        ClickButton(p->Visulaize, "ExtraDistButton");
        p->Runner->WaitIdle();
        QVERIFY(p->Simulation.ExtraDisturbanceRequested);
        QCOMPARE(responder.Boxes.size(), size_t{1});
    }

    void regionOfInterestDefineUpdateClearDisturbReset()
    {
        auto p = ShownView();
        TVisulaize* v = p->Visulaize;
        TROIForm* roi = p->ROIForm;
        ClickButton(v, "ZoomInButton");
        p->Runner->WaitIdle();
        ClickButton(v, "ROIButton");
        p->Runner->WaitIdle();
        QVERIFY(roi->RoiActive() && roi->isVisible());
        QCOMPARE(QList<int>({roi->RoiX0(), roi->RoiY0(), roi->RoiX1(), roi->RoiY1()}), QList<int>({0, 0, 6, 6}));
        for (auto [chart, value] : {std::pair(roi->AbsoluteChart(), "individuals"), std::pair(roi->RelativeChart(), "share")}) {
            QCOMPARE(chart->axes(Qt::Horizontal).at(0)->titleText(), QStringLiteral("time step"));
            QCOMPARE(chart->axes(Qt::Vertical).at(0)->titleText(), QString::fromLatin1(value));
            QVERIFY(chart->legend()->isVisible());
        }
        const auto series = [&](QChart* chart) { return chart->series(); };
        QCOMPARE(series(roi->AbsoluteChart()).size(), p->Simulation.SpeciesMax + 1);
        auto* first = static_cast<QLineSeries*>(series(roi->AbsoluteChart()).at(0));
        QCOMPARE(first->count(), 1);
        SingleStep(*p);
        QCOMPARE(first->count(), 2);
        QCOMPARE(first->at(1).x(), 1.0);
        const auto* time = static_cast<QValueAxis*>(roi->AbsoluteChart()->axes(Qt::Horizontal).at(0));
        QCOMPARE(time->tickType() == QValueAxis::TicksDynamic ? time->tickInterval() : 0.0, 1.0); // whole steps

        ClickButton(roi, "ClearButton");
        p->Runner->WaitIdle();
        QCOMPARE(first->count(), 0);

        ClickButton(roi, "DisturbButton");
        SingleStep(*p);
        for (int x = 0; x <= 6; ++x)
            for (int y = 0; y <= 6; ++y) QCOMPARE(p->Simulation.Cell(x, y).IndividualCount, 0);
        QVERIFY(p->Simulation.Cell(7, 7).IndividualCount > 0);

        TModalResponder responder;
        responder.Answer = QMessageBox::Yes;
        ClickButton(roi, "ResetButton");
        p->Runner->WaitIdle();
        QCOMPARE(responder.Boxes.at(0).Title, QStringLiteral("realy?"));
        QCOMPARE(responder.Boxes.at(0).Text, QStringLiteral("reset ROI and close window?"));
        QVERIFY(!roi->RoiActive());
        QVERIFY(!roi->isVisible());
    }

private:
    // "save simulation" through its dialog.
    static bool ClickSave(TProgram& p, const QString& file)
    {
        TModalResponder responder;
        responder.FileNames << file;
        ClickButton(p.MainForm.get(), "saveButton");
        p.Runner->WaitIdle();
        return QFile::exists(file);
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(TLandscapeViewTest)
#include "landscape_view_test.moc"
