#pragma once

#include <atomic>

// Hands whole states from the host's threads to the audio thread without either side ever
// waiting for the other. The audio thread plays one state, at most one waits to be played, and
// the rest belong to the host side, which fills a free one whole and publishes it. The audio
// thread takes the newest at the start of a block and gives back the one it played, which the
// host side collects and reuses; N bounds how many given-back states can wait to be
// collected. The owner frees no state while the exchange lives, so a pointer to one stays
// valid memory in any hand.
//
// Host-side calls (publish, reclaim, collect) must be serialised by the caller; take and
// giveBack belong to whichever single thread plays (the audio thread, or a host thread while
// no audio runs).
template <class State, int N> class KavrelStateExchange {
public:
    KavrelStateExchange() {
        for (auto& cell : returned) cell.store(nullptr, std::memory_order_relaxed);
    }

    // The state the audio side plays (null before the first one lands).
    State* playing() const { return live.load(std::memory_order_acquire); }
    bool hasPending() const { return pending.load() != nullptr; }

    struct Taken {
        State* next;     // now playing, or null when nothing was waiting
        State* previous; // what played before it; give it back once nothing refers to it
    };
    Taken take() {
        State* next = pending.exchange(nullptr);
        if (!next) return {nullptr, nullptr};
        return {next, live.exchange(next, std::memory_order_acq_rel)};
    }
    void giveBack(State* state) {
        if (!state) return;
        // The host side collects before each publish, and the audio side gives back one state
        // per take, so no more than a couple ever wait here: a cell is free.
        for (auto& cell : returned) {
            State* empty = nullptr;
            if (cell.compare_exchange_strong(empty, state, std::memory_order_release,
                                             std::memory_order_relaxed))
                return;
        }
    }

    // Makes `state` the next to play. Returns the one it replaces if that was never taken
    // (the host side's again), or null.
    State* publish(State* state) { return pending.exchange(state); }
    // Takes back the waiting state, if any, before the audio side does.
    State* reclaim() { return pending.exchange(nullptr); }
    // Hands each state the audio side gave back to f.
    template <class F> void collect(F&& f) {
        for (auto& cell : returned)
            if (State* state = cell.exchange(nullptr, std::memory_order_acquire)) f(state);
    }

private:
    std::atomic<State*> pending{nullptr};
    std::atomic<State*> live{nullptr};
    std::atomic<State*> returned[N];
};
