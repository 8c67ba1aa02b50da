#include "model/cell_grid.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

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
    : data_(Allocate(other.capacity_)), size_(other.size_), capacity_(other.capacity_)
{
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
    if (capacity_ < other.size_) {
        TIndividual* fresh = Allocate(other.capacity_);
        Release(data_, capacity_);
        data_ = fresh;
        capacity_ = other.capacity_;
    }
    size_ = other.size_;
    if (size_ > 0) std::memcpy(static_cast<void*>(data_), other.data_, size_ * sizeof(TIndividual));
    return *this;
}

TIndividualList& TIndividualList::operator=(TIndividualList&& other) noexcept
{
    if (this == &other) return *this;
    Release(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
}

TIndividualList::~TIndividualList() { Release(data_, capacity_); }

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
    if (n <= capacity_) return;
    TIndividual* fresh = Allocate(n);
    if (size_ > 0) std::memcpy(static_cast<void*>(fresh), data_, size_ * sizeof(TIndividual));
    Release(data_, capacity_);
    data_ = fresh;
    capacity_ = static_cast<uint32_t>(n);
}

void TIndividualList::push_back(const TIndividual& ind)
{
    if (size_ == capacity_) reserve(std::max<size_t>(4, size_t{capacity_} * 2));
    data_[size_++] = ind;
}

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
    const size_t counts = other.size_ * other.species_;
    std::copy(other.larvae_.get(), other.larvae_.get() + counts, copy.larvae_.get());
    std::copy(other.prevLarvae_.get(), other.prevLarvae_.get() + counts, copy.prevLarvae_.get());
    for (size_t i = 0; i < other.size_; ++i) {
        TCell& to = copy.cells_[i];
        const TCell& from = other.cells_[i];
        to.IndividualCount = from.IndividualCount;
        to.LarvaeCount = from.LarvaeCount;
        to.Capacity = from.Capacity;
        to.DisturbanceCount = from.DisturbanceCount;
        to.CellAge = from.CellAge;
        to.Substrate = from.Substrate;
        to.Individuals = from.Individuals;
        to.Occupied = from.Occupied;
    }
    return *this = std::move(copy);
}

TCellGrid& TCellGrid::operator=(TCellGrid&& other) noexcept
{
    // The cells' views point into the arrays, which move along unchanged.
    cells_ = std::move(other.cells_);
    larvae_ = std::move(other.larvae_);
    prevLarvae_ = std::move(other.prevLarvae_);
    size_ = std::exchange(other.size_, 0);
    species_ = std::exchange(other.species_, 0);
    return *this;
}

TCellGrid::~TCellGrid() = default;

void TCellGrid::Create(size_t cells, int species)
{
    clear();
    const uint32_t n = static_cast<uint32_t>(std::max(species, 0));
    // A size whose bytes do not fit in the address space is refused as out of memory before
    // asking for it (new[] would wrap or, under sanitizers, abort instead of throwing).
    constexpr size_t kAddressable = size_t{1} << 46;
    size_t cellBytes = 0, larvaBytes = 0;
    if (__builtin_mul_overflow(cells, sizeof(TCell), &cellBytes) ||
        __builtin_mul_overflow(cells, size_t{n} * sizeof(int32_t), &larvaBytes) ||
        cellBytes > kAddressable || larvaBytes > kAddressable)
        throw std::bad_alloc();
    auto fresh = std::make_unique<TCell[]>(cells);
    auto larvae = std::make_unique<int32_t[]>(cells * n);
    auto prev = std::make_unique<int32_t[]>(cells * n);
    cells_ = std::move(fresh);
    larvae_ = std::move(larvae);
    prevLarvae_ = std::move(prev);
    size_ = cells;
    species_ = n;
    Bind();
}

void TCellGrid::clear()
{
    cells_.reset();
    larvae_.reset();
    prevLarvae_.reset();
    size_ = 0;
}

void TCellGrid::SetSpeciesCount(int species)
{
    const uint32_t n = static_cast<uint32_t>(std::max(species, 0));
    if (n == species_) return;
    auto larvae = std::make_unique<int32_t[]>(size_ * n);
    auto prev = std::make_unique<int32_t[]>(size_ * n);
    const uint32_t kept = std::min(n, species_);
    for (size_t i = 0; i < size_; ++i) {
        std::copy_n(larvae_.get() + i * species_, kept, larvae.get() + i * n);
        std::copy_n(prevLarvae_.get() + i * species_, kept, prev.get() + i * n);
    }
    larvae_ = std::move(larvae);
    prevLarvae_ = std::move(prev);
    species_ = n;
    Bind();
}

void TCellGrid::ClearPrevLarvae() { std::fill_n(prevLarvae_.get(), size_ * species_, 0); }

void TCellGrid::Bind()
{
    for (size_t i = 0; i < size_; ++i) {
        cells_[i].Larvae.p_ = larvae_.get() + i * species_;
        cells_[i].Larvae.n_ = species_;
    }
}

size_t TCellGrid::Bytes() const
{
    size_t bytes = size_ * (sizeof(TCell) + 2 * species_ * sizeof(int32_t));
    for (size_t i = 0; i < size_; ++i) bytes += cells_[i].Individuals.capacity() * sizeof(TIndividual);
    return bytes;
}

} // namespace marovi
