#pragma once
#include <cstddef>

namespace marovi {

// Zeroed memory for the large arrays of a grid, owned like a unique_ptr (std::bad_alloc when
// it is not there). Blocks of a few megabytes and more are mapped on their own, with the
// hint for huge pages and faulted in by one call, not page by page on first touch: a
// 1000 x 1000 grid holds some 330 MB, and under virtualisation each first touch of a small
// page can cost microseconds (a fresh process took a second to load such a grid, one
// touching huge pages 40 ms). Huge pages also spare the step's scattered accesses TLB misses.
class TLargeBlock {
public:
    // Faulted in now when the caller writes all of it at once; else page by page on first use
    // (arrays that stay zero until a step writes them: a load or a view need not pay for them).
    enum TFaultIn { Now, OnFirstUse };

    TLargeBlock() = default;
    TLargeBlock(size_t bytes, TFaultIn faultIn);
    TLargeBlock(TLargeBlock&& other) noexcept;
    TLargeBlock& operator=(TLargeBlock&& other) noexcept;
    TLargeBlock(const TLargeBlock&) = delete;
    TLargeBlock& operator=(const TLargeBlock&) = delete;
    ~TLargeBlock();

    void* data() const { return p_; }
    size_t size() const { return bytes_; }

    // Bytes mapped on their own by all blocks since the program started (smaller blocks come
    // from operator new): for the checks of what a load allocates.
    static unsigned long long MappedTotal();

private:
    void Free();
    void* p_ = nullptr;
    size_t bytes_ = 0;  // as asked for
    size_t mapped_ = 0; // bytes mapped on their own (0: from the heap)
};

} // namespace marovi
