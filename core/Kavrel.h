#pragma once
#include "core/KavrelControllerMap.h"
#include "core/KavrelMidiOut.h"
#include "core/KavrelPackedProgram.h"
#include "core/KavrelPattern.h"
#include "core/KavrelStateExchange.h"
#include "dsp/vxsp_compressor.h"
#include "params/KavrelParameterManager.h"
#include "params/KavrelParams.h"
#include "voices/kavrel_voice_claps.h"
#include "voices/kavrel_voice_cowbell.h"
#include "voices/kavrel_voice_cymbal_110.h"
#include "voices/kavrel_voice_hihat.h"
#include "voices/kavrel_voice_kick.h"
#include "voices/kavrel_voice_rimshot.h"
#include "voices/kavrel_voice_snare808.h"
#include "voices/kavrel_voice_snare909.h"
#include "voices/kavrel_voice_tom.h"
#include "vst/AudioEffectX.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

// Receives what the audio thread reports for display. The editor implements it; without an
// editor nothing is told.
class KavrelEditorNotify {
public:
    virtual ~KavrelEditorNotify() = default;
    virtual bool isOpen() const = 0;
    virtual void setParameter(int index, float value) = 0;
    virtual void showStepPosition(int step) = 0;
    virtual void showPendingPattern(int pattern) = 0;
    virtual void showPattern(int pattern) = 0;
    virtual void showRowSteps(int voice) = 0;
    // 652: the whole pattern, -1: the velocity rows, otherwise the lane of that parameter.
    virtual void refreshLane(int tag) = 0;
    // The control of a parameter waiting for a controller to be learned.
    virtual void learnHighlight(int index, bool on) = 0;
};

// The plug-in object as the host sees it, with its audio engine and step sequencer.
class Kavrel : public AudioEffectX {
public:
    static constexpr int kNumPrograms = 48;
    static constexpr int kNumOutputs = 12;
    static constexpr vst::int32 kUniqueId = vst::fourCC('V', 'X', 'k', 'v');
    static constexpr int kVendorVersion = 1120;
    static constexpr int kRefreshPattern = 652;
    static constexpr int kRefreshVelocities = -1;
    enum Voice { KD, S8, S9, LT, MT, HT, CH, OH, CY, RS, CL, CB };
    enum SyncMode { kSyncHost = 0, kSyncInternal = 1, kSyncMidi = 2 };

    explicit Kavrel(vst::audioMasterCallback audioMaster);
    ~Kavrel() override;

    // Host interface.
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, vst::int32 sampleFrames) override;
    vst::int32 processEvents(vst::VstEvents* events) override;

    void setParameter(vst::int32 index, float value) override;
    float getParameter(vst::int32 index) override;
    void getParameterName(vst::int32 index, char* text) override;
    void getParameterLabel(vst::int32 index, char* label) override;
    void getParameterDisplay(vst::int32 index, char* text) override;

    void setProgram(vst::int32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(vst::int32 category, vst::int32 index, char* text) override;
    vst::int32 getChunk(void** data, bool isPreset) override;
    vst::int32 setChunk(void* data, vst::int32 byteSize, bool isPreset) override;
    vst::int32 programChunkSize(int slot);
    // The bank carried in the library, read once per process and shared by every instance's
    // slots until they change; empty when there is none (or it is refused).
    static const std::vector<KavrelPackedProgram::Shared>& factoryBank();
    vst::int32 getProgram() override { return hostProgram.load(std::memory_order_relaxed); }

    bool getOutputProperties(vst::int32 index, vst::VstPinProperties* properties) override;
    vst::int32 getNumMidiInputChannels() override { return 1; }
    vst::int32 getNumMidiOutputChannels() override { return 1; }
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::int32 getVendorVersion() override { return kVendorVersion; }
    vst::intptr vendorSpecific(vst::int32, vst::intptr, void*, float) override { return 0; }
    vst::int32 canDo(char* text) override;
    vst::int32 getPlugCategory() override { return vst::kPlugCategSynth; }

    // Engine.
    void applyToEngine(int index, float engineValue);
    void updateVoiceGain(int voice);
    void updateSolo(int index, bool on);

    // Sequencer.
    void requestPattern(int pattern);
    void selectPattern(int pattern);
    void applyPatternValues();
    void resetSongPosition();
    float currentTempo() const;
    // A step driven by MIDI notes 83 (back), 84 (forward) and 86 (restart) in MIDI sync.
    void midiStep(int note, int frame = 0);

    // Outgoing MIDI: a note-on now and its note-off `length` samples later.
    void sendMidiNote(int voice, float velocity, int delta, int length);

    // Editing the current pattern.
    void setStep(int voice, int step, bool on);
    void setVelocity(int voice, int step, float value);
    void setLaneValue(int param, int step, float value);
    void shapeVelocity(int voice, int op);
    void shapeLane(int param, int op);
    void setVelocityRandomize(int voice, bool on);
    void setLaneRandomize(int param, bool on);
    void addLockParam(int param);
    void removeLockParam(int param);
    void clearPatternSteps();
    void copyPattern();
    void pastePattern();

    // MIDI input and controller learn.
    void handleController(int controller, int value);
    void toggleLearn(int index);
    bool isLearning() const { return learnMode.load(std::memory_order_relaxed) != 0; }
    int learningParameter() const { return learnParam.load(std::memory_order_relaxed); }
    const KavrelControllerMap& controllers() const { return controllerMap; }
    // Enters an assignment learned on the audio thread into the file; runs on the host's
    // other threads (the audio thread never touches files).
    void flushAssignments();
    vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                           float opt) override;

    // Access for the editor, the tools and the tests.
    const KavrelParameterManager& parameters() const { return paramManager; }
    // A slot's newest content (the playing copy for the program that plays). For tests and
    // tools on one thread: the reference lasts until the next program change or load.
    const KavrelProgram& program(int slot);
    KavrelPattern& pattern() { return *currentPatternPointer; }
    // Reads the playing pattern from a host thread (the editor's), pinned while `read` runs.
    template <class Read> auto readPattern(Read&& read) {
        Pin pin(*this);
        return read(static_cast<const KavrelPattern&>(hostPattern()));
    }
    int currentPatternIndex() const { return currentPattern; }
    int pendingPatternIndex() const { return pendingPattern; }
    bool isPlaying() const { return playing; }
    // Whether the sequencer runs, as of the last block, for display on any thread: the host's
    // or the internal transport plays, or MIDI notes stepped it lately.
    bool isTransportRunning() const { return transportRunning.load(std::memory_order_relaxed); }
    bool isResumed() const { return resumed; }
    float gainOf(int voice) const { return voiceGain[voice]; }
    float panLeftOf(int voice) const { return voicePanLeft[voice]; }
    float panRightOf(int voice) const { return voicePanRight[voice]; }
    int outputOf(int voice) const { return voiceOutput[voice]; }
    int soloParameter() const { return soloParam; }
    kavrel_voice& voice(int index) { return *voices[index]; }
    const vxsp_compressor& masterCompressor() const { return compressor; }
    double position() const { return songPosition.load(std::memory_order_relaxed); }
    void setEditorNotify(KavrelEditorNotify* notify) { editorNotify = notify; }

    // Values from the host may be NaN or outside 0..1; the engine and its tables only ever
    // see clamped values.
    static float sanitizeNormalized(float value);
    static bool isParameterIndex(vst::int32 index) {
        return index >= 0 && index < kavrel::kNumParams;
    }
    static int noteOfVoice(int voice);
    // A choice index from a real value: NaN and negatives give 0, beyond `last` gives last.
    static int clampIndex(float value, int last) {
        if (!(value > 0.0f)) return 0;
        return value >= static_cast<float>(last) ? last : static_cast<int>(value);
    }

private:
    struct BlockClock {
        double position;
        double increment;
        int noteLength;
        float swing;
    };
    BlockClock startBlockClock();
    // True, with the clock's tick at this sample, when it differs from the last one played
    // (a step or a point between steps is due). Only the transport state changes here.
    bool dueTick(const BlockClock& clock, double position, int64_t& tick);
    // How many of the `limit` samples after the one at `position` certainly fall on the same
    // tick as it (so that dueTick would answer false for each): the clock can skip them.
    int samplesOnSameTick(const BlockClock& clock, double position, int limit) const;
    void runClock(const BlockClock& clock, int64_t tick, int frame);
    void renderVoices(float** outputs, int from, int to, float masterGain);
    void stepEvent(int64_t tick, int frame, int noteLength);
    void patternStart(int64_t tick, bool randomizeLanesAlways);
    void fireVoices(int step, int frame, int noteLength, bool applyAlways);
    void betweenSteps(int frame, int noteLength);
    // Before voice v sounds: gives it back its parameters' own values where a step's lane
    // value was put and no lane applies any more (the pattern has none for it, its lock was
    // removed, or no pattern plays). Done at the next hit rather than at once, so a sounding
    // tail never changes pitch or length mid-note.
    void releaseLanes(int v, bool patternPlays);
    void triggerVoice(int v, float velocity);
    bool editorOpen() const { return editorNotify && editorNotify->isOpen(); }
    void sendRow(int voice);

    struct InputEvent {
        int32_t delta;
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
    };
    static constexpr int kMaxInputEvents = 4096;
    void applyInputEvent(const InputEvent& event, int frame);
    // Pushes the playing state's values everywhere. Runs where the handover lands.
    void applyProgram();

    // What the audio thread plays: one slot expanded, built on a host thread and handed over
    // between blocks. Everything the audio thread and the editor change in the playing
    // program (steps, lanes, values) goes into this copy; the host side packs it back into
    // its slot once another copy has replaced it.
    struct PlayState {
        KavrelProgram program;
        // The host side's: the program as `piece` holds it, to tell whether it changed.
        KavrelProgram packed;
        KavrelPackedProgram::Shared piece;
        int slot = 0;
        uint32_t publishedAt = 0; // on the clock of the queued values' stamps
        bool packing = false;     // being packed by a host thread, without the lock
    };
    using SharedPacked = KavrelPackedProgram::Shared;

    // The host side's model: what every host call reads and writes. `hostLock` orders host
    // threads among themselves only; it is held for copies, pointer swaps and unpacking one
    // program, never while calling the host or the editor, and the audio thread never takes
    // it.
    mutable std::mutex hostLock;
    // Each slot at rest, packed, shared and never written (a new one replaces it): the
    // factory bank's own programs until something changes them.
    SharedPacked slots[kNumPrograms];
    // The expanded copy that is newer than the slot: in the audio thread's hands (waiting or
    // playing), or given back and waiting to be packed.
    PlayState* heldBy[kNumPrograms] = {};
    std::vector<std::unique_ptr<PlayState>> ownedStates;
    std::vector<PlayState*> spareStates;
    std::vector<PlayState*> retiredStates;
    KavrelStateExchange<PlayState, 8> exchange;
    std::atomic<int> hostProgram{0};
    std::vector<uint8_t> unpackScratch;
    std::unique_ptr<KavrelProgram> inspected; // what program() shows of a packed slot

    // Under hostLock.
    void collectLocked();
    void retireLocked(PlayState* state);
    PlayState* acquireLocked();
    void reclaimWaitingLocked();
    // Fills a state with a slot's newest content.
    void fillLocked(PlayState& state, int slot);
    // Hands a filled state over and makes the host's values those it recalls.
    void publishLocked(PlayState* state);
    const char* nameLocked(int slot) const;
    // Without hostLock: packs copies given back, outside the lock, until `keep` are left.
    void packRetired(size_t keep);
    static constexpr size_t kRetiredKept = 2;
    // Every default value, for a library without a bank (or a piece that does not unpack).
    static const SharedPacked& defaultProgram();
    void fillDefaults(KavrelProgram& program);
    // Selects a slot; the new values reach the host at once and the engine between blocks.
    void changeProgram(int program, bool tellHost);
    // Lands the newest published state: the audio thread at the start of a block, or a host
    // thread while no audio runs.
    void takeHandover();
    KavrelProgram& playingProgram() { return exchange.playing()->program; }
    static bool isRecallOnly(int index);
    // Takes a stored value without acting on it.
    void recallValue(int index, float value);
    // Parameters set while a handover waits: they go in after it lands, in the order the host
    // set them (Sync before Play, a pattern before its values), so a host that loads a chunk
    // and then sets values keeps its values. One word each, so a value never parts from its
    // stamp: the stamp (never 0) above, the float's bits below; 0 when none waits.
    std::atomic<uint64_t> later[kavrel::kNumParams];
    std::atomic<uint32_t> laterClock{0};
    std::atomic<uint32_t> latestPublish{0};
    uint32_t nextStamp();
    // Queues a value for the waiting handover; false when it landed meanwhile (act at once).
    bool deferToHandover(int index, float value);
    // The queued values stamped before `limit` (all with `limit` 0) go into the engine
    // (replay) or into a state that never played (absorb), each exactly once; a save only
    // looks at them (overlay).
    bool takeLater(int index, uint32_t limit, float& value, uint32_t& stamp);
    void replayLater(uint32_t limit);
    void absorbLater(KavrelProgram& program, uint32_t limit);
    void overlayLater(KavrelProgram& program) const;
    void storeValue(KavrelProgram& program, int index, float value) const;
    // The pattern a program's Pattern value selects.
    int storedPattern(const KavrelProgram& program) const;
    // Only one thread plays at a time: the audio thread for a block, or a host thread landing a
    // change while no audio runs. Taken with one exchange; whoever finds it taken goes on
    // without playing (an idle host thread leaves the landing to the player, a block that
    // meets a host thread's landing renders silence), and nobody waits.
    std::atomic<bool> playerBusy{false};
    // Lands what waits while no audio runs, on this host thread.
    void landWithoutAudio();
    // A pattern chosen on a host thread while the sequencer stands: the player selects it, since
    // only the player moves the pattern it plays.
    std::atomic<int> patternRequest{-1};
    void takePatternRequest();
    // Host threads that touch the playing copy (values, pattern edits, the editor's reads) pin
    // it while they do: a copy the audio thread gave back is never reused for another program
    // while any pin is held, since it may be the one they hold.
    std::atomic<int> pinned{0};
    struct Pin {
        explicit Pin(Kavrel& kavrel) : plugin(kavrel) { plugin.pinned.fetch_add(1); }
        ~Pin() { plugin.pinned.fetch_sub(1, std::memory_order_release); }
        Kavrel& plugin;
    };
    // The pattern of the playing copy, as a host thread reaches it (pinned).
    KavrelPattern& hostPattern();
    // The pattern an action of this thread works on: the player's own pointer, or hostPattern.
    KavrelPattern& actingPattern() {
        return inAudioCallback ? *currentPatternPointer : hostPattern();
    }
    // True on the thread that plays (a block, or a landing without audio): values set here act
    // at once.
    static thread_local bool inAudioCallback;
    // True while a handover lands on this thread: recalled values act on the engine but are
    // neither reported to the host nor change what it reads.
    static thread_local bool recalling;
    // What getParameter answers: the host side's values, those of the program it chose.
    std::atomic<float> hostValue[kavrel::kNumParams];
    // The blocks last handed to the host (hostLock): the one before stays while a host on
    // another thread may still be reading it.
    std::vector<uint8_t> chunkBuffer;
    std::vector<uint8_t> previousChunk;
    KavrelControllerMap controllerMap;
    std::atomic<int> learnMode{0};
    std::atomic<int> learnParam{0};
    KavrelParameterManager paramManager;

    kavrel_voice_kick kick;
    kavrel_voice_cowbell cowbell;
    kavrel_voice_snare909 snare909;
    kavrel_voice_snare808 snare808;
    kavrel_voice_claps claps;
    kavrel_voice_tom lowTom;
    kavrel_voice_tom midTom;
    kavrel_voice_tom highTom;
    kavrel_voice_hihat closedHat;
    kavrel_voice_hihat openHat;
    kavrel_voice_cymbal_110 cymbal;
    kavrel_voice_rimshot rimshot;
    std::vector<kavrel_voice*> voices;

    float voicePanLeft[kavrel::kNumVoices];
    float voicePanRight[kavrel::kNumVoices];
    float voiceGain[kavrel::kNumVoices];
    int voiceOutput[kavrel::kNumVoices];
    vxsp_compressor compressor;
    // Voices render in runs between the samples where something happens (an event, a step);
    // a run longer than this is split.
    static constexpr int kRenderRun = 256;
    float voiceRun[kRenderRun];
    float pairARun[2][kRenderRun];

    KavrelPattern* currentPatternPointer = nullptr;
    int currentPattern = 0;
    int pendingPattern = 0;
    KavrelPattern clipboardPattern;
    int clipboardMemento = 0;
    int lastStep = -1;
    int64_t lastTick = 33;
    // Kit parameters whose voice holds a lane value rather than the parameter's own; the
    // audio thread's alone.
    uint8_t laneApplied[kavrel::kKitParams] = {};
    uint8_t laneVoice[kavrel::kKitParams] = {};
    int soloParam = 0;
    std::atomic<bool> resumed{false};
    std::atomic<bool> playing{false};
    bool midiOutputOnly = false;
    bool clockRunning = false;
    // Reset by Play on whichever thread sets it, advanced by the audio thread.
    std::atomic<double> songPosition{0.0};
    std::atomic<double> hostTempo{0.0};  // read by the editor for its tempo read-out
    int64_t midiStepAge = INT64_MAX / 2; // samples since the last MIDI step
    std::atomic<bool> transportRunning{false};

    KavrelMidiOut midiOut;
    KavrelEditorNotify* editorNotify = nullptr;
    // Incoming events of the next block, in delta order, applied at their sample.
    InputEvent inputEvents[kMaxInputEvents];
    int inputCount = 0;
    std::filesystem::path settingsFolder;
    // The assignment learned on the audio thread and not yet in the file (controller << 16 |
    // parameter), or -1.
    std::atomic<int> learnedAssignment{-1};
};
