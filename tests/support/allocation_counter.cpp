#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#endif
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

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
#ifdef _WIN32
    void* p = _aligned_malloc(rounded == 0 ? align : rounded, align);
#else
    void* p = std::aligned_alloc(align, rounded == 0 ? align : rounded);
#endif
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void FreeAligned(void* p) {
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}

void* CountObject(std::size_t size) {
    ++g_objects;
    return Allocate(size);
}

void* CountArray(std::size_t size) {
    ++g_arrays;
    if (size == 96) {
        ++g_arrays96;
    }
    return Allocate(size);
}

} // namespace

AllocationCounts CountedAllocations() {
    return {g_objects.load(), g_arrays.load(), g_arrays96.load()};
}

// Every form is replaced, so that whatever a library allocates with one form and frees with
// another stays with one allocator.
void* operator new(std::size_t size) {
    return CountObject(size);
}
void* operator new[](std::size_t size) {
    return CountArray(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountObject(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountArray(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    ++g_objects;
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    ++g_arrays;
    return AllocateAligned(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return operator new(size, alignment);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    try {
        return operator new[](size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(p);
}
