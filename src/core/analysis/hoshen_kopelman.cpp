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

// Links the larger of two roots below the smaller, so that every parent is smaller than its
// child and one sweep in increasing order flattens the forest.
int32_t THosheKopelman::JoinRoots(int32_t a, int32_t b)
{
    int32_t ra = FindRoot(a), rb = FindRoot(b);
    if (ra == rb) return ra;
    if (ra > rb) std::swap(ra, rb);
    LabelTable[static_cast<size_t>(rb)] = ra;
    return ra;
}

int THosheKopelman::LabelClusters(const tMerkmal_Matrix& m)
{
    if (LabelMatrix.W != m.W || LabelMatrix.H != m.H || LabelTable.empty()) InitLabels(m.W, m.H);
    // Only the entries of the previous labelling can be set: clearing those clears the tables.
    const size_t used = static_cast<size_t>(LabelTable[0]) + 1;
    std::fill(LabelTable.begin(), LabelTable.begin() + static_cast<std::ptrdiff_t>(used), 0);
    std::fill(RelabelTable.begin(), RelabelTable.begin() + static_cast<std::ptrdiff_t>(used), 0);
    const size_t h = static_cast<size_t>(m.H);
    // Raster pass, column by column. Within a run of feature cells of one column every cell
    // takes the run's label (its lower neighbour's); a run starts with its left neighbour's
    // label or a new one, and a later left label that differs is joined to the run's. The
    // loop avoids branches on the feature itself, which is as unpredictable as the landscape:
    // a label is issued by storing the counter at its own index (or at entry 0, which holds
    // the counter anyway). The raster pass issues at most LabelLimit labels: a label starts
    // only at a cell whose left and lower neighbours lack the feature.
    zeroColumn_.assign(h, 0);
    int32_t* table = LabelTable.data();
    int32_t issued = 0;
    for (int x = 0; x < m.W; ++x) {
        const int32_t* features = m.Data.data() + static_cast<size_t>(x) * h;
        int32_t* labels = LabelMatrix.Data.data() + static_cast<size_t>(x) * h;
        const int32_t* left = x > 0 ? labels - h : zeroColumn_.data();
        int32_t run = 0, below = 0, before = 0;  // below: the left label, before: the feature of y - 1
        for (size_t y = 0; y < h; ++y) {
            const int32_t f = features[y] == 1;
            const int32_t l = left[y];
            const int32_t start = f & !before;
            const int32_t fresh = start & (l == 0);
            issued += fresh;
            table[issued & -fresh] = issued;
            // Selections by masks: the compiler would turn them into mispredicted branches.
            const int32_t opened = l + (issued & -static_cast<int32_t>(l == 0));
            run = (opened & -start) | (run & (start - 1));
            if (f & !start & (l != 0) & (l != below) & (l != run)) run = JoinRoots(run, l);
            labels[y] = run & -f;
            below = l;
            before = f;
        }
    }
    LabelTable[0] = issued;
    // A cluster's smallest provisional label is the one issued at the first of its cells that
    // the sweep meets, so numbering the roots in label order numbers the clusters in sweep order.
    for (int32_t k = 1; k <= issued; ++k) {
        const int32_t root = LabelTable[static_cast<size_t>(LabelTable[static_cast<size_t>(k)])];
        LabelTable[static_cast<size_t>(k)] = root;
        if (RelabelTable[static_cast<size_t>(root)] == 0) RelabelTable[static_cast<size_t>(root)] = ++RelabelTable[0];
    }
    std::vector<int32_t>& final = finalNumber_;
    final.assign(static_cast<size_t>(issued) + 1, 0);
    for (int32_t k = 1; k <= issued; ++k)
        final[static_cast<size_t>(k)] = RelabelTable[static_cast<size_t>(LabelTable[static_cast<size_t>(k)])];
    for (int32_t& l : LabelMatrix.Data) l = final[static_cast<size_t>(l)];
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
