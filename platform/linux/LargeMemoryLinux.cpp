#include "platform/KavrelPlatform.h"

#include <cstdlib>
#include <sys/mman.h>

void* kavrel::platform::allocateLarge(size_t bytes) {
    constexpr size_t kHugePage = size_t{2} << 20;
    if (bytes < kHugePage) return std::malloc(bytes == 0 ? 1 : bytes);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = nullptr;
    if (posix_memalign(&memory, kHugePage, rounded) != 0) return nullptr;
    // Only advice: where the kernel has no huge pages to give, the memory works as it is.
    madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

void kavrel::platform::freeLarge(void* memory) {
    std::free(memory);
}
