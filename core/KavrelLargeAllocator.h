#pragma once

#include "platform/KavrelPlatform.h"

#include <cstddef>
#include <new>

// Standard allocator over platform::allocateLarge, for the containers that hold an instance's
// program slots: they are filled in full when the instance is made, and with 4 kB pages that
// first touch cost more than everything else a host waits for when it opens the plug-in.
template <class T> struct KavrelLargeAllocator {
    using value_type = T;
    KavrelLargeAllocator() = default;
    template <class U> KavrelLargeAllocator(const KavrelLargeAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* memory = kavrel::platform::allocateLarge(n * sizeof(T));
        if (!memory) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) { kavrel::platform::freeLarge(memory); }
    friend bool operator==(const KavrelLargeAllocator&, const KavrelLargeAllocator&) {
        return true;
    }
    friend bool operator!=(const KavrelLargeAllocator&, const KavrelLargeAllocator&) {
        return false;
    }
};
