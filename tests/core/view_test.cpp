// The landscape view's computations: view rectangle, frame, cell and individual texts,
// the cell editor, caption and snapshot names.
#include <gtest/gtest.h>

#include "model/grid.h"
#include "model/life_history.h"
#include "test_support.h"
#include "util/format.h"
#include "view/cell_editor.h"
#include "view/cell_info.h"
#include "view/map_frame.h"
#include "view/view_texts.h"
#include "view/view_window.h"

using namespace marovi;
using test::MakeModel;
using test::Place;

namespace {

void ExpectRect(const TViewRect& r, int x0, int y0, int x1, int y1)
{
    EXPECT_EQ(r.X0, x0);
    EXPECT_EQ(r.Y0, y0);
    EXPECT_EQ(r.X1, x1);
    EXPECT_EQ(r.Y1, y1);
}

} // namespace

TEST(ViewWindow, InvertedBoundsWidenThenSquare)
{
    Model m = MakeModel(100, 100, 2, 10);
    // leftMax below leftMin: one row, then as high as it is wide.
    ExpectRect(ViewRectFromAxes(m, 5, 30.7, 10, 20.2), 20, 10, 30, 20);
}

TEST(ViewWindow, SquaringIsCutAtTheGridsEdge)
{
    Model m = MakeModel(100, 60, 2, 10);
    // "view all" asks for the grid's dimensions: 100 rows are cut at YMax.
    ExpectRect(ViewRectFromAxes(m, m.YDim, m.XDim, 0, 0), 0, 0, 99, 59);
    ExpectRect(ViewRectFromAxes(m, 59, 40, 50, 0), 0, 50, 40, 59);
    // Negative minima start at the grid.
    ExpectRect(ViewRectFromAxes(m, 10, 10, -5, -5), 0, 0, 10, 10);
}

TEST(MapFrame, GreyBackgroundSizeThresholdAndDrawingOrder)
{
    Model m = MakeModel(3, 3, 2, 10);
    m.MinSize = 0.2;
    Place(m, 0, 0, 1, 5).Size = 0.5;
    Place(m, 0, 0, 1, 5).Size = 0.2; // not larger than MinSize: not drawn
    Place(m, 2, 1, 0, 5).Size = 0.9;
    TMapFrameRequest r;
    r.Rect = {0, 0, 2, 2};
    r.Mode = TDisplayMode::None;
    r.GrayBackground = false;
    r.Individuals = true;
    TMapFrame f;
    BuildMapFrame(m, r, f);
    EXPECT_FALSE(f.CellsDrawn);
    EXPECT_TRUE(f.CellColours.empty());
    // Species by species, as series are drawn: species 0 first although its cell comes later.
    ASSERT_EQ(f.Discs.size(), 2u);
    EXPECT_DOUBLE_EQ(f.Discs[0].X, 2.0);
    EXPECT_DOUBLE_EQ(f.Discs[0].Y, 1.0);
    EXPECT_DOUBLE_EQ(f.Discs[0].Radius, 0.9 / 10 * m.BubbleScale);
    EXPECT_EQ(f.Discs[1].Colour, m.SpeciesColor[1]);

    r.GrayBackground = true;
    r.Individuals = false;
    r.Rect = {1, 0, 2, 1};
    BuildMapFrame(m, r, f);
    EXPECT_TRUE(f.CellsDrawn);
    EXPECT_EQ(f.CellColours, std::vector<uint32_t>(4, 0xC0C0C0u));
    EXPECT_TRUE(f.Discs.empty());
}

TEST(CellInfo, CellText)
{
    Model m = MakeModel(4, 4, 2, 10);
    m.MinSize = 0.3;
    TCell& c = m.Cell(1, 2);
    Place(m, 1, 2, 1, 5).Size = 0.25; // below MinSize: not in the area
    Place(m, 1, 2, 1, 5).Size = 0.5;
    Place(m, 1, 2, 0, 5).Size = 0.3;
    c.DisturbanceCount = 3;
    c.CellAge = 17;
    c.Substrate = 0x101; // only the low byte is shown
    m.PrevLarvaeAt(1, 2)[0] = 12;
    EXPECT_EQ(CellInfoText(m, 1, 2), "Data of 1 2\r3 individuals\r10 capacity\r3 total disturbances\rlast disturbance 17 \r"
                                     "\rspecies count (larvae)\r01:    001 (012)\r02:    002 (000)\r"
                                     "\rSubstrate $01\r[10000000]\r\rSum of Area :  0.80");
}

TEST(CellInfo, IndividualTextNamesEveryIndividualAtThePosition)
{
    Model m = MakeModel(12, 12, 2, 10);
    Place(m, 11, 3, 0, 5);
    TIndividual& ind = Place(m, 11, 3, 1, 7, 6); // position (0, 1)
    ind.Size = 0.625;
    // The disc's values as the map holds them.
    EXPECT_EQ(IndividualInfoText(m, 11 + ind.PosX / 10.0, 3 + ind.PosY / 10.0),
              "Cell [011,003]\r2 individuals\r10 capacity\r0 total disturbances\rlast disturbance 0 \r"
              "\rInfo on selected individual:\r\rIndividual 2\rSpecies \"Species 02\"\rAge: 7(6)\rSize:  0.62 ( 62%)");
}

TEST(CellEditor, ListAndFields)
{
    Model m = MakeModel(2, 2, 2, 10);
    Place(m, 1, 1, 1, 12, 3).Size = 0.456;
    const TCellEditorList list = CellEditorList(m, 1, 1);
    EXPECT_EQ(list.Capacity, "capacity   : 10");
    EXPECT_EQ(list.Count, "indivduals :  1");
    EXPECT_EQ(list.Lines, std::vector<std::string>{" 1:      Species 02,   12, 0.46"});
    const TIndividualFields f = IndividualFields(m, 1, 1, 0);
    EXPECT_EQ(f.Label, "Indiviudal 0 is Species 02 (lifespan:30, max.:150)");
    EXPECT_EQ(f.Age, "12");
    EXPECT_EQ(f.Size, "0.46");
    EXPECT_EQ(f.LastReproduction, "3");
    EXPECT_EQ(IndividualFields(m, 1, 1, -1).Label, "none selected");
    EXPECT_EQ(CellEditorCaption(3, 4), "Your are God; edit cell [3,4]");
}

TEST(CellEditor, PutIntoCellRefusesAFullCellAndKeepsTheInitialFillsRhythm)
{
    Model m = MakeModel(2, 2, 2, 2);
    m.SpeciesPool[0].ReproAsync = 0; // every draw is in step with the interval
    m.SpeciesPool[0].FirstReproduction = 4;
    m.SpeciesPool[0].ReproInterval = 3;
    EXPECT_EQ(PutIntoCell(m, 0, 0, -1), "please select species!");
    EXPECT_EQ(PutIntoCell(m, 0, 0, 0), "");
    const TIndividual& ind = m.Cell(0, 0).Individuals.at(0);
    EXPECT_EQ((ind.Age - 4) % 3, 0);
    EXPECT_EQ(ind.LastReproduction, ind.Age);
    EXPECT_EQ(PutIntoCell(m, 0, 0, 1), "");
    EXPECT_EQ(PutIntoCell(m, 0, 0, 1), "no more room in this cell!");
    EXPECT_TRUE(test::CellInvariants(m));
    // A capacity lowered below the count takes nobody either.
    m.Cell(0, 0).Capacity = 1;
    EXPECT_EQ(PutIntoCell(m, 0, 0, 1), "no more room in this cell!");
    EXPECT_EQ(m.Cell(0, 0).IndividualCount, 2);
}

TEST(CellEditor, UpdateAssignsUntilTheBadField)
{
    Model m = MakeModel(2, 2, 2, 10);
    Place(m, 0, 1, 0, 3, 1);
    EXPECT_EQ(PreviewSize(m, 0, 1, 0, "x"), ShortestText(GrowthSize(m, 0, 3)));
    EXPECT_EQ(PreviewSize(m, 0, 1, 0, "20"), ShortestText(GrowthSize(m, 0, 20)));
    EXPECT_EQ(test::ErrorText([&] { UpdateIndividual(m, 0, 1, 0, "-1", "0"); }), "\"Age\" must be at least 0!");
    EXPECT_EQ(test::ErrorText([&] { UpdateIndividual(m, 0, 1, 0, "200", "soon"); }),
              "\"last reproduction\": 'soon' is not a valid integer value");
    const TIndividual& ind = m.Cell(0, 1).Individuals[0];
    EXPECT_EQ(ind.Age, 200); // beyond the maximal lifespan: accepted
    EXPECT_EQ(ind.Size, GrowthSize(m, 0, 200));
    EXPECT_EQ(ind.LastReproduction, 1);
}

TEST(ViewTexts, CaptionAndSnapshotNames)
{
    Model m = MakeModel(2, 2, 1, 1);
    m.TimeStep = 42;
    m.Season = 0;
    m.SeasonYear = 42;
    m.FileName = "run.mgf";
    EXPECT_EQ(ViewCaption(m), "MAROVI timestep 42       (00/00042 month/year) file run.mgf");
    EXPECT_EQ(SnapshotName("out/", "MAROVI", 42, ".BMP"), "out/MAROVI000042.BMP");
    EXPECT_EQ(SceneName("MAROVI", 42), "MAROVI000042.pov");
}
