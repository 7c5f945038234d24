// Shapes and single pixels on the back surface, drawn through its device context: each call
// takes the context and gives it back, or draws through the one BeginGdi (or a text run)
// holds. Colours are colour references (0x00BBGGRR); points and corners are back-surface
// pixels. Wide pens are round at their ends and corners; one-pixel lines leave their end point
// out. Coordinates and widths may be anything: what falls outside the surface is not drawn.
#pragma once

#include <cstdint>

#include "platform/display/display_types.h"

namespace elSystem {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Fill mode 0 the outline only; 1 the outline over a diagonal cross-hatch in `colour` whose
// gaps are painted `background`; 2 the same hatch with the gaps left alone (any other mode as
// 1). The inside follows the even-odd rule. Fewer than 2 points, or none, draw nothing.
void DrawPolygon(const Point* points, std::int32_t count, platform::ColorRef colour,
                 platform::ColorRef background, std::int32_t width, std::int32_t fillMode);
void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              platform::ColorRef colour, std::int32_t width);
// `fill` inside, the pen on the border pixels; right and bottom exclusive, corners in any order.
void DrawRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              platform::ColorRef fill, platform::ColorRef pen, std::int32_t width);
// Cubic curves through points[0], [3], [6], ...: count must be 1 + 3k with k >= 1, or nothing
// is drawn.
void DrawBezier(const Point* points, std::int32_t count, platform::ColorRef colour,
                std::int32_t width);

void SetPixelColor(std::int32_t x, std::int32_t y, platform::ColorRef colour);
// The pixel's components, 0 to 255, and 1. Outside the surface (or with no surface) there is
// no colour: the components become -1 and the result is 0. Null outputs are passed over.
int GetPixelColor(std::int32_t x, std::int32_t y, std::int32_t* red, std::int32_t* green,
                  std::int32_t* blue);

// Holds the back surface's device context until EndGdi: the result of taking it (DD_OK, or
// DDERR_SURFACEBUSY while a text run or an earlier BeginGdi holds it). Blits to the back surface
// fail while it is held.
platform::HResult BeginGdi();
// Gives back what BeginGdi took; nothing else.
void EndGdi();

}  // namespace elSystem
