// The audio thread never waits for another thread and never touches the heap or a file. This
// binary is linked with --wrap for every lock entry point (POSIX mutexes, read-write locks,
// spin locks, condition variables, semaphores; the C++ mutexes are inline calls of the POSIX
// ones and the guard of function-local statics is __cxa_guard_acquire), for malloc and its
// family, and for opening files. The wrappers count calls made while the calling thread is
// inside processEvents or processReplacing, then do what was asked.
#include "core/Kavrel.h"
#include "editor/KavrelEditor.h"
#include "support/IdlingEditor.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <semaphore.h>
#include <vector>

namespace {

thread_local bool t_rendering = false;
std::atomic<long> locks{0};
std::atomic<long> heap{0};
std::atomic<long> files{0};

inline void countLock() {
    if (t_rendering) locks.fetch_add(1, std::memory_order_relaxed);
}
inline void countHeap() {
    if (t_rendering) heap.fetch_add(1, std::memory_order_relaxed);
}
inline void countFile() {
    if (t_rendering) files.fetch_add(1, std::memory_order_relaxed);
}

struct Rendering {
    Rendering() { t_rendering = true; }
    ~Rendering() { t_rendering = false; }
};

} // namespace

extern "C" {
int __real_pthread_mutex_lock(pthread_mutex_t*);
int __real_pthread_mutex_trylock(pthread_mutex_t*);
int __real_pthread_mutex_timedlock(pthread_mutex_t*, const struct timespec*);
int __real_pthread_rwlock_rdlock(pthread_rwlock_t*);
int __real_pthread_rwlock_wrlock(pthread_rwlock_t*);
int __real_pthread_rwlock_tryrdlock(pthread_rwlock_t*);
int __real_pthread_rwlock_trywrlock(pthread_rwlock_t*);
int __real_pthread_spin_lock(pthread_spinlock_t*);
int __real_pthread_spin_trylock(pthread_spinlock_t*);
int __real_pthread_cond_wait(pthread_cond_t*, pthread_mutex_t*);
int __real_pthread_cond_timedwait(pthread_cond_t*, pthread_mutex_t*, const struct timespec*);
int __real_sem_wait(sem_t*);
int __real_sem_timedwait(sem_t*, const struct timespec*);
int __real___cxa_guard_acquire(long long*);
void* __real_malloc(size_t);
void* __real_calloc(size_t, size_t);
void* __real_realloc(void*, size_t);
void __real_free(void*);
FILE* __real_fopen(const char*, const char*);
int __real_open(const char*, int, ...);
int __real_openat(int, const char*, int, ...);

int __wrap_pthread_mutex_lock(pthread_mutex_t* m) {
    countLock();
    return __real_pthread_mutex_lock(m);
}
int __wrap_pthread_mutex_trylock(pthread_mutex_t* m) {
    countLock();
    return __real_pthread_mutex_trylock(m);
}
int __wrap_pthread_mutex_timedlock(pthread_mutex_t* m, const struct timespec* t) {
    countLock();
    return __real_pthread_mutex_timedlock(m, t);
}
int __wrap_pthread_rwlock_rdlock(pthread_rwlock_t* l) {
    countLock();
    return __real_pthread_rwlock_rdlock(l);
}
int __wrap_pthread_rwlock_wrlock(pthread_rwlock_t* l) {
    countLock();
    return __real_pthread_rwlock_wrlock(l);
}
int __wrap_pthread_rwlock_tryrdlock(pthread_rwlock_t* l) {
    countLock();
    return __real_pthread_rwlock_tryrdlock(l);
}
int __wrap_pthread_rwlock_trywrlock(pthread_rwlock_t* l) {
    countLock();
    return __real_pthread_rwlock_trywrlock(l);
}
int __wrap_pthread_spin_lock(pthread_spinlock_t* l) {
    countLock();
    return __real_pthread_spin_lock(l);
}
int __wrap_pthread_spin_trylock(pthread_spinlock_t* l) {
    countLock();
    return __real_pthread_spin_trylock(l);
}
int __wrap_pthread_cond_wait(pthread_cond_t* c, pthread_mutex_t* m) {
    countLock();
    return __real_pthread_cond_wait(c, m);
}
int __wrap_pthread_cond_timedwait(pthread_cond_t* c, pthread_mutex_t* m, const struct timespec* t) {
    countLock();
    return __real_pthread_cond_timedwait(c, m, t);
}
int __wrap_sem_wait(sem_t* s) {
    countLock();
    return __real_sem_wait(s);
}
int __wrap_sem_timedwait(sem_t* s, const struct timespec* t) {
    countLock();
    return __real_sem_timedwait(s, t);
}
int __wrap___cxa_guard_acquire(long long* guard) {
    countLock();
    return __real___cxa_guard_acquire(guard);
}
void* __wrap_malloc(size_t n) {
    countHeap();
    return __real_malloc(n);
}
void* __wrap_calloc(size_t n, size_t size) {
    countHeap();
    return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, size_t n) {
    countHeap();
    return __real_realloc(p, n);
}
void __wrap_free(void* p) {
    if (p) countHeap();
    __real_free(p);
}
FILE* __wrap_fopen(const char* path, const char* mode) {
    countFile();
    return __real_fopen(path, mode);
}
int __wrap_open(const char* path, int flags, ...) {
    countFile();
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return __real_open(path, flags, mode);
}
int __wrap_openat(int dir, const char* path, int flags, ...) {
    countFile();
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return __real_openat(dir, path, flags, mode);
}
}

namespace {

vst::VstTimeInfo hostTime{};
long sentEvents = 0;
vst::intptr VST_CALLBACK quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                   void* ptr, float) {
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterGetTime:
        return reinterpret_cast<vst::intptr>(&hostTime);
    case vst::audioMasterProcessEvents:
        sentEvents += static_cast<vst::VstEvents*>(ptr)->numEvents;
        return 1;
    default:
        return 0;
    }
}

struct EventList {
    vst::int32 numEvents = 0;
    vst::intptr reserved = 0;
    vst::VstEvent* slots[8] = {};
    vst::VstMidiEvent events[8] = {};
    void add(int status, int d1, int d2, int delta) {
        vst::VstMidiEvent& e = events[numEvents];
        e = vst::VstMidiEvent{};
        e.type = vst::kVstMidiType;
        e.byteSize = sizeof e;
        e.deltaFrames = delta;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(d1);
        e.midiData[2] = static_cast<char>(d2);
        slots[numEvents++] = reinterpret_cast<vst::VstEvent*>(&e);
    }
    vst::VstEvents* list() { return reinterpret_cast<vst::VstEvents*>(this); }
};

void resetCounts() {
    locks = 0;
    heap = 0;
    files = 0;
}

} // namespace

TEST(RealTimeLocks, TheWrappersSeeLocksHeapAndFilesOnARenderingThread) {
    resetCounts();
    std::mutex mutex;
    {
        Rendering rendering;
        std::lock_guard<std::mutex> guard(mutex);
        auto block = std::make_unique<int[]>(16);
        std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen("/dev/null", "r"), &std::fclose);
        EXPECT_TRUE(file);
    }
    EXPECT_GE(locks.load(), 1);
    EXPECT_GE(heap.load(), 2); // the allocation and its release
    EXPECT_GE(files.load(), 1);
    resetCounts();
    { std::lock_guard<std::mutex> guard(mutex); }
    EXPECT_EQ(locks.load(), 0); // other threads' (and other times') locks are not counted
}

// Two minutes of audio at 48 kHz with every feature: the busiest pattern, lanes and locks with
// randomising, probabilities, swing, pattern switches by MIDI, voice notes, MIDI output,
// controllers driving sound, mixer, transport and pattern-tool parameters, controller learn on
// the audio thread, and all three sync modes.
TEST(RealTimeLocks, LongBusyRendersTakeNoLockAndTouchNoHeapOrFile) {
    kavrel::test::isolateSettingsFolder();
    auto plugin = std::make_unique<Kavrel>(&quietHost);
    plugin->setSampleRate(48000.0f);
    plugin->resume();
    for (int p = 0; p < 3; ++p) {
        plugin->selectPattern(p);
        plugin->setParameter(kavrel::kParamStepSize, p * 0.25f);
        for (int v = 0; v < 12; ++v) {
            for (int s = 0; s < 32; ++s) plugin->setStep(v, s, (s + p) % 2 == 0);
            plugin->setVelocityRandomize(v, v % 2 == 0);
            plugin->setParameter(kavrel::kParamRandomBeatsFirst + v, 0.5f);
            plugin->setParameter(kavrel::kParamRandomSizeFirst + v, v / 12.0f);
        }
        for (int k = 0; k < kavrel::kKitParams; k += 7) {
            plugin->setLaneValue(kavrel::kitParamAt(k), (k + p) % 32, 0.9f);
            plugin->setLaneRandomize(kavrel::kitParamAt(k), k % 2 == 0);
        }
        plugin->setParameter(kavrel::kParamRandomResetFirst + p, 1.0f);
    }
    plugin->selectPattern(0);
    plugin->setParameter(kavrel::kParamSync, 0.5f);
    plugin->setParameter(kavrel::kParamTempo, 1.0f);
    plugin->setParameter(kavrel::kParamSwing, 0.6f);
    plugin->setParameter(kavrel::kParamPlay, 1.0f);

    // Controller 20 drives sound, mixer, pattern-tool and pattern parameters once learned.
    const int driven[] = {0,   13,  33,  84,  116, 117, 118, 130, 142,
                          154, 166, 178, 202, 214, 226, 238, 250, 262};
    std::vector<float> buffer(12 * 512);
    float* outputs[12];
    for (int c = 0; c < 12; ++c) outputs[c] = buffer.data() + 512 * c;
    // An open editor idling and drawing on its own thread all along: what the audio thread
    // reports to it must cost no allocation, lock or file either.
    auto* editor = static_cast<KavrelEditor*>(plugin->getEditor());
    kavrel::test::IdlingEditor window(editor);
    sentEvents = 0;
    resetCounts();
    const int blocks = 48000 * 120 / 512;
    int learned = 0;
    for (int block = 0; block < blocks; ++block) {
        // What the host and the editor do between blocks, outside the audio thread's count.
        if (block % 400 == 10 && learned < static_cast<int>(std::size(driven)))
            plugin->toggleLearn(driven[learned++]);
        if (block == blocks / 3) plugin->setParameter(kavrel::kParamSync, 0.0f);     // host
        if (block == 2 * blocks / 3) plugin->setParameter(kavrel::kParamSync, 1.0f); // MIDI
        if (block % 997 == 0) plugin->flushAssignments();
        hostTime.tempo = 133.0;
        hostTime.ppqPos += 512 * 133.0 / 60.0 / 48000.0;
        hostTime.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;

        EventList events;
        events.add(0x90, 36 + block % 16, 100, block % 512);
        events.add(0x90, 60 + (block / 200) % 3, 100, 7);
        events.add(0xB0, 20, (block * 13) % 128, 100 + block % 50);
        events.add(0xB0, 20, (block * 13) % 128, 300);
        events.add(0x90, block % 3 == 0 ? 86 : 84, 90, 200);
        events.add(0x90, 83, 90, 400);
        {
            Rendering rendering;
            plugin->processEvents(events.list());
            plugin->processReplacing(nullptr, outputs, 512);
        }
    }
    window.stop();
    EXPECT_TRUE(window.isOpen());
    if (window.isOpen()) {
        EXPECT_GT(window.idles(), 0);
        editor->close();
    }
    plugin->flushAssignments();
    EXPECT_EQ(locks.load(), 0);
    EXPECT_EQ(heap.load(), 0);
    EXPECT_EQ(files.load(), 0);
    EXPECT_GT(sentEvents, 1000);
    EXPECT_GT(plugin->controllers().size(), 10) << "controllers were learned while rendering";
}
