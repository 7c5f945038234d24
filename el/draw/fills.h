// Colour fills of the back surface and of objects, and the 50% blend of a rectangle.
#pragma once

#include <cstdint>

#include "platform/display/display_types.h"

namespace elDraw {

// The back surface filled with black (pixel value 0).
platform::HResult ClearScreen();
// An object filled with black.
platform::HResult ClearObject(std::int32_t object);
// A rectangle of the back surface filled with black.
platform::HResult ClearRect(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom);
// The outline of a rectangle, one pixel wide, drawn in black.
platform::HResult FrameRect(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom);
// The back surface filled with white.
platform::HResult FillScreenWhite();
// A rectangle of the back surface filled with white.
platform::HResult FillRectWhite(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom);
// colour is a 16-bit pixel value, not a colour reference.
platform::HResult FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, std::uint32_t colour);
// Blends the rectangle 50% with a 16-bit pixel value; 0 when the back surface cannot be locked.
int HalfFillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::uint32_t colour);

}  // namespace elDraw
