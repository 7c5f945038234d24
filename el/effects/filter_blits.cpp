#include "el/effects/filter_blits.h"

#include <algorithm>
#include <cmath>

#include "el/effects/effect_loop.h"
#include "el/effects/effect_region.h"
#include "el/effects/pixel_format.h"

namespace elDraw {
namespace {

std::uint16_t Pack5(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(r << PixelFormat.RedShift5 | g << PixelFormat.GreenShift5 |
                                      b << PixelFormat.BlueShift5);
}

// What to add to an 8-bit light value that is lit onto pixel p, capped per channel at 31.
void Light(std::uint16_t* p, const unsigned light[3]) {
    const auto& c = PixelToRgb[*p];
    *p = Pack5(std::min(c[0] + light[0], 31u), std::min(c[1] + light[1], 31u),
               std::min(c[2] + light[2], 31u));
}

}  // namespace

int SoftEdgeBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                 std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return DrawOverBackSurface(
        x, y, object, srcLeft, srcTop, srcRight, srcBottom, [](const EffectPixels& p) {
            for (int row = 0; row < p.height; ++row) {
                const std::uint16_t* s = p.source + row * p.sourceStride;
                std::uint16_t* d = p.destination + row * p.destinationStride;
                for (int col = 0; col < p.width; ++col) {
                    if (s[col] == 0) continue;
                    unsigned sum[3] = {PixelToRgb[s[col]][0], PixelToRgb[s[col]][1],
                                       PixelToRgb[s[col]][2]};
                    unsigned n = 1;
                    // Left, right, above, below: the background under transparent neighbours.
                    const auto add = [&](bool inside, std::ptrdiff_t so, std::ptrdiff_t dO) {
                        if (!inside || s[col + so] != 0) return;
                        for (int c = 0; c < 3; ++c) sum[c] += PixelToRgb[d[col + dO]][c];
                        ++n;
                    };
                    add(col > 0, -1, -1);
                    add(col < p.width - 1, 1, 1);
                    add(row > 0, -p.sourceStride, -p.destinationStride);
                    add(row < p.height - 1, p.sourceStride, p.destinationStride);
                    d[col] = n == 1 ? s[col] : Pack5(sum[0] / n, sum[1] / n, sum[2] / n);
                }
            }
        });
}

int BlurBlit(std::int32_t x, std::int32_t y, std::int32_t size, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom) {
    return DrawOverBackSurface(
        x, y, object, srcLeft, srcTop, srcRight, srcBottom, [size](const EffectPixels& p) {
            if (p.width == 0 || p.height == 0) return;
            // The window must lie inside the drawn rectangle and hold at least one pixel.
            const int n = std::clamp(size, 1, std::min(p.width, p.height));
            const unsigned count = static_cast<unsigned>(n * n);
            for (int row = 0; row < p.height; ++row) {
                const int top = row + n > p.height ? p.height - n : row;
                const std::uint16_t* s = p.source + row * p.sourceStride;
                std::uint16_t* d = p.destination + row * p.destinationStride;
                for (int col = 0; col < p.width; ++col) {
                    if (s[col] == 0) continue;
                    const int left = col + n > p.width ? p.width - n : col;
                    unsigned sum[3] = {0, 0, 0};
                    for (int j = 0; j < n; ++j) {
                        const std::uint16_t* w = p.source + (top + j) * p.sourceStride + left;
                        for (int i = 0; i < n; ++i) {
                            for (int c = 0; c < 3; ++c) sum[c] += PixelToRgb[w[i]][c];
                        }
                    }
                    d[col] = Pack5(sum[0] / count, sum[1] / count, sum[2] / count);
                }
            }
        });
}

int DisplaceBlit(std::int32_t x, std::int32_t y, float strength, std::int32_t object,
                 std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                 std::int32_t srcBottom) {
    // 31 - strength * 31 in extended precision, truncated.
    const int fade =
        static_cast<int>(31.0L - static_cast<long double>(UnitInRange(strength)) * 31.0f);
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [fade](const EffectPixels& p) {
                                   for (int row = 0; row < p.height; ++row) {
                                       const std::uint16_t* s = p.source + row * p.sourceStride;
                                       std::uint16_t* d = p.destination + row * p.destinationStride;
                                       for (int col = 0; col < p.width; ++col) {
                                           if (s[col] == 0) continue;
                                           int offset = std::max(PixelToRgb[s[col]][0] - fade, 0);
                                           // Only rows of the rectangle, which are not yet written,
                                           // are pulled up.
                                           if (offset >= p.height - row) offset = 0;
                                           d[col] = d[col + offset * p.destinationStride];
                                       }
                                   }
                               });
}

int GlowBlit(std::int32_t x, std::int32_t y, std::int32_t shiftR, std::int32_t shiftG,
             std::int32_t shiftB, std::int32_t directions, std::int32_t copy, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom) {
    const int shift[3] = {std::clamp(shiftR, 0, 31), std::clamp(shiftG, 0, 31),
                          std::clamp(shiftB, 0, 31)};
    // Rays stay inside ClipRect, and ClipRect inside the surface.
    const PixelRect clip = ClipOnBackSurface();
    return DrawOverBackSurface(
        x, y, object, srcLeft, srcTop, srcRight, srcBottom, [&](const EffectPixels& p) {
            EffectRegion region;
            ClipEffectRegion(x, y, object, srcLeft, srcTop, srcRight, srcBottom, region);
            std::int32_t& cursor = GlowCursor;
            for (int row = 0; row < p.height; ++row) {
                const std::uint16_t* s = p.source + row * p.sourceStride;
                const int Y = region.y + row;
                for (int col = 0; col < p.width; ++col) {
                    if (s[col] == 0) continue;
                    const int X = region.x + col;
                    std::uint16_t* d = p.destination + row * p.destinationStride + col;
                    if (copy != 0) *d = s[col];
                    if (cursor < 0 || cursor >= 10000) cursor = 0;
                    const unsigned v = RandomTable[static_cast<std::size_t>(cursor)];
                    cursor = cursor + 1 == 10000 ? 0 : cursor + 1;
                    unsigned light[3];
                    for (int c = 0; c < 3; ++c) {
                        const unsigned l = static_cast<unsigned>(PixelToRgb[s[col]][c]) >> shift[c];
                        light[c] = l < v ? 0 : l - v;
                    }
                    for (int k = 0; k <= 30; ++k) {
                        for (unsigned& l : light) l -= l != 0 ? 1 : 0;
                        if (light[0] == 0 && light[1] == 0 && light[2] == 0) break;
                        const auto ray = [&](int dy, int bits) {
                            std::uint16_t* at = d + dy * p.destinationStride;
                            if (directions & bits & 0x42) Light(at, light);
                            if ((directions & bits & 0x21) && X - k >= clip.left)
                                Light(at - k, light);
                            if ((directions & bits & 0x84) && X + k < clip.right)
                                Light(at + k, light);
                        };
                        if (Y - k - 1 >= clip.top) ray(-(k + 1), 0xE0);
                        if (Y + k + 1 < clip.bottom) ray(k + 1, 0x07);
                    }
                }
            }
        });
}

}  // namespace elDraw
