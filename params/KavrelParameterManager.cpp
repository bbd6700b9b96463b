#include "params/KavrelParameterManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct ParamRow {
    const char* longName;
    const char* shortName;
    const char* label;
    float minimum;
    float maximum;
    float defaultValue;
    int type;
};

// Sound and global parameters, indices 0..117.
const ParamRow kSoundAndGlobalRows[] = {
    {"Kickdrum Tune", "KD Tune", "Hz", 40.0f, 110.0f, 45.0f, 0},                   // 0
    {"Kickdrum Saturation", "KD Sat", "", 0.0f, 1.0f, 0.0f, 0},                    // 1
    {"Kickdrum Amp Attack", "KDAmpAtk", "msec", 0.1f, 50.0f, 10.0f, 0},            // 2
    {"Kickdrum Amp Attack Curve", "KDAmpAtC", "", -1.0f, 1.0f, 0.0f, 0},           // 3
    {"Kickdrum Amp Decay", "KDAmpDcy", "msec", 1.0f, 2000.0f, 360.0f, 0},          // 4
    {"Kickdrum Amp Decay Curve", "KDAmpDcC", "", -1.0f, 1.0f, -0.38f, 0},          // 5
    {"Kickdrum Pitch Attack", "KDPitAtk", "msec", 0.1f, 50.0f, 10.0f, 0},          // 6
    {"Kickdrum Pitch Attack Curve", "KDPitAtC", "", -1.0f, 1.0f, 0.0f, 0},         // 7
    {"Kickdrum Pitch Decay", "KDPitDcy", "msec", 1.0f, 500.0f, 200.0f, 0},         // 8
    {"Kickdrum Pitch Decay Curve", "KDPitDcC", "", -1.0f, 1.0f, -0.55f, 0},        // 9
    {"Kickdrum Pitch Mod", "KDPitMod", "%", 0.0f, 100.0f, 66.0f, 2},               // 10
    {"Kickdrum Noise Freq", "KDNoiFrq", "Hz", 100.0f, 18000.0f, 1000.0f, 4},       // 11
    {"Kickdrum Click Level", "KDCliLvl", "dB", -60.0f, 0.0f, -6.0f, 5},            // 12
    {"Kickdrum Waveform", "KDWavFrm", "", 0.0f, 1.0f, 0.0f, 6},                    // 13
    {"Snare9 Tune", "S9 Tune", "Hz", 100.0f, 300.0f, 130.0f, 4},                   // 14
    {"Snare9 Tone Attack", "S9TonAtk", "msec", 1.0f, 500.0f, 200.0f, 0},           // 15
    {"Snare9 Tone Attack Curve", "S9TonAtC", "", -1.0f, 1.0f, -0.7f, 0},           // 16
    {"Snare9 Tone Decay", "S9TonDcy", "msec", 1.0f, 500.0f, 200.0f, 0},            // 17
    {"Snare9 Tone Decay Curve", "S9TonDcC", "", -1.0f, 1.0f, -0.7f, 0},            // 18
    {"Snare9 Noise Color", "S9nsCol", "Hz", 1500.0f, 18000.0f, 10000.0f, 4},       // 19
    {"Snare9 Noise Attack", "S9NoiAtk", "msec", 1.0f, 500.0f, 260.0f, 0},          // 20
    {"Snare9 Noise Attack Curve", "S9NoiAtC", "", -1.0f, 1.0f, -0.5f, 0},          // 21
    {"Snare9 Noise Decay", "S9NoiDcy", "msec", 1.0f, 500.0f, 260.0f, 0},           // 22
    {"Snare9 Noise Decay Curve", "S9NoiDcC", "", -1.0f, 1.0f, -0.5f, 0},           // 23
    {"Snare9 Noise Level", "S9NoiLvl", "dB", -60.0f, 0.0f, 0.0f, 5},               // 24
    {"Snare8 Tune", "S8 Tune", "Hz", 80.0f, 200.0f, 100.0f, 4},                    // 25
    {"Snare8 Noise Color", "S8NoiCol", "Hz", 100.0f, 18000.0f, 1000.0f, 4},        // 26
    {"Snare8 Noise Decay", "S8NoiDcy", "msec", 1.0f, 500.0f, 200.0f, 0},           // 27
    {"Snare8 Noise Level", "S8NoiLvl", "dB", -60.0f, 0.0f, 0.0f, 5},               // 28
    {"Low Tom Freq", "LT Freq", "Hz", 40.0f, 80.0f, 55.0f, 4},                     // 29
    {"Low Tom Pitch Depth", "LTptchDpt", "%", 0.0f, 100.0f, 30.0f, 2},             // 30
    {"Low Tom Click Level", "LTclkLvl", "dB", -60.0f, 5.0f, -12.0f, 5},            // 31
    {"Low Tom Noise Level", "LTnoisLv", "dB", -60.0f, 0.0f, 0.0f, 5},              // 32
    {"Low Tom Tone Level", "LTtoneLv", "dB", -60.0f, 0.0f, 0.0f, 5},               // 33
    {"Low Tom Saturation", "LTsatura", "", 0.0f, 0.5f, 0.0f, 0},                   // 34
    {"Low Tom Tone 1 Attack Time", "LTtn1ATm", "msec", 0.001f, 25.0f, 0.001f, 0},  // 35
    {"Low Tom Tone 1 Attack Curvature", "LTtn1ACv", "", -1.0f, 1.0f, -0.5f, 0},    // 36
    {"Low Tom Tone 1 Decay Time", "LTtn1DTm", "msec", 10.0f, 2000.0f, 400.0f, 0},  // 37
    {"Low Tom Tone 1 Decay Curvature", "LTtn1DCv", "", -1.0f, 1.0f, -0.5f, 0},     // 38
    {"Low Tom Tone 2 Attack Time", "LTtn2ATm", "msec", 0.001f, 25.0f, 0.001f, 0},  // 39
    {"Low Tom Tone 2 Attack Curvature", "LTtn2ACv", "", -1.0f, 1.0f, -0.5f, 0},    // 40
    {"Low Tom Tone 2 Decay Time", "LTtn2DTm", "msec", 10.0f, 2000.0f, 200.0f, 0},  // 41
    {"Low Tom Tone 2 Decay Curvature", "LTtn2DCv", "", -1.0f, 1.0f, -0.5f, 0},     // 42
    {"Mid Tom Freq", "MT Freq", "Hz", 60.0f, 100.0f, 75.0f, 4},                    // 43
    {"Mid Tom Pitch Depth", "MTptchDpt", "%", 0.0f, 100.0f, 30.0f, 2},             // 44
    {"Mid Tom Click Level", "MTclkLvl", "dB", -60.0f, 5.0f, -12.0f, 5},            // 45
    {"Mid Tom Noise Level", "MTnoisLv", "dB", -60.0f, 0.0f, 0.0f, 5},              // 46
    {"Mid Tom Tone Level", "MTtoneLv", "dB", -60.0f, 0.0f, 0.0f, 5},               // 47
    {"Mid Tom Saturation", "MTsatura", "", 0.0f, 0.5f, 0.0f, 0},                   // 48
    {"Mid Tom Tone 1 Attack Time", "MTtn1ATm", "msec", 0.001f, 25.0f, 0.001f, 0},  // 49
    {"Mid Tom Tone 1 Attack Curvature", "MTtn1ACv", "", -1.0f, 1.0f, -0.5f, 0},    // 50
    {"Mid Tom Tone 1 Decay Time", "MTtn1DTm", "msec", 10.0f, 2000.0f, 400.0f, 0},  // 51
    {"Mid Tom Tone 1 Decay Curvature", "MTtn1DCv", "", -1.0f, 1.0f, -0.5f, 0},     // 52
    {"Mid Tom Tone 2 Attack Time", "MTtn2ATm", "msec", 0.001f, 25.0f, 0.001f, 0},  // 53
    {"Mid Tom Tone 2 Attack Curvature", "MTtn2ACv", "", -1.0f, 1.0f, -0.5f, 0},    // 54
    {"Mid Tom Tone 2 Decay Time", "MTtn2DTm", "msec", 10.0f, 2000.0f, 200.0f, 0},  // 55
    {"Mid Tom Tone 2 Decay Curvature", "MTtn2DCv", "", -1.0f, 1.0f, -0.5f, 0},     // 56
    {"High Tom Freq", "HT Freq", "Hz", 80.0f, 120.0f, 95.0f, 4},                   // 57
    {"High Tom Pitch Depth", "HTTptchDpt", "%", 0.0f, 100.0f, 30.0f, 2},           // 58
    {"High Tom Click Level", "HTclkLvl", "dB", -60.0f, 5.0f, -12.0f, 5},           // 59
    {"High Tom Noise Level", "HTTnoisLv", "dB", -60.0f, 0.0f, 0.0f, 5},            // 60
    {"High Tom Tone Level", "HTtoneLv", "dB", -60.0f, 0.0f, 0.0f, 5},              // 61
    {"High Tom Saturation", "HTsatura", "", 0.0f, 0.5f, 0.0f, 0},                  // 62
    {"High Tom Tone 1 Attack Time", "HTtn1ATm", "msec", 0.001f, 25.0f, 0.001f, 0}, // 63
    {"High Tom Tone 1 Attack Curvature", "HTtn1ACv", "", -1.0f, 1.0f, -0.5f, 0},   // 64
    {"High Tom Tone 1 Decay Time", "HTtn1DTm", "msec", 10.0f, 2000.0f, 400.0f, 0}, // 65
    {"High Tom Tone 1 Decay Curvature", "HTtn1DCv", "", -1.0f, 1.0f, -0.5f, 0},    // 66
    {"High Tom Tone 2 Attack Time", "HTtn2ATm", "msec", 0.001f, 25.0f, 0.001f, 0}, // 67
    {"High Tom Tone 2 Attack Curvature", "HTtn2ACv", "", -1.0f, 1.0f, -0.5f, 0},   // 68
    {"High Tom Tone 2 Decay Time", "HTtn2DTm", "msec", 10.0f, 2000.0f, 200.0f, 0}, // 69
    {"High Tom Tone 2 Decay Curvature", "HTtn2DCv", "", -1.0f, 1.0f, -0.5f, 0},    // 70
    {"Clap Tone", "CP Tone", "Hz", 500.0f, 3000.0f, 1000.0f, 4},                   // 71
    {"Clap Reverb", "CPReverb", "ms", 0.0f, 1000.0f, 200.0f, 0},                   // 72
    {"Cowbell Tune", "CB Tune", "Hz", 400.0f, 1000.0f, 587.0f, 4},                 // 73
    {"Cowbell Ratio", "CBRatio", "", 1.0f, 2.0f, 1.44f, 0},                        // 74
    {"Cowbell Attack", "CBAtkTim", "msec", 0.01f, 5.0f, 0.1f, 0},                  // 75
    {"Cowbell Attack Curvature", "CBAtkCrv", "", -1.0f, 1.0f, -0.5f, 0},           // 76
    {"Cowbell Decay", "CBDecay", "msec", 0.1f, 500.0f, 200.0f, 0},                 // 77
    {"Cowbell Decay Curve", "CBDcyCrv", "", -1.0f, 1.0f, -0.5f, 0},                // 78
    {"Cowbell Filter Freq", "CBFilFrq", "Hz", 400.0f, 10000.0f, 2640.0f, 4},       // 79
    {"Cowbell Filter Resonance", "CBFilRes", "", 0.0f, 0.5f, 0.05f, 0},            // 80
    {"More Cowbell", "CB More", "", 0.0f, 1.0f, 0.0f, 1},                          // 81
    {"CHH BPF Freq", "CHBPFFrq", "Hz", 1000.0f, 18000.0f, 5000.0f, 4},             // 82
    {"CHH HPF Freq", "CHHPFFrq", "Hz", 1000.0f, 18000.0f, 5000.0f, 4},             // 83
    {"CHH Tune", "CH Tune", "", 0.0f, 1.0f, 0.5f, 0},                              // 84
    {"CHH Noise Mix", "CHNoiMix", "%", 0.0f, 100.0f, 50.0f, 2},                    // 85
    {"CHH Decay", "CHDecay", "msec", 1.0f, 1000.0f, 100.0f, 0},                    // 86
    {"OHH BPF Freq", "OHBPFFrq", "Hz", 1000.0f, 18000.0f, 5000.0f, 4},             // 87
    {"OHH HPF Freq", "OHHPFFrq", "Hz", 1000.0f, 18000.0f, 5000.0f, 4},             // 88
    {"OHH Tune", "OH Tune", "", 0.0f, 1.0f, 0.5f, 0},                              // 89
    {"OHH Noise Mix", "OHNoiMix", "%", 0.0f, 100.0f, 50.0f, 2},                    // 90
    {"OHH Decay", "OHDecay", "msec", 1.0f, 2000.0f, 400.0f, 0},                    // 91
    {"OHH Decay Curve", "OHDcyCrv", "", -1.0f, 1.0f, -0.5f, 0},                    // 92
    {"Cymbal Tuning", "CY Tune", "", 0.0f, 1.0f, 0.5f, 0},                         // 93
    {"Cymbal Noise Level", "CY Noise", "dB", -60.0f, 0.0f, -10.0f, 5},             // 94
    {"Cymbal Ding Level", "CY Ding", "dB", -60.0f, 0.0f, -10.0f, 5},               // 95
    {"Cymbal Freq", "CY Freq", "Hz", 1000.0f, 9000.0f, 7000.0f, 4},                // 96
    {"Cymbal Attack Time", "CYAtkTim", "msec", 0.01f, 5.0f, 0.1f, 0},              // 97
    {"Cymbal Attack Curvature", "CYAtkCrv", "", -1.0f, 1.0f, -0.5f, 0},            // 98
    {"Cymbal Decay Time", "CYDcyTim", "msec", 10.0f, 4000.0f, 2000.0f, 0},         // 99
    {"Cymbal Decay Curvature", "CYDcyCrv", "", -1.0f, 1.0f, -0.8f, 0},             // 100
    {"Cymbal Ding Freq", "CYDingFr", "Hz", 1000.0f, 9000.0f, 7000.0f, 4},          // 101
    {"Cymbal Ding Attack Time", "CYDgAtTm", "msec", 0.01f, 5.0f, 0.1f, 0},         // 102
    {"Cymbal Ding Attack Curvature", "CYDgAtCv", "", -1.0f, 1.0f, -0.5f, 0},       // 103
    {"Cymbal Ding Decay Time", "CYDgDyTm", "msec", 5.0f, 200.0f, 10.0f, 0},        // 104
    {"Cymbal Ding Decay Curvature", "CUDgDyCv", "", -1.0f, 1.0f, -0.9f, 0},        // 105
    {"Rimshot Tune", "RS Tune", "", 0.0f, 1.0f, 0.5f, 0},                          // 106
    {"Rimshot HPF Freq", "RSHPFFrq", "Hz", 100.0f, 2000.0f, 1000.0f, 4},           // 107
    {"Pattern Step Size", "Stepsize", "", 0.0f, 4.0f, 0.0f, 6},                    // 108
    {"Play", "Play", "", 0.0f, 1.0f, 0.0f, 0},                                     // 109
    {"Stop", "Stop", "", 0.0f, 1.0f, 0.0f, 1},                                     // 110
    {"Tempo", "Tempo", "BPM", 50.0f, 250.0f, 120.0f, 0},                           // 111
    {"Swing", "Swing", "%", 0.0f, 100.0f, 0.0f, 2},                                // 112
    {"Sync", "Sync", "", 0.0f, 2.0f, 0.0f, 6},                                     // 113
    {"Pattern", "Pattern", "", 0.0f, 15.0f, 0.0f, 6},                              // 114
    {"Output A", "Out A", "dB", -60.0f, 3.0f, 0.0f, 5},                            // 115
    {"Compressor", "Compress", "", 0.0f, 100.0f, 0.0f, 0},                         // 116
    {"Compressor Attack", "Comp Att", "ms", 0.001f, 10.0f, 0.001f, 0},             // 117
};

constexpr int kNumSoundAndGlobalRows =
    static_cast<int>(sizeof kSoundAndGlobalRows / sizeof kSoundAndGlobalRows[0]);
static_assert(kNumSoundAndGlobalRows == kavrel::kParamLevelFirst,
              "the per-voice groups start right after the sound and global parameters");

// Mixer and pattern-tool groups: twelve members each, in mixer voice order.
struct GroupRow {
    int first;
    const char* label;
    float minimum;
    float maximum;
    float defaultValue;
    int type;
    const char* longNames[kavrel::kNumVoices];
    const char* shortNames[kavrel::kNumVoices];
};

const GroupRow kGroupRows[] = {
    {kavrel::kParamLevelFirst,
     "dB",
     -60.0f,
     0.0f,
     0.0f,
     vx_paramManager::kTypeDecibel,
     {"Kickdrum Level", "Snare 8 Level", "Snare 9 Level", "Low Tom Level", "Mid Tom Level",
      "High Tom Level", "Closed High Hat Level", "Open High Hat Level", "Cymbal Level",
      "Rimshot Level", "Clap Level", "Cowbell Level"},
     {"KD Level", "S8 Level", "S9 Level", "LT Level", "MT Level", "HT Level", "CHH Level",
      "OHH Level", "CY Level", "RS Level", "CL Level", "CB Level"}},
    {kavrel::kParamPanFirst,
     "",
     0.0f,
     1.0f,
     0.5f,
     vx_paramManager::kTypeLinear,
     {"Kickdrum Pan", "Snare 8 Pan", "Snare 9 Pan", "Low Tom Pan", "Mid Tom Pan", "High Tom Pan",
      "Closed High Hat Pan", "Open High Hat Pan", "Cymbal Pan", "Rimshot Pan", "Clap Pan",
      "Cowbell Pan"},
     {"KD Pan", "S8 Pan", "S9 Pan", "LT Pan", "MT Pan", "HT Pan", "CHH Pan", "OHH Pan", "CY Pan",
      "RS Pan", "CL Pan", "CB Pan"}},
    // Outputs of the first nine voices are plain linear values (the engine truncates them to a
    // pair), those of rimshot, clap and cowbell are rounded choices. Saved programs and the
    // factory bank store positions that were chosen under each mapping, so neither changes.
    {kavrel::kParamOutputFirst,
     "",
     0.0f,
     5.0f,
     0.0f,
     vx_paramManager::kTypeLinear,
     {"Kickdrum Output", "Snare 8 Output", "Snare 9 Output", "Low Tom Output", "Mid Tom Output",
      "High Tom Output", "Closed High Hat Output", "Open High Hat Output", "Cymbal Output",
      "Rimshot Output", "Clap Output", "Cowbell Output"},
     {"KD Out", "S8 Out", "S9 Out", "LT Out", "MT Out", "HT Out", "CHH Out", "OHH Out", "CY Out",
      "RS Out", "CL Out", "CB Out"}},
    {kavrel::kParamMuteFirst,
     "",
     0.0f,
     1.0f,
     0.0f,
     vx_paramManager::kTypeOnOff,
     {"Kickdrum Mute", "Snare 8 Mute", "Snare 9 Mute", "Low Tom Mute", "Mid Tom Mute",
      "High Tom Mute", "Closed High Hat Mute", "Open High Hat Mute", "Cymbal Mute", "Rimshot Mute",
      "Clap Mute", "Cowbell Mute"},
     {"KD Mute", "S8 Mute", "S9 Mute", "LT Mute", "MT Mute", "HT Mute", "CHH Mute", "OHH Mute",
      "CY Mute", "RS Mute", "CL Mute", "CB Mute"}},
    {kavrel::kParamSoloFirst,
     "",
     0.0f,
     1.0f,
     0.0f,
     vx_paramManager::kTypeOnOff,
     {"Kickdrum Solo", "Snare 8 Solo", "Snare 9 Solo", "Low Tom Solo", "Mid Tom Solo",
      "High Tom Solo", "Closed High Hat Solo", "Open High Hat Solo", "Cymbal Solo", "Rimshot Solo",
      "Clap Solo", "Cowbell Solo"},
     {"KD Solo", "S8 Solo", "S9 Solo", "LT Solo", "MT Solo", "HT Solo", "CHH Solo", "OHH Solo",
      "CY Solo", "RS Solo", "CL Solo", "CB Solo"}},
    {kavrel::kParamSelectedBeatsFirst,
     "%",
     0.0f,
     100.0f,
     100.0f,
     vx_paramManager::kTypePercent,
     {"KD Selected Beats", "S8 Selected Beats", "S9 Selected Beats", "LT Selected Beats",
      "MT Selected Beats", "HT Selected Beats", "CH Selected Beats", "OH Selected Beats",
      "CY Selected Beats", "RS Selected Beats", "CL Selected Beats", "CB Selected Beats"},
     {"KDselbts", "S8selbts", "S9selbts", "LTselbts", "MTselbts", "HTselbts", "CHselbts",
      "OHselbts", "CYselbts", "RSselbts", "CLselbts", "CBselbts"}},
    {kavrel::kParamRandomBeatsFirst,
     "%",
     0.0f,
     100.0f,
     0.0f,
     vx_paramManager::kTypePercent,
     {"KD Random Beats", "S8 Random Beats", "S9 Random Beats", "LT Random Beats", "MT Random Beats",
      "HT Random Beats", "CH Random Beats", "OH Random Beats", "CY Random Beats", "RS Random Beats",
      "CL Random Beats", "CB Random Beats"},
     {"KDrndbts", "S8rndbts", "S9rndbts", "LTrndbts", "MTrndbts", "HTrndbts", "CHrndbts",
      "OHrndbts", "CYrndbts", "RSrndbts", "CLrndbts", "CBrndbts"}},
    {kavrel::kParamRandomSizeFirst,
     "",
     0.0f,
     6.0f,
     2.0f,
     vx_paramManager::kTypeInteger,
     {"KD Random Size", "S8 Random Size", "S9 Random Size", "LT Random Size", "MT Random Size",
      "HT Random Size", "CH Random Size", "OH Random Size", "CY Random Size", "RS Random Size",
      "CL Random Size", "CB Random Size"},
     {"KDrndsz", "S8rndsz", "S9rndsz", "LTrndsz", "MTrndsz", "HTrndsz", "CHrndsz", "OHrndsz",
      "CYrndsz", "RSrndsz", "CLrndsz", "CBrndsz"}},
    {kavrel::kParamRandomVelocityFirst,
     "",
     0.0f,
     127.0f,
     1.0f,
     vx_paramManager::kTypeLinear,
     {"KD Random Velocity", "S8 Random Velocity", "S9 Random Velocity", "LT Random Velocity",
      "MT Random Velocity", "HT Random Velocity", "CH Random Velocity", "OH Random Velocity",
      "CY Random Velocity", "RS Random Velocity", "CL Random Velocity", "CB Random Velocity"},
     {"KDrndvel", "S8rndvel", "S9rndvel", "LTrndvel", "MTrndvel", "HTrndvel", "CHrndvel",
      "OHrndvel", "CYrndvel", "RSrndvel", "CLrndvel", "CBrndvel"}},
    {kavrel::kParamClearFirst,
     "",
     0.0f,
     1.0f,
     0.0f,
     vx_paramManager::kTypeOnOff,
     {"KD Clear", "S8 Clear", "S9 Clear", "LT Clear", "MT Clear", "HT Clear", "CH Clear",
      "OH Clear", "CY Clear", "RS Clear", "CL Clear", "CB Clear"},
     {"KD Clear", "S8 Clear", "S9 Clear", "LT Clear", "MT Clear", "HT Clear", "CH Clear",
      "OH Clear", "CY Clear", "RS Clear", "CL Clear", "CB Clear"}},
    {kavrel::kParamRandomFillFirst,
     "",
     0.0f,
     1.0f,
     0.0f,
     vx_paramManager::kTypeOnOff,
     {"KD Random Fill", "S8 Random Fill", "S9 Random Fill", "LT Random Fill", "MT Random Fill",
      "HT Random Fill", "CH Random Fill", "OH Random Fill", "CY Random Fill", "RS Random Fill",
      "CL Random Fill", "CB Random Fill"},
     {"KD Rand", "S8 Rand", "S9 Rand", "LT Rand", "MT Rand", "HT Rand", "CH Rand", "OH Rand",
      "CY Rand", "RS Rand", "CL Rand", "CB Rand"}},
    {kavrel::kParamRandomResetFirst,
     "",
     0.0f,
     1.0f,
     0.0f,
     vx_paramManager::kTypeOnOff,
     {"KD Random Reset", "S8 Random Reset", "S9 Random Reset", "LT Random Reset", "MT Random Reset",
      "HT Random Reset", "CH Random Reset", "OH Random Reset", "CY Random Reset", "RS Random Reset",
      "CL Random Reset", "CB Random Reset"},
     {"KDrndrst", "S8rndrst", "S9rndrst", "LTrndrst", "MTrndrst", "HTrndrst", "CHrndrst",
      "OHrndrst", "CYrndrst", "RSrndrst", "CLrndrst", "CBrndrst"}},
};

// Outputs from here on are whole-number choices (see the output group above).
constexpr int kFirstIntegerOutput = kavrel::kParamOutputFirst + 9;

// Sequencer ticks (1/24 beat) per step for each step size, and their names.
constexpr int kNumStepSizes = 5;
const float kStepSizeTicks[kNumStepSizes] = {3.0f, 6.0f, 4.0f, 6.0f, 8.0f};
const char* const kStepSizeNames[kNumStepSizes] = {"1 x 32", "2 x 16", "1 x 16T", "1 x 16",
                                                   "1 x 8T"};

// Ticks per random-fill unit for each random size, and their names.
constexpr int kNumRandomSizes = 7;
const float kRandomSizeTicks[kNumRandomSizes] = {3.0f, 4.0f, 6.0f, 8.0f, 12.0f, 24.0f, 48.0f};
const char* const kRandomSizeNames[kNumRandomSizes] = {"1/32", "1/16T", "1/16", "1/8T",
                                                       "1/8",  "1/4",   "1/2"};

constexpr int kNumSyncModes = 3;
const char* const kSyncNames[kNumSyncModes] = {"HOST", "INT", "MIDI"};

constexpr int kKickPitchMod = 10;
constexpr int kKickWaveform = 13;

bool isTomPitchDepth(int index) {
    return index == 30 || index == 44 || index == 58;
}

// Closed hat, cymbal and rimshot tuning.
bool isTuningFactor(int index) {
    return index == 84 || index == 93 || index == 106;
}

// 0.5 at the bottom, 1 at the centre, 2 at the top.
float tuningFactor(float n) {
    return n < 0.5f ? n + 0.5f : n * 2.0f;
}

bool isRandomSize(int index) {
    return index >= kavrel::kParamRandomSizeFirst &&
           index < kavrel::kParamRandomSizeFirst + kavrel::kNumVoices;
}

// Curves, saturation and cowbell shape values need three decimals to be told apart.
bool showsThreeDecimals(int index) {
    switch (index) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 9:
    case 74:
    case 78:
    case 80:
        return true;
    default:
        return false;
    }
}

float clampUnit(float x) {
    if (!(x > 0.0f)) return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

} // namespace

KavrelParameterManager::KavrelParameterManager() : vx_paramManager(kNumParams) {
    defineAll();

    for (int i = 0; i < kavrel::kParamStepSize; ++i) kitParamSet.push_back(i);
    for (int v = 0; v < kavrel::kNumVoices; ++v) kitParamSet.push_back(kavrel::kParamPanFirst + v);

    patternParamSet.push_back(kavrel::kParamStepSize);
    for (int first : {kavrel::kParamSelectedBeatsFirst, kavrel::kParamRandomBeatsFirst,
                      kavrel::kParamRandomSizeFirst, kavrel::kParamRandomVelocityFirst,
                      kavrel::kParamRandomResetFirst})
        for (int v = 0; v < kavrel::kNumVoices; ++v) patternParamSet.push_back(first + v);
    std::sort(patternParamSet.begin(), patternParamSet.end());

    for (int k = 0; k < kNumPatternMementos; ++k) createMemento(patternParamSet);

    const double quarterTurn = 1.5707963267948966;
    for (int i = 0; i < kPanTableSize; ++i) {
        panCosTable[static_cast<size_t>(i)] =
            static_cast<float>(std::cos(i * quarterTurn / kPanTableSize));
        panSinTable[static_cast<size_t>(i)] =
            static_cast<float>(std::sin(i * quarterTurn / kPanTableSize));
    }
}

void KavrelParameterManager::defineAll() {
    // Ascending index order: each definition derives its normalised value on the spot.
    for (int i = 0; i < kNumSoundAndGlobalRows; ++i) {
        const ParamRow& row = kSoundAndGlobalRows[i];
        defineParam(i, row.longName, row.shortName, row.label, row.minimum, row.maximum,
                    row.defaultValue, row.type);
    }
    for (const GroupRow& group : kGroupRows) {
        for (int v = 0; v < kavrel::kNumVoices; ++v) {
            const int index = group.first + v;
            const int type = index >= kFirstIntegerOutput && index < kavrel::kParamMuteFirst
                                 ? kTypeInteger
                                 : group.type;
            defineParam(index, group.longNames[v], group.shortNames[v], group.label, group.minimum,
                        group.maximum, group.defaultValue, type);
        }
    }
    defineParam(kavrel::kParamMidiOutputOnly, "MIDI Output Only", "MIDIOnly", "", 0.0f, 1.0f, 0.0f,
                kTypeOnOff);
}

float KavrelParameterManager::getDspValue(int index) const {
    const float n = getNormValue(index);
    if (index == kKickPitchMod) return n * 150.0f;
    if (isTomPitchDepth(index)) return n * 200.0f;
    if (isTuningFactor(index)) return tuningFactor(n);
    if (index == kavrel::kParamStepSize)
        return kStepSizeTicks[clampedIndex(getRealValue(index), 0, kNumStepSizes - 1)];
    if (index == kavrel::kParamSwing) return (1.0f - n) * 0.8f + 0.2f;
    if (isRandomSize(index))
        return kRandomSizeTicks[clampedIndex(getRealValue(index), 0, kNumRandomSizes - 1)];
    return vx_paramManager::getDspValue(index);
}

float KavrelParameterManager::getDspValueOffset(int index, float x) const {
    if (!isValidIndex(index)) return 0.0f;
    // A lane value of 0.5 leaves the parameter where it is; 0 and 1 reach the range ends.
    const float v = clampUnit(2.0f * x - 1.0f + getNormValue(index));
    if (index == kKickPitchMod) return v * 150.0f;
    if (isTomPitchDepth(index)) return v * 200.0f;
    if (isTuningFactor(index)) return tuningFactor(v);
    if (index == kKickWaveform) return x > 0.5f ? 1.0f : 0.0f;
    switch (getType(index)) {
    case kTypePercent:
        return v;
    case kTypeDecibel:
        return std::pow(10.0f, 0.05f * normToReal(index, v));
    default:
        return normToReal(index, v);
    }
}

void KavrelParameterManager::getDisplay(int index, char* buf, int len) const {
    displayOfReal(index, getRealValue(index), buf, len);
}

void KavrelParameterManager::getDisplayOf(int index, float normValue, char* buf, int len) const {
    if (index < 0 || index >= kNumParams) {
        if (buf && len > 0) buf[0] = 0;
        return;
    }
    displayOfReal(index, normToReal(index, normValue), buf, len);
}

void KavrelParameterManager::displayOfReal(int index, float r, char* buf, int len) const {
    if (!buf || len <= 0) return;
    const double rounded = std::floor(static_cast<double>(r) + 0.5);
    char text[64];
    if (showsThreeDecimals(index)) {
        std::snprintf(text, sizeof text, "%4.3f", static_cast<double>(r));
    } else if (index == kavrel::kParamStepSize) {
        std::snprintf(text, sizeof text, "%s",
                      kStepSizeNames[clampedIndex(rounded, 0, kNumStepSizes - 1)]);
    } else if (index == kavrel::kParamSync) {
        std::snprintf(text, sizeof text, "%s",
                      kSyncNames[clampedIndex(rounded, 0, kNumSyncModes - 1)]);
    } else if (isRandomSize(index)) {
        std::snprintf(text, sizeof text, "%s",
                      kRandomSizeNames[clampedIndex(rounded, 0, kNumRandomSizes - 1)]);
    } else if (index == kavrel::kParamPattern) {
        std::snprintf(text, sizeof text, "%02d", saturatedInt(static_cast<double>(r) + 1.0));
    } else if (index >= kavrel::kParamOutputFirst && index < kavrel::kParamMuteFirst) {
        // Six stereo pairs: a stray value still names one of them.
        std::snprintf(text, sizeof text, "%c", 'A' + clampedIndex(r, 0, 5));
    } else {
        formatValue(index, buf, r, len);
        return;
    }
    copyWithin(buf, text, len);
}

int KavrelParameterManager::voiceOfParam(int index) {
    // Sound parameters are grouped in their own order, so map them range by range.
    struct Range {
        int first;
        int last;
        int voice;
    };
    static const Range kRanges[] = {
        {0, 13, 0},   {14, 24, 2},  {25, 28, 1}, {29, 42, 3}, {43, 56, 4},  {57, 70, 5},
        {71, 72, 10}, {73, 81, 11}, {82, 86, 6}, {87, 92, 7}, {93, 105, 8}, {106, 107, 9},
    };
    for (const Range& range : kRanges)
        if (index >= range.first && index <= range.last) return range.voice;
    if (index >= kavrel::kParamPanFirst && index < kavrel::kParamPanFirst + kavrel::kNumVoices)
        return index - kavrel::kParamPanFirst;
    return -1;
}
