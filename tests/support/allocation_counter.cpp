#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
// Constant-initialised, so counting is right even for allocations made by static constructors
// that run before this file's own dynamic initialisation.
std::atomic<long> g_objects{0};
std::atomic<long> g_arrays{0};
std::atomic<long> g_arrays96{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
} // namespace

AllocationCounts CountedAllocations() { return {g_objects.load(), g_arrays.load(), g_arrays96.load()}; }

void* operator new(std::size_t size) {
    ++g_objects;
    return Allocate(size);
}

void* operator new[](std::size_t size) {
    ++g_arrays;
    if (size == 96) {
        ++g_arrays96;
    }
    return Allocate(size);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
