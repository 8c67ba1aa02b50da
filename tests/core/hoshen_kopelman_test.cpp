#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/hoshen_kopelman.h"
#include "util/error.h"

using namespace marovi;

namespace {

// Builds a matrix from rows written top row (highest y) first; '#' marks a feature cell.
tMerkmal_Matrix FromRows(const std::vector<std::string>& rows)
{
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
    tMerkmal_Matrix m(w, h);
    for (int r = 0; r < h; ++r)
        for (int i = 0; i < w; ++i) m(i, h - 1 - r) = rows[static_cast<size_t>(r)][static_cast<size_t>(i)] == '#' ? 1 : 0;
    return m;
}

std::vector<std::string> ToRows(const tMerkmal_Matrix& m, bool labels = false)
{
    std::vector<std::string> rows;
    for (int j = m.H - 1; j >= 0; --j) {
        std::string row;
        for (int i = 0; i < m.W; ++i) row += labels ? static_cast<char>('0' + m(i, j)) : (m(i, j) == 1 ? '#' : '.');
        rows.push_back(row);
    }
    return rows;
}

int Label(const tMerkmal_Matrix& m)
{
    THosheKopelman hk;
    hk.InitLabels(m.W, m.H);
    return hk.LabelClusters(m);
}

} // namespace

TEST(Labelling, FullAndEmptyMatrices)
{
    EXPECT_EQ(Label(tMerkmal_Matrix(7, 5, 1)), 1);
    EXPECT_EQ(Label(tMerkmal_Matrix(7, 5, 0)), 0);
    // Values other than 1 do not count as the feature.
    EXPECT_EQ(Label(tMerkmal_Matrix(3, 3, 2)), 0);
}

TEST(Labelling, ClustersAreNumberedInSweepOrder)
{
    THosheKopelman hk;
    tMerkmal_Matrix m = FromRows({
        "#..#",
        "#...",
        "..#.",
    });
    hk.InitLabels(4, 3);
    EXPECT_EQ(hk.LabelClusters(m), 3);
    EXPECT_EQ(ToRows(hk.LabelMatrix, true), (std::vector<std::string>{"1003", "1000", "0020"}));
    EXPECT_EQ(hk.ClusterCount, 3);
}

TEST(Labelling, LShapedArmsMeetingAtTheBendAreMerged)
{
    // The vertical arm at x = 2 and the horizontal arm on the lowest row get different
    // provisional labels and meet only at the bend.
    THosheKopelman hk;
    tMerkmal_Matrix m = FromRows({
        "..#.",
        "..#.",
        "###.",
    });
    hk.InitLabels(4, 3);
    EXPECT_EQ(hk.LabelClusters(m), 1);
    EXPECT_EQ(ToRows(hk.LabelMatrix, true), (std::vector<std::string>{"0010", "0010", "1110"}));

    tMerkmal_Matrix u = FromRows({
        "#.#",
        "#.#",
        "###",
    });
    hk.InitLabels(3, 3);
    EXPECT_EQ(hk.LabelClusters(u), 1);

    // Two clusters of the first column are joined by the run of the second.
    hk.InitLabels(2, 3);
    EXPECT_EQ(hk.LabelClusters(FromRows({"##", ".#", "##"})), 1);
    EXPECT_EQ(ToRows(hk.LabelMatrix, true), (std::vector<std::string>{"11", "01", "11"}));
}

TEST(Labelling, CornerContactsFormSeparateClusters)
{
    EXPECT_EQ(Label(FromRows({"#.", ".#"})), 2);
    EXPECT_EQ(Label(FromRows({".#", "#."})), 2);
}

TEST(Labelling, CheckerboardFillsTheTableExactly)
{
    // The pattern that issues the most provisional labels: one per feature cell.
    for (int w : {1, 2, 3, 5, 8})
        for (int h : {1, 2, 3, 7}) {
            tMerkmal_Matrix m(w, h);
            int cells = 0;
            for (int i = 0; i < w; ++i)
                for (int j = 0; j < h; ++j)
                    if ((i + j) % 2 == 0) {
                        m(i, j) = 1;
                        ++cells;
                    }
            THosheKopelman hk;
            hk.InitLabels(w, h);
            EXPECT_EQ(hk.LabelClusters(m), cells) << w << " x " << h;
            EXPECT_EQ(hk.LabelTable[0], hk.LabelLimit) << w << " x " << h;
            // The table is now exhausted: one more label is refused.
            try {
                hk.NewLabel();
                ADD_FAILURE() << "a label beyond the table was issued";
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "too many labels defined");
            }
        }
}

TEST(Labelling, SmallWindowsAreLabelled)
{
    EXPECT_EQ(Label(tMerkmal_Matrix(1, 1, 1)), 1);
    EXPECT_EQ(Label(FromRows({"#.#"})), 2);
    EXPECT_EQ(Label(FromRows({"#", ".", "#"})), 2);
    EXPECT_EQ(Label(FromRows({"#.#."})), 2);
    EXPECT_EQ(Label(tMerkmal_Matrix(0, 0)), 0);
}

TEST(Labelling, LabelsAMatrixOfAnotherSizeThanInitialised)
{
    THosheKopelman hk;
    hk.InitLabels(2, 2);
    EXPECT_EQ(hk.LabelClusters(FromRows({"#.#.#"})), 3);
    EXPECT_EQ(hk.LabelMatrix.W, 5);
}

TEST(Labelling, UnionFindWithPathCompression)
{
    THosheKopelman hk;
    hk.InitLabels(4, 4);
    int32_t a = hk.NewLabel(), b = hk.NewLabel(), c = hk.NewLabel();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(hk.UnionLabels(a, b), 2);
    EXPECT_EQ(hk.UnionLabels(b, c), 3);
    EXPECT_EQ(hk.FindRoot(a), 3);
    EXPECT_EQ(hk.LabelTable[1], 3);  // the path now points at the root
    hk.FreeLabels();
    EXPECT_THROW(hk.NewLabel(), Error);
}

TEST(Morphology, RemoveOrphansKeepsPairsAndDropsDiagonalOnlyCells)
{
    tMerkmal_Matrix m = FromRows({
        "##...",
        "...#.",
        "#...#",
    });
    RemoveOrphans(m);
    EXPECT_EQ(ToRows(m), (std::vector<std::string>{"##...", ".....", "....."}));
}

TEST(Morphology, CloseClustersBridgesAOneCellGapInARow)
{
    tMerkmal_Matrix m = FromRows({
        ".........",
        "###.###..",
        ".........",
    });
    CloseClusters(m);
    // The gap is filled; the dilated cells above and below survive the horizontal erosion
    // where both horizontal neighbours were dilated too (or lie outside).
    EXPECT_EQ(ToRows(m), (std::vector<std::string>{
                             "##...#...",
                             "#######..",
                             "##...#...",
                         }));
}

TEST(Morphology, CloseClustersOnASingleCellAndAFullMatrix)
{
    tMerkmal_Matrix one = FromRows({".....", ".....", "..#..", ".....", "....."});
    CloseClusters(one);
    EXPECT_EQ(ToRows(one), (std::vector<std::string>{".....", ".....", "..#..", ".....", "....."}));
    // At the matrix edge a missing neighbour does not erode.
    tMerkmal_Matrix edge = FromRows({"...", ".#.", "..."});
    CloseClusters(edge);
    EXPECT_EQ(ToRows(edge), (std::vector<std::string>{"...", "###", "..."}));
    tMerkmal_Matrix full(4, 3, 1);
    CloseClusters(full);
    EXPECT_EQ(full.Data, tMerkmal_Matrix(4, 3, 1).Data);
}

namespace {

// Reference: clusters grown by a flood fill over edge neighbours, numbered in the order in
// which the x-outer, y-inner sweep meets their first cell; neighbours across the edges count
// where the matrix wraps around.
tMerkmal_Matrix FloodFillLabels(const tMerkmal_Matrix& m, int& clusters, bool wrapX = false, bool wrapY = false)
{
    const int w = m.W, h = m.H;
    tMerkmal_Matrix expected(w, h);
    clusters = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            if (m(x, y) != 1 || expected(x, y) != 0) continue;
            expected(x, y) = ++clusters;
            std::vector<std::pair<int, int>> stack{{x, y}};
            while (!stack.empty()) {
                auto [i, j] = stack.back();
                stack.pop_back();
                const int di[4] = {-1, 1, 0, 0}, dj[4] = {0, 0, -1, 1};
                for (int k = 0; k < 4; ++k) {
                    int a = i + di[k], b = j + dj[k];
                    if (wrapX) a = (a + w) % w;
                    if (wrapY) b = (b + h) % h;
                    if (a < 0 || b < 0 || a >= w || b >= h || m(a, b) != 1 || expected(a, b) != 0) continue;
                    expected(a, b) = clusters;
                    stack.push_back({a, b});
                }
            }
        }
    return expected;
}

struct TRandomCase {
    int W, H;
    double Density;
};

// Small odd shapes, columns that end inside, at and just beyond a 64-cell word, long merges
// near the percolation threshold, and runs that cross word borders.
std::vector<TRandomCase> RandomCases()
{
    std::vector<TRandomCase> cases;
    for (int round = 0; round < 55; ++round) cases.push_back({1 + round % 13, 1 + (round * 7) % 17, 0.2 + 0.1 * (round % 7)});
    for (int h : {63, 64, 65, 127, 128, 129, 200})
        for (double d : {0.3, 0.59, 0.9}) cases.push_back({1 + h % 9, h, d});
    cases.push_back({120, 90, 0.59});
    cases.push_back({90, 120, 0.59});
    cases.push_back({64, 257, 0.62});
    cases.push_back({3, 1000, 0.97});
    return cases;
}

} // namespace

TEST(Labelling, AgreesWithAFloodFillOnRandomMatrices)
{
    std::mt19937 rng(99);
    int index = 0;
    for (const TRandomCase& c : RandomCases()) {
        std::bernoulli_distribution feature(c.Density);
        tMerkmal_Matrix m(c.W, c.H);
        // Other values than 1 in some matrices: they are not the feature.
        for (int32_t& v : m.Data) v = feature(rng) ? 1 : (index % 5 == 0 ? 2 : 0);
        int clusters = 0;
        const tMerkmal_Matrix expected = FloodFillLabels(m, clusters);
        for (bool wide : {true, false}) {
            AllowWideLabelling(wide);
            THosheKopelman hk;
            hk.InitLabels(c.W, c.H);
            ASSERT_EQ(hk.LabelClusters(m), clusters) << c.W << " x " << c.H << (wide ? " wide" : " plain");
            EXPECT_EQ(hk.LabelMatrix.Data, expected.Data) << c.W << " x " << c.H << (wide ? " wide" : " plain");
            // Labelling again with the same tables gives the same result.
            EXPECT_EQ(hk.LabelClusters(m), clusters);
            EXPECT_EQ(hk.LabelMatrix.Data, expected.Data);
        }
        AllowWideLabelling(true);
        ++index;
    }
}

TEST(Labelling, ReusedTablesForgetTheLastMatrix)
{
    // A dense matrix, then a sparse one of the same size, then the dense one again.
    std::mt19937 rng(7);
    tMerkmal_Matrix dense(70, 130), sparse(70, 130);
    for (int32_t& v : dense.Data) v = std::bernoulli_distribution(0.7)(rng) ? 1 : 0;
    for (int32_t& v : sparse.Data) v = std::bernoulli_distribution(0.2)(rng) ? 1 : 0;
    int denseClusters = 0, sparseClusters = 0;
    const tMerkmal_Matrix denseLabels = FloodFillLabels(dense, denseClusters);
    const tMerkmal_Matrix sparseLabels = FloodFillLabels(sparse, sparseClusters);
    THosheKopelman hk;
    hk.InitLabels(70, 130);
    EXPECT_EQ(hk.LabelClusters(dense), denseClusters);
    EXPECT_EQ(hk.LabelClusters(sparse), sparseClusters);
    EXPECT_EQ(hk.LabelMatrix.Data, sparseLabels.Data);
    EXPECT_EQ(hk.LabelClusters(dense), denseClusters);
    EXPECT_EQ(hk.LabelMatrix.Data, denseLabels.Data);
}

namespace {

// Labels a matrix and joins what touches across the edges.
int LabelOnTorus(const tMerkmal_Matrix& m, tMerkmal_Matrix& labels, bool acrossX = true, bool acrossY = true)
{
    THosheKopelman hk;
    hk.InitLabels(m.W, m.H);
    const int k = hk.LabelClusters(m);
    labels = std::move(hk.LabelMatrix);
    return JoinAcrossEdges(labels, k, acrossX, acrossY);
}

tMerkmal_Matrix Checkerboard(int w, int h)
{
    tMerkmal_Matrix m(w, h);
    for (int i = 0; i < w; ++i)
        for (int j = 0; j < h; ++j) m(i, j) = (i + j) % 2 == 0 ? 1 : 0;
    return m;
}

} // namespace

TEST(TorusJoin, BandsAndCheckerboards)
{
    tMerkmal_Matrix labels;
    // A band across the left and right edge, and one across the lower and upper edge.
    EXPECT_EQ(LabelOnTorus(FromRows({"....", "#..#", "...."}), labels), 1);
    EXPECT_EQ(LabelOnTorus(FromRows({".#.", "...", ".#."}), labels), 1);
    // Only across the edges asked for.
    EXPECT_EQ(LabelOnTorus(FromRows({"....", "#..#", "...."}), labels, false, true), 2);
    // An even checkerboard has no cells facing each other across an edge.
    EXPECT_EQ(LabelOnTorus(Checkerboard(6, 4), labels), 12);
    // With an odd width the first and last columns match: their cells join in pairs.
    EXPECT_EQ(LabelOnTorus(Checkerboard(5, 4), labels), 8);
    int clusters = 0;
    EXPECT_EQ(labels.Data, FloodFillLabels(Checkerboard(5, 4), clusters, true, true).Data);
}

TEST(TorusJoin, AgreesWithAFloodFillOnATorus)
{
    std::mt19937 rng(5);
    for (const TRandomCase& c : RandomCases()) {
        std::bernoulli_distribution feature(c.Density);
        tMerkmal_Matrix m(c.W, c.H);
        for (int32_t& v : m.Data) v = feature(rng) ? 1 : 0;
        for (int wrap = 0; wrap < 4; ++wrap) {
            const bool x = wrap & 1, y = wrap & 2;
            int clusters = 0;
            const tMerkmal_Matrix expected = FloodFillLabels(m, clusters, x, y);
            tMerkmal_Matrix labels;
            ASSERT_EQ(LabelOnTorus(m, labels, x, y), clusters) << c.W << " x " << c.H << " wrap " << wrap;
            EXPECT_EQ(labels.Data, expected.Data) << c.W << " x " << c.H << " wrap " << wrap;
        }
    }
}
