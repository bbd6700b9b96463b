// An editor open offscreen and idling, so drawing, on a thread of its own all along, as a host's
// UI thread keeps it while the audio thread renders.
#pragma once

#include "editor/KavrelEditor.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace kavrel::test {

class IdlingEditor {
public:
    explicit IdlingEditor(KavrelEditor* editor)
        : editor(editor), open(editor->openOffscreen()), thread([this] {
              while (running.load()) {
                  if (open) this->editor->idle();
                  idleCount.fetch_add(1);
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          }) {}
    // An assertion that returns early must not leave the thread running.
    ~IdlingEditor() { stop(); }
    IdlingEditor(const IdlingEditor&) = delete;
    IdlingEditor& operator=(const IdlingEditor&) = delete;

    void stop() {
        running.store(false);
        if (thread.joinable()) thread.join();
    }
    bool isOpen() const { return open; }
    int idles() const { return idleCount.load(); }

private:
    KavrelEditor* editor;
    std::atomic<bool> running{true};
    std::atomic<int> idleCount{0};
    const bool open;
    std::thread thread;
};

} // namespace kavrel::test
