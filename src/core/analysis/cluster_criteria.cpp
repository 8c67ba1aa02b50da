#include "analysis/cluster_criteria.h"

#include "analysis/indices.h"
#include "analysis/states.h"
#include "model/grid.h"
#include "model/model.h"
#include "util/error.h"

namespace marovi {
namespace {

// Sets matrix[i][j] from test(x, y) wherever the mask allows, 0 elsewhere.
template <class Test>
void FillMatrix(tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask, Test test)
{
    for (int i = 0; i < matrix.W; ++i)
        for (int j = 0; j < matrix.H; ++j)
            matrix(i, j) = (mask(i, j) == 1 && test(x1 + i, y1 + j)) ? 1 : 0;
}

// The mean over the four diagonal neighbours of a 0/1 value; 0 when none exists.
template <class Test>
double DiagonalMean(const Model& m, int x, int y, Test test)
{
    static constexpr int dx[4] = {-1, 1, -1, 1};
    static constexpr int dy[4] = {-1, -1, 1, 1};
    int valid = 0, hits = 0;
    for (int k = 0; k < 4; ++k) {
        int nx = x + dx[k], ny = y + dy[k];
        if (!WrapCoordinates(m, nx, ny)) continue;
        ++valid;
        if (test(nx, ny)) ++hits;
    }
    return valid == 0 ? 0.0 : static_cast<double>(hits) / valid;
}

template <class CellMeasure>
double WindowMean(int x1, int y1, int x2, int y2, CellMeasure measure)
{
    double sum = 0;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) sum += measure(x, y);
    double cells = static_cast<double>(x2 - x1 + 1) * (y2 - y1 + 1);
    return cells > 0 ? sum / cells : 0.0;
}

int CellSpeciesValue(const Model& m, int x, int y, int species, bool useLarvae)
{
    if (useLarvae) return m.PrevLarvaeAt(x, y)[static_cast<size_t>(species)];
    return CountAtLeastSize(m, x, y, species, m.MinSize);
}

void RefuseLarvaeForState(bool useLarvae)
{
    if (useLarvae) throw Error("Can not use larvae for grid state!");
}

} // namespace

void AgeMask(const Model& m, tMerkmal_Matrix& mask, int x1, int y1, int minAge, int maxAge)
{
    for (int i = 0; i < mask.W; ++i)
        for (int j = 0; j < mask.H; ++j) {
            int age = m.Cell(x1 + i, y1 + j).CellAge;
            mask(i, j) = (minAge <= age && age <= maxAge) ? 1 : 0;
        }
}

int CountAtLeastSize(const Model& m, int x, int y, int species, double minSize)
{
    int n = 0;
    for (const TIndividual& ind : m.Cell(x, y).Individuals)
        if (ind.Species == species && ind.Size >= minSize) ++n;
    return n;
}

void SpeciesCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask,
                      bool useLarvae, int minCount, int maxCount, int species)
{
    FillMatrix(matrix, x1, y1, mask, [&](int x, int y) {
        long long v = 0;
        if (species <= m.SpeciesMax) v = CellSpeciesValue(m, x, y, species, useLarvae);
        else
            for (int s = 0; s <= m.SpeciesMax; ++s) v += CellSpeciesValue(m, x, y, s, useLarvae);
        return minCount <= v && v <= maxCount;
    });
}

void StateCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask, int state)
{
    FillMatrix(matrix, x1, y1, mask, [&](int x, int y) { return CellState(m, x, y) == state; });
}

double CriterionDiversity(const Model& m, int x, int y, bool useLarvae)
{
    if (useLarvae) return m.DiversityFunc(m, ToSpeciesCounts(m.PrevLarvaeAt(x, y)));
    return CellDiversity(m, x, y, m.MinSize);
}

void DiversityCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask,
                        bool useLarvae, double lo, double hi)
{
    FillMatrix(matrix, x1, y1, mask, [&](int x, int y) {
        double v = CriterionDiversity(m, x, y, useLarvae);
        return lo <= v && v <= hi;
    });
}

void AreaCriterion(const Model& m, tMerkmal_Matrix& matrix, int x1, int y1, const tMerkmal_Matrix& mask, double lo,
                   double hi)
{
    FillMatrix(matrix, x1, y1, mask, [&](int x, int y) {
        double v = SizedCover(m, x, y);
        return lo <= v && v <= hi;
    });
}

double StateAgreement(const Model& m, int state, int x, int y, bool useLarvae)
{
    RefuseLarvaeForState(useLarvae);
    return DiagonalMean(m, x, y, [&](int nx, int ny) { return CellState(m, nx, ny) == state; });
}

double SpeciesPresence(const Model& m, int species, int x, int y, bool useLarvae)
{
    if (species < 0 || species > m.SpeciesMax) return 0;
    const size_t s = static_cast<size_t>(species);
    return DiagonalMean(m, x, y, [&](int nx, int ny) {
        return (useLarvae ? m.PrevLarvaeAt(nx, ny)[s] : m.Cell(nx, ny).Abundance[s]) >= 1;
    });
}

double DiversityAgreement(const Model& m, int x, int y, bool useLarvae, double lo, double hi)
{
    return DiagonalMean(m, x, y, [&](int nx, int ny) {
        double v = CriterionDiversity(m, nx, ny, useLarvae);
        return lo <= v && v <= hi;
    });
}

double WindowStateCA(const Model& m, int x1, int y1, int x2, int y2, int state, bool useLarvae)
{
    RefuseLarvaeForState(useLarvae);
    return WindowMean(x1, y1, x2, y2, [&](int x, int y) { return StateAgreement(m, state, x, y, false); });
}

double WindowSpeciesCA(const Model& m, int x1, int y1, int x2, int y2, int species, bool useLarvae)
{
    return WindowMean(x1, y1, x2, y2, [&](int x, int y) { return SpeciesPresence(m, species, x, y, useLarvae); });
}

double WindowDiversityCA(const Model& m, int x1, int y1, int x2, int y2, bool useLarvae, double lo, double hi)
{
    return WindowMean(x1, y1, x2, y2, [&](int x, int y) { return DiversityAgreement(m, x, y, useLarvae, lo, hi); });
}

double WindowAreaCA(const Model& m, int x1, int y1, int x2, int y2, bool useLarvae, double lo, double hi)
{
    // There is no area measure of the neighbourhood: the diversity agreement with these bounds stands in.
    return WindowDiversityCA(m, x1, y1, x2, y2, useLarvae, lo, hi);
}

} // namespace marovi
