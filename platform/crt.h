// The C runtime's random generator and clock, our own so that a seeded run gives the same
// numbers on every machine: the classic linear congruential generator with a maximum of 32767.
#pragma once

#include <cstdint>

namespace crt {

inline constexpr int kRandMax = 32767;

void srand(std::uint32_t seed);
int rand();
// Seconds since the epoch, from the host's clock.
std::int64_t time(std::int64_t* out);

}  // namespace crt
