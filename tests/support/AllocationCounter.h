#pragma once

#include <cstddef>

// Counts heap allocations, for tests that prove a code path never allocates (the audio
// thread). Linking AllocationCounter.cpp replaces the global operator new and delete (every
// form: plain, array, nothrow, aligned, sized); they count on the calling thread and then
// allocate with malloc as usual.
//
//     {
//         kavrel::test::AllocationCounter counter;   // starts counting on this thread
//         for (int i = 0; i < 1000; ++i) block.process(0.0f);
//         EXPECT_EQ(counter.allocations(), 0u);
//     }
//
// Only the constructing thread's allocations are counted, so a framework or another
// thread allocating meanwhile does not disturb the result. Counters may be nested.
namespace kavrel::test {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // operator new calls (of any form) on this thread since construction or restart().
    std::size_t allocations() const;
    // operator delete calls on a non-null pointer on this thread since then.
    std::size_t deallocations() const;
    // Bytes requested by those allocations.
    std::size_t bytes() const;
    // Starts counting again from zero.
    void restart();

    // Running totals of the calling thread since it started; never reset.
    static std::size_t thread_allocations();
    static std::size_t thread_deallocations();
    static std::size_t thread_bytes();

private:
    std::size_t start_allocations = 0;
    std::size_t start_deallocations = 0;
    std::size_t start_bytes = 0;
};

} // namespace kavrel::test
