#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/types.h"

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
    TCell* data() { return cells_.get(); }
    const TCell* data() const { return cells_.get(); }
    TCell* begin() { return cells_.get(); }
    TCell* end() { return cells_.get() + size_; }
    const TCell* begin() const { return cells_.get(); }
    const TCell* end() const { return cells_.get() + size_; }
    TCell& operator[](size_t i) { return cells_[i]; }
    const TCell& operator[](size_t i) const { return cells_[i]; }

    // Entries per cell of the per-species counts.
    int SpeciesCount() const { return static_cast<int>(species_); }
    // Keeps the entries of the first min(old, species) species, new ones are 0.
    void SetSpeciesCount(int species);

    TCounts PrevLarvae(size_t i) { return TCounts(prevLarvae_.get() + i * species_, species_); }
    const TCounts PrevLarvae(size_t i) const { return TCounts(prevLarvae_.get() + i * species_, species_); }
    // The larvae of cell i, species s at LarvaeData()[i * SpeciesCount() + s].
    int32_t* LarvaeData() { return larvae_.get(); }
    void ClearPrevLarvae();

    // Bytes held for the cells, their counts and their individual lists.
    size_t Bytes() const;

private:
    void Bind();

    std::unique_ptr<TCell[]> cells_;
    std::unique_ptr<int32_t[]> larvae_;
    std::unique_ptr<int32_t[]> prevLarvae_;
    size_t size_ = 0;
    uint32_t species_ = 0;
};

} // namespace marovi
