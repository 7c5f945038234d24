// The C runtime services the scenes use, behind the library: the random generator (the
// classic linear congruential one, identical on every machine, maximum 32767) and the clock.
#pragma once

#include <cstdint>

namespace elSystem {

inline constexpr int kRandMax = 32767;

void srand(std::uint32_t seed);
int rand();
// Seconds since the epoch from the host's clock; also stored through out when it is not null.
std::int64_t time(std::int64_t* out);

}  // namespace elSystem
