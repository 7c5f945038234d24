// Wipes that reveal or hide the picture by moving the edges of the clip rectangle.
#pragma once

#include <cstdint>

#include "platform/rect.h"

namespace elDraw {

// 0 idle, 1 opening, 2 closing, -1 closed.
extern std::int32_t WipeState;
extern platform::Rect WipeRect;

// A scene change abandons a running wipe: the full clip comes back.
void CancelWipe();

}  // namespace elDraw
