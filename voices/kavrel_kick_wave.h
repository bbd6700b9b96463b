#pragma once

// One cycle of a slightly squared, slightly skewed sine that the kick's body and the toms' two
// tonal oscillators play (read with linear interpolation, period 891 samples). Generated once by
// tools/make_kick_wave.cpp into kavrel_kick_wave_data.cpp, so both builds carry identical bits
// and nothing is computed at start-up.
constexpr int kavrel_kick_wave_length = 891;
extern const float kavrel_kick_wave[kavrel_kick_wave_length];
