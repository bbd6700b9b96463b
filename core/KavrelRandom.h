#pragma once
#include <cstdint>

// The one random source of the plug-in. Hosts on Windows and Linux must hear the same
// probabilities and get the same renders from a seed, and the C library's rand() differs
// between the two (0..32767 on one, 0..2^31-1 on the other), so we keep our own generator.
// The state is one relaxed atomic word: the audio thread and the editor may draw at the same
// time, and a lost update only means one draw repeats, never a torn value.
namespace kavrel {

constexpr int kRandMax = 32767;

// Next value in 0..32767.
int rand();
// Restart the sequence; the same seed gives the same draws on every platform.
void srand(uint32_t seed);

} // namespace kavrel
