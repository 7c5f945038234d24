// The running transition's step counter. The show drives it; the key and joystick helpers of
// the library read it, so it lives here rather than with the scenes.
#pragma once

#include <cstdint>

namespace elSystem {

extern std::int32_t& TransitionCounter;

}  // namespace elSystem
