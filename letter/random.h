// The letter's pseudo-random generator: the Windows C runtime's linear congruential generator.
#pragma once

#include <cstdint>

namespace corvane {

void SetRandomSeed(std::uint32_t seed);
// One draw r from 0 to 32767, returned as low + r mod (high - low + 1); needs 0 <= low < high.
int RandomInRange(int low, int high);

// Low 32 bits of a value computed in double arithmetic and truncated toward zero to 64 bits.
std::uint32_t SeedFrom(double value);

}  // namespace corvane
