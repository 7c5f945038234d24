// A 5 x 7 bitmap font of the digits and the few capitals the contact sheet's captions use.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/render/rgb_image.h"

namespace render {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Draws `text` with its top left at (x, y), each font pixel a scale x scale square, one blank
// column between letters; parts outside the image and characters the font lacks are skipped.
// Returns the x just after the text.
int DrawText(RgbImage& image, int x, int y, std::string_view text, int scale,
             const std::uint8_t (&rgb)[3]);

// The width DrawText takes for `text`.
int TextWidth(std::string_view text, int scale);

}  // namespace render
