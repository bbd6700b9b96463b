#include "core/KavrelControllerMap.h"

using kavrel::kNumParams;

namespace {
bool valid(int controller, int parameter) {
    return controller >= 0 && controller < KavrelControllerMap::kControllers && parameter >= 0 &&
           parameter < kNumParams;
}
} // namespace

void KavrelControllerMap::clear() {
    for (auto& row : stamps)
        for (auto& cell : row) cell.store(0, std::memory_order_relaxed);
}

void KavrelControllerMap::assign(int controller, int parameter) {
    if (!valid(controller, parameter)) return;
    stamps[controller][parameter].store(nextStamp.fetch_add(1, std::memory_order_relaxed),
                                        std::memory_order_relaxed);
}

void KavrelControllerMap::remove(int controller, int parameter) {
    if (valid(controller, parameter))
        stamps[controller][parameter].store(0, std::memory_order_relaxed);
}

bool KavrelControllerMap::removeParameter(int parameter) {
    if (parameter < 0 || parameter >= kNumParams) return false;
    bool removed = false;
    for (auto& row : stamps) removed |= row[parameter].exchange(0, std::memory_order_relaxed) != 0;
    return removed;
}

bool KavrelControllerMap::contains(int controller, int parameter) const {
    return valid(controller, parameter) &&
           stamps[controller][parameter].load(std::memory_order_relaxed) != 0;
}

int KavrelControllerMap::parametersOf(int controller, int* out) const {
    if (controller < 0 || controller >= kControllers) return 0;
    uint32_t order[kNumParams];
    int count = 0;
    for (int p = 0; p < kNumParams; ++p) {
        uint32_t stamp = stamps[controller][p].load(std::memory_order_relaxed);
        if (!stamp) continue;
        // Insertion sort by stamp: a controller rarely drives more than a handful.
        int k = count++;
        while (k > 0 && order[k - 1] > stamp) {
            order[k] = order[k - 1];
            out[k] = out[k - 1];
            --k;
        }
        order[k] = stamp;
        out[k] = p;
    }
    return count;
}

int KavrelControllerMap::size() const {
    int n = 0;
    for (const auto& row : stamps)
        for (const auto& cell : row) n += cell.load(std::memory_order_relaxed) ? 1 : 0;
    return n;
}
