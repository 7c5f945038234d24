// The additive blit against the plain loop over the library's tables, in both pixel layouts,
// and the spotlight of scene 12 over the gala hall worked out from the two pictures.
#include "el/effects/add_blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/pixel_format.h"
#include "el/system/frame_timing.h"
#include "platform/display/display_device.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "show/presentation.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

class AddBlitTest : public ::testing::TestWithParam<PixelLayout> {
  protected:
    void SetUp() override {
        app::ResetProgramState();
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        elSystem::StaticStartup();
        platform::SetDisplayLayout(GetParam());
    }
    void TearDown() override {
        app::ResetProgramState();  // the layout goes back to 5-6-5 too
        platform::InstallHost(nullptr);
    }
    PixelLayout layout() const { return GetParam(); }

    void OpenScreen() { ASSERT_EQ(elDraw::Screen(kWidth, kHeight, 1), 1); }

    // An object of random pixels, about a third of them black (transparent to the blit).
    std::int32_t NoiseObject(int width, int height, unsigned seed) {
        // Objects are made one row taller than asked.
        const std::int32_t object = elDraw::CreateObject(width, height - 1, 2);
        Picture picture = ReadObject(object);
        EXPECT_EQ(picture.height, height);
        std::mt19937 random(seed);
        const std::uint32_t top = layout() == PixelLayout::Rgb565 ? 0x10000 : 0x8000;
        for (auto& pixel : picture.pixels) {
            pixel = random() % 3 == 0 ? 0 : static_cast<std::uint16_t>(random() % top);
        }
        WriteObject(object, picture);
        return object;
    }
};

// The blit as the library states it, one pixel at a time through its tables.
std::uint16_t TablePixel(std::uint16_t d, std::uint16_t s, int p) {
    if (s == 0) return d;
    const auto& sc = elDraw::PixelToRgb[s];
    const auto& dc = elDraw::PixelToRgb[d];
    std::uint16_t out = 0;
    for (int c = 0; c < 3; ++c) out |= elDraw::FadeAddTable[elDraw::FadeIndex(c, p, sc[c], dc[c])];
    return out;
}

// The back surface as it must be after adding (srcLeft, srcTop)-(srcRight, srcBottom) of
// `source` at (x, y) with fade p: every pixel of the rectangle that lands inside ClipRect.
Picture Expected(const Picture& back, const Picture& source, int x, int y, int srcLeft, int srcTop,
                 int srcRight, int srcBottom, int p) {
    Picture out = back;
    const platform::Rect& clip = elDraw::ClipRect;
    for (int sy = srcTop; sy < srcBottom; ++sy) {
        for (int sx = srcLeft; sx < srcRight; ++sx) {
            const int dx = x + sx - srcLeft;
            const int dy = y + sy - srcTop;
            if (dx < clip.left || dx >= clip.right || dy < clip.top || dy >= clip.bottom) continue;
            out.At(dx, dy) = TablePixel(out.At(dx, dy), source.At(sx, sy), p);
        }
    }
    return out;
}

TEST_P(AddBlitTest, TablesFollowTheFiveBitRule) {
    OpenScreen();
    const std::uint32_t top = layout() == PixelLayout::Rgb565 ? 0x10000 : 0x8000;
    for (std::uint32_t pixel = 0; pixel < top; ++pixel) {
        const Rgb5 c = Components(static_cast<std::uint16_t>(pixel), layout());
        const auto& table = elDraw::PixelToRgb[pixel];
        ASSERT_TRUE(table[0] == c.r && table[1] == c.g && table[2] == c.b) << pixel;
    }
    for (int p = 0; p < 32; ++p) {
        for (int a = 0; a < 32; ++a) {
            for (int b = 0; b < 32; ++b) {
                const int sum = std::min(std::max(a - p, 0) + b, 31);
                ASSERT_EQ(elDraw::FadeAddTable[elDraw::FadeIndex(0, p, a, b)],
                          Pack({sum, 0, 0}, layout()));
                ASSERT_EQ(elDraw::FadeAddTable[elDraw::FadeIndex(1, p, a, b)],
                          Pack({0, sum, 0}, layout()));
                ASSERT_EQ(elDraw::FadeAddTable[elDraw::FadeIndex(2, p, a, b)],
                          Pack({0, 0, sum}, layout()));
            }
        }
    }
}

TEST_P(AddBlitTest, MatchesTheTableLoopWhereverTheRectangleLies) {
    OpenScreen();
    const std::int32_t small = NoiseObject(200, 150, 7);
    const std::int32_t wide = NoiseObject(700, 40, 8);  // wider than the screen
    const Picture smallPicture = ReadObject(small);
    const Picture widePicture = ReadObject(wide);
    const Picture back = Noise(9, layout());

    struct Call {
        std::int32_t object;
        int x, y, left, top, right, bottom;
    };
    const Call calls[] = {
        {small, 100, 50, 0, 0, 200, 150},     // inside
        {small, 300, 200, 17, 9, 123, 101},   // a part of the object
        {small, -37, -11, 0, 0, 200, 150},    // over the left and top edges
        {small, 560, 420, 0, 0, 200, 150},    // over the right and bottom edges
        {small, -199, -149, 0, 0, 200, 150},  // one pixel left on the screen
        {wide, -30, 300, 0, 0, 700, 40},      // over both side edges
        {wide, 0, 470, 10, 0, 650, 40},       // over the bottom edge
    };
    const platform::Rect clips[] = {{0, 0, kWidth, kHeight}, {37, 21, 600, 450}};
    for (const platform::Rect& clip : clips) {
        elDraw::SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
        for (const Call& call : calls) {
            const Picture& source = call.object == small ? smallPicture : widePicture;
            struct Level {
                float level;
                int fade;
            };
            for (Level level : {Level{-1, 0}, Level{1.0f, 0}, Level{0.5f, 15}, Level{0.0f, 31}}) {
                WriteBackSurface(back);
                const int result =
                    level.level < 0
                        ? elDraw::AddBlit(call.x, call.y, call.object, call.left, call.top,
                                          call.right, call.bottom)
                        : elDraw::AddBlitLevel(call.x, call.y, level.level, call.object, call.left,
                                               call.top, call.right, call.bottom);
                EXPECT_EQ(result, 1);
                const Picture expected = Expected(back, source, call.x, call.y, call.left, call.top,
                                                  call.right, call.bottom, level.fade);
                ASSERT_EQ(FirstDifference(ReadBackSurface(), expected), "")
                    << "at " << call.x << "," << call.y << " level " << level.level << " clip "
                    << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom;
            }
        }
    }
}

TEST_P(AddBlitTest, LightOnlyWhereTheSourceIsNotBlack) {
    OpenScreen();
    const std::int32_t object = NoiseObject(128, 128, 11);
    const Picture source = ReadObject(object);
    const Picture back = Noise(12, layout());
    WriteBackSurface(back);
    // Level 0 adds nothing, yet every pixel it goes over is rewritten in five bits.
    ASSERT_EQ(elDraw::AddBlitLevel(50, 60, 0.0f, object, 0, 0, 128, 128), 1);
    const Picture after = ReadBackSurface();
    int lit = 0, dark = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const std::uint16_t d = back.At(50 + x, 60 + y);
            const std::uint16_t seen = after.At(50 + x, 60 + y);
            if (source.At(x, y) == 0) {
                ++dark;
                ASSERT_EQ(seen, d) << x << "," << y;
                continue;
            }
            ++lit;
            const Rgb5 a = Components(seen, layout());
            const Rgb5 b = Components(d, layout());
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << "," << y;
            if (layout() == PixelLayout::Rgb565) {
                ASSERT_EQ(seen & 0x20, 0) << "lowest green bit at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, 0);
    EXPECT_GT(dark, 0);
    // White light over anything is white; light over black is the light's own five bits.
    const std::int32_t white = elDraw::CreateObject(4, 1, 2);
    Picture whitePicture = ReadObject(white);
    const std::uint16_t full = Pack({31, 31, 31}, layout());
    std::fill(whitePicture.pixels.begin(), whitePicture.pixels.end(), full);
    WriteObject(white, whitePicture);
    ASSERT_EQ(elDraw::AddBlit(0, 0, white, 0, 0, 4, 2), 1);
    const Picture whitened = ReadBackSurface();
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(whitened.At(x, 0), full);
        EXPECT_EQ(whitened.At(x, 1), full);
    }
    EXPECT_EQ(whitened.At(4, 0), back.At(4, 0));
    elDraw::ClearScreen();
    ASSERT_EQ(elDraw::AddBlit(10, 10, object, 0, 0, 128, 128), 1);
    const Picture overBlack = ReadBackSurface();
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const std::uint16_t s = source.At(x, y);
            ASSERT_EQ(overBlack.At(10 + x, 10 + y),
                      s == 0 ? 0 : Pack(Components(s, layout()), layout()));
        }
    }
}

TEST_P(AddBlitTest, NothingIsDrawnPastTheClipOrOutsideTheObject) {
    OpenScreen();
    const std::int32_t object = NoiseObject(64, 64, 13);
    const Picture back = Noise(14, layout());
    elDraw::SetClipRect(37, 21, 600, 450);
    struct Call {
        int x, y, left, top, right, bottom;
    };
    const Call calls[] = {
        {601, 100, 0, 0, 64, 64},    // right of the clip
        {600, 100, 0, 0, 64, 64},    // starting at its right edge: no width
        {100, 451, 0, 0, 64, 64},    // below
        {100, 450, 0, 0, 64, 64},    // at its bottom edge
        {-27, 100, 0, 0, 64, 64},    // ends exactly at its left edge
        {100, -43, 0, 0, 64, 64},    // ends exactly at its top edge
        {100, 100, 10, 10, 10, 64},  // no width
        {100, 100, 0, 0, 65, 64},    // one column past the object
        {100, 100, 0, 0, 64, 65},    // one row past the object
        {100, 100, -1, 0, 64, 64},   // starting left of the object
        {100, 100, 0, -5, 64, 64},   // above it
        {100, 100, 500, 500, 900, 900},   {100, 100, -2147483647, 0, 64, 64},
        {100, 100, 0, 0, 2147483647, 64},
    };
    for (const Call& call : calls) {
        WriteBackSurface(back);
        elDraw::AddBlit(call.x, call.y, object, call.left, call.top, call.right, call.bottom);
        EXPECT_EQ(FirstDifference(ReadBackSurface(), back), "")
            << call.x << "," << call.y << " " << call.left << "," << call.top << "," << call.right
            << "," << call.bottom;
    }
    WriteBackSurface(back);
    EXPECT_EQ(elDraw::AddBlit(601, 100, object, 0, 0, 64, 64), 1);
    EXPECT_EQ(elDraw::AddBlit(600, 100, object, 0, 0, 64, 64), 1);
    EXPECT_EQ(elDraw::AddBlit(-2147483647, -2147483647, object, 0, 0, 64, 64), 1);
    EXPECT_EQ(elDraw::AddBlit(2147483647, 2147483647, object, 0, 0, 64, 64), 1);
    EXPECT_EQ(FirstDifference(ReadBackSurface(), back), "");
}

TEST_P(AddBlitTest, ObjectsThatAreNotThereDrawNothing) {
    OpenScreen();
    const std::int32_t released = NoiseObject(64, 64, 15);
    elDraw::ReleaseObject(released);
    const Picture back = Noise(16, layout());
    for (std::int32_t object : {-1, 1024, 1 << 30, 900, released}) {
        WriteBackSurface(back);
        elDraw::AddBlit(10, 10, object, 0, 0, 64, 64);
        elDraw::AddBlitLevel(10, 10, 0.5f, object, 0, 0, 64, 64);
        elDraw::BlitKeyed(10, 10, object, 0, 0, 64, 64);
        elDraw::BlitOpaque(10, 10, object, 0, 0, 64, 64);
        EXPECT_EQ(FirstDifference(ReadBackSurface(), back), "") << "object " << object;
    }
}

TEST_P(AddBlitTest, SpotlightBrightensTheGalaHall) {
    show::LoadPresentation();
    const Picture spot = ReadObject(show::Loaded.Spot);
    const Picture hallPicture = ReadObject(show::Loaded.Galabg);
    ASSERT_EQ(spot.width, 128);
    ASSERT_EQ(hallPicture.width, 640);
    Picture hall = BlackScreen();
    Copy(hall, 0, 0, hallPicture, 0, 0, 640, 480, true);

    int saturated = 0, blackSource = 0, lit = 0;
    for (const auto& [x, y] : {std::pair{100, 200}, std::pair{-40, -30}, std::pair{560, 400}}) {
        elDraw::ClearScreen();
        elDraw::BlitKeyed(0, 0, show::Loaded.Galabg, 0, 0, 640, 480);
        ASSERT_EQ(elDraw::AddBlit(x, y, show::Loaded.Spot, 0, 0, 128, 128), 1);
        Picture expected = hall;
        for (int sy = 0; sy < 128; ++sy) {
            for (int sx = 0; sx < 128; ++sx) {
                const int dx = x + sx, dy = y + sy;
                if (dx < 0 || dx >= kWidth || dy < 0 || dy >= kHeight) continue;
                const std::uint16_t s = spot.At(sx, sy);
                const std::uint16_t d = hall.At(dx, dy);
                expected.At(dx, dy) = AddLightPixel(d, s, 0, layout());
                if (s == 0) {
                    ++blackSource;
                    continue;
                }
                ++lit;
                const Rgb5 a = Components(s, layout()), b = Components(d, layout());
                saturated += a.r + b.r > 31 || a.g + b.g > 31 || a.b + b.b > 31;
            }
        }
        EXPECT_EQ(FirstDifference(ReadBackSurface(), expected), "") << "spot at " << x << "," << y;
    }
    // The picture exercises all three cases.
    EXPECT_GT(lit, 0);
    EXPECT_GT(blackSource, 0);
    EXPECT_GT(saturated, 0);
}

std::string LayoutName(const ::testing::TestParamInfo<PixelLayout>& info) {
    return info.param == PixelLayout::Rgb565 ? "Rgb565" : "Rgb555";
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddBlitTest,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555), LayoutName);

}  // namespace
