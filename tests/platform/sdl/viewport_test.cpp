#include "platform/sdl/viewport.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::FitViewport;
using platform::sdl::LargestWholeFactor;
using platform::sdl::PictureRectToWindow;
using platform::sdl::PictureToWindow;
using platform::sdl::PointMapping;
using platform::sdl::WindowToPicture;

PointMapping Window(int width, int height, int pixelWidth = 0, int pixelHeight = 0) {
    return PointMapping{
        width, height, pixelWidth ? pixelWidth : width, pixelHeight ? pixelHeight : height,
        640,   480};
}

TEST(Viewport, FitsCommonDesktopsWithTheAspectKept) {
    struct Case {
        int w, h;
        int x, y, width, height, factor;
        bool exact;
    };
    const Case cases[] = {
        {640, 480, 0, 0, 640, 480, 1, true},         // the picture's own size
        {1280, 960, 0, 0, 1280, 960, 2, true},       // a whole factor: plain nearest
        {1920, 1080, 240, 0, 1440, 1080, 3, false},  // 2.25: up to 3, then smoothed down
        {2560, 1440, 320, 0, 1920, 1440, 3, true},   // exactly 3, bars at the sides
        {1366, 768, 171, 0, 1024, 768, 2, false},    // 1.6: up to 2
        {3840, 2160, 480, 0, 2880, 2160, 5, false},  // 4.5: up to 5
        {1280, 1024, 0, 32, 1280, 960, 2, true},     // 5:4: bars top and bottom
        {800, 600, 0, 0, 800, 600, 2, false},        // 1.25: up to 2
        {320, 240, 0, 0, 320, 240, 1, false},        // smaller than the picture
        {1024, 2000, 0, 616, 1024, 768, 2, false},   // a portrait screen
    };
    for (const Case& c : cases) {
        const auto view = FitViewport(c.w, c.h, 640, 480);
        EXPECT_EQ(view.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(view.y, c.y) << c.w << "x" << c.h;
        EXPECT_EQ(view.width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(view.height, c.height) << c.w << "x" << c.h;
        EXPECT_EQ(view.wholeFactor, c.factor) << c.w << "x" << c.h;
        EXPECT_EQ(view.exact, c.exact) << c.w << "x" << c.h;
        // Never larger than the output, and the bars are even on both sides (within a pixel).
        EXPECT_LE(view.x * 2 + view.width, c.w);
        EXPECT_LE(view.y * 2 + view.height, c.h);
        EXPECT_GE(view.x * 2 + view.width, c.w - 1);
        EXPECT_GE(view.y * 2 + view.height, c.h - 1);
    }
}

TEST(Viewport, DegenerateSizesGiveNothing) {
    EXPECT_EQ(FitViewport(0, 480, 640, 480).width, 0);
    EXPECT_EQ(FitViewport(640, -1, 640, 480).height, 0);
    EXPECT_EQ(FitViewport(640, 480, 0, 480).width, 0);
}

TEST(Viewport, WindowFactorIsTheLargestWholeOneThatFits) {
    EXPECT_EQ(LargestWholeFactor(1920, 1050, 640, 480), 2);
    EXPECT_EQ(LargestWholeFactor(2560, 1400, 640, 480), 2);
    EXPECT_EQ(LargestWholeFactor(3840, 2100, 640, 480), 4);
    EXPECT_EQ(LargestWholeFactor(1280, 960, 640, 480), 2);
    EXPECT_EQ(LargestWholeFactor(800, 400, 640, 480), 1);  // never below one
}

TEST(Viewport, WindowPointsBecomePicturePoints) {
    struct Case {
        PointMapping mapping;
        int x, y, pictureX, pictureY;
    };
    const Case cases[] = {
        {Window(640, 480), 639, 479, 639, 479},
        {Window(1280, 960), 1279, 959, 639, 479},  // twice the size
        {Window(1280, 960), 641, 3, 320, 1},
        {Window(1920, 1080), 240, 0, 0, 0},  // the picture's left edge
        {Window(1920, 1080), 1679, 1079, 639, 479},
        {Window(1920, 1080), 960, 540, 320, 240},
        {Window(1920, 1080), 10, 500, 0, 222},      // over the left bar: clamped to the edge
        {Window(1920, 1080), 1900, 500, 639, 222},  // over the right bar
        {Window(1280, 1024), 100, 5, 50, 0},        // over the top bar
        {Window(1280, 1024), 100, 1020, 50, 479},
        {Window(1280, 1024), 100, 32, 50, 0},
        {Window(1280, 1024), 100, 33, 50, 0},
        {Window(1280, 1024), 100, 34, 50, 1},
        // HiDPI: 1440 x 900 points on a 2880 x 1800 drawable; the picture is 2400 x 1800.
        {Window(1440, 900, 2880, 1800), 120, 0, 0, 0},
        {Window(1440, 900, 2880, 1800), 1319, 899, 639, 479},
        {Window(1440, 900, 2880, 1800), 720, 450, 320, 240},
    };
    for (const Case& c : cases) {
        int px = -1;
        int py = -1;
        WindowToPicture(c.mapping, c.x, c.y, px, py);
        EXPECT_EQ(px, c.pictureX) << c.mapping.windowWidth << "x" << c.mapping.windowHeight
                                  << " at " << c.x << "," << c.y;
        EXPECT_EQ(py, c.pictureY) << c.mapping.windowWidth << "x" << c.mapping.windowHeight
                                  << " at " << c.x << "," << c.y;
    }
    int px = -1;
    int py = -1;
    WindowToPicture(Window(0, 0), 5, 5, px, py);  // no window yet: the corner, never garbage
    EXPECT_EQ(px + py, 0);
}

TEST(Viewport, PicturePointsGoBackToTheWindowPointOverThem) {
    // Every picture pixel, warped to and read back, on sizes whole, uneven and HiDPI.
    for (const PointMapping& m :
         {Window(640, 480), Window(1280, 960), Window(1366, 768), Window(1920, 1080),
          Window(800, 600), Window(1440, 900, 2880, 1800), Window(1024, 2000)}) {
        for (int y = 0; y < 480; y += 7) {
            for (int x = 0; x < 640; ++x) {
                int wx = 0;
                int wy = 0;
                PictureToWindow(m, x, y, wx, wy);
                ASSERT_GE(wx, 0);
                ASSERT_LT(wx, m.windowWidth);
                int bx = -1;
                int by = -1;
                WindowToPicture(m, wx, wy, bx, by);
                ASSERT_EQ(bx, x) << m.windowWidth << "x" << m.windowHeight << " " << x << "," << y;
                ASSERT_EQ(by, y) << m.windowWidth << "x" << m.windowHeight << " " << x << "," << y;
            }
        }
    }
    int wx = 0;
    int wy = 0;
    PictureToWindow(Window(1920, 1080), 0, 0, wx, wy);
    EXPECT_EQ(wx, 241);  // the middle of the first 2.25-pixel-wide column
    EXPECT_EQ(wy, 1);
}

TEST(Viewport, ConfinementRectanglesCoverThePictureOnScreen) {
    const int whole[4] = {0, 0, 640, 480};
    int area[4] = {};
    ASSERT_TRUE(PictureRectToWindow(Window(1920, 1080), whole, area));
    EXPECT_EQ(area[0], 240);
    EXPECT_EQ(area[1], 0);
    EXPECT_EQ(area[2], 1680);
    EXPECT_EQ(area[3], 1080);
    ASSERT_TRUE(PictureRectToWindow(Window(1280, 1024), whole, area));
    EXPECT_EQ(area[1], 32);
    EXPECT_EQ(area[3], 992);
    const int part[4] = {100, 50, 200, 150};
    ASSERT_TRUE(PictureRectToWindow(Window(1280, 960), part, area));
    EXPECT_EQ(area[0], 200);
    EXPECT_EQ(area[1], 100);
    EXPECT_EQ(area[2], 400);
    EXPECT_EQ(area[3], 300);
    // HiDPI: the rectangle in points, half the pixels.
    ASSERT_TRUE(PictureRectToWindow(Window(1440, 900, 2880, 1800), whole, area));
    EXPECT_EQ(area[0], 120);
    EXPECT_EQ(area[2], 1320);
    // Larger than the picture: clipped to it; wholly outside or empty: nothing.
    const int beyond[4] = {-50, -50, 9000, 9000};
    ASSERT_TRUE(PictureRectToWindow(Window(1280, 960), beyond, area));
    EXPECT_EQ(area[2], 1280);
    const int outside[4] = {700, 0, 800, 100};
    EXPECT_FALSE(PictureRectToWindow(Window(1280, 960), outside, area));
    const int empty[4] = {10, 10, 10, 20};
    EXPECT_FALSE(PictureRectToWindow(Window(1280, 960), empty, area));
}

TEST(Viewport, FilterNames) {
    platform::sdl::ScaleFilter filter{};
    EXPECT_TRUE(platform::sdl::ParseScaleFilter("nearest", filter));
    EXPECT_EQ(filter, platform::sdl::ScaleFilter::kNearest);
    EXPECT_TRUE(platform::sdl::ParseScaleFilter("linear", filter));
    EXPECT_EQ(filter, platform::sdl::ScaleFilter::kLinear);
    EXPECT_FALSE(platform::sdl::ParseScaleFilter("blurry", filter));
}

}  // namespace
