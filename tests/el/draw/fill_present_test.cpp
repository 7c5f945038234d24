// Colour fills, the 50% blend of a rectangle, and the presentation of finished frames.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/present.h"
#include "platform/display/display_faults.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

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

TEST_P(HalfFill, BlendsOnlyTheClippedRectangle) {
    const PixelLayout layout = GetParam();
    const std::uint16_t white = layout == PixelLayout::Rgb565 ? 0xFFFF : 0x7FFF;
    ASSERT_EQ(elDraw::FillScreenWhite(), platform::DD_OK);
    EXPECT_EQ(elDraw::HalfFillRect(10, 10, 20, 20, 0), 1);
    const std::uint16_t halfWhite = layout == PixelLayout::Rgb565 ? 0x7BEF : 0x3DEF;
    std::vector<std::uint16_t> back = BackPixels();
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 30; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(back[static_cast<std::size_t>(y * 640 + x)], inside ? halfWhite : white)
                << x << "," << y;
        }
    }

    // Red blended with blue, cut to the clip rectangle.
    const std::uint16_t red = layout == PixelLayout::Rgb565 ? 0xF800 : 0x7C00;
    const std::uint16_t blue = 0x001F;
    const std::uint16_t mixed = Mix(red, blue, layout);
    EXPECT_EQ(mixed, layout == PixelLayout::Rgb565 ? 0x780F : 0x3C0F);
    ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, red), platform::DD_OK);
    elDraw::SetClipRect(15, 12, 100, 18);
    EXPECT_EQ(elDraw::HalfFillRect(10, 10, 20, 20, blue), 1);
    back = BackPixels();
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 30; ++x) {
            const bool inside = x >= 15 && x < 20 && y >= 12 && y < 18;
            ASSERT_EQ(back[static_cast<std::size_t>(y * 640 + x)], inside ? mixed : red)
                << x << "," << y;
        }
    }
}

TEST_P(HalfFill, MixesEveryChannelRoundingDown) {
    const PixelLayout layout = GetParam();
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

TEST_P(HalfFill, NothingIsWrittenOutsideTheSurface) {
    const PixelLayout layout = GetParam();
    const std::uint16_t white = layout == PixelLayout::Rgb565 ? 0xFFFF : 0x7FFF;
    const std::uint16_t halfWhite = layout == PixelLayout::Rgb565 ? 0x7BEF : 0x3DEF;
    // A clip rectangle larger than the surface is not checked when it is set.
    elDraw::SetClipRect(-100, -100, 10000, 10000);
    ASSERT_EQ(elDraw::FillScreenWhite(), platform::DD_OK);
    EXPECT_EQ(elDraw::HalfFillRect(-50, -50, 2000, 2000, 0), 1);
    EXPECT_EQ(BackPixels(), std::vector<std::uint16_t>(640 * 480, halfWhite));
    elDraw::SetClipRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(elDraw::HalfFillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0), 1);

    // Empty and reversed rectangles and ones wholly outside change nothing.
    elDraw::SetClipRect(0, 0, 640, 480);
    ASSERT_EQ(elDraw::FillScreenWhite(), platform::DD_OK);
    const std::int32_t rects[][4] = {{20, 20, 10, 10},  {10, 10, 10, 20},     {700, 0, 800, 10},
                                     {0, 500, 10, 600}, {-50, -50, -10, -10}, {640, 480, 700, 500}};
    for (const auto& r : rects) {
        EXPECT_EQ(elDraw::HalfFillRect(r[0], r[1], r[2], r[3], 0), 1);
    }
    EXPECT_EQ(BackPixels(), std::vector<std::uint16_t>(640 * 480, white));
}

TEST_P(HalfFill, AFailedLockReturnsZero) {
    platform::display_faults::FailOnce(platform::DisplayOp::kLock);
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 0);
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 1);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, HalfFill,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555), LayoutName);

// ---- Colour fills ----

using Fills = OpenScreenTest;

TEST_F(Fills, FrameRectPaintsOnlyTheBorder) {
    ASSERT_EQ(elDraw::FillScreenWhite(), platform::DD_OK);
    EXPECT_EQ(elDraw::FrameRect(10, 10, 20, 20), platform::DD_OK);
    const std::vector<std::uint16_t> back = BackPixels();
    for (std::int32_t y = 0; y < 480; ++y) {
        for (std::int32_t x = 0; x < 640; ++x) {
            const bool inSquare = x >= 10 && x < 20 && y >= 10 && y < 20;
            const bool border = inSquare && (x == 10 || x == 19 || y == 10 || y == 19);
            ASSERT_EQ(back[static_cast<std::size_t>(y * 640 + x)], border ? 0 : 0xFFFF)
                << x << "," << y;
        }
    }
}

TEST_F(Fills, FillsUseTheLowSixteenBitsAndRefuseRectanglesOffTheSurface) {
    EXPECT_EQ(elDraw::ClearScreen(), platform::DD_OK);
    EXPECT_EQ(elDraw::FillRect(2, 3, 5, 4, 0x12345678), platform::DD_OK);
    std::vector<std::uint16_t> back = BackPixels();
    for (std::int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(back[static_cast<std::size_t>(3 * 640 + x)], x >= 2 && x < 5 ? 0x5678 : 0) << x;
    }
    EXPECT_EQ(back[static_cast<std::size_t>(2 * 640 + 3)], 0);
    EXPECT_EQ(back[static_cast<std::size_t>(4 * 640 + 3)], 0);

    EXPECT_EQ(elDraw::FillRectWhite(0, 0, 1, 1), platform::DD_OK);
    EXPECT_EQ(BackPixels()[0], 0xFFFF);
    // The fills ignore ClipRect but never write past the surface.
    elDraw::SetClipRect(0, 0, 1, 1);
    const std::vector<std::uint16_t> before = BackPixels();
    const std::int32_t rects[][4] = {{-1, 0, 10, 10},
                                     {630, 0, 641, 10},
                                     {0, 470, 10, 481},
                                     {INT_MIN, 0, 10, 10},
                                     {0, 0, INT_MAX, 1},
                                     {10, 10, 5, 5},
                                     {INT_MAX, INT_MAX, INT_MIN, INT_MIN}};
    for (const auto& r : rects) {
        EXPECT_NE(elDraw::FillRect(r[0], r[1], r[2], r[3], 0x1111), platform::DD_OK);
        EXPECT_NE(elDraw::ClearRect(r[0], r[1], r[2], r[3]), platform::DD_OK);
    }
    EXPECT_EQ(BackPixels(), before);
    // A frame's edges are four fills: those that lie on the surface are painted (the left
    // edge of {0, 0, INT_MAX, 1} is pixel 0), the others refused, and none overflows.
    for (const auto& r : rects) elDraw::FrameRect(r[0], r[1], r[2], r[3]);
    EXPECT_EQ(BackPixels()[0], 0);
    EXPECT_EQ(BackPixels()[641], 0);
    EXPECT_NE(elDraw::ClearObject(-1), platform::DD_OK);
    EXPECT_NE(elDraw::ClearObject(1024), platform::DD_OK);
    EXPECT_NE(elDraw::ClearObject(500), platform::DD_OK);
}

// ---- Presentation ----

class Presentation : public OpenScreenTest {
  protected:
    void SetUp() override {
        OpenScreenTest::SetUp();
        host->onFrame = [this](const platform::FrameView& frame) {
            ASSERT_EQ(frame.width, 640);
            ASSERT_EQ(frame.height, 480);
            // Every frame here is one colour; keep the top-left and bottom-right pixels.
            shown.push_back(frame.pixels[0]);
            shownLast.push_back(frame.pixels[479 * frame.pitch + 639]);
        };
    }
    void DrawAndPresent(std::uint16_t colour) {
        ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, colour), platform::DD_OK);
        elDraw::PresentFrame();
    }
    std::uint16_t PrimaryPixel() const { return elDraw::PrimarySurface->pixels()[0]; }

    std::vector<std::uint16_t> shown;
    std::vector<std::uint16_t> shownLast;
};

TEST_F(Presentation, AFailedVerticalBlankKeepsThePreviousFrame) {
    DrawAndPresent(0x1111);
    ASSERT_EQ(shown, (std::vector<std::uint16_t>{0x1111}));
    EXPECT_EQ(shownLast, (std::vector<std::uint16_t>{0x1111}));
    const std::uint64_t blanks = host->verticalBlanks();

    host->FailVerticalBlanks(1);
    DrawAndPresent(0x2222);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(PrimaryPixel(), 0x1111);

    DrawAndPresent(0x3333);
    EXPECT_EQ(shown, (std::vector<std::uint16_t>{0x1111, 0x3333}));
    EXPECT_EQ(PrimaryPixel(), 0x3333);
    EXPECT_EQ(host->verticalBlanks(), blanks + 1);
}

TEST_F(Presentation, WithoutTheWaitFramesAreShownAtOnce) {
    elDraw::SetVSyncWait(0);
    host->FailVerticalBlanks(5);
    const std::uint64_t blanks = host->verticalBlanks();
    DrawAndPresent(0x0101);
    DrawAndPresent(0x0202);
    EXPECT_EQ(shown, (std::vector<std::uint16_t>{0x0101, 0x0202}));
    EXPECT_EQ(host->verticalBlanks(), blanks);
}

}  // namespace
}  // namespace drawtest
