#pragma once
#include "params/KavrelParams.h"

#include <atomic>
#include <cstdint>

// Which parameters each MIDI controller drives. Learning happens on the audio thread and
// unlearning on the editor's, while the audio thread reads the map for every controller
// message, so the map is a fixed table in which every change is one atomic store: a cell holds
// 0 when the controller does not drive the parameter, otherwise a stamp that orders the
// controller's parameters by when they were assigned. No reader can see a half-made change and
// nothing is ever allocated or resized.
class KavrelControllerMap {
public:
    static constexpr int kControllers = 128;

    KavrelControllerMap() { clear(); }

    void clear();
    // Adds controller -> parameter at the end of the controller's order (moves it there when
    // already present). Out-of-range numbers are ignored.
    void assign(int controller, int parameter);
    void remove(int controller, int parameter);
    // Removes the parameter from every controller; true when anything was removed.
    bool removeParameter(int parameter);
    bool contains(int controller, int parameter) const;

    // The controller's parameters in assignment order; returns their count (≤ kNumParams).
    int parametersOf(int controller, int* out) const;
    int size() const;

private:
    std::atomic<uint32_t> stamps[kControllers][kavrel::kNumParams];
    std::atomic<uint32_t> nextStamp{1};
};
