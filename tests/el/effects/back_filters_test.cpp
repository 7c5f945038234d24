// The back-surface filters against plain loops over a copy of the screen, in both pixel layouts:
// scan order, the noise cursors kept apart and continued, enlargement through object 0, and
// rectangles and arguments that reach outside what the filters can take.
#include "el/effects/back_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "el/effects/effects_state.h"
#include "el/effects/pixel_format.h"
#include "platform/crt.h"
#include "tests/el/draw/draw_test_support.h"

namespace {

using namespace drawtest;
using elDraw::PixelFormat;
using elDraw::PixelToRgb;
using elDraw::RandomTable;
using Pixels = std::vector<std::uint16_t>;

constexpr int kW = 640, kH = 480;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::uint16_t Pack5(int r, int g, int b) {
    return static_cast<std::uint16_t>(r << PixelFormat.RedShift5 | g << PixelFormat.GreenShift5 |
                                      b << PixelFormat.BlueShift5);
}

// A copy of the screen the reference loops work on.
struct Picture {
    Pixels p;
    std::uint16_t& at(int x, int y) { return p[static_cast<std::size_t>(y * kW + x)]; }
};

// The rectangle held to the surface (and, for rising, to one row above its bottom).
struct Span {
    int left, top, right, bottom;
};
Span Held(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, int height = kH) {
    if (w <= 0 || h <= 0) return {0, 0, 0, 0};
    return {static_cast<int>(std::max<std::int64_t>(x, 0)),
            static_cast<int>(std::max<std::int64_t>(y, 0)),
            static_cast<int>(std::min<std::int64_t>(x + w, kW)),
            static_cast<int>(std::min<std::int64_t>(y + h, height))};
}

std::uint16_t Average(Picture& pic, int x, int y, const bool fade[3]) {
    int c[3];
    for (int k = 0; k < 3; ++k) {
        const int sum = PixelToRgb[pic.at(x - 1, y)][k] + PixelToRgb[pic.at(x + 1, y)][k] +
                        PixelToRgb[pic.at(x, y - 1)][k] + PixelToRgb[pic.at(x, y + 1)][k];
        c[k] = sum / 4;
        if (fade[k] && c[k] > 0) c[k] -= 1;
    }
    return Pack5(c[0], c[1], c[2]);
}

void NextCursor(int& cursor) {
    if (cursor == 9999) {
        cursor = crt::rand() % 1000;
    } else {
        ++cursor;
    }
}

void RiseReference(Picture& pic, int x, int y, int w, int h, const bool fade[3], int& k,
                   int& cursor) {
    const Span s = Held(x, y, w, h, kH - 1);
    for (int row = s.top + 2; row < s.bottom; ++row) {
        for (int col = s.left + 1; col < s.right - 1; ++col) {
            k += 1;
            if (k >= RandomTable[static_cast<std::size_t>(cursor)]) {
                pic.at(col, row - 1) = pic.at(col, row);
                k = 0;
                NextCursor(cursor);
            } else {
                pic.at(col, row - 1) = Average(pic, col, row, fade);
            }
        }
    }
}

void BlurReference(Picture& pic, int x, int y, int w, int h, const bool fade[3]) {
    const Span s = Held(x, y, w, h);
    for (int row = s.top + 1; row < s.bottom - 1; ++row) {
        for (int col = s.left + 1; col < s.right - 1; ++col) {
            pic.at(col, row) = Average(pic, col, row, fade);
        }
    }
}

void NoiseReference(Picture& pic, int shift, int x, int y, int w, int h, const bool add[3],
                    int& cursor) {
    const Span s = Held(x, y, w, h);
    const std::uint64_t scale = std::uint64_t{1} << std::clamp(shift, 0, 40);
    for (int row = s.top; row < s.bottom; ++row) {
        for (int col = s.left; col < s.right; ++col) {
            const std::uint64_t v = RandomTable[static_cast<std::size_t>(cursor)] * scale;
            NextCursor(cursor);
            int c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = PixelToRgb[pic.at(col, row)][k];
                if (add[k]) c[k] = static_cast<int>(std::min<std::uint64_t>(c[k] + v, 31));
            }
            pic.at(col, row) = Pack5(c[0], c[1], c[2]);
        }
    }
}

void MosaicReference(Picture& pic, int cx, int cy, int radius, int block) {
    Picture before = pic;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const std::int64_t dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy >= static_cast<std::int64_t>(radius) * radius) continue;
            // The block is counted from the disc's first offset on the screen.
            const std::int64_t fx = std::max(-radius, -cx), fy = std::max(-radius, -cy);
            const std::int64_t bx = fx + (dx - fx) / block * block;
            const std::int64_t by = fy + (dy - fy) / block * block;
            pic.at(x, y) = before.at(static_cast<int>(cx + bx), static_cast<int>(cy + by));
        }
    }
}

class BackFilterTest : public LayoutTest {
  protected:
    void SetUp() override {
        LayoutTest::SetUp();
        start = Random(1);
        WriteBack(start);
    }
    static Pixels Random(unsigned seed) {
        std::mt19937 rng(seed);
        Pixels p(kW * kH);
        for (auto& v : p) v = static_cast<std::uint16_t>(rng());
        return p;
    }
    static void WriteBack(const Pixels& p) { WritePixels(*elDraw::BackSurface, p); }
    Pixels start;
};

TEST_P(BackFilterTest, BlurMatchesItsLoopInScanOrder) {
    const bool none[3] = {false, false, false}, some[3] = {true, false, true};
    Picture pic{start};
    BlurReference(pic, 10, 20, 50, 40, none);
    BlurReference(pic, 30, 30, 60, 30, some);
    BlurReference(pic, -5, 470, 30, 30, none);
    BlurReference(pic, 600, -3, 100, 20, some);
    elDraw::BlurRect(10, 20, 50, 40);
    elDraw::BlurRectFade(1, 0, 7, 30, 30, 60, 30);
    elDraw::BlurRect(-5, 470, 30, 30);
    elDraw::BlurRectFade(2, 0, -1, 600, -3, 100, 20);
    EXPECT_EQ(BackPixels(), pic.p);
}

TEST_P(BackFilterTest, BlurOfTwoOrFewerRowsOrColumnsChangesNothing) {
    EXPECT_EQ(elDraw::BlurRect(100, 100, 2, 50), 1);
    EXPECT_EQ(elDraw::BlurRect(100, 100, 50, 1), 1);
    EXPECT_EQ(elDraw::BlurRectFade(1, 1, 1, 100, 100, 0, 0), 1);
    EXPECT_EQ(BackPixels(), start);
}

TEST_P(BackFilterTest, BlurFadeTakesWhiteInsideABlackFrameToBlack) {
    Picture pic{Pixels(kW * kH, 0)};
    for (int y = 1; y < 7; ++y) {
        for (int x = 1; x < 7; ++x) pic.at(x, y) = Pack5(31, 31, 31);
    }
    WriteBack(pic.p);
    elDraw::BlurRectFade(1, 0, 1, 0, 0, 8, 8);
    // Two black and two white neighbours, and one step less in red and blue only.
    EXPECT_EQ(BackPixels()[1 * kW + 1], Pack5(14, 15, 14));
    for (int call = 0; call < 200; ++call) elDraw::BlurRectFade(1, 0, 1, 0, 0, 8, 8);
    EXPECT_EQ(BackPixels(), Pixels(kW * kH, 0));
}

TEST_P(BackFilterTest, RiseMatchesItsLoopWithTheCountersCarriedOver) {
    const bool none[3] = {false, false, false}, fade[3] = {false, true, true};
    Picture pic{start};
    int k = 0, cursor = 0, kf = 0, cursorFade = 0;
    crt::srand(7);
    for (int call = 0; call < 3; ++call) {
        RiseReference(pic, 5, 5, 300, 200, none, k, cursor);
        RiseReference(pic, 100, 300, 80, 300, fade, kf, cursorFade);  // held above the last row
    }
    // Near the end of the table, where the cursor starts over at a random place.
    cursor = 9990;
    RiseReference(pic, 0, 0, 40, 40, none, k, cursor);
    WriteBack(start);
    crt::srand(7);
    for (int call = 0; call < 3; ++call) {
        elDraw::RiseRect(5, 5, 300, 200);
        elDraw::RiseRectFade(0, 3, 1, 100, 300, 80, 300);
    }
    elDraw::RiseCursor = 9990;
    elDraw::RiseRect(0, 0, 40, 40);
    EXPECT_EQ(BackPixels(), pic.p);
    EXPECT_EQ(elDraw::RiseCursor, cursor);
    EXPECT_EQ(elDraw::RiseFadeCursor, cursorFade);
    EXPECT_EQ(elDraw::RiseFadeCounter, kf);
}

TEST_P(BackFilterTest, RiseKeepsAUniformColourApartFromTheDroppedGreenBit) {
    const std::uint16_t white = static_cast<std::uint16_t>(
        PixelFormat.RedMask | PixelFormat.GreenMask | PixelFormat.BlueMask);
    WriteBack(Pixels(kW * kH, white));
    elDraw::RiseRect(10, 10, 100, 100);
    for (std::uint16_t v : BackPixels()) ASSERT_TRUE(v == white || v == Pack5(31, 31, 31));
}

TEST_P(BackFilterTest, ZoomEnlargesThroughObjectZero) {
    for (int scale : {2, 4}) {
        for (int dots : {0, 1}) {
            WriteBack(start);
            const Pixels work = ObjectPixels(0);
            const int ow = elDraw::ObjectSurface(0)->width();
            const int x = 50, y = 40, w = 30, h = 20;
            Picture pic{start};
            const int filled = dots ? scale / 2 : scale;
            for (int j = 0; j < h * scale; ++j) {
                for (int i = 0; i < w * scale; ++i) {
                    const bool written = i % scale < filled && j % scale < filled;
                    pic.at(x + i, y + j) =
                        written ? start[(y + j / scale) * kW + x + i / scale] : work[j * ow + i];
                }
            }
            EXPECT_EQ(scale == 2 ? elDraw::Zoom2Rect(x, y, w, h, dots)
                                 : elDraw::Zoom4Rect(x, y, w, h, dots),
                      1);
            EXPECT_EQ(BackPixels(), pic.p) << scale << " " << dots;
        }
    }
}

TEST_P(BackFilterTest, ZoomOfTheWholeScreenKeepsToObjectZero) {
    // The whole screen asked for: only what fits into object 0 enlarged is drawn.
    EXPECT_EQ(elDraw::Zoom4Rect(-100, -100, kMax, kMax, 0), 1);
    const Pixels back = BackPixels();
    EXPECT_EQ(back[0], start[0]);
    EXPECT_EQ(back[3 * kW + 3], start[0]);
    EXPECT_EQ(back[4 * kW + 4], start[kW + 1]);
}

TEST_P(BackFilterTest, MosaicMatchesItsLoop) {
    struct Case {
        int cx, cy, radius, block;
    };
    for (const Case c : {Case{320, 240, 100, 8}, Case{10, 470, 60, 7}, Case{630, 5, 50, 16},
                         Case{-20, 100, 60, 5}, Case{700, 100, 40, 3}, Case{320, 240, 1000, 64}}) {
        WriteBack(start);
        Picture pic{start};
        MosaicReference(pic, c.cx, c.cy, c.radius, c.block);
        EXPECT_EQ(elDraw::MosaicDisc(c.cx, c.cy, c.radius, c.block), 1);
        EXPECT_EQ(BackPixels(), pic.p) << c.cx << " " << c.cy << " " << c.radius;
    }
    WriteBack(start);
    for (int block : {1, 0, -3, kMin}) elDraw::MosaicDisc(320, 240, 200, block);
    elDraw::MosaicDisc(320, 240, -50, 4);
    EXPECT_EQ(BackPixels(), start);
}

TEST_P(BackFilterTest, NoiseCursorsContinueAndStayApart) {
    const bool all[3] = {true, true, true}, rg[3] = {true, true, false};
    Picture pic{start};
    int plain = 0, coloured = 0;
    crt::srand(3);
    NoiseReference(pic, 0, 10, 10, 200, 30, all, plain);
    NoiseReference(pic, 2, 50, 5, 100, 100, rg, coloured);
    NoiseReference(pic, 4, 0, 200, 640, 40, all, plain);  // passes the table's end
    NoiseReference(pic, 40, 600, 400, 100, 100, rg, coloured);
    NoiseReference(pic, -2, -10, -10, 30, 30, all, plain);
    crt::srand(3);
    elDraw::NoiseRect(0, 10, 10, 200, 30);
    elDraw::NoiseRectRGB(1, 5, 0, 2, 50, 5, 100, 100);
    elDraw::NoiseRect(4, 0, 200, 640, 40);
    elDraw::NoiseRectRGB(-1, 1, 0, 40, 600, 400, 100, 100);
    elDraw::NoiseRect(-2, -10, -10, 30, 30);
    EXPECT_EQ(BackPixels(), pic.p);
    EXPECT_EQ(elDraw::NoiseCursor, plain);
    EXPECT_EQ(elDraw::NoiseRGBCursor, coloured);
}

TEST_P(BackFilterTest, ResetStartsTheCursorsOver) {
    elDraw::NoiseRect(1, 0, 0, 10, 10);
    elDraw::RiseRect(0, 0, 50, 50);
    ASSERT_NE(elDraw::NoiseCursor, 0);
    elDraw::ResetEffectsState();
    EXPECT_EQ(elDraw::NoiseCursor, 0);
    EXPECT_EQ(elDraw::RiseCursor, 0);
    EXPECT_EQ(elDraw::RiseCounter, 0);
}

TEST_P(BackFilterTest, InvertFlipsTheLayoutsBitsAndTwiceRestores) {
    const std::uint16_t bits = static_cast<std::uint16_t>(
        PixelFormat.RedMask | PixelFormat.GreenMask | PixelFormat.BlueMask);
    EXPECT_EQ(elDraw::InvertRectangle(-10, 5, 20, 15), 1);
    const Pixels once = BackPixels();
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const std::uint16_t s = start[y * kW + x];
            const bool inside = x < 20 && y >= 5 && y < 15;
            // Only the layout's bits: the unused top bit of 5-5-5 does not last through a
            // device context.
            ASSERT_EQ(once[y * kW + x] & bits, (inside ? ~s : s) & bits) << x << " " << y;
        }
    }
    elDraw::InvertRectangle(-10, 5, 20, 15);
    elDraw::InvertRectangle(30, 30, 10, 10);  // inverted: nothing
    const Pixels twice = BackPixels();
    for (std::size_t i = 0; i < twice.size(); ++i) ASSERT_EQ(twice[i] & bits, start[i] & bits);
}

TEST_P(BackFilterTest, RectanglesOffTheSurfaceAreHeldToIt) {
    const std::int32_t edges[] = {kMin, -1000, -1, 0, 300, 639, 640, kMax};
    for (std::int32_t x : edges) {
        for (std::int32_t w : edges) {
            const int results[] = {
                elDraw::RiseRect(x, x, w, w),        elDraw::RiseRectFade(1, 1, 1, x, 300, w, kMax),
                elDraw::BlurRect(x, x, w, w),        elDraw::BlurRectFade(1, 1, 1, 300, x, kMax, w),
                elDraw::Zoom2Rect(x, x, w, w, 0),    elDraw::Zoom4Rect(x, 1, w, w, 1),
                elDraw::MosaicDisc(x, w, x, 9),      elDraw::MosaicDisc(x, w, 2000, 1),
                elDraw::NoiseRect(x, x, x, w, w),    elDraw::NoiseRectRGB(1, 1, 1, w, x, w, w, x),
                elDraw::InvertRectangle(x, w, w, x),
            };
            // The sanitizers watch every access; each call is done, none refused.
            for (int r : results) ASSERT_EQ(r, 1) << x << " " << w;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BackFilterTest, kBothLayouts, LayoutName);

}  // namespace
