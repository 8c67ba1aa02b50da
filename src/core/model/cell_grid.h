#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/types.h"
#include "util/large_block.h"

namespace marovi {

// The cells of the grid (m.Cells) and the storage of their per-species counts: the larvae
// of this step and of the last settlement, one int32 per cell and species of the pool, in
// dense arrays (cell-major). Sized by the pool: SetSpeciesCount re-lays them when the pool's
// length changes. Iterable and indexable like a vector of cells; copies are deep.
class TCellGrid {
public:
    TCellGrid() = default;
    TCellGrid(const TCellGrid& other);
    TCellGrid(TCellGrid&& other) noexcept;
    TCellGrid& operator=(const TCellGrid& other);
    TCellGrid& operator=(TCellGrid&& other) noexcept;
    ~TCellGrid();

    // Replaces the grid by `cells` empty cells with counts for `species` species
    // (std::bad_alloc when the memory is not there; the grid is then empty).
    void Create(size_t cells, int species);
    void clear();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    TCell* data() { return cells_; }
    const TCell* data() const { return cells_; }
    TCell* begin() { return cells_; }
    TCell* end() { return cells_ + size_; }
    const TCell* begin() const { return cells_; }
    const TCell* end() const { return cells_ + size_; }
    TCell& operator[](size_t i) { return cells_[i]; }
    const TCell& operator[](size_t i) const { return cells_[i]; }

    // Gives a cell of this grid storage for at least n individuals from the grid's arena: one
    // block for many cells, where a load or a copy would otherwise ask the heap once per cell.
    void ReserveIndividuals(TCell& cell, size_t n);

    // Entries per cell of the per-species counts.
    int SpeciesCount() const { return static_cast<int>(species_); }
    // Keeps the entries of the first min(old, species) species, new ones are 0.
    void SetSpeciesCount(int species);
    // Lays the counts out for `species` entries per cell, entry s going to moves[s] (dropped
    // when that is -1); entries that receive none are 0.
    void MoveSpecies(const TSpeciesMoves& moves, int species);

    TCounts PrevLarvae(size_t i) { return TCounts(PrevLarvaeData() + i * species_, species_); }
    const TCounts PrevLarvae(size_t i) const { return TCounts(PrevLarvaeData() + i * species_, species_); }
    // The larvae of cell i, species s at LarvaeData()[i * SpeciesCount() + s].
    int32_t* LarvaeData() { return static_cast<int32_t*>(larvae_.data()); }
    void ClearPrevLarvae();

    // Bytes held for the cells, their counts and their individual lists.
    size_t Bytes() const;

private:
    void Bind();
    int32_t* PrevLarvaeData() const { return static_cast<int32_t*>(prevLarvae_.data()); }
    void DestroyCells();

    TLargeBlock cellBlock_; // size_ cells, constructed in place
    TCell* cells_ = nullptr;
    TLargeBlock larvae_;
    TLargeBlock prevLarvae_;
    size_t size_ = 0;
    uint32_t species_ = 0;
    std::vector<TLargeBlock> arena_; // storage of individual lists, freed with the grid
    size_t arenaUsed_ = 0;           // bytes taken of the last block
    size_t arenaBytes_ = 0;          // of all blocks
};

} // namespace marovi
