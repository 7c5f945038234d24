// The name of the operation a page shows, in the top left corner, from the glyph picture: the
// printable ASCII characters in a 16 x 6 grid of 10 x 18 cells, keyed on black.
#pragma once

#include <string_view>

namespace gallery {

inline constexpr int kGlyphWidth = 10;
inline constexpr int kGlyphHeight = 18;

// Characters outside printable ASCII show as '?'. The band behind the text darkens the
// picture by half so that the caption reads on any page.
void DrawCaption(std::string_view text);
// The glyphs alone, with their top left corner at (x, y).
void DrawText(int x, int y, std::string_view text);

}  // namespace gallery
