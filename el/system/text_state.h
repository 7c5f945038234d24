// The state of the text drawing: the open text run (its font, colours and background mode,
// and whether it took the back surface's device context itself) and the frame-rate counter.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/display/display_types.h"
#include "platform/text/font.h"

namespace elSystem {

extern std::int32_t& TextRunOpen;
// 1 when the run took the device context and gives it back at EndText; 0 when it draws through
// the one BeginGdi holds, or got none.
extern std::int32_t& TextRunOwnsDC;
extern std::shared_ptr<platform::text::Font>& TextRunFont;
extern platform::ColorRef& TextColor;
extern platform::ColorRef& TextBackColor;
extern std::int32_t& TextTransparent;

// Frames counted in the current two-second window (at most 999), the rate of the last window,
// the highest and lowest rates seen, and the line last drawn.
extern std::int32_t& FramesCounted;
extern float& FrameRate;
extern float& HighestFrameRate;
extern float& LowestFrameRate;
extern std::array<char, 64>& FrameRateText;

// 1 while BeginGdi holds the back surface's device context.
extern std::int32_t& GdiHeld;

}  // namespace elSystem
