#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace marovi {

constexpr int MaxSpecies = 51;         // species indices 0..50
constexpr int CellSide = 10;           // a cell has CellSide x CellSide positions
constexpr int CellPositions = CellSide * CellSide;
constexpr int SeasonsPerYear = 1;
constexpr int SpeciesRecordSize = 496; // bytes of one TSpecies in files

using TSpeciesCounts = std::array<int32_t, MaxSpecies>;
// Where the species went in an edit of the pool: entry i is the index now of the species
// that had index i, or -1 when it left the pool (or there was none).
using TSpeciesMoves = std::array<int32_t, MaxSpecies>;

// One sessile individual, owned by its cell. Positions are tenths of the cell (0..9).
struct TIndividual {
    int32_t Species = 0;
    int32_t Age = 0;
    double Size = 0.0;
    int32_t LastReproduction = 0;
    int8_t PosX = 0;
    int8_t PosY = 0;
};

// A cell's list of individuals: insertion order, removal closes the gap. Like a vector of
// TIndividual (size, [], iteration, push_back, erase, reserve), in 16 bytes per cell. Its
// storage is its own, or borrowed from its grid's arena (TCellGrid::ReserveIndividuals), which
// frees it with the grid: such a list stays in its grid (moves carry the storage along,
// copies take their own).
class TIndividualList {
public:
    TIndividualList() = default;
    TIndividualList(const TIndividualList& other);
    TIndividualList(TIndividualList&& other) noexcept;
    TIndividualList& operator=(const TIndividualList& other);
    TIndividualList& operator=(TIndividualList&& other) noexcept;
    ~TIndividualList();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return capacity_ & ~Borrowed; }
    TIndividual& operator[](size_t i) { return data_[i]; }
    const TIndividual& operator[](size_t i) const { return data_[i]; }
    // std::out_of_range past the end.
    TIndividual& at(size_t i);
    const TIndividual& at(size_t i) const;
    TIndividual* begin() { return data_; }
    TIndividual* end() { return data_ + size_; }
    const TIndividual* begin() const { return data_; }
    const TIndividual* end() const { return data_ + size_; }
    TIndividual& front() { return data_[0]; }
    const TIndividual& front() const { return data_[0]; }
    TIndividual& back() { return data_[size_ - 1]; }
    const TIndividual& back() const { return data_[size_ - 1]; }
    TIndividual* data() { return data_; }
    const TIndividual* data() const { return data_; }

    // Grows the storage only when it is full (std::bad_alloc when that fails).
    void push_back(const TIndividual& ind)
    {
        if (size_ == capacity()) Grow();
        data_[size_++] = ind;
    }
    void pop_back() { --size_; }
    // Removes the entry at pos (begin() + i); the later ones move up by one.
    TIndividual* erase(const TIndividual* pos);
    void clear() { size_ = 0; }
    void reserve(size_t n);
    // New entries are default individuals.
    void resize(size_t n);

private:
    friend class TCellGrid;
    static constexpr uint32_t Borrowed = 0x80000000u; // flag in capacity_: the grid's storage
    // Takes `storage` for n entries (at least size()), keeping the entries.
    void Adopt(TIndividual* storage, size_t n, bool borrowed);
    void FreeStorage();
    void Grow();
    bool IsBorrowed() const { return (capacity_ & Borrowed) != 0; }

    TIndividual* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// The 10 x 10 positions of a cell, one bit each: Has(x, y) where an individual stands.
class TPositionMap {
public:
    bool Has(int x, int y) const { return (bits_[Index(x, y) >> 6] >> (Index(x, y) & 63)) & 1; }
    void Set(int x, int y) { bits_[Index(x, y) >> 6] |= uint64_t{1} << (Index(x, y) & 63); }
    void Free(int x, int y) { bits_[Index(x, y) >> 6] &= ~(uint64_t{1} << (Index(x, y) & 63)); }
    void Clear() { bits_[0] = bits_[1] = 0; }
    int Count() const { return __builtin_popcountll(bits_[0]) + __builtin_popcountll(bits_[1]); }
    bool operator==(const TPositionMap&) const = default;

private:
    static unsigned Index(int x, int y) { return static_cast<unsigned>(x * CellSide + y); }
    uint64_t bits_[2] = {0, 0};
};

// Per-species counts of one cell held by the grid, one entry per species of the pool
// (cell.Larvae, m.PrevLarvaeAt(x, y)): counts[s] for s in 0..SpeciesMax, size(), iteration,
// fill(v). A reference to the grid's storage: copying one copies the reference; use
// ToSpeciesCounts for a copy of the values.
class TCounts {
public:
    TCounts() = default; // no entries
    TCounts(const TCounts&) = default;
    TCounts& operator=(const TCounts&) = delete;

    int32_t& operator[](size_t s) { return p_[s]; }
    int32_t operator[](size_t s) const { return p_[s]; }
    size_t size() const { return n_; }
    int32_t* begin() { return p_; }
    int32_t* end() { return p_ + n_; }
    const int32_t* begin() const { return p_; }
    const int32_t* end() const { return p_ + n_; }
    void fill(int32_t v)
    {
        for (uint32_t s = 0; s < n_; ++s) p_[s] = v;
    }

private:
    friend class TCellGrid;
    TCounts(int32_t* p, uint32_t n) : p_(p), n_(n) {}
    int32_t* p_ = nullptr;
    uint32_t n_ = 0;
};

struct TCell;

// cell.Abundance[s]: the individuals of species s in the cell, counted in its list (so it
// always agrees with the list and takes no memory). Read-only.
class TAbundance {
public:
    TAbundance() = default;
    TAbundance(const TAbundance&) = delete;
    TAbundance& operator=(const TAbundance&) = delete;
    int32_t operator[](size_t s) const;

private:
    friend TSpeciesCounts ToSpeciesCounts(const TAbundance& abundance);
    const TCell& Cell() const;
};

// A grid cell. The grid (TCellGrid, m.Cells) owns the cells and the storage of their
// per-species counts, which it sizes by the species pool; cells are not copied one by one.
struct TCell {
    TAbundance Abundance; // the first member: it finds its cell at its own address
    int32_t IndividualCount = 0;
    int32_t LarvaeCount = 0;
    int32_t Capacity = 0;
    int32_t DisturbanceCount = 0;
    int32_t CellAge = 0;
    uint32_t Substrate = 255;
    TCounts Larvae;
    TIndividualList Individuals; // insertion order; removal closes the gap
    TPositionMap Occupied;
};

inline const TCell& TAbundance::Cell() const { return *reinterpret_cast<const TCell*>(this); }

inline int32_t TAbundance::operator[](size_t s) const
{
    int32_t n = 0;
    for (const TIndividual& ind : Cell().Individuals) n += static_cast<size_t>(ind.Species) == s;
    return n;
}

// The per-species counts of a cell (cell.Abundance, cell.Larvae, m.PrevLarvaeAt(x, y)) as a
// whole 51-entry TSpeciesCounts, for the measures and anything that takes the whole array:
// m.DiversityFunc(m, ToSpeciesCounts(cell.Abundance)). Entries past the pool are 0.
TSpeciesCounts ToSpeciesCounts(const TAbundance& abundance);
TSpeciesCounts ToSpeciesCounts(const TCounts& counts);

// Equal as whole 51-entry arrays.
bool operator==(const TCounts& a, const TCounts& b);
bool operator==(const TCounts& a, const TSpeciesCounts& b);
bool operator==(const TAbundance& a, const TAbundance& b);
bool operator==(const TAbundance& a, const TSpeciesCounts& b);

enum class TKernel : uint8_t { Exponential = 1, Diffusion = 2, Uniform = 4 };

// The species record. Its file layout (496 bytes) is written field by field by the files.
struct TSpecies {
    std::string Name;                 // at most 20 single-byte characters
    double DispersalDistance = 0.0;
    double PatchSize = 0.0;
    double MaxSize = 0.0;
    std::array<double, SeasonsPerYear> DeathProb{};
    std::array<double, SeasonsPerYear> Fecundity{};
    int32_t MaxLifespan = 0;
    int32_t NormalLifespan = 0;
    int32_t FirstReproduction = 0;
    int32_t ReproInterval = 0;
    bool GlobalDrift = false;
    int8_t Guild = 0;
    uint32_t GrowsOn = 0;
    uint32_t ChangesSubstrate = 0;
    double ReproAsync = 0.0;
    int32_t Color = 0;                // Windows colour value 0x00BBGGRR as stored in files
    int32_t GrowthModel = 0;          // 0 linear, 1 exponential
    double GrowthK = 0.0;
    double KFactor = 0.0;
    std::array<uint8_t, 368> Reserved{}; // stored as found
};

constexpr int NameLength = 20;

} // namespace marovi
