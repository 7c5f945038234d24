// The one clip rectangle every blit and effect into the back surface is cut to.
#pragma once

#include <cstdint>

#include "platform/rect.h"

namespace elDraw {

extern platform::Rect& ClipRect;

// Sets the clip rectangle (right and bottom exclusive); it is taken as given.
void SetClipRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

}  // namespace elDraw
