// Colour fills, the 50% blend of a rectangle, and the presentation of finished frames.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/present.h"
#include "el/draw/screen_dc.h"
#include "el/draw/shutdown.h"
#include "platform/display/display_faults.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// The 50% mix of two pixels worked channel by channel: each half rounded down, then added.
std::uint16_t Mix(std::uint16_t a, std::uint16_t b, PixelLayout layout) {
    const bool wide = layout == PixelLayout::Rgb565;
    const int shifts[3] = {wide ? 11 : 10, 5, 0};
    const int maxima[3] = {31, wide ? 63 : 31, 31};
    std::uint16_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const int ca = (a >> shifts[c]) & maxima[c];
        const int cb = (b >> shifts[c]) & maxima[c];
        out = static_cast<std::uint16_t>(out | ((ca / 2 + cb / 2) << shifts[c]));
    }
    return out;
}

using HalfFill = LayoutTest;

TEST_P(HalfFill, MixesEveryChannelRoundingDown) {
    const PixelLayout layout = GetParam();
    const bool wide = layout == PixelLayout::Rgb565;
    ASSERT_EQ(Mix(wide ? 0xF800 : 0x7C00, 0x001F, layout), wide ? 0x780F : 0x3C0F);
    const std::uint16_t colours[] = {0x0000, 0xFFFF, 0x0821, 0x1234,
                                     0xABCD, 0x7BEF, 0x8410, 0x5555};
    for (std::uint16_t picture : colours) {
        for (std::uint16_t colour : colours) {
            ASSERT_EQ(elDraw::FillRect(0, 0, 1, 1, picture), platform::DD_OK);
            ASSERT_EQ(elDraw::HalfFillRect(0, 0, 1, 1, colour), 1);
            // In 5-5-5 the unused top bit of either pixel must not leak into red.
            ASSERT_EQ(BackPixels()[0], Mix(picture, colour, layout)) << picture << " " << colour;
        }
    }
}

TEST_P(HalfFill, BlendsOnlyTheClippedRectangleOnTheSurface) {
    const std::uint16_t red = GetParam() == PixelLayout::Rgb565 ? 0xF800 : 0x7C00;
    const std::uint16_t blue = 0x001F;
    const std::uint16_t mixed = Mix(red, blue, GetParam());
    ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, red), platform::DD_OK);
    elDraw::SetClipRect(15, 12, 100, 18);
    EXPECT_EQ(elDraw::HalfFillRect(10, 10, 20, 20, blue), 1);
    EXPECT_EQ(BackPixels(), Painted(Filled(red), 15, 12, 20, 18, mixed));

    // ClipRect is not checked when it is set; the surface bounds the blend all the same.
    elDraw::SetClipRect(-100, -100, 10000, 10000);
    ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, red), platform::DD_OK);
    EXPECT_EQ(elDraw::HalfFillRect(-50, -50, 2000, 2000, blue), 1);
    EXPECT_EQ(BackPixels(), Filled(mixed));
    elDraw::SetClipRect(kMin, kMin, kMax, kMax);
    EXPECT_EQ(elDraw::HalfFillRect(kMin, kMin, kMax, kMax, 0), 1);

    // Empty and reversed rectangles and ones wholly outside change nothing.
    elDraw::SetClipRect(0, 0, 640, 480);
    ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, red), platform::DD_OK);
    const std::int32_t rects[][4] = {{20, 20, 10, 10},  {10, 10, 10, 20},     {700, 0, 800, 10},
                                     {0, 500, 10, 600}, {-50, -50, -10, -10}, {640, 480, 700, 500}};
    for (const auto& r : rects) EXPECT_EQ(elDraw::HalfFillRect(r[0], r[1], r[2], r[3], blue), 1);
    EXPECT_EQ(BackPixels(), Filled(red));

    platform::display_faults::FailOnce(platform::DisplayOp::kLock);
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 0);
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 1);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, HalfFill, kBothLayouts, LayoutName);

using Fills = OpenScreenTest;

TEST_F(Fills, FrameRectPaintsOnlyTheBorder) {
    ASSERT_EQ(elDraw::FillScreenWhite(), platform::DD_OK);
    EXPECT_EQ(elDraw::FrameRect(10, 10, 20, 20), platform::DD_OK);
    EXPECT_EQ(BackPixels(),
              Painted(Painted(Filled(0xFFFF), 10, 10, 20, 20, 0), 11, 11, 19, 19, 0xFFFF));
}

TEST_F(Fills, FillsUseTheLowSixteenBitsAndRefuseRectanglesOffTheSurface) {
    EXPECT_EQ(elDraw::ClearScreen(), platform::DD_OK);
    EXPECT_EQ(elDraw::FillRect(2, 3, 5, 4, 0x12345678), platform::DD_OK);
    EXPECT_EQ(elDraw::FillRectWhite(0, 0, 1, 1), platform::DD_OK);
    const std::vector<std::uint16_t> expected =
        Painted(Painted(Filled(0), 2, 3, 5, 4, 0x5678), 0, 0, 1, 1, 0xFFFF);
    EXPECT_EQ(BackPixels(), expected);

    // The fills ignore ClipRect but never write past the surface.
    elDraw::SetClipRect(0, 0, 1, 1);
    const std::int32_t rects[][4] = {{-1, 0, 10, 10},         {630, 0, 641, 10}, {0, 470, 10, 481},
                                     {kMin, 0, 10, 10},       {0, 0, kMax, 1},   {10, 10, 5, 5},
                                     {kMax, kMax, kMin, kMin}};
    for (const auto& r : rects) {
        EXPECT_NE(elDraw::FillRect(r[0], r[1], r[2], r[3], 0x1111), platform::DD_OK);
        EXPECT_NE(elDraw::ClearRect(r[0], r[1], r[2], r[3]), platform::DD_OK);
    }
    EXPECT_EQ(BackPixels(), expected);
    // A frame's edges are four fills: the left edge of {0, 0, kMax, 1} is pixel 0, the
    // other edges are refused, and none overflows.
    for (const auto& r : rects) elDraw::FrameRect(r[0], r[1], r[2], r[3]);
    EXPECT_EQ(BackPixels()[0], 0);
    for (std::int32_t bad : {-1, 1024, 500}) EXPECT_NE(elDraw::ClearObject(bad), platform::DD_OK);
}

TEST_F(Fills, AFailedVerticalBlankKeepsThePreviousFrame) {
    std::vector<std::uint16_t> shown;  // every frame here is one colour
    host->onFrame = [&](const platform::FrameView& frame) {
        ASSERT_EQ(frame.width * frame.height, 640 * 480);
        EXPECT_EQ(frame.pixels[479 * frame.pitch + 639], frame.pixels[0]);
        shown.push_back(frame.pixels[0]);
    };
    auto present = [](std::uint16_t colour) {
        ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, colour), platform::DD_OK);
        elDraw::PresentFrame();
    };
    present(0x1111);
    const std::uint64_t blanks = host->verticalBlanks();
    host->FailVerticalBlanks(1);
    present(0x2222);
    EXPECT_EQ(elDraw::PrimarySurface->pixels()[0], 0x1111);
    present(0x3333);
    EXPECT_EQ(shown, (std::vector<std::uint16_t>{0x1111, 0x3333}));
    EXPECT_EQ(elDraw::PrimarySurface->pixels()[0], 0x3333);
    EXPECT_EQ(host->verticalBlanks(), blanks + 1);

    // Without the wait, frames are shown at once.
    elDraw::SetVSyncWait(0);
    host->FailVerticalBlanks(5);
    present(0x0101);
    EXPECT_EQ(shown.back(), 0x0101);
    EXPECT_EQ(host->verticalBlanks(), blanks + 1);
}

// The back surface drawn on through its device context: held once, locked while held.
TEST_F(Fills, ScreenDeviceContextDrawsOnTheBackSurfaceWhileItIsHeld) {
    ASSERT_EQ(elDraw::ClearScreen(), platform::DD_OK);
    EXPECT_EQ(elDraw::ReleaseScreenDC(), platform::DDERR_GENERIC);  // nothing held yet
    ASSERT_EQ(elDraw::GetScreenDC(), platform::DD_OK);
    ASSERT_TRUE(elDraw::ScreenDeviceContext.has_value());
    elDraw::ScreenDeviceContext->SetPixel(10, 20, platform::Rgb(255, 0, 0));
    // Held: a second context and the blitter are refused, the first context stays usable.
    EXPECT_EQ(elDraw::GetScreenDC(), platform::DDERR_SURFACEBUSY);
    EXPECT_NE(elDraw::FillRect(0, 0, 4, 4, 0xFFFF), platform::DD_OK);
    elDraw::ScreenDeviceContext->SetPixel(11, 20, platform::Rgb(0, 0, 255));
    EXPECT_EQ(elDraw::ReleaseScreenDC(), platform::DD_OK);
    EXPECT_FALSE(elDraw::ScreenDeviceContext.has_value());
    EXPECT_EQ(elDraw::ReleaseScreenDC(), platform::DDERR_GENERIC);
    // One release undoes the one lock: the blitter works again.
    EXPECT_EQ(elDraw::FillRect(0, 0, 4, 4, 0xFFFF), platform::DD_OK);
    std::vector<std::uint16_t> expected = Painted(Filled(0), 0, 0, 4, 4, 0xFFFF);
    expected[20 * 640 + 10] = 0xF800;
    expected[20 * 640 + 11] = 0x001F;
    EXPECT_EQ(BackPixels(), expected);

    // Shutting down with the context held releases it; without a screen there is none to get.
    ASSERT_EQ(elDraw::GetScreenDC(), platform::DD_OK);
    elDraw::Shutdown();
    EXPECT_FALSE(elDraw::ScreenDeviceContext.has_value());
    EXPECT_EQ(elDraw::GetScreenDC(), platform::DDERR_GENERIC);
}

}  // namespace
}  // namespace drawtest
