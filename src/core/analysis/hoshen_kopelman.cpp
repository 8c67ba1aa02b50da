#include "analysis/hoshen_kopelman.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "util/error.h"

namespace marovi {

namespace {

constexpr size_t WordBits = 64;

size_t WordsPerColumn(size_t h) { return (h + WordBits - 1) / WordBits; }

// The column's feature cells as bits, bit y % 64 of word y / 64.
void FeatureBits(const int32_t* features, size_t h, uint64_t* words)
{
    for (size_t w = 0; w < WordsPerColumn(h); ++w) {
        const int32_t* f = features + w * WordBits;
        const size_t n = std::min(WordBits, h - w * WordBits);
        uint64_t bits = 0;
        size_t i = 0;
#if defined(__SSE2__)
        // 16 cells at a time: four comparisons packed down to one byte per cell.
        const __m128i one = _mm_set1_epi32(1);
        auto equalsOne = [&](size_t at) {
            return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(f + at)), one);
        };
        for (; i + 16 <= n; i += 16) {
            const __m128i low = _mm_packs_epi32(equalsOne(i), equalsOne(i + 4));
            const __m128i high = _mm_packs_epi32(equalsOne(i + 8), equalsOne(i + 12));
            bits |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)))) << i;
        }
#endif
        for (; i < n; ++i) bits |= static_cast<uint64_t>(f[i] == 1) << i;
        words[w] = bits;
    }
}

// The bits that start a run of set bits: the bit below (the previous word's top bit for bit 0)
// is clear.
uint64_t RunStarts(uint64_t word, uint64_t wordBelow) { return word & ~((word << 1) | (wordBelow >> 63)); }

// For the 8 cells of a byte of run-start bits: how many runs start at or below each cell.
constexpr std::array<std::array<int32_t, 8>, 256> RunsUpTo = [] {
    std::array<std::array<int32_t, 8>, 256> t{};
    for (int v = 0; v < 256; ++v)
        for (int j = 0, n = 0; j < 8; ++j) t[v][j] = n += (v >> j) & 1;
    return t;
}();

// For the 8 cells of a byte of feature bits: all ones where the cell has the feature.
constexpr std::array<std::array<int32_t, 8>, 256> FeatureMask = [] {
    std::array<std::array<int32_t, 8>, 256> t{};
    for (int v = 0; v < 256; ++v)
        for (int j = 0; j < 8; ++j) t[v][j] = -((v >> j) & 1);
    return t;
}();

// Writes each cell of a column the number of the run it lies in, 0 without the feature:
// numbers[k] is the number of the column's k-th run (from 1). numbers[0] is read only for
// cells below the first run, which lack the feature, and 8 entries may be read beyond the
// last run.
void WriteColumnPlain(const uint64_t* bits, size_t h, const int32_t* numbers, int32_t* labels)
{
    int32_t ordinal = 0;
    uint64_t below = 0;
    for (size_t k = 0; k < WordsPerColumn(h); ++k) {
        uint64_t c = bits[k], starts = RunStarts(c, below);
        below = c;
        const size_t n = std::min(WordBits, h - k * WordBits);
        size_t b = 0;
        // Eight cells at a time, by the tables of the byte's run starts and features.
        for (; b + 8 <= n; b += 8, c >>= 8, starts >>= 8) {
            const auto& upTo = RunsUpTo[starts & 0xFF];
            const auto& mask = FeatureMask[c & 0xFF];
            for (size_t j = 0; j < 8; ++j) labels[b + j] = numbers[ordinal + upTo[j]] & mask[j];
            ordinal += upTo[7];
        }
        for (; b < n; ++b, c >>= 1, starts >>= 1) {
            ordinal += static_cast<int32_t>(starts & 1);
            labels[b] = numbers[ordinal] & -static_cast<int32_t>(c & 1);
        }
        labels += n;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with 256-bit instructions: eight cells take the numbers of the runs they lie in by
// one permutation of the next eight run numbers.
__attribute__((target("avx2"))) void WriteColumnWide(const uint64_t* bits, size_t h, const int32_t* numbers,
                                                     int32_t* labels)
{
    const __m256i cellBits = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    int32_t ordinal = 0;
    uint64_t below = 0;
    for (size_t k = 0; k < WordsPerColumn(h); ++k) {
        uint64_t c = bits[k], starts = RunStarts(c, below);
        below = c;
        const size_t n = std::min(WordBits, h - k * WordBits);
        size_t b = 0;
        for (; b + 8 <= n; b += 8, c >>= 8, starts >>= 8) {
            const auto& upTo = RunsUpTo[starts & 0xFF];
            const __m256i runs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(numbers + ordinal));
            const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upTo.data()));
            const __m256i features = _mm256_and_si256(_mm256_set1_epi32(static_cast<int32_t>(c & 0xFF)), cellBits);
            const __m256i mask = _mm256_cmpeq_epi32(features, cellBits);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(labels + b),
                                _mm256_and_si256(_mm256_permutevar8x32_epi32(runs, offsets), mask));
            ordinal += upTo[7];
        }
        for (; b < n; ++b, c >>= 1, starts >>= 1) {
            ordinal += static_cast<int32_t>(starts & 1);
            labels[b] = numbers[ordinal] & -static_cast<int32_t>(c & 1);
        }
        labels += n;
    }
}

bool HasWideInstructions() { return __builtin_cpu_supports("avx2"); }
#else
void WriteColumnWide(const uint64_t* bits, size_t h, const int32_t* numbers, int32_t* labels)
{
    WriteColumnPlain(bits, h, numbers, labels);
}

bool HasWideInstructions() { return false; }
#endif

std::atomic<bool> wideAllowed{true};

} // namespace


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

// Joins the sets of two labels so that every parent stays smaller than its child, and one
// sweep in increasing order flattens the forest. The two paths are climbed together, each
// step from the one with the larger parent, which is re-hung below the smaller parent on the
// way (Rem's splicing): the walk ends as soon as both reach a common parent, and shortens
// both paths for later joins.
void THosheKopelman::JoinLabels(int32_t a, int32_t b)
{
    int32_t* table = LabelTable.data();
    while (table[a] != table[b]) {
        if (table[a] < table[b]) std::swap(a, b);
        const int32_t parent = table[a];
        table[a] = table[b];
        if (parent == a) return;
        a = parent;
    }
}

int THosheKopelman::LabelClusters(const tMerkmal_Matrix& m)
{
    if (LabelMatrix.W != m.W || LabelMatrix.H != m.H || LabelTable.empty()) InitLabels(m.W, m.H);
    // Only the entries of the previous labelling can be set: clearing those clears the tables.
    const size_t used = static_cast<size_t>(LabelTable[0]) + 1;
    std::fill(LabelTable.begin(), LabelTable.begin() + static_cast<std::ptrdiff_t>(used), 0);
    std::fill(RelabelTable.begin(), RelabelTable.begin() + static_cast<std::ptrdiff_t>(used), 0);
    const int32_t issued = LabelRuns(m);
    LabelTable[0] = issued;
    // A cluster's smallest provisional label is the one issued at the first of its cells that
    // the sweep meets, so numbering the roots in label order numbers the clusters in sweep order.
    // Parents are smaller than their children, so in increasing order a label's parent already
    // points at its root, and a label that is its own root is met before the rest of its set.
    int32_t* table = LabelTable.data();
    int32_t* numbers = RelabelTable.data();
    finalNumber_.resize(static_cast<size_t>(issued) + 1);
    int32_t* final = finalNumber_.data();
    int32_t clusters = 0;
    for (int32_t k = 1; k <= issued; ++k) {
        const int32_t root = table[table[k]];
        table[k] = root;
        const int32_t isRoot = root == k;
        clusters += isRoot;
        numbers[k] = clusters & -isRoot;
        final[k] = numbers[root];
    }
    RelabelTable[0] = clusters;
    WriteFinalLabels(m);
    ClusterCount = RelabelTable.empty() ? 0 : RelabelTable[0];
    return ClusterCount;
}

using TWriteColumn = void (*)(const uint64_t*, size_t, const int32_t*, int32_t*);

TWriteColumn ColumnWriter()
{
    static const bool wide = HasWideInstructions();
    return wide && wideAllowed.load(std::memory_order_relaxed) ? WriteColumnWide : WriteColumnPlain;
}

// The raster pass, column by column, on runs: a run is a stretch of feature cells of one
// column, and all its cells belong to one cluster. A run takes the label of the left column's
// run beside its first cell, or a new label; every further left run it meets is joined to it.
// Runs and meetings are found with bit operations on 64 cells at a time, so the work follows
// the number of runs rather than the number of cells.
int32_t THosheKopelman::LabelRuns(const tMerkmal_Matrix& m)
{
    const size_t w = static_cast<size_t>(m.W), h = static_cast<size_t>(m.H), words = WordsPerColumn(h);
    const TWriteColumn writeColumn = ColumnWriter();
    // Column x's bits at (x + 1) * words, after an empty column to the left of the first.
    bits_.resize((w + 1) * words);
    std::fill(bits_.begin(), bits_.begin() + static_cast<std::ptrdiff_t>(words), 0);
    // Run labels, column after column, from entry 1 on; a column has at most ceil(h / 2)
    // runs, and writing a column reads up to 8 entries beyond its last.
    runLabels_.resize(w * ((h + 1) / 2) + 1 + 8);
    runStart_.resize(w + 1);
    runStart_[0] = 1;
    // Each cell's run label, in this column and the left one.
    rowLabels_.resize(2 * h);
    int32_t* table = LabelTable.data();
    int32_t issued = 0;
    for (size_t x = 0; x < w; ++x) {
        uint64_t* cur = bits_.data() + (x + 1) * words;
        const uint64_t* prev = cur - words;
        FeatureBits(m.Data.data() + x * h, h, cur);
        int32_t* curRow = rowLabels_.data() + (x % 2) * h;
        const int32_t* prevRow = rowLabels_.data() + ((x + 1) % 2) * h;
        int32_t* runs = runLabels_.data() + runStart_[x];
        int32_t count = 0;
        // New runs. Whether one meets a left run is as unpredictable as the landscape, so the
        // choice is made by masks; a label is issued by storing the counter at its own index
        // (or at entry 0, which holds the counter anyway).
        uint64_t below = 0;
        for (size_t k = 0; k < words; ++k) {
            const uint64_t c = cur[k], p = prev[k], starts = RunStarts(c, below);
            below = c;
            const int32_t* left = prevRow + k * WordBits;
            for (uint64_t s = starts; s != 0; s &= s - 1) {
                const int b = std::countr_zero(s);
                const int32_t l = left[b] & -static_cast<int32_t>((p >> b) & 1);
                const int32_t fresh = l == 0;
                issued += fresh;
                table[issued & -fresh] = issued;
                runs[count++] = l | (issued & -fresh);
            }
        }
        runStart_[x + 1] = runStart_[x] + count;
        writeColumn(cur, h, runs - 1, curRow);
        // Further left runs met by a run after its first cell are joined to it.
        uint64_t curBelow = 0, meetBelow = 0;
        for (size_t k = 0; k < words; ++k) {
            const uint64_t c = cur[k], meet = c & prev[k];
            const uint64_t joins = RunStarts(meet, meetBelow) & ~RunStarts(c, curBelow);
            curBelow = c;
            meetBelow = meet;
            const int32_t* own = curRow + k * WordBits;
            const int32_t* left = prevRow + k * WordBits;
            for (uint64_t e = joins; e != 0; e &= e - 1) {
                const int b = std::countr_zero(e);
                JoinLabels(own[b], left[b]);
            }
        }
    }
    return issued;
}

void AllowWideLabelling(bool allowed) { wideAllowed.store(allowed, std::memory_order_relaxed); }

// Writes every cell's final cluster number (0 without the feature), column by column.
void THosheKopelman::WriteFinalLabels(const tMerkmal_Matrix& m)
{
    const size_t w = static_cast<size_t>(m.W), h = static_cast<size_t>(m.H), words = WordsPerColumn(h);
    const TWriteColumn writeColumn = ColumnWriter();
    // Each run's label becomes its cluster's number, then the columns are written from them.
    const int32_t* final = finalNumber_.data();
    for (int32_t i = 1; i < runStart_[w]; ++i) runLabels_[static_cast<size_t>(i)] = final[runLabels_[static_cast<size_t>(i)]];
    for (size_t x = 0; x < w; ++x)
        writeColumn(bits_.data() + (x + 1) * words, h, runLabels_.data() + runStart_[x] - 1, LabelMatrix.Data.data() + x * h);
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

int JoinAcrossEdges(tMerkmal_Matrix& labels, int clusterCount, bool acrossX, bool acrossY)
{
    // Union-find over the final numbers, each set rooted at its smallest number.
    std::vector<int32_t> parent(static_cast<size_t>(std::max(clusterCount, 0)) + 1);
    for (size_t k = 0; k < parent.size(); ++k) parent[k] = static_cast<int32_t>(k);
    auto up = [&](int32_t k) -> int32_t& { return parent[static_cast<size_t>(k)]; };
    auto root = [&](int32_t k) {
        while (up(k) != k) k = up(k) = up(up(k)); // path halving
        return k;
    };
    bool joined = false;
    auto join = [&](int32_t a, int32_t b) {
        if (a == 0 || b == 0) return;
        a = root(a);
        b = root(b);
        if (a == b) return;
        up(std::max(a, b)) = std::min(a, b);
        joined = true;
    };
    const int w = labels.W, h = labels.H;
    if (acrossX && w > 1)
        for (int j = 0; j < h; ++j) join(labels(0, j), labels(w - 1, j));
    if (acrossY && h > 1)
        for (int i = 0; i < w; ++i) join(labels(i, 0), labels(i, h - 1));
    if (!joined) return clusterCount;
    // The sweep meets a joined cluster first where it meets its smallest number, so numbering
    // the sets in the order of their roots keeps the sweep order.
    std::vector<int32_t> number(parent.size(), 0);
    int32_t clusters = 0;
    for (size_t k = 1; k < parent.size(); ++k) {
        const int32_t r = root(static_cast<int32_t>(k));
        number[k] = r == static_cast<int32_t>(k) ? ++clusters : number[static_cast<size_t>(r)];
    }
    for (int32_t& v : labels.Data) v = number[static_cast<size_t>(v)];
    return clusters;
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
