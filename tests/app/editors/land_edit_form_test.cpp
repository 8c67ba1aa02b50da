// The landscape editor driven through its controls: what it shows, the generators against
// the core on a copy of the model, the capacity and probability fields, painting with the
// mouse, images, a new landscape and the background image of the flow grid editor.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "abundance_chart.h"
#include "app_test_support.h"
#include "editors/capacity_chart.h"
#include "editors/edit_flow_grid_form.h"
#include "editors/flow_chart.h"
#include "editors/land_edit_form.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "main_form.h"
#include "model/model.h"
#include "program.h"
#include "step_runner.h"

using namespace marovi;
using namespace marovi::app;
using namespace marovi::apptest;

namespace {

QLineEdit* Field(QWidget* form, const char* name) { return Child<QLineEdit>(form, name); }

// Typing replaces the text key by key, as a user selecting it and typing would.
void Type(QWidget* form, const char* name, const QString& text)
{
    QLineEdit* edit = Field(form, name);
    QVERIFY2(edit, name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Leaving a field after typing, as tabbing out of it does.
void Leave(QWidget* form, const char* name, const QString& text)
{
    SetText(form, name, text);
    emit Field(form, name)->editingFinished();
}

std::vector<int32_t> Capacities(const Model& m)
{
    std::vector<int32_t> c;
    for (const TCell& cell : m.Cells) c.push_back(cell.Capacity);
    return c;
}

// Drags a rectangle on the chart from the centre of one cell to the centre of another.
void Drag(TCapacityChart* chart, QPoint from, QPoint to)
{
    const QPoint a = chart->CellCentre(from.x(), from.y()).toPoint(), b = chart->CellCentre(to.x(), to.y()).toPoint();
    QTest::mousePress(chart, Qt::LeftButton, {}, a);
    QTest::mouseMove(chart, (a + b) / 2);
    QTest::mouseMove(chart, b);
    QTest::mouseRelease(chart, Qt::LeftButton, {}, b);
}

} // namespace

class TLandEditFormTest : public QObject {
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
        ClickButton(program_->MainForm.get(), "LandscapeEditorButton");
        form_ = program_->LandEditForm;
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        program_->Runner->WaitIdle();
    }

    void cleanup() { program_.reset(); }

    void showsTheLandscapeAndItsParameters()
    {
        Model& m = program_->Simulation;
        QCOMPARE(Field(form_, "XdimEdit")->text(), QStringLiteral("12"));
        QCOMPARE(Field(form_, "ydimEdit")->text(), QStringLiteral("8"));
        QCOMPARE(Field(form_, "HiCEdit")->text(), QStringLiteral("10"));
        QCOMPARE(Field(form_, "pLoEdit")->text(), QStringLiteral("0.5"));
        QCOMPARE(Field(form_, "setCEdit")->text(), QStringLiteral("0"));
        QCOMPARE(Field(form_, "HiCEdit")->toolTip(), QStringLiteral("individuals a high capacity cell can support "));
        QVERIFY(Child<QCheckBox>(form_, "periodicBoundaryCheckBox")->isChecked());
        const QImage& cells = form_->Chart()->Cells();
        QCOMPARE(cells.size(), QSize(12, 8));
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 8; ++y)
                QCOMPARE(cells.pixel(x, 7 - y) & 0xFFFFFFu, CapacityColour(m, m.Cell(x, y).Capacity));
        form_->activateWindow();
        QVERIFY(WaitFor([&] { return form_->windowTitle() == QStringLiteral("file -not saved-"); }, 2000));
    }

    void generatorsGiveWhatTheCoreGives()
    {
        Model& m = program_->Simulation;
        m.HighCapacityProb = 0.3;
        Model expected = m;
        RandomLandscape(expected, 0.3);
        ClickButton(form_, "randomButton");
        program_->Runner->WaitIdle();
        QCOMPARE(Capacities(m), Capacities(expected));
        for (bool discrete : {true, false}) {
            Child<QCheckBox>(form_, "contineousCheckBox")->setChecked(discrete);
            FractalLandscape(expected, 10, 5, discrete, 0.3);
            ClickButton(form_, "fraktButton");
            program_->Runner->WaitIdle();
            QCOMPARE(Capacities(m), Capacities(expected));
        }
        QCOMPARE(form_->Chart()->Cells().pixel(0, 7) & 0xFFFFFFu, CapacityColour(m, m.Cell(0, 0).Capacity));
    }

    void capacityFieldsTakeWhatIsCommittedAndRestoreARefusal()
    {
        Model& m = program_->Simulation;
        TModalResponder responder;
        Type(form_, "HiCEdit", QStringLiteral("")); // cleared to retype: no message
        Type(form_, "HiCEdit", QStringLiteral("150"));
        QCOMPARE(m.HighCapacity, 10); // typing alone takes nothing
        QVERIFY(responder.Boxes.empty());
        QTest::keyClick(Field(form_, "HiCEdit"), Qt::Key_Return);
        QCOMPARE(m.HighCapacity, 10);
        QCOMPARE(Field(form_, "HiCEdit")->text(), QStringLiteral("10"));
        Type(form_, "HiCEdit", QStringLiteral("20"));
        QTest::keyClick(Field(form_, "HiCEdit"), Qt::Key_Return);
        QCOMPARE(m.HighCapacity, 20);
        Leave(form_, "LoCEdit", QStringLiteral("x"));
        QCOMPARE(m.LowCapacity, 5);
        QCOMPARE(Field(form_, "LoCEdit")->text(), QStringLiteral("5"));
        QCOMPARE(responder.Boxes.size(), size_t{2});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"high capacity\": a cell holds 0 to 100 individuals: 150 is not a capacity"));
        QCOMPARE(responder.Boxes[1].Text, QStringLiteral("\"low capacity\": 'x' is not a valid integer value"));
    }

    void probabilityFieldsApplyOrRevert()
    {
        Model& m = program_->Simulation;
        TModalResponder responder;
        Leave(form_, "pHiEdit", QStringLiteral("0.25"));
        QCOMPARE(m.HighCapacityProb, 0.25);
        QCOMPARE(Field(form_, "pLoEdit")->text(), QStringLiteral("0.75"));
        Leave(form_, "pLoEdit", QStringLiteral("0.6"));
        QCOMPARE(m.HighCapacityProb, 0.4);
        QCOMPARE(Field(form_, "pHiEdit")->text(), QStringLiteral("0.4"));
        for (const char* field : {"pHiEdit", "pLoEdit"}) {
            Leave(form_, field, QStringLiteral("1.5"));
            QCOMPARE(m.HighCapacityProb, 0.4);
            QCOMPARE(Field(form_, "pHiEdit")->text(), QStringLiteral("0.4"));
            QCOMPARE(Field(form_, "pLoEdit")->text(), QStringLiteral("0.6"));
        }
        QVERIFY(responder.Boxes.empty());
        Leave(form_, "pHiEdit", QStringLiteral("half"));
        QCOMPARE(m.HighCapacityProb, 0.4);
        QCOMPARE(Field(form_, "pHiEdit")->text(), QStringLiteral("0.4"));
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"p(HI)\": 'half' is not a valid floating point value"));
    }

    void paintingCoversTheSameRectangleInEveryDirection()
    {
        Model& m = program_->Simulation;
        TCapacityChart* chart = form_->Chart();
        const QPoint corners[][2] = {{{2, 1}, {4, 3}}, {{4, 3}, {2, 1}}, {{4, 1}, {2, 3}}, {{2, 3}, {4, 1}}};
        for (const auto& corner : corners) {
            for (TCell& c : m.Cells) c.Capacity = 5;
            SetText(form_, "setCEdit", QStringLiteral("7"));
            ClickButton(form_, "MouseButton");
            QVERIFY(chart->PaintingArmed());
            Drag(chart, corner[0], corner[1]);
            QVERIFY(!chart->PaintingArmed());
            for (int x = 0; x < 12; ++x)
                for (int y = 0; y < 8; ++y) {
                    const bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 3;
                    QCOMPARE(m.Cell(x, y).Capacity, inside ? 7 : 5);
                }
            QCOMPARE(chart->Cells().pixel(3, 7 - 2) & 0xFFFFFFu, CapacityColour(m, 7));
        }
        Drag(chart, {0, 0}, {1, 1}); // not armed: nothing
        QCOMPARE(m.Cell(0, 0).Capacity, 5);

        // 0 leaves the colour scale, 20 becomes its brightest red; beyond 100 is refused.
        TModalResponder responder;
        for (const char* value : {"0", "20", "101"}) {
            SetText(form_, "setCEdit", QString::fromLatin1(value));
            ClickButton(form_, "MouseButton");
            Drag(chart, {0, 0}, {0, 0});
        }
        QCOMPARE(m.CapacityScaleMin, 5);
        QCOMPARE(m.CapacityScaleMax, 20);
        QCOMPARE(m.Cell(0, 0).Capacity, 20);
        QCOMPARE(chart->Cells().pixel(0, 7) & 0xFFFFFFu, 200u << 16);
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Text, QStringLiteral("\"set capacity\": a cell holds 0 to 100 individuals: 101 is not a capacity"));
    }

    void imageGreyValuesBecomeCapacities()
    {
        Model& m = program_->Simulation;
        QImage image(3, 2, QImage::Format_RGB32);
        const QRgb pixels[] = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255),
                               qRgb(40, 200, 10), qRgb(230, 230, 230), qRgb(90, 60, 30)};
        TGreyImage grey{3, 2, {}};
        for (int i = 0; i < 6; ++i) {
            image.setPixel(i % 3, i / 3, pixels[i]);
            grey.Pixels.push_back(pixels[i] & 0xFFFFFFu);
        }
        const QString path = dir_.filePath(QStringLiteral("landscape.png"));
        QVERIFY(image.save(path));
        Model expected = m;
        LandscapeFromImage(expected, grey);
        TModalResponder responder;
        responder.FileNames << path;
        ClickButton(form_, "loadButton");
        program_->Runner->WaitIdle();
        QCOMPARE(Capacities(m), Capacities(expected));

        // A file that is no image: the landscape stays.
        const QString broken = dir_.filePath(QStringLiteral("broken.bmp"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM not really");
        file.close();
        responder.FileNames << broken;
        ClickButton(form_, "loadButton");
        program_->Runner->WaitIdle();
        QCOMPARE(Capacities(m), Capacities(expected));
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QVERIFY(responder.Boxes[0].Text.startsWith(QStringLiteral("could not read the image ") + broken));
    }

    void newLandscapeAsksThenReplacesTheGrid()
    {
        Model& m = program_->Simulation;
        ClickButton(program_->MainForm.get(), "InitButton1");
        SingleStep(*program_);
        const std::vector<int32_t> before = Capacities(m);
        TModalResponder responder;
        responder.Answer = QMessageBox::Cancel;
        SetText(form_, "XdimEdit", QStringLiteral("6"));
        SetText(form_, "ydimEdit", QStringLiteral("4"));
        ClickButton(form_, "NewButton");
        QCOMPARE(m.XDim, 12);
        QVERIFY(!StatusLines(program_->MainForm.get()).isEmpty());
        QCOMPARE(responder.Boxes.size(), size_t{1});
        QCOMPARE(responder.Boxes[0].Title, QStringLiteral("Caution"));
        QCOMPARE(responder.Boxes[0].Text,
                 QStringLiteral("The following simulation data will be lost:\n\n- population data\n- landscape\n"
                                "- disturbance definition\n\nThe species definition is not influenced!\n\nProceed?"));

        // Bad sizes stop after the records were cleared, before the grid changes.
        responder.Answer = QMessageBox::Ok;
        for (const char* x : {"six", "0"}) {
            SetText(form_, "XdimEdit", QString::fromLatin1(x));
            ClickButton(form_, "NewButton");
            QCOMPARE(m.XDim, 12);
            QCOMPARE(Capacities(m), before);
        }
        QVERIFY(StatusLines(program_->MainForm.get()).isEmpty());
        QCOMPARE(responder.Boxes.size(), size_t{5});
        QCOMPARE(responder.Boxes[2].Text, QStringLiteral("'six' is not a valid integer value"));
        QCOMPARE(responder.Boxes[4].Text, QStringLiteral("a landscape needs at least one cell in x and in y, not 0 x 4"));

        NewFlowGrid(m.FlowGrid, 3, 3, 0.0, 0.0, 2.0);
        program_->MainForm->Chart()->AddPoint(9, TSpeciesCounts{}, 0.0);
        SetText(form_, "XdimEdit", QStringLiteral("6"));
        ClickButton(form_, "NewButton");
        program_->Runner->WaitIdle();
        QCOMPARE(m.XDim, 6);
        QCOMPARE(m.YDim, 4);
        QCOMPARE(Capacities(m), std::vector<int32_t>(24, 0));
        QCOMPARE(m.FlowGrid.XCount, 1);
        QCOMPARE(m.FlowGrid.Cell(0, 0).Speed, 1.0);
        QVERIFY(program_->MainForm->Chart()->Points(0).isEmpty());
        QCOMPARE(form_->Chart()->Cells().size(), QSize(6, 4));
    }

    void flowGridButtonHandsTheLandscapeOverAndOpensTheFlowEditor()
    {
        Model& m = program_->Simulation;
        Child<QCheckBox>(form_, "periodicBoundaryCheckBox")->click();
        QVERIFY(!m.Torus);
        ClickButton(form_, "EditFlowGridButton");
        program_->Runner->WaitIdle();
        QVERIFY(!QFile::exists(QStringLiteral("mapbkgrd.bmp"))); // no stray file in the working directory
        const QImage background = program_->EditFlowGridForm->Chart()->Background();
        QCOMPARE(background.size(), QSize(12, 8));
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 8; ++y) QCOMPARE(background.pixel(x, 7 - y) & 0xFFFFFFu, CapacityColour(m, m.Cell(x, y).Capacity));
        QVERIFY(program_->EditFlowGridForm->isVisible());

        // A double click saves the chart as SVG.
        TModalResponder responder;
        const QString svg = dir_.filePath(QStringLiteral("landscape.svg"));
        responder.FileNames << svg;
        QTest::mouseDClick(form_->Chart(), Qt::LeftButton, {}, QPoint(50, 50));
        QFile saved(svg);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("<svg"));
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TProgram> program_;
    TLandEditForm* form_ = nullptr;
};

QTEST_MAIN(TLandEditFormTest)
#include "land_edit_form_test.moc"
