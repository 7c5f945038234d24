#include "platform/clock.h"

#include "platform/host.h"

namespace platform {

std::uint32_t timeGetTime() {
    return HasHost() ? CurrentHost().Milliseconds() : 0;
}

void PollPause() {
    if (HasHost()) CurrentHost().PollPause();
}

}  // namespace platform
