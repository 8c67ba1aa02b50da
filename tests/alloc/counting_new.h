#pragma once
// Replaces the global allocation functions to count every heap allocation and its bytes.
// Include it in exactly one source file of a test executable.
#include <atomic>
#include <cstdlib>
#include <new>

namespace alloc_count {
inline std::atomic<long long> allocations{0};
inline std::atomic<long long> bytes{0};
} // namespace alloc_count

// GCC pairs the inlined malloc and free below with operator new and delete and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    alloc_count::allocations.fetch_add(1, std::memory_order_relaxed);
    alloc_count::bytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
