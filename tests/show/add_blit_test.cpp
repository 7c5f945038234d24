// The additive blit against the plain loop over the library's tables, in both pixel layouts,
// and the spotlight of scene 12 over the gala hall.
#include "el/effects/add_blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/pixel_format.h"
#include "platform/display/display_device.h"
#include "show/presentation.h"
#include "tests/app/headless_fixture.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

class AddBlitTest : public HeadlessProgram, public ::testing::WithParamInterface<PixelLayout> {
  protected:
    void SetUp() override {
        HeadlessProgram::SetUp();
        platform::SetDisplayLayout(GetParam());  // back to 5-6-5 in the fixture's TearDown
        ASSERT_EQ(elDraw::Screen(kWidth, kHeight, 1), 1);
    }
    PixelLayout layout() const { return GetParam(); }

    std::int32_t NoiseObject(int width, int height, unsigned seed) {
        const Picture picture = Noise(seed, layout(), width, height);
        const std::int32_t object = elDraw::CreateObject(width, height - 1, 2);  // one row more
        WriteObject(object, picture);
        EXPECT_EQ(ReadObject(object).pixels, picture.pixels);
        return object;
    }
};

struct Call {
    std::int32_t object;
    int x, y, left, top, right, bottom;
};

// AddBlit itself for a level below 0.
int Add(const Call& c, float level) {
    return level < 0
               ? elDraw::AddBlit(c.x, c.y, c.object, c.left, c.top, c.right, c.bottom)
               : elDraw::AddBlitLevel(c.x, c.y, level, c.object, c.left, c.top, c.right, c.bottom);
}

// The back surface after the call adds `source` with fade p, one pixel at a time through the
// tables, wherever it lands inside ClipRect.
Picture Expected(const Picture& back, const Picture& source, const Call& c, int p) {
    Picture out = back;
    const platform::Rect& clip = elDraw::ClipRect;
    for (int sy = c.top; sy < c.bottom; ++sy) {
        for (int sx = c.left; sx < c.right; ++sx) {
            const int dx = c.x + sx - c.left, dy = c.y + sy - c.top;
            const std::uint16_t s = source.At(sx, sy);
            if (s == 0 || dx < clip.left || dx >= clip.right || dy < clip.top ||
                dy >= clip.bottom) {
                continue;
            }
            const auto& sc = elDraw::PixelToRgb[s];
            const auto& dc = elDraw::PixelToRgb[out.At(dx, dy)];
            out.At(dx, dy) = 0;
            for (int i = 0; i < 3; ++i) {
                out.At(dx, dy) |= elDraw::FadeAddTable[elDraw::FadeIndex(i, p, sc[i], dc[i])];
            }
        }
    }
    return out;
}

TEST_P(AddBlitTest, TablesFollowTheFiveBitRule) {
    const std::uint32_t top = layout() == PixelLayout::Rgb565 ? 0x10000 : 0x8000;
    for (std::uint32_t pixel = 0; pixel < top; ++pixel) {
        const Rgb5 c = Components(static_cast<std::uint16_t>(pixel), layout());
        const auto& table = elDraw::PixelToRgb[pixel];
        ASSERT_TRUE(table[0] == c.r && table[1] == c.g && table[2] == c.b) << pixel;
    }
    for (int i = 0; i < 32 * 32 * 32; ++i) {
        const int p = i / 1024, a = i / 32 % 32, b = i % 32;
        const int sum = std::min(std::max(a - p, 0) + b, 31);
        const Rgb5 alone[] = {{sum, 0, 0}, {0, sum, 0}, {0, 0, sum}};
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(elDraw::FadeAddTable[elDraw::FadeIndex(c, p, a, b)], Pack(alone[c], layout()))
                << c << " " << p << " " << a << " " << b;
        }
    }
}

TEST_P(AddBlitTest, MatchesTheTableLoopWhereverTheRectangleLies) {
    const std::int32_t small = NoiseObject(200, 150, 7);
    const std::int32_t wide = NoiseObject(700, 40, 8);  // wider than the screen
    const Picture smallPicture = ReadObject(small);
    const Picture widePicture = ReadObject(wide);
    const Picture back = Noise(9, layout());
    const Call calls[] = {
        {small, 100, 50, 0, 0, 200, 150},    {small, 300, 200, 17, 9, 123, 101},
        {small, -37, -11, 0, 0, 200, 150},   {small, 560, 420, 0, 0, 200, 150},
        {small, -199, -149, 0, 0, 200, 150},  // one pixel left on the screen
        {wide, -30, 300, 0, 0, 700, 40},     {wide, 0, 470, 10, 0, 650, 40},
    };
    const std::pair<float, int> levels[] = {{-1.0f, 0}, {1.0f, 0}, {0.5f, 15}, {0.0f, 31}};
    for (const platform::Rect clip : {platform::Rect{0, 0, kWidth, kHeight}, {37, 21, 600, 450}}) {
        elDraw::SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
        for (const Call& c : calls) {
            for (const auto& [level, fade] : levels) {
                WriteBackSurface(back);
                EXPECT_EQ(Add(c, level), 1);
                const Picture& source = c.object == small ? smallPicture : widePicture;
                ASSERT_EQ(FirstDifference(ReadBackSurface(), Expected(back, source, c, fade)), "")
                    << "at " << c.x << "," << c.y << " level " << level << " clip " << clip.left;
            }
        }
    }
}

// Every 16-bit value as a source and as a destination, each against the tables; in 5-5-5 the
// values with bit 15 set are black to the tables, as a source and as a destination.
TEST_P(AddBlitTest, EverySourceAndDestinationValueFollowsTheTables) {
    Picture source{256, 257, std::vector<std::uint16_t>(256 * 257), {}};
    for (std::uint32_t v = 0; v < 0x10000; ++v) source.pixels[v] = static_cast<std::uint16_t>(v);
    const std::int32_t object = elDraw::CreateObject(256, 256, 2);
    WriteObject(object, source);
    Picture back = Noise(21, layout());
    for (std::uint32_t v = 0; v < 0x10000; ++v) {
        // Another order of all values, so that each source meets a different destination.
        back.At(static_cast<int>(v % 256), static_cast<int>(v / 256)) =
            static_cast<std::uint16_t>(v * 40503u + 12345u);
    }
    const Call call{object, 0, 0, 0, 0, 256, 256};
    for (const auto& [level, fade] : {std::pair{-1.0f, 0}, std::pair{0.5f, 15}}) {
        WriteBackSurface(back);
        ASSERT_EQ(Add(call, level), 1);
        EXPECT_EQ(FirstDifference(ReadBackSurface(), Expected(back, source, call, fade)), "")
            << "level " << level;
    }
    if (layout() == PixelLayout::Rgb555) {
        // 0xFFFF under 0x0001 is black plus the least blue.
        Picture one{1, 2, {0x0001, 0}, {}};
        const std::int32_t dot = elDraw::CreateObject(1, 1, 2);
        WriteObject(dot, one);
        Picture white = back;
        white.At(300, 300) = 0xFFFF;
        WriteBackSurface(white);
        ASSERT_EQ(elDraw::AddBlit(300, 300, dot, 0, 0, 1, 1), 1);
        EXPECT_EQ(ReadBackSurface().At(300, 300), 0x0001);
    }
}

TEST_P(AddBlitTest, NothingIsDrawnPastTheClipOrTheObjectOrWithoutAnObject) {
    const std::int32_t object = NoiseObject(64, 64, 13);
    const std::int32_t released = NoiseObject(64, 64, 15);
    elDraw::ReleaseObject(released);
    const Picture back = Noise(14, layout());
    elDraw::SetClipRect(37, 21, 600, 450);
    // Past each edge of the clip (or just touching it), empty or inverted: nothing to draw, done
    // (1). Reaching past the object, and no object at all (out of range, a free entry,
    // released): refused (0).
    constexpr int kMax = 2147483647;
    const std::pair<Call, int> calls[] = {
        {{object, 601, 100, 0, 0, 64, 64}, 1},       {{object, 600, 100, 0, 0, 64, 64}, 1},
        {{object, 100, 451, 0, 0, 64, 64}, 1},       {{object, 100, 450, 0, 0, 64, 64}, 1},
        {{object, -27, 100, 0, 0, 64, 64}, 1},       {{object, 100, -43, 0, 0, 64, 64}, 1},
        {{object, -kMax, -kMax, 0, 0, 64, 64}, 1},   {{object, kMax, kMax, 0, 0, 64, 64}, 1},
        {{object, 100, 100, 10, 10, 10, 64}, 1},     {{object, 100, 100, 50, 60, 10, 5}, 1},
        {{object, 100, 100, 0, 0, 65, 64}, 0},       {{object, 100, 100, 0, 0, 64, 65}, 0},
        {{object, 100, 100, -1, 0, 64, 64}, 0},      {{object, 100, 100, 0, -5, 64, 64}, 0},
        {{object, 100, 100, 500, 500, 900, 900}, 0}, {{object, 100, 100, -kMax, 0, 64, 64}, 0},
        {{object, 100, 100, 0, 0, kMax, 64}, 0},     {{object, 900, 100, 0, 0, 64, 640}, 0},
        {{-1, 100, 100, 0, 0, 64, 64}, 0},           {{1024, 100, 100, 0, 0, 64, 64}, 0},
        {{1 << 30, 100, 100, 0, 0, 64, 64}, 0},      {{900, 100, 100, 0, 0, 64, 64}, 0},
        {{released, 100, 100, 0, 0, 64, 64}, 0},
    };
    for (const auto& [c, result] : calls) {
        WriteBackSurface(back);
        EXPECT_EQ(Add(c, -1.0f), result) << c.object << " " << c.left << "," << c.top;
        EXPECT_EQ(Add(c, 0.5f), result);
        if (c.object != object) {
            elDraw::BlitKeyed(c.x, c.y, c.object, c.left, c.top, c.right, c.bottom);
            elDraw::BlitOpaque(c.x, c.y, c.object, c.left, c.top, c.right, c.bottom);
        }
        EXPECT_EQ(FirstDifference(ReadBackSurface(), back), "")
            << c.object << " at " << c.x << "," << c.y << " " << c.left << "," << c.top << ","
            << c.right << "," << c.bottom;
    }
}

TEST_P(AddBlitTest, SpotlightBrightensTheGalaHallUpToSaturation) {
    show::LoadPresentation();
    const Picture spot = ReadObject(show::Loaded.Spot);
    ASSERT_EQ(spot.width, 128);
    const Picture hall = OverBlack(ReadObject(show::Loaded.Galabg));
    int saturated = 0, dark = 0;
    for (const auto& [x, y] : {std::pair{100, 200}, std::pair{-40, -30}, std::pair{560, 400}}) {
        elDraw::ClearScreen();
        elDraw::BlitKeyed(0, 0, show::Loaded.Galabg, 0, 0, 640, 480);
        const Call call{show::Loaded.Spot, x, y, 0, 0, 128, 128};
        ASSERT_EQ(Add(call, -1.0f), 1);
        const Picture expected = Expected(hall, spot, call, 0);
        EXPECT_EQ(FirstDifference(ReadBackSurface(), expected), "") << "spot at " << x << "," << y;
        for (int sy = std::max(0, -y); sy < std::min(128, kHeight - y); ++sy) {
            for (int sx = std::max(0, -x); sx < std::min(128, kWidth - x); ++sx) {
                const Rgb5 a = Components(spot.At(sx, sy), layout());
                const Rgb5 b = Components(hall.At(x + sx, y + sy), layout());
                dark += spot.At(sx, sy) == 0;
                saturated += a.r + b.r > 31 || a.g + b.g > 31 || a.b + b.b > 31;
            }
        }
    }
    // The picture has black (no light) and light that saturates over the hall.
    EXPECT_GT(dark, 0);
    EXPECT_GT(saturated, 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddBlitTest,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555),
                         [](const auto& param) {
                             return param.param == PixelLayout::Rgb565 ? "Rgb565" : "Rgb555";
                         });

}  // namespace
