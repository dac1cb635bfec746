#include "letter/random.h"

namespace corvane {
namespace {

std::uint32_t gRandomState = 0;  // used on the GUI thread only

}  // namespace

void SetRandomSeed(std::uint32_t seed) {
    gRandomState = seed;
}

int RandomInRange(int low, int high) {
    gRandomState = gRandomState * 214013u + 2531011u;
    const int r = static_cast<int>((gRandomState >> 16) & 0x7FFFu);
    return low + r % (high - low + 1);
}

std::uint32_t SeedFrom(double value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(value)));
}

}  // namespace corvane
