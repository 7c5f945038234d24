// The multimedia millisecond clock: a 32-bit counter that wraps, read from the host.
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t timeGetTime();
// One turn of a loop that polls timeGetTime() until a time comes (see Host::PollPause).
void PollPause();

}  // namespace platform
