// Build-time settings of the library, with the values this program is built with.
#pragma once

#include <cstdint>

namespace elSystem {

// 1: full-screen popup window; 0: captioned window on the desktop.
inline constexpr std::int32_t FullScreen = 1;
// Bits. 1: leave a window's z-order alone; 2: keep running passes in the background;
// 4: show the window minimised at start.
inline constexpr std::int32_t WindowOptions = 0;

}  // namespace elSystem
