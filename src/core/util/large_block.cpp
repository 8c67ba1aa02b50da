#include "util/large_block.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace marovi {

namespace {

constexpr size_t HugePage = size_t{2} << 20;

std::atomic<unsigned long long> mappedTotal{0};

#ifdef __linux__
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older kernels refuse it and fault on touch
#endif

// A mapping of `bytes` (a multiple of HugePage) that starts on a huge page boundary, so that
// all of it can be backed by huge pages; nullptr when the system has no memory for it.
void* MapAligned(size_t bytes, TLargeBlock::TFaultIn faultIn)
{
    void* raw = mmap(nullptr, bytes + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + HugePage - 1) & ~(HugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = start + bytes + HugePage;
    if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
    void* p = reinterpret_cast<void*>(aligned);
    madvise(p, bytes, MADV_HUGEPAGE); // a hint: without transparent huge pages it does nothing
    if (faultIn == TLargeBlock::Now && madvise(p, bytes, MADV_POPULATE_WRITE) != 0 && errno == ENOMEM) {
        munmap(p, bytes); // refused now rather than killed on first touch
        return nullptr;
    }
    return p;
}
#endif

} // namespace

TLargeBlock::TLargeBlock(size_t bytes, TFaultIn faultIn) : bytes_(bytes)
{
    if (bytes == 0) return;
#ifdef __linux__
    if (bytes >= 2 * HugePage) {
        if (bytes > SIZE_MAX - 2 * HugePage) throw std::bad_alloc();
        const size_t rounded = (bytes + HugePage - 1) & ~(HugePage - 1);
        p_ = MapAligned(rounded, faultIn);
        if (p_ == nullptr) throw std::bad_alloc();
        mapped_ = rounded;
        mappedTotal += rounded;
        return;
    }
#endif
    p_ = ::operator new(bytes);
    std::memset(p_, 0, bytes);
}

unsigned long long TLargeBlock::MappedTotal() { return mappedTotal.load(); }

TLargeBlock::TLargeBlock(TLargeBlock&& other) noexcept { *this = std::move(other); }

TLargeBlock& TLargeBlock::operator=(TLargeBlock&& other) noexcept
{
    if (this == &other) return *this;
    Free();
    p_ = std::exchange(other.p_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
    return *this;
}

TLargeBlock::~TLargeBlock() { Free(); }

void TLargeBlock::Free()
{
    if (p_ == nullptr) return;
#ifdef __linux__
    if (mapped_ > 0) {
        munmap(p_, mapped_);
        p_ = nullptr;
        return;
    }
#endif
    ::operator delete(p_);
    p_ = nullptr;
}

} // namespace marovi
