#include "analysis/hoshen_kopelman.h"

#include <algorithm>

#include "util/error.h"

namespace marovi {

tMerkmal_Matrix::tMerkmal_Matrix(int w, int h, int32_t fill)
    : W(std::max(w, 0)), H(std::max(h, 0)), Data(static_cast<size_t>(W) * static_cast<size_t>(H), fill)
{
}

void THosheKopelman::InitLabels(int w, int h)
{
    LabelMatrix = tMerkmal_Matrix(w, h);
    const int64_t cells = static_cast<int64_t>(LabelMatrix.W) * LabelMatrix.H;
    const int64_t limit = (cells + 1) / 2;
    if (limit >= INT32_MAX) throw Error("too many labels defined");
    LabelLimit = static_cast<int32_t>(limit);
    LabelTable.assign(static_cast<size_t>(limit) + 1, 0);
    RelabelTable.assign(static_cast<size_t>(limit) + 1, 0);
    ClusterCount = 0;
}

void THosheKopelman::ClearLabels()
{
    std::fill(LabelMatrix.Data.begin(), LabelMatrix.Data.end(), 0);
    std::fill(LabelTable.begin(), LabelTable.end(), 0);
    std::fill(RelabelTable.begin(), RelabelTable.end(), 0);
}

int32_t THosheKopelman::FindRoot(int32_t k)
{
    int32_t r = k;
    while (LabelTable[static_cast<size_t>(r)] != r) r = LabelTable[static_cast<size_t>(r)];
    while (LabelTable[static_cast<size_t>(k)] != r) {
        int32_t next = LabelTable[static_cast<size_t>(k)];
        LabelTable[static_cast<size_t>(k)] = r;
        k = next;
    }
    return r;
}

int32_t THosheKopelman::UnionLabels(int32_t a, int32_t b)
{
    int32_t rb = FindRoot(b);
    LabelTable[static_cast<size_t>(FindRoot(a))] = rb;
    return rb;
}

int32_t THosheKopelman::NewLabel()
{
    if (LabelTable.empty() || LabelTable[0] >= LabelLimit) throw Error("too many labels defined");
    int32_t k = ++LabelTable[0];
    LabelTable[static_cast<size_t>(k)] = k;
    return k;
}

int THosheKopelman::LabelClusters(const tMerkmal_Matrix& m)
{
    if (LabelMatrix.W != m.W || LabelMatrix.H != m.H || LabelTable.empty()) InitLabels(m.W, m.H);
    std::fill(LabelTable.begin(), LabelTable.end(), 0);
    std::fill(RelabelTable.begin(), RelabelTable.end(), 0);
    tMerkmal_Matrix& L = LabelMatrix;
    for (int x = 0; x < m.W; ++x)
        for (int y = 0; y < m.H; ++y) {
            if (m(x, y) != 1) {
                L(x, y) = 0;
                continue;
            }
            int32_t left = (x > 0 && m(x - 1, y) == 1) ? L(x - 1, y) : 0;
            int32_t lower = (y > 0 && m(x, y - 1) == 1) ? L(x, y - 1) : 0;
            if (left == 0 && lower == 0) L(x, y) = NewLabel();
            else if (left == 0 || lower == 0) L(x, y) = std::max(left, lower);
            else L(x, y) = UnionLabels(left, lower);
        }
    for (int x = 0; x < m.W; ++x)
        for (int y = 0; y < m.H; ++y) {
            if (m(x, y) != 1) continue;
            int32_t r = FindRoot(L(x, y));
            if (RelabelTable[static_cast<size_t>(r)] == 0) RelabelTable[static_cast<size_t>(r)] = ++RelabelTable[0];
            L(x, y) = RelabelTable[static_cast<size_t>(r)];
        }
    ClusterCount = RelabelTable.empty() ? 0 : RelabelTable[0];
    return ClusterCount;
}

void THosheKopelman::FreeLabels()
{
    LabelMatrix = tMerkmal_Matrix();
    LabelTable.clear();
    LabelTable.shrink_to_fit();
    RelabelTable.clear();
    RelabelTable.shrink_to_fit();
    LabelLimit = -1;
}

void CloseClusters(tMerkmal_Matrix& m)
{
    tMerkmal_Matrix dilated(m.W, m.H);
    for (int x = 0; x < m.W; ++x)
        for (int y = 0; y < m.H; ++y) {
            if (m(x, y) != 1) continue;
            dilated(x, y) = 1;
            if (x > 0) dilated(x - 1, y) = 1;
            if (x + 1 < m.W) dilated(x + 1, y) = 1;
            if (y > 0) dilated(x, y - 1) = 1;
            if (y + 1 < m.H) dilated(x, y + 1) = 1;
        }
    tMerkmal_Matrix eroded(m.W, m.H);
    for (int x = 0; x < m.W; ++x)
        for (int y = 0; y < m.H; ++y)
            eroded(x, y) = dilated(x, y) == 1 && (x == 0 || dilated(x - 1, y) == 1) &&
                                   (x + 1 == m.W || dilated(x + 1, y) == 1)
                               ? 1
                               : 0;
    m = std::move(eroded);
}

void RemoveOrphans(tMerkmal_Matrix& m)
{
    for (int x = 0; x < m.W; ++x)
        for (int y = 0; y < m.H; ++y) {
            if (m(x, y) != 1) continue;
            bool neighbour = (x > 0 && m(x - 1, y) == 1) || (x + 1 < m.W && m(x + 1, y) == 1) ||
                             (y > 0 && m(x, y - 1) == 1) || (y + 1 < m.H && m(x, y + 1) == 1);
            if (!neighbour) m(x, y) = 0;
        }
}

} // namespace marovi
