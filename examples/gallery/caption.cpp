#include "examples/gallery/caption.h"

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "examples/gallery/gallery_state.h"

namespace gallery {

void DrawCaption(std::string_view text) {
    constexpr int kLeft = 8, kTop = 8, kPad = 4;
    const int width = static_cast<int>(text.size()) * kGlyphWidth;
    elDraw::HalfFillRect(kLeft - kPad, kTop - kPad, kLeft + width + kPad,
                         kTop + kGlyphHeight + kPad, 0);
    DrawText(kLeft, kTop, text);
}

void DrawText(int x, int y, std::string_view text) {
    for (const char c : text) {
        const int code = (c >= 32 && c <= 126) ? c : '?';
        const int cell = code - 32;
        const int left = (cell % 16) * kGlyphWidth;
        const int top = (cell / 16) * kGlyphHeight;
        elDraw::BlitKeyed(x, y, Objects().glyphs, left, top, left + kGlyphWidth,
                          top + kGlyphHeight);
        x += kGlyphWidth;
    }
}

}  // namespace gallery
