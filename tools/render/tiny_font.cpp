#include "tools/render/tiny_font.h"

#include <array>

namespace render {
namespace {

struct Glyph {
    char c;
    std::array<std::uint8_t, kGlyphHeight> rows;  // bit 4 is the leftmost column
};

constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
};

const Glyph* Find(char c) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.c == c) return &glyph;
    }
    return nullptr;
}

void Fill(RgbImage& image, int x0, int y0, int size, const std::uint8_t (&rgb)[3]) {
    for (int y = y0; y < y0 + size; ++y) {
        if (y < 0 || y >= image.height) continue;
        for (int x = x0; x < x0 + size; ++x) {
            if (x < 0 || x >= image.width) continue;
            std::uint8_t* p = image.Row(y) + static_cast<std::ptrdiff_t>(x) * 3;
            p[0] = rgb[0];
            p[1] = rgb[1];
            p[2] = rgb[2];
        }
    }
}

}  // namespace

int TextWidth(std::string_view text, int scale) {
    return static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale;
}

int DrawText(RgbImage& image, int x, int y, std::string_view text, int scale,
             const std::uint8_t (&rgb)[3]) {
    for (const char c : text) {
        if (const Glyph* glyph = Find(c)) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int column = 0; column < kGlyphWidth; ++column) {
                    if ((glyph->rows[static_cast<std::size_t>(row)] >> (4 - column)) & 1) {
                        Fill(image, x + column * scale, y + row * scale, scale, rgb);
                    }
                }
            }
        }
        x += (kGlyphWidth + 1) * scale;
    }
    return x;
}

}  // namespace render
