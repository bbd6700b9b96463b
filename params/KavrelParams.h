#pragma once

// Fixed parameter indices of the product. The same numbers are host parameter indices,
// positions in a program's value array and editor control tags, so they never change.
// Per-voice groups start at the *First index and run for kNumVoices entries in voice order.
namespace kavrel {

constexpr int kParamStepSize = 108;
constexpr int kParamPlay = 109;
constexpr int kParamStop = 110;
constexpr int kParamTempo = 111;
constexpr int kParamSwing = 112;
constexpr int kParamSync = 113;
constexpr int kParamPattern = 114;
constexpr int kParamOutputA = 115;
constexpr int kParamCompressor = 116;
constexpr int kParamCompressorAttack = 117;
constexpr int kParamLevelFirst = 118;
constexpr int kParamPanFirst = 130;
constexpr int kParamOutputFirst = 142;
constexpr int kParamMuteFirst = 154;
constexpr int kParamSoloFirst = 166;
constexpr int kParamSelectedBeatsFirst = 178;
constexpr int kParamRandomBeatsFirst = 190;
constexpr int kParamRandomSizeFirst = 202;
constexpr int kParamRandomVelocityFirst = 214;
constexpr int kParamClearFirst = 226;
constexpr int kParamRandomFillFirst = 238;
constexpr int kParamRandomResetFirst = 250;
constexpr int kParamMidiOutputOnly = 262;
constexpr int kNumParams = 263;
constexpr int kNumVoices = 12;

} // namespace kavrel
