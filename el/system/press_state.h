// The four-state press detector that keys and joystick buttons share, called once a frame:
// 0 up, 1 just pressed, 3 held, 2 just released.
#pragma once

#include <cstdint>

namespace elSystem {

inline constexpr std::int32_t kPressUp = 0;
inline constexpr std::int32_t kPressJustDown = 1;
inline constexpr std::int32_t kPressJustUp = 2;
inline constexpr std::int32_t kPressHeld = 3;

// The state after this frame's reading. A press on the frame right after a release goes from
// 2 straight to 3; while a transition runs, the scroll page is shown or input is suspended the
// state is 0, so that nothing pressed then counts later as a fresh press.
std::int32_t NextPressState(std::int32_t state, bool down);

}  // namespace elSystem
