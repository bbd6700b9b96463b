#include "platform/KavrelPlatform.h"

#include <cstdlib>

// Large pages need a privilege that users do not hold; the heap serves.
void* kavrel::platform::allocateLarge(size_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void kavrel::platform::freeLarge(void* memory) {
    std::free(memory);
}
