#include "model/cell_grid.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "model/species_moves.h"

namespace marovi {

// TAbundance finds its cell at its own address: the first member of a standard-layout
// record shares the record's address.
static_assert(std::is_standard_layout_v<TCell>);
static_assert(offsetof(TCell, Abundance) == 0);
static_assert(std::is_trivially_copyable_v<TIndividual>);

namespace {

TIndividual* Allocate(size_t n) { return n == 0 ? nullptr : std::allocator<TIndividual>().allocate(n); }

void Release(TIndividual* p, size_t n)
{
    if (p != nullptr) std::allocator<TIndividual>().deallocate(p, n);
}

} // namespace

// --- TIndividualList ---

TIndividualList::TIndividualList(const TIndividualList& other)
{
    Adopt(Allocate(other.capacity()), other.capacity(), false);
    size_ = other.size_;
    if (size_ > 0) std::memcpy(static_cast<void*>(data_), other.data_, size_ * sizeof(TIndividual));
}

TIndividualList::TIndividualList(TIndividualList&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{
}

TIndividualList& TIndividualList::operator=(const TIndividualList& other)
{
    if (this == &other) return *this;
    if (capacity() < other.size_) {
        TIndividual* fresh = Allocate(other.capacity());
        size_ = 0; // replaced, not kept
        Adopt(fresh, other.capacity(), false);
    }
    size_ = other.size_;
    if (size_ > 0) std::memcpy(static_cast<void*>(data_), other.data_, size_ * sizeof(TIndividual));
    return *this;
}

TIndividualList& TIndividualList::operator=(TIndividualList&& other) noexcept
{
    if (this == &other) return *this;
    FreeStorage();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
}

TIndividualList::~TIndividualList() { FreeStorage(); }

void TIndividualList::FreeStorage()
{
    if (!IsBorrowed()) Release(data_, capacity_);
}

void TIndividualList::Adopt(TIndividual* storage, size_t n, bool borrowed)
{
    if (size_ > 0) std::memcpy(static_cast<void*>(storage), data_, size_ * sizeof(TIndividual));
    FreeStorage();
    data_ = storage;
    capacity_ = static_cast<uint32_t>(n) | (borrowed ? Borrowed : 0);
}

TIndividual& TIndividualList::at(size_t i)
{
    if (i >= size_) throw std::out_of_range("individual list index");
    return data_[i];
}

const TIndividual& TIndividualList::at(size_t i) const
{
    if (i >= size_) throw std::out_of_range("individual list index");
    return data_[i];
}

void TIndividualList::reserve(size_t n)
{
    if (n > capacity()) Adopt(Allocate(n), n, false);
}

void TIndividualList::Grow() { reserve(std::max<size_t>(4, capacity() * 2)); }

TIndividual* TIndividualList::erase(const TIndividual* pos)
{
    const size_t i = static_cast<size_t>(pos - data_);
    std::memmove(static_cast<void*>(data_ + i), data_ + i + 1, (size_ - i - 1) * sizeof(TIndividual));
    --size_;
    return data_ + i;
}

void TIndividualList::resize(size_t n)
{
    reserve(n);
    for (size_t i = size_; i < n; ++i) data_[i] = TIndividual{};
    size_ = static_cast<uint32_t>(n);
}

// --- whole counts ---

TSpeciesCounts ToSpeciesCounts(const TAbundance& abundance)
{
    TSpeciesCounts counts{};
    for (const TIndividual& ind : abundance.Cell().Individuals) counts[static_cast<size_t>(ind.Species)] += 1;
    return counts;
}

TSpeciesCounts ToSpeciesCounts(const TCounts& counts)
{
    TSpeciesCounts whole{};
    std::copy(counts.begin(), counts.end(), whole.begin());
    return whole;
}

bool operator==(const TCounts& a, const TCounts& b) { return ToSpeciesCounts(a) == ToSpeciesCounts(b); }
bool operator==(const TCounts& a, const TSpeciesCounts& b) { return ToSpeciesCounts(a) == b; }
bool operator==(const TAbundance& a, const TAbundance& b) { return ToSpeciesCounts(a) == ToSpeciesCounts(b); }
bool operator==(const TAbundance& a, const TSpeciesCounts& b) { return ToSpeciesCounts(a) == b; }

// --- TCellGrid ---

TCellGrid::TCellGrid(const TCellGrid& other) { *this = other; }

TCellGrid::TCellGrid(TCellGrid&& other) noexcept { *this = std::move(other); }

TCellGrid& TCellGrid::operator=(const TCellGrid& other)
{
    if (this == &other) return *this;
    TCellGrid copy;
    copy.Create(other.size_, static_cast<int>(other.species_));
    const size_t counts = other.size_ * other.species_ * sizeof(int32_t);
    if (counts > 0) {
        std::memcpy(copy.larvae_.data(), other.larvae_.data(), counts);
        std::memcpy(copy.prevLarvae_.data(), other.prevLarvae_.data(), counts);
    }
    for (size_t i = 0; i < other.size_; ++i) {
        TCell& to = copy.cells_[i];
        const TCell& from = other.cells_[i];
        to.IndividualCount = from.IndividualCount;
        to.LarvaeCount = from.LarvaeCount;
        to.Capacity = from.Capacity;
        to.DisturbanceCount = from.DisturbanceCount;
        to.CellAge = from.CellAge;
        to.Substrate = from.Substrate;
        copy.ReserveIndividuals(to, from.Individuals.capacity()); // room to grow, as the original has
        to.Individuals = from.Individuals;
        to.Occupied = from.Occupied;
    }
    return *this = std::move(copy);
}

TCellGrid& TCellGrid::operator=(TCellGrid&& other) noexcept
{
    if (this == &other) return *this;
    // The cells' views and borrowed lists point into the blocks, which move along unchanged.
    DestroyCells();
    cellBlock_ = std::move(other.cellBlock_);
    cells_ = std::exchange(other.cells_, nullptr);
    larvae_ = std::move(other.larvae_);
    prevLarvae_ = std::move(other.prevLarvae_);
    size_ = std::exchange(other.size_, 0);
    species_ = std::exchange(other.species_, 0);
    arena_ = std::move(other.arena_);
    other.arena_.clear();
    arenaUsed_ = std::exchange(other.arenaUsed_, 0);
    arenaBytes_ = std::exchange(other.arenaBytes_, 0);
    return *this;
}

TCellGrid::~TCellGrid() { DestroyCells(); }

void TCellGrid::DestroyCells()
{
    if (cells_ != nullptr) std::destroy_n(cells_, size_);
    cells_ = nullptr;
}

void TCellGrid::Create(size_t cells, int species)
{
    clear();
    const uint32_t n = static_cast<uint32_t>(std::max(species, 0));
    // A size whose bytes do not fit in the address space is refused as out of memory before
    // asking for it.
    constexpr size_t kAddressable = size_t{1} << 46;
    size_t cellBytes = 0, larvaBytes = 0;
    if (__builtin_mul_overflow(cells, sizeof(TCell), &cellBytes) ||
        __builtin_mul_overflow(cells, size_t{n} * sizeof(int32_t), &larvaBytes) ||
        cellBytes > kAddressable || larvaBytes > kAddressable)
        throw std::bad_alloc();
    TLargeBlock cellBlock(cellBytes, TLargeBlock::Now);
    TLargeBlock larvae(larvaBytes, TLargeBlock::OnFirstUse), prev(larvaBytes, TLargeBlock::OnFirstUse);
    cells_ = static_cast<TCell*>(cellBlock.data());
    std::uninitialized_default_construct_n(cells_, cells);
    cellBlock_ = std::move(cellBlock);
    larvae_ = std::move(larvae);
    prevLarvae_ = std::move(prev);
    size_ = cells;
    species_ = n;
    Bind();
}

void TCellGrid::clear()
{
    DestroyCells();
    cellBlock_ = TLargeBlock();
    larvae_ = TLargeBlock();
    prevLarvae_ = TLargeBlock();
    arena_.clear();
    arenaUsed_ = arenaBytes_ = 0;
    size_ = 0;
}

void TCellGrid::ReserveIndividuals(TCell& cell, size_t n)
{
    if (n <= cell.Individuals.capacity()) return;
    const size_t bytes = n * sizeof(TIndividual);
    if (arena_.empty() || arenaUsed_ + bytes > arena_.back().size()) {
        // Blocks grow with the arena, from 256 KiB to 8 MiB: a small grid takes little, and
        // little of a large one's last block stays unused.
        const size_t block = std::max(bytes, std::clamp<size_t>(arenaBytes_, size_t{256} << 10, size_t{8} << 20));
        arena_.emplace_back(block, TLargeBlock::Now);
        arenaUsed_ = 0;
        arenaBytes_ += block;
    }
    auto* storage = reinterpret_cast<TIndividual*>(static_cast<char*>(arena_.back().data()) + arenaUsed_);
    arenaUsed_ += bytes;
    cell.Individuals.Adopt(storage, n, true);
}

void TCellGrid::SetSpeciesCount(int species)
{
    if (static_cast<uint32_t>(std::max(species, 0)) == species_) return;
    MoveSpecies(KeptSpecies(species), species);
}

void TCellGrid::MoveSpecies(const TSpeciesMoves& moves, int species)
{
    const uint32_t n = static_cast<uint32_t>(std::max(species, 0));
    TLargeBlock larvae(size_ * n * sizeof(int32_t), TLargeBlock::Now), prev(size_ * n * sizeof(int32_t), TLargeBlock::Now);
    auto* toLarvae = static_cast<int32_t*>(larvae.data());
    auto* toPrev = static_cast<int32_t*>(prev.data());
    for (size_t i = 0; i < size_; ++i)
        for (uint32_t s = 0; s < species_ && s < moves.size(); ++s) {
            const int32_t to = moves[s];
            if (to < 0 || static_cast<uint32_t>(to) >= n) continue;
            toLarvae[i * n + static_cast<uint32_t>(to)] = LarvaeData()[i * species_ + s];
            toPrev[i * n + static_cast<uint32_t>(to)] = PrevLarvaeData()[i * species_ + s];
        }
    larvae_ = std::move(larvae);
    prevLarvae_ = std::move(prev);
    species_ = n;
    Bind();
}

void TCellGrid::ClearPrevLarvae() { std::fill_n(PrevLarvaeData(), size_ * species_, 0); }

void TCellGrid::Bind()
{
    for (size_t i = 0; i < size_; ++i) {
        cells_[i].Larvae.p_ = LarvaeData() + i * species_;
        cells_[i].Larvae.n_ = species_;
    }
}

size_t TCellGrid::Bytes() const
{
    size_t bytes = size_ * (sizeof(TCell) + 2 * species_ * sizeof(int32_t)) + arenaBytes_;
    for (size_t i = 0; i < size_; ++i)
        if (!cells_[i].Individuals.IsBorrowed()) bytes += cells_[i].Individuals.capacity() * sizeof(TIndividual);
    return bytes;
}

} // namespace marovi
