// The shapes and pixels of elSystem on the back surface, in both pixel layouts, with the
// device context taken per call or held by BeginGdi.
#include "el/system/gdi_draw.h"

#include <gtest/gtest.h>

#include <climits>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/screen_dc.h"
#include "platform/display/raster.h"
#include "tests/el/system/system_test_support.h"

namespace systemtest {
namespace {

using namespace elSystem;

constexpr platform::ColorRef kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr platform::ColorRef kWhite = 0xFFFFFF;

class Gdi : public drawtest::LayoutTest {
  protected:
    std::uint16_t P(platform::ColorRef colour) const { return Packed(colour, GetParam()); }
};

TEST_P(Gdi, LinesLeaveTheirEndPointAndRectanglesTheirRightAndBottomEdges) {
    DrawLine(0, 0, 3, 0, kRed, 1);
    DrawRect(10, 10, 20, 16, kGreen, kBlue, 1);
    const auto pixels = BackPixels();
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(pixels, x, 0), P(kRed)) << x;
    EXPECT_EQ(At(pixels, 3, 0), 0);
    EXPECT_EQ(CountOf(pixels, P(kRed)), 3);
    for (int y = 10; y < 16; ++y) {
        for (int x = 10; x < 20; ++x) {
            const bool border = x == 10 || x == 19 || y == 10 || y == 15;
            ASSERT_EQ(At(pixels, x, y), P(border ? kBlue : kGreen)) << x << "," << y;
        }
    }
    EXPECT_EQ(CountOf(pixels, P(kBlue)) + CountOf(pixels, P(kGreen)), 60);
}

TEST_P(Gdi, PolygonsAreHollowHatchedOnTheirBackgroundOrHatchedAlone) {
    const Point square[] = {{100, 100}, {116, 100}, {116, 116}, {100, 116}};
    const std::uint16_t under = 0x0421;  // a grey present in both layouts
    for (int mode : {0, 1, 2}) {
        ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, under), platform::DD_OK);
        DrawPolygon(square, 4, kRed, kGreen, 1, mode);
        const auto pixels = BackPixels();
        for (int y = 95; y < 122; ++y) {
            for (int x = 95; x < 122; ++x) {
                const bool outline = x >= 100 && x <= 116 && y >= 100 && y <= 116 &&
                                     (x == 100 || x == 116 || y == 100 || y == 116);
                const bool inside = x >= 100 && x < 116 && y >= 100 && y < 116;
                std::uint16_t want = under;
                if (outline || (inside && mode != 0 && platform::raster::IsHatchPixel(x, y))) {
                    want = P(kRed);
                } else if (inside && mode == 1) {
                    want = P(kGreen);
                }
                ASSERT_EQ(At(pixels, x, y), want) << "mode " << mode << " at " << x << "," << y;
            }
        }
        // Nothing changes outside the outline.
        int changedNear = 0;
        for (int y = 100; y <= 116; ++y) {
            for (int x = 100; x <= 116; ++x) changedNear += At(pixels, x, y) != under ? 1 : 0;
        }
        EXPECT_EQ(640 * 480 - CountOf(pixels, under), changedNear) << "mode " << mode;
    }
}

TEST_P(Gdi, PixelsReadBackAsTheColourTheyWereGiven) {
    for (const platform::ColorRef colour : {kRed, kGreen, kBlue, kWhite}) {
        SetPixelColor(5, 6, colour);
        std::int32_t r = 0, g = 0, b = 0;
        EXPECT_EQ(GetPixelColor(5, 6, &r, &g, &b), 1);
        EXPECT_EQ(r, static_cast<int>(colour & 0xFF));
        EXPECT_EQ(g, static_cast<int>((colour >> 8) & 0xFF));
        EXPECT_EQ(b, static_cast<int>((colour >> 16) & 0xFF));
    }
    // Outside the surface there is no colour, rather than white.
    for (const auto& [x, y] : {std::pair{-1, 0}, {640, 0}, {0, 480}, {INT_MIN, INT_MAX}}) {
        SetPixelColor(x, y, kRed);
        std::int32_t r = 7, g = 7, b = 7;
        EXPECT_EQ(GetPixelColor(x, y, &r, &g, &b), 0);
        EXPECT_EQ(r, -1);
        EXPECT_EQ(g, -1);
        EXPECT_EQ(b, -1);
    }
    std::int32_t g = 0;
    EXPECT_EQ(GetPixelColor(5, 6, nullptr, &g, nullptr), 1);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(CountOf(BackPixels(), 0), 640 * 480 - 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Gdi, drawtest::kBothLayouts, drawtest::LayoutName);

using Shapes = drawtest::OpenScreenTest;

TEST_F(Shapes, CountsAndPointersThatDoNotFitDrawNothing) {
    const Point p[] = {{10, 10}, {60, 90}, {120, 10}, {200, 90}, {250, 10}, {300, 90}, {350, 10}};
    DrawPolygon(nullptr, 4, kWhite, kWhite, 1, 1);
    DrawPolygon(p, 1, kWhite, kWhite, 3, 1);
    DrawPolygon(p, 0, kWhite, kWhite, 3, 1);
    DrawPolygon(p, -5, kWhite, kWhite, 3, 1);
    DrawBezier(nullptr, 4, kWhite, 1);
    for (int count : {-2, 0, 1, 2, 3, 5, 6}) DrawBezier(p, count, kWhite, 1);
    EXPECT_EQ(CountOf(BackPixels(), 0), 640 * 480);
    DrawBezier(p, 7, kWhite, 1);  // two curves
    const platform::Rect curve = BoxOf(BackPixels(), Packed(kWhite, PixelLayout::Rgb565));
    EXPECT_EQ(curve.left, 10);
    EXPECT_EQ(curve.top, 10);
    EXPECT_EQ(curve.right, 350);  // the end point itself stays dark
    EXPECT_EQ(curve.bottom, 91);  // through (200, 90), where the curves meet
    // Two points make a polygon of no area: the line there and back.
    ASSERT_EQ(elDraw::ClearScreen(), platform::DD_OK);
    DrawPolygon(p, 2, kWhite, kWhite, 1, 1);
    const platform::Rect two = BoxOf(BackPixels(), Packed(kWhite, PixelLayout::Rgb565));
    EXPECT_EQ(two.left, 10);
    EXPECT_EQ(two.right, 61);
}

TEST_F(Shapes, HugeCoordinatesAndWidthsStayOnTheSurface) {
    DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1);
    EXPECT_EQ(CountOf(BackPixels(), Packed(kWhite, PixelLayout::Rgb565)), 480);
    DrawLine(-10, -10, 700, 500, kRed, INT_MAX);
    EXPECT_EQ(CountOf(BackPixels(), Packed(kRed, PixelLayout::Rgb565)), 640 * 480);
    const Point huge[] = {
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    DrawPolygon(huge, 4, kGreen, kBlue, INT_MAX, 1);
    DrawBezier(huge, 4, kGreen, 3);
    DrawRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN, kBlue, kGreen, INT_MIN);
    // The rectangle's border lies on the edges of the 32-bit plane, far off the surface.
    EXPECT_EQ(CountOf(BackPixels(), Packed(kBlue, PixelLayout::Rgb565)), 640 * 480);
}

TEST_F(Shapes, BeginGdiHoldsTheContextForEveryCallUntilEndGdi) {
    ASSERT_EQ(BeginGdi(), platform::DD_OK);
    EXPECT_EQ(BeginGdi(), platform::DDERR_SURFACEBUSY);
    EXPECT_NE(elDraw::FillRect(0, 0, 640, 480, 0xFFFF), platform::DD_OK);
    DrawLine(0, 0, 10, 0, kWhite, 1);
    SetPixelColor(0, 1, kWhite);
    EXPECT_TRUE(elDraw::ScreenDeviceContext.has_value());
    EndGdi();
    EXPECT_FALSE(elDraw::ScreenDeviceContext.has_value());
    EndGdi();
    EXPECT_EQ(CountOf(BackPixels(), Packed(kWhite, PixelLayout::Rgb565)), 11);
    EXPECT_EQ(elDraw::FillRect(0, 0, 640, 480, 0), platform::DD_OK);
    // A lost surface gives no context: nothing is drawn and nothing is read.
    elDraw::BackSurface->MarkLost();
    EXPECT_EQ(BeginGdi(), platform::DDERR_SURFACELOST);
    DrawLine(0, 0, 10, 0, kWhite, 1);
    std::int32_t r = 0;
    EXPECT_EQ(GetPixelColor(0, 0, &r, nullptr, nullptr), 0);
    EXPECT_EQ(r, -1);
    elDraw::BackSurface->Restore();
    EXPECT_EQ(CountOf(BackPixels(), 0), 640 * 480);
}

}  // namespace
}  // namespace systemtest
