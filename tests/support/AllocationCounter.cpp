#include "AllocationCounter.h"

#include <cstdint>
#include <cstdlib>
#include <new>

// The replacements below use malloc/free only, so they never recurse into themselves, and
// thread-local counters of trivial type, which need no constructor and work before main
// (static initialisers allocate too) and under the emulated thread-local storage of
// mingw-w64.
namespace {

thread_local std::size_t t_allocations = 0;
thread_local std::size_t t_deallocations = 0;
thread_local std::size_t t_bytes = 0;

void* allocate(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* p = std::malloc(size)) {
            ++t_allocations;
            t_bytes += size;
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void* allocate_nothrow(std::size_t size) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

// malloc's alignment may be smaller than requested and aligned_alloc is missing from the
// Windows C runtime, so over-allocate and keep malloc's pointer just below the aligned block.
void* allocate_aligned(std::size_t size, std::align_val_t alignment) {
    std::size_t align = static_cast<std::size_t>(alignment);
    if (align < alignof(void*)) align = alignof(void*);
    if (size == 0) size = 1;
    const std::size_t total = size + align + sizeof(void*);
    for (;;) {
        if (void* raw = std::malloc(total)) {
            const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
            const std::uintptr_t aligned = (first + align - 1) & ~(std::uintptr_t(align) - 1);
            reinterpret_cast<void**>(aligned)[-1] = raw;
            ++t_allocations;
            t_bytes += size;
            return reinterpret_cast<void*>(aligned);
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void* allocate_aligned_nothrow(std::size_t size, std::align_val_t alignment) noexcept {
    try {
        return allocate_aligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void release(void* p) noexcept {
    if (p == nullptr) return;
    ++t_deallocations;
    std::free(p);
}

void release_aligned(void* p) noexcept {
    if (p == nullptr) return;
    ++t_deallocations;
    std::free(static_cast<void**>(p)[-1]);
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_nothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_nothrow(size);
}
void* operator new(std::size_t size, std::align_val_t a) {
    return allocate_aligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return allocate_aligned(size, a);
}
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocate_aligned_nothrow(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocate_aligned_nothrow(size, a);
}

void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    release_aligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    release_aligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    release_aligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    release_aligned(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    release_aligned(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    release_aligned(p);
}

namespace kavrel::test {

AllocationCounter::AllocationCounter() {
    restart();
}

AllocationCounter::~AllocationCounter() = default;

void AllocationCounter::restart() {
    start_allocations = t_allocations;
    start_deallocations = t_deallocations;
    start_bytes = t_bytes;
}

std::size_t AllocationCounter::allocations() const {
    return t_allocations - start_allocations;
}

std::size_t AllocationCounter::deallocations() const {
    return t_deallocations - start_deallocations;
}

std::size_t AllocationCounter::bytes() const {
    return t_bytes - start_bytes;
}

std::size_t AllocationCounter::thread_allocations() {
    return t_allocations;
}
std::size_t AllocationCounter::thread_deallocations() {
    return t_deallocations;
}
std::size_t AllocationCounter::thread_bytes() {
    return t_bytes;
}

} // namespace kavrel::test
