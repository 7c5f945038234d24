// The filter blits against plain loops, in both layouts: softened outlines and displacement
// read the background as it was (the rows and neighbours they read are never written first),
// blur reads only the source, and glow lights the surface ray by ray in scan order with its
// noise continued from call to call.
#include "el/effects/filter_blits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "el/draw/clip_rect.h"
#include "el/effects/pixel_format.h"
#include "tests/el/draw/draw_test_support.h"
#include "tests/el/effects/picture_fixture.h"

namespace {

using namespace drawtest;
using elDraw::PixelFormat;
using elDraw::PixelToRgb;
using Pixels = std::vector<std::uint16_t>;

constexpr int kW = 640, kH = 480, kSw = 41, kSh = 29;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kNan = std::numeric_limits<float>::quiet_NaN();

std::uint16_t Pack5(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(r << PixelFormat.RedShift5 | g << PixelFormat.GreenShift5 |
                                      b << PixelFormat.BlueShift5);
}

// The drawn part: destination dx, dy, source sx, sy (in the object), w, h.
struct Drawn {
    int dx, dy, sx, sy, w, h;
};

class FilterTest : public effecttest::PictureOnScreen<kSw, kSh> {
  protected:
    FilterTest() : PictureOnScreen(9, 3) {}
    static Drawn Clip(int x, int y) {  // the whole object drawn at x, y
        const auto& c = elDraw::ClipRect;
        const int l = std::max({c.left, 0, x}), t = std::max({c.top, 0, y});
        const int r = std::min({c.right, kW, x + kSw}), b = std::min({c.bottom, kH, y + kSh});
        return {l, t, l - x, t - y, std::max(r - l, 0), std::max(b - t, 0)};
    }
};

TEST_P(FilterTest, SoftEdgeBlurAndDisplaceMatchTheirLoops) {
    const std::vector<std::pair<int, int>> places = {{100, 100}, {-7, -5}, {620, 470}, {300, 3}};
    for (auto [x, y] : places) {
        for (int effect = 0; effect < 5; ++effect) {
            WritePixels(*elDraw::BackSurface, start);
            const Drawn d = Clip(x, y);
            Pixels want = start;
            const auto back = [&](int col, int row) {
                return start[(d.dy + row) * kW + d.dx + col];
            };
            const int size = effect == 1 ? 1 : effect == 2 ? 4 : 0;
            const int fade = effect == 3 ? static_cast<int>(31.0 - 0.6f * 31.0) : 0;
            for (int row = 0; row < d.h; ++row) {
                for (int col = 0; col < d.w; ++col) {
                    const std::uint16_t s = Src(d.sx + col, d.sy + row);
                    if (s == 0) continue;
                    std::uint16_t& out = want[(d.dy + row) * kW + d.dx + col];
                    if (effect == 0) {
                        unsigned sum[3] = {PixelToRgb[s][0], PixelToRgb[s][1], PixelToRgb[s][2]};
                        unsigned n = 1;
                        const int nb[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
                        for (const auto& o : nb) {
                            const int c = col + o[0], r = row + o[1];
                            if (c < 0 || c >= d.w || r < 0 || r >= d.h) continue;
                            if (Src(d.sx + c, d.sy + r) != 0) continue;
                            for (int k = 0; k < 3; ++k) sum[k] += PixelToRgb[back(c, r)][k];
                            ++n;
                        }
                        out = n == 1 ? s : Pack5(sum[0] / n, sum[1] / n, sum[2] / n);
                    } else if (size > 0) {
                        const int top = std::min(row, d.h - size), left = std::min(col, d.w - size);
                        unsigned sum[3] = {0, 0, 0};
                        for (int j = 0; j < size; ++j) {
                            for (int i = 0; i < size; ++i) {
                                const auto& rgb = PixelToRgb[Src(d.sx + left + i, d.sy + top + j)];
                                for (int k = 0; k < 3; ++k) sum[k] += rgb[k];
                            }
                        }
                        const unsigned count = static_cast<unsigned>(size * size);
                        out = Pack5(sum[0] / count, sum[1] / count, sum[2] / count);
                    } else {
                        int offset = std::max(PixelToRgb[s][0] - fade, 0);
                        if (offset >= d.h - row) offset = 0;
                        out = back(col, row + offset);
                    }
                }
            }
            int result = 0;
            if (effect == 0) result = elDraw::SoftEdgeBlit(x, y, object, 0, 0, kSw, kSh);
            if (size > 0) result = elDraw::BlurBlit(x, y, size, object, 0, 0, kSw, kSh);
            if (effect == 3) result = elDraw::DisplaceBlit(x, y, 0.6f, object, 0, 0, kSw, kSh);
            if (effect == 4) {
                want = start;  // strength 0 pulls nothing up
                result = elDraw::DisplaceBlit(x, y, 0.0f, object, 0, 0, kSw, kSh);
            }
            EXPECT_EQ(result, 1);
            EXPECT_EQ(BackPixels(), want) << "effect " << effect << " at " << x << ", " << y;
        }
    }
}

TEST_P(FilterTest, KnownPixels) {
    // A lone opaque pixel over black: its components divided by 5.
    Pixels lone(kSw * kSh, 0);
    lone[kSw + 1] = Pack5(30, 20, 10);
    WritePixels(*elDraw::ObjectSurface(object), lone);
    WritePixels(*elDraw::BackSurface, Pixels(kW * kH, 0));
    elDraw::SoftEdgeBlit(10, 10, object, 0, 0, 3, 3);
    EXPECT_EQ(BackPixels()[11 * kW + 11], Pack5(6, 4, 2));
    // Blur of size 1, and of sizes beyond the rectangle held to it, are the source through
    // the tables; size 0 is size 1.
    WritePixels(*elDraw::ObjectSurface(object), source);
    for (int size : {1, 0, kMin}) {
        WritePixels(*elDraw::BackSurface, start);
        elDraw::BlurBlit(0, 0, size, object, 0, 0, kSw, kSh);
        const Pixels back = BackPixels();
        for (int y = 0; y < kSh; ++y) {
            for (int x = 0; x < kSw; ++x) {
                const std::uint16_t s = Src(x, y);
                const auto& c = PixelToRgb[s];
                ASSERT_EQ(back[y * kW + x], s ? Pack5(c[0], c[1], c[2]) : start[y * kW + x]);
            }
        }
    }
    WritePixels(*elDraw::BackSurface, start);
    EXPECT_EQ(elDraw::BlurBlit(630, 0, kMax, object, 0, 0, kSw, kSh), 1);  // 10 wide: size 10
    EXPECT_EQ(elDraw::BlurBlit(0, 475, 3, object, 0, 0, kSw, kSh), 1);     // 5 high
    EXPECT_EQ(elDraw::DisplaceBlit(0, 0, kNan, object, 0, 0, kSw, kSh), 1);
}

// The glow as a plain loop: each source pixel lights its rays onto the picture in turn.
void GlowReference(Pixels& pic, const Drawn& d, const Pixels& src, int shift[3], int dirs,
                   bool copy, int& cursor) {
    const auto& c = elDraw::ClipRect;
    const int cl = std::max(c.left, 0), ct = std::max(c.top, 0);
    const int cr = std::min(c.right, kW), cb = std::min(c.bottom, kH);
    const auto light = [&](int x, int y, const unsigned l[3]) {
        std::uint16_t& p = pic[y * kW + x];
        const auto& rgb = PixelToRgb[p];
        p = Pack5(std::min(rgb[0] + l[0], 31u), std::min(rgb[1] + l[1], 31u),
                  std::min(rgb[2] + l[2], 31u));
    };
    for (int row = 0; row < d.h; ++row) {
        for (int col = 0; col < d.w; ++col) {
            const std::uint16_t s = src[(d.sy + row) * kSw + d.sx + col];
            if (s == 0) continue;
            const int X = d.dx + col, Y = d.dy + row;
            if (copy) pic[Y * kW + X] = s;
            const unsigned v = elDraw::RandomTable[static_cast<std::size_t>(cursor)];
            cursor = (cursor + 1) % 10000;
            unsigned l[3];
            for (int k = 0; k < 3; ++k) {
                const unsigned a = PixelToRgb[s][k] >> shift[k];
                l[k] = a > v ? a - v : 0;
            }
            for (int k = 0; k <= 30; ++k) {
                for (auto& e : l) e = e ? e - 1 : 0;
                if (!l[0] && !l[1] && !l[2]) break;
                if (Y - k - 1 >= ct) {
                    if (dirs & 0x40) light(X, Y - k - 1, l);
                    if ((dirs & 0x20) && X - k >= cl) light(X - k, Y - k - 1, l);
                    if ((dirs & 0x80) && X + k < cr) light(X + k, Y - k - 1, l);
                }
                if (Y + k + 1 < cb) {
                    if (dirs & 0x02) light(X, Y + k + 1, l);
                    if ((dirs & 0x01) && X - k >= cl) light(X - k, Y + k + 1, l);
                    if ((dirs & 0x04) && X + k < cr) light(X + k, Y + k + 1, l);
                }
            }
        }
    }
}

TEST_P(FilterTest, GlowLightsRayByRayAndContinuesItsNoise) {
    Pixels want = start;
    int cursor = 0;
    int noShift[3] = {0, 0, 0}, shifts[3] = {1, 0, 2};
    elDraw::SetClipRect(-50, 20, 900, 470);  // larger than the screen on three sides
    GlowReference(want, Clip(100, 100), source, noShift, 0xFF, false, cursor);
    GlowReference(want, Clip(600, 25), source, shifts, 0x42 | 0x21, true, cursor);
    GlowReference(want, Clip(-10, 440), source, noShift, 0x84, true, cursor);
    EXPECT_EQ(elDraw::GlowBlit(100, 100, 0, 0, 0, 0xFF, 0, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(elDraw::GlowBlit(600, 25, 1, 0, 2, 0x63, 5, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(elDraw::GlowBlit(-10, 440, -4, 0, 0, 0x84, 1, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(BackPixels(), want);
    EXPECT_EQ(elDraw::GlowCursor, cursor);
    // Shifts of 32 and more leave no light; only the copy is drawn.
    WritePixels(*elDraw::BackSurface, start);
    elDraw::GlowBlit(200, 200, 32, kMax, 40, 0xFF, 0, object, 0, 0, kSw, kSh);
    EXPECT_EQ(BackPixels(), start);
}

TEST_P(FilterTest, RefusedAndOffscreenCalls) {
    EXPECT_EQ(elDraw::SoftEdgeBlit(0, 0, object, 0, 0, kSw + 1, kSh), 0);
    EXPECT_EQ(elDraw::BlurBlit(0, 0, 2, 999, 0, 0, 1, 1), 0);
    EXPECT_EQ(BackPixels(), start);
    for (std::int32_t p : {kMin, -100, 639, 479, kMax}) {
        EXPECT_EQ(elDraw::SoftEdgeBlit(p, p, object, 0, 0, kSw, kSh), 1);
        EXPECT_EQ(elDraw::BlurBlit(p, 0, 7, object, 0, 0, kSw, kSh), 1);
        EXPECT_EQ(elDraw::DisplaceBlit(0, p, 1.0f, object, 0, 0, kSw, kSh), 1);
        EXPECT_EQ(elDraw::GlowBlit(p, 0, 0, 0, 0, 0xFF, 1, object, 0, 0, kSw, kSh), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, FilterTest, kBothLayouts, LayoutName);

}  // namespace
