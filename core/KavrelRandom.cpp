#include "core/KavrelRandom.h"

#include <atomic>

namespace kavrel {
namespace {
std::atomic<uint32_t> state{1};
}

int rand() {
    // Linear congruential step with the constants of the classic Windows C runtime, whose
    // 15-bit output range the thresholds of the sequencer are scaled to.
    uint32_t next = state.load(std::memory_order_relaxed) * 214013u + 2531011u;
    state.store(next, std::memory_order_relaxed);
    return static_cast<int>((next >> 16) & 0x7fffu);
}

void srand(uint32_t seed) {
    state.store(seed, std::memory_order_relaxed);
}

} // namespace kavrel
