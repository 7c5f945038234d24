// Text on a 16-bit surface as a device context draws it: a line at a point (the top left of its
// first character's cell), or a box of lines with wrapping and alignment. Pixels are either the
// text colour, the background colour or left alone: no shade in between, the same on every run.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/display/display_types.h"
#include "platform/display/surface.h"
#include "platform/rect.h"
#include "platform/text/font.h"

namespace platform::text {

inline constexpr std::uint32_t DT_LEFT = 0x0000;
inline constexpr std::uint32_t DT_CENTER = 0x0001;
inline constexpr std::uint32_t DT_RIGHT = 0x0002;
inline constexpr std::uint32_t DT_WORDBREAK = 0x0010;
inline constexpr std::uint32_t DT_CALCRECT = 0x0400;
inline constexpr std::uint32_t DT_NOPREFIX = 0x0800;

struct TextColours {
    ColorRef text = 0x000000;
    ColorRef back = 0xFFFFFF;
    bool transparent = false;  // otherwise each line's cells are painted in `back` first
};

// The width of text drawn as one line.
std::int64_t TextWidth(Font& font, std::string_view text);

// One line from (x, y); line breaks and other control characters take no room. Turned about
// (x, y) by the font's angle.
void TextOut(Surface& surface, Font& font, std::int32_t x, std::int32_t y, std::string_view text,
             const TextColours& colours);

// The lines of text in the rectangle, from its top, cut to it. With DT_CALCRECT nothing is drawn
// (the surface may be null). The result is the height of the lines: their count times the cell
// height, 0 for no text; it saturates at the 32-bit maximum.
std::int32_t DrawText(Surface* surface, Font& font, const Rect& rect, std::string_view text,
                      std::uint32_t format, const TextColours& colours);

}  // namespace platform::text
