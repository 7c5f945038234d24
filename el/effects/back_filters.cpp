#include "el/effects/back_filters.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/effects/effect_region.h"
#include "el/effects/pixel_format.h"
#include "platform/crt.h"
#include "platform/display/gdi.h"

namespace elDraw {
namespace {

constexpr std::int32_t kRandomCount = static_cast<std::int32_t>(10000);

std::uint16_t Pack5(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(r << PixelFormat.RedShift5 | g << PixelFormat.GreenShift5 |
                                      b << PixelFormat.BlueShift5);
}

// A cursor moved from outside the table by a caller starts over rather than read past it.
std::int32_t& Valid(std::int32_t& cursor) {
    if (cursor < 0 || cursor >= kRandomCount) cursor = 0;
    return cursor;
}

// After the first pass the noise restarts somewhere among the table's first 1000 entries.
void Advance(std::int32_t& cursor) {
    cursor = cursor >= kRandomCount - 1 ? crt::rand() % 1000 : cursor + 1;
}

struct Fade {
    bool r = false, g = false, b = false;
};

// The average of the four neighbours of p, each channel that is faded and not 0 lowered by 1.
std::uint16_t Smooth(const std::uint16_t* p, std::ptrdiff_t stride, Fade fade) {
    const auto& a = PixelToRgb[p[-1]];
    const auto& b = PixelToRgb[p[1]];
    const auto& c = PixelToRgb[p[-stride]];
    const auto& d = PixelToRgb[p[stride]];
    unsigned r = (a[0] + b[0] + c[0] + d[0]) >> 2;
    unsigned g = (a[1] + b[1] + c[1] + d[1]) >> 2;
    unsigned bl = (a[2] + b[2] + c[2] + d[2]) >> 2;
    if (fade.r && r != 0) --r;
    if (fade.g && g != 0) --g;
    if (fade.b && bl != 0) --bl;
    return Pack5(r, g, bl);
}

int Rise(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, Fade fade,
         std::int32_t& counter, std::int32_t& cursor) {
    const LockedBack back;
    if (!back.ok()) return 0;
    // The last pass reads the row below the rectangle, which must lie on the surface.
    const PixelRect r = CutToBounds(x, y, w, h, back.width(), back.height() - 1);
    for (std::int32_t row = r.top + 2; row <= r.bottom - 1; ++row) {
        for (std::int32_t column = r.left + 1; column <= r.right - 2; ++column) {
            std::uint16_t* p = back.at(column, row);
            ++counter;
            if (counter >= RandomTable[static_cast<std::size_t>(Valid(cursor))]) {
                p[-back.stride()] = *p;
                counter = 0;
                Advance(cursor);
            } else {
                p[-back.stride()] = Smooth(p, back.stride(), fade);
            }
        }
    }
    return 1;
}

// Whether a pixel packed from 5-bit components reads back as those components: then a blurred
// pixel's components can be carried to its right-hand neighbour instead of being read back
// from the surface, which takes a store and two dependent loads out of every step.
bool PackReadsBack() {
    for (unsigned c = 0; c < 32; ++c) {
        const auto& rgb = PixelToRgb[Pack5(c, 31 - c, c ^ 21)];
        if (rgb[0] != c || rgb[1] != 31 - c || rgb[2] != (c ^ 21)) return false;
    }
    return true;
}

int Blur(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, Fade fade) {
    const LockedBack back;
    if (!back.ok()) return 0;
    const PixelRect r = CutToBounds(x, y, w, h, back.width(), back.height());
    const std::ptrdiff_t stride = back.stride();
    const bool carry = PackReadsBack();
    if (r.right - r.left < 3) return 1;  // no interior column
    for (std::int32_t row = r.top + 1; row <= r.bottom - 2; ++row) {
        std::uint16_t* p = back.at(r.left + 1, row);
        // The left neighbour's components: read for the row's first pixel, carried after.
        const auto& first = PixelToRgb[p[-1]];
        unsigned left[3] = {first[0], first[1], first[2]};
        for (std::int32_t column = r.left + 1; column <= r.right - 2; ++column, ++p) {
            if (!carry) {
                *p = Smooth(p, stride, fade);
                continue;
            }
            unsigned c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = (left[k] + PixelToRgb[p[1]][k] + PixelToRgb[p[-stride]][k] +
                        PixelToRgb[p[stride]][k]) >>
                       2;
            }
            if (fade.r && c[0] != 0) --c[0];
            if (fade.g && c[1] != 0) --c[1];
            if (fade.b && c[2] != 0) --c[2];
            *p = Pack5(c[0], c[1], c[2]);
            for (int k = 0; k < 3; ++k) left[k] = c[k];
        }
    }
    return 1;
}

int Zoom(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t dots,
         std::int32_t scale) {
    PixelRect r;
    {
        const LockedSurface work(ObjectSurface(0));
        if (!work.ok()) return 0;
        const LockedBack back;
        if (!back.ok()) return 0;
        r = CutToBounds(x, y, w, h, back.width(), back.height());
        // The enlargement must fit into object 0.
        r.right = std::min(r.right, r.left + work.width() / scale);
        r.bottom = std::min(r.bottom, r.top + work.height() / scale);
        if (r.empty()) return 1;
        const std::int32_t filled = dots != 0 ? scale / 2 : scale;
        for (std::int32_t j = 0; j < r.bottom - r.top; ++j) {
            for (std::int32_t i = 0; i < r.right - r.left; ++i) {
                const std::uint16_t p = *back.at(r.left + i, r.top + j);
                for (std::int32_t v = 0; v < filled; ++v) {
                    std::fill_n(work.at(scale * i, scale * j + v), filled, p);
                }
            }
        }
    }
    BlitOpaque(r.left, r.top, 0, 0, 0, scale * (r.right - r.left), scale * (r.bottom - r.top));
    return 1;
}

int Noise(std::int32_t shift, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          Fade add, std::int32_t& cursor) {
    const LockedBack back;
    if (!back.ok()) return 0;
    // Anything from 32 on would shift past the value; from 5 on every non-zero grain is full.
    const int s = std::clamp(shift, 0, 5);
    const PixelRect r = CutToBounds(x, y, w, h, back.width(), back.height());
    for (std::int32_t row = r.top; row < r.bottom; ++row) {
        for (std::int32_t column = r.left; column < r.right; ++column) {
            const unsigned v = RandomTable[static_cast<std::size_t>(Valid(cursor))] << s;
            Advance(cursor);
            std::uint16_t* p = back.at(column, row);
            const auto& rgb = PixelToRgb[*p];
            const auto plus = [v](unsigned c, bool on) { return on ? std::min(c + v, 31u) : c; };
            *p = Pack5(plus(rgb[0], add.r), plus(rgb[1], add.g), plus(rgb[2], add.b));
        }
    }
    return 1;
}

Fade Flags(std::int32_t r, std::int32_t g, std::int32_t b) {
    return {r != 0, g != 0, b != 0};
}

}  // namespace

int RiseRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    return Rise(x, y, w, h, {}, RiseCounter, RiseCursor);
}

int RiseRectFade(std::int32_t fadeR, std::int32_t fadeG, std::int32_t fadeB, std::int32_t x,
                 std::int32_t y, std::int32_t w, std::int32_t h) {
    return Rise(x, y, w, h, Flags(fadeR, fadeG, fadeB), RiseFadeCounter, RiseFadeCursor);
}

int BlurRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    return Blur(x, y, w, h, {});
}

int BlurRectFade(std::int32_t fadeR, std::int32_t fadeG, std::int32_t fadeB, std::int32_t x,
                 std::int32_t y, std::int32_t w, std::int32_t h) {
    return Blur(x, y, w, h, Flags(fadeR, fadeG, fadeB));
}

int Zoom2Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t dots) {
    return Zoom(x, y, w, h, dots, 2);
}

int Zoom4Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t dots) {
    return Zoom(x, y, w, h, dots, 4);
}

int MosaicDisc(std::int32_t cx, std::int32_t cy, std::int32_t radius, std::int32_t block) {
    const LockedBack back;
    if (!back.ok()) return 0;
    if (block <= 0) return 1;
    const std::int64_t width = back.width(), height = back.height(), r = radius;
    const std::int64_t firstX = std::max(-r, -static_cast<std::int64_t>(cx));
    const std::int64_t endX = cx + r >= width ? width - cx : r;
    const std::int64_t firstY = std::max(-r, -static_cast<std::int64_t>(cy));
    const std::int64_t endY = cy + r >= height ? height - cy : r;
    // trunc(sqrt(d)) < r exactly when d < r * r, for whole d and r.
    const std::int64_t inside = r * r;
    for (std::int64_t by = firstY; by < endY; by += block) {
        for (std::int64_t bx = firstX; bx < endX; bx += block) {
            const std::uint16_t p =
                *back.at(static_cast<std::int32_t>(cx + bx), static_cast<std::int32_t>(cy + by));
            const std::int64_t bw = std::min<std::int64_t>(block, width - (cx + bx));
            const std::int64_t bh = std::min<std::int64_t>(block, height - (cy + by));
            for (std::int64_t dy = by; dy < by + bh; ++dy) {
                for (std::int64_t dx = bx; dx < bx + bw; ++dx) {
                    if (dx * dx + dy * dy < inside) {
                        *back.at(static_cast<std::int32_t>(cx + dx),
                                 static_cast<std::int32_t>(cy + dy)) = p;
                    }
                }
            }
        }
    }
    return 1;
}

int NoiseRect(std::int32_t shift, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    return Noise(shift, x, y, w, h, {true, true, true}, NoiseCursor);
}

int NoiseRectRGB(std::int32_t addR, std::int32_t addG, std::int32_t addB, std::int32_t shift,
                 std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    return Noise(shift, x, y, w, h, Flags(addR, addG, addB), NoiseRGBCursor);
}

int InvertRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (!BackSurface) return 0;
    std::optional<platform::DeviceContext> dc;
    if (platform::GetDC(*BackSurface, dc) != platform::DD_OK || !dc) return 0;
    const PixelRect r =
        CutToBounds(left, top, static_cast<std::int64_t>(right) - left,
                    static_cast<std::int64_t>(bottom) - top, dc->width(), dc->height());
    // Inverting the colour reference inverts each component's top bits, so only the layout's
    // own bits change (a 5-5-5 pixel keeps its unused top bit).
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        for (std::int32_t x = r.left; x < r.right; ++x) {
            dc->SetPixel(x, y, ~dc->GetPixel(x, y) & 0x00FFFFFFu);
        }
    }
    platform::ReleaseDC(*BackSurface, dc);
    return 1;
}

}  // namespace elDraw
