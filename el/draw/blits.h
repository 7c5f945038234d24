// Copies of drawing objects onto the back surface or onto other objects, clipped to ClipRect,
// with or without the source's colour key, unscaled or scaled, and the screen capture.
#pragma once

#include <cstdint>

#include "platform/display/display_types.h"

namespace elDraw {

// The object's source rectangle (right and bottom exclusive) at (x, y) on the back surface;
// pixels of the object's key colour are left out.
void BlitKeyed(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
               std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// The same with every pixel copied.
void BlitOpaque(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom);
// Keyed and opaque copies onto another object instead of the back surface.
platform::HResult BlitObjectKeyed(std::int32_t destination, std::int32_t x, std::int32_t y,
                                  std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                                  std::int32_t srcRight, std::int32_t srcBottom);
platform::HResult BlitObjectOpaque(std::int32_t destination, std::int32_t x, std::int32_t y,
                                   std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                                   std::int32_t srcRight, std::int32_t srcBottom);
// The back surface's rectangle copied to the object at (0, 0), not clipped.
void CaptureScreen(std::int32_t object, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom);
// The source rectangle scaled to width x height at (x, y), keyed or opaque.
void StretchBlitKeyed(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                      std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                      std::int32_t width, std::int32_t height);
void StretchBlitOpaque(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                       std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                       std::int32_t width, std::int32_t height);

}  // namespace elDraw
