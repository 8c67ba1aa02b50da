// The flow grid file (.mfg) and the text flow grid definition file.
#include <gtest/gtest.h>

#include <cmath>

#include "files/flow_grid_file.h"
#include "files_test_util.h"
#include "landscape/flow.h"
#include "util/error.h"

using namespace marovi;
using files_test::Bytes;
using files_test::F64At;
using files_test::I32At;

namespace {

std::string ImportError(Model& m, const std::string& text)
{
    return files_test::ErrorOf([&] { m.FlowGrid = ParseFlowGridText(m, text, "flow.txt"); });
}

// The message without the temporary directory.
std::string LoadError(TFlowGrid& g, const std::string& bytes)
{
    files_test::TempDir dir;
    files_test::WriteAll(dir.File("f.mfg"), bytes);
    const std::string s = files_test::ErrorOf([&] { LoadFlowGrid(g, dir.File("f.mfg")); });
    return s.find("f.mfg") == std::string::npos ? s : s.substr(s.find("f.mfg"));
}

} // namespace

TEST(FlowGridFile, RoundTripIsByteExactAndCellsAreXMajor)
{
    files_test::TempDir dir;
    TFlowGrid g;
    NewFlowGrid(g, 2, 3, 0.0, 0.5, 1.0);
    g.Cell(0, 1).Direction = 1.25;
    g.Cell(1, 0).Speed = -3.5;
    SaveFlowGrid(g, dir.File("a.mfg"));
    const std::string b = files_test::ReadAll(dir.File("a.mfg"));
    ASSERT_EQ(b.size(), 8u + 6 * 24);
    EXPECT_EQ(I32At(b, 0), 2);
    EXPECT_EQ(I32At(b, 4), 3);
    EXPECT_EQ(F64At(b, 8 + 24), 1.25);      // cell (0,1) is the second
    EXPECT_EQ(F64At(b, 8 + 3 * 24 + 16), -3.5); // cell (1,0) the fourth
    TFlowGrid back;
    LoadFlowGrid(back, dir.File("a.mfg"));
    EXPECT_EQ(back.XCount, 2);
    EXPECT_EQ(back.Cell(1, 0).Speed, -3.5);
    SaveFlowGrid(back, dir.File("b.mfg"));
    EXPECT_EQ(files_test::ReadAll(dir.File("b.mfg")), b);
}

TEST(FlowGridFile, DamagedFilesAreRefusedAndChangeNothing)
{
    TFlowGrid g;
    NewFlowGrid(g, 1, 1, 0.5, 0.5, 2.0);
    EXPECT_EQ(LoadError(g, Bytes(8).I32(0, 0).I32(4, 5).Str()), "f.mfg: the flow grid has 0 x 5 cells (at least 1 x 1)");
    EXPECT_EQ(LoadError(g, Bytes(8).I32(0, 3).I32(4, -1).Str()), "f.mfg: the flow grid has 3 x -1 cells (at least 1 x 1)");
    EXPECT_EQ(LoadError(g, Bytes(8 + 24).I32(0, 40000).I32(4, 25000).Str()),
              "f.mfg: the file ends before the 40000 x 25000 flow cells it claims");
    EXPECT_EQ(LoadError(g, Bytes(8 + 24).I32(0, 2147483647).I32(4, 2147483647).Str()),
              "f.mfg: the file ends before the 2147483647 x 2147483647 flow cells it claims");
    EXPECT_EQ(LoadError(g, Bytes(8 + 47).I32(0, 1).I32(4, 2).Str()), "f.mfg: the file ends before the 1 x 2 flow cells it claims");
    EXPECT_EQ(LoadError(g, "1234567"), "f.mfg: the file ends before the flow grid size");
    EXPECT_EQ(g.XCount, 1);
    EXPECT_EQ(g.Cell(0, 0).Speed, 2.0);
    // Trailing bytes are ignored.
    EXPECT_EQ(LoadError(g, Bytes(8 + 24 + 5).I32(0, 1).I32(4, 1).F64(24, 0.75).Str()), "(no error)");
    EXPECT_EQ(g.Cell(0, 0).Speed, 0.75);
}

TEST(FlowGridText, ExportWritesTheExactLines)
{
    Model m;
    NewFlowGrid(m.FlowGrid, 2, 3, M_PI / 2, DegToRad(36), 1.0);
    m.FlowGrid.Cell(0, 1) = TFlowCell{0.0, DegToRad(10), 2.5};
    m.FlowGrid.Cell(1, 2) = TFlowCell{DegToRad(-45), DegToRad(1234.5), 123.456};
    EXPECT_EQ(FlowGridText(m), "# MAROVI flow grid definition file\r\n"
                               "# flow grid dimensions\r\n"
                               "2\r\n"
                               "3\r\n"
                               "# x ; y ; direction ; deviation ; speed\r\n"
                               "   0;   0;  0.0; 36.0; 1.00\r\n"
                               "   0;   1; 90.0; 10.0; 2.50\r\n"
                               "   0;   2;  0.0; 36.0; 1.00\r\n"
                               "   1;   0;  0.0; 36.0; 1.00\r\n"
                               "   1;   1;  0.0; 36.0; 1.00\r\n"
                               "   1;   2;135.0;1234.5;123.46\r\n");
    m.Separator = '\t';
    EXPECT_EQ(FlowGridText(m).find("# x \t y \t direction \t deviation \t speed\r\n"), 66u);
}

TEST(FlowGridText, ExportThenImportGivesTheSameGrid)
{
    files_test::TempDir dir;
    Model m;
    NewFlowGrid(m.FlowGrid, 3, 2, DegToRad(30), DegToRad(20), 0.5);
    m.FlowGrid.Cell(2, 1) = TFlowCell{DegToRad(200), DegToRad(5), 3.25};
    ExportFlowGridText(m, dir.File("f.txt"));
    Model back;
    ImportFlowGridText(back, dir.File("f.txt"));
    ASSERT_EQ(back.FlowGrid.XCount, 3);
    ASSERT_EQ(back.FlowGrid.YCount, 2);
    EXPECT_NEAR(back.FlowGrid.Cell(2, 1).Direction, DegToRad(200), 1e-9);
    EXPECT_NEAR(back.FlowGrid.Cell(2, 1).Deviation, DegToRad(5), 1e-9);
    EXPECT_EQ(back.FlowGrid.Cell(2, 1).Speed, 3.25);
    EXPECT_NEAR(back.FlowGrid.Cell(0, 0).Direction, DegToRad(30), 1e-9);
    EXPECT_EQ(files_test::ReadAll(dir.File("f.txt")), FlowGridText(back));
}

TEST(FlowGridText, ImportTakesCellIndicesFromTheLines)
{
    Model m;
    // Comments anywhere, blank lines, the cell of the example line placed by its indices, a
    // line that does not convert counted but skipped.
    const std::string text = "# header\n2\r\n# between\n1\n\n"
                             "   1;   0; 90.0; 10.0; 2.50\r\n"
                             "# a comment does not count\n"
                             "not a cell line\n";
    ASSERT_EQ(ImportError(m, text), "(no error)");
    ASSERT_EQ(m.FlowGrid.XCount, 2);
    ASSERT_EQ(m.FlowGrid.YCount, 1);
    EXPECT_NEAR(m.FlowGrid.Cell(1, 0).Direction, 0.0, 1e-12);
    EXPECT_NEAR(m.FlowGrid.Cell(1, 0).Deviation, M_PI / 18, 1e-12);
    EXPECT_EQ(m.FlowGrid.Cell(1, 0).Speed, 2.5);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 0.0);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Direction, 0.0);

    // The speed is the rest of the line: an extra field makes it unreadable.
    ASSERT_EQ(ImportError(m, "1\n1\n0;0;0;0;1;2\n"), "(no error)");
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 0.0);
    // Bearings outside 0..360 give the same direction as inside.
    ASSERT_EQ(ImportError(m, "1\n1\n0;0;450;0;1\n"), "(no error)");
    EXPECT_NEAR(m.FlowGrid.Cell(0, 0).Direction, 0.0, 1e-12);
    m.Separator = ',';
    ASSERT_EQ(ImportError(m, "1\n1\n0,0,0,7.5,1\n"), "(no error)");
    EXPECT_NEAR(m.FlowGrid.Cell(0, 0).Direction, M_PI / 2, 1e-12);
}

TEST(FlowGridText, BadFilesAreRefusedAndLeaveTheGrid)
{
    Model m;
    NewFlowGrid(m.FlowGrid, 1, 1, 0.25, 0.5, 4.0);
    EXPECT_EQ(ImportError(m, "# nothing\n"), "flow.txt: the flow grid dimensions are missing");
    EXPECT_EQ(ImportError(m, "two\n2\n"), "flow.txt: line 1: \"two\" is not a number of flow cells in x");
    EXPECT_EQ(ImportError(m, "#\n2\n0\n"), "flow.txt: line 3: a flow grid needs at least one cell in y, not 0");
    EXPECT_EQ(ImportError(m, "2\n-1\n"), "flow.txt: line 2: a flow grid needs at least one cell in y, not -1");
    EXPECT_EQ(ImportError(m, "100000\n100000\n0;0;0;0;1\n"), "flow.txt: the file ends after 1 of the 100000 x 100000 flow cell lines");
    EXPECT_EQ(ImportError(m, "1\n2\n0;0;0;0;1\n"), "flow.txt: the file ends after 1 of the 1 x 2 flow cell lines");
    EXPECT_EQ(ImportError(m, "1\n2\n0;0;0;0;1\n#\n0;2;0;0;1\n"), "flow.txt: line 5: flow cell [0,2] lies outside the 1 x 2 flow grid");
    EXPECT_EQ(ImportError(m, "1\n1\n-1;0;0;0;1\n"), "flow.txt: line 3: flow cell [-1,0] lies outside the 1 x 1 flow grid");
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 4.0);
    EXPECT_THROW(ImportFlowGridText(m, "/nonexistent/flow.txt"), Error);
}
