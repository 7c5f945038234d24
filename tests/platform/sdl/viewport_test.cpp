#include "platform/sdl/viewport.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::FitViewport;
using platform::sdl::LargestWholeFactor;

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

TEST(Viewport, FilterNames) {
    platform::sdl::ScaleFilter filter{};
    EXPECT_TRUE(platform::sdl::ParseScaleFilter("nearest", filter));
    EXPECT_EQ(filter, platform::sdl::ScaleFilter::kNearest);
    EXPECT_TRUE(platform::sdl::ParseScaleFilter("linear", filter));
    EXPECT_EQ(filter, platform::sdl::ScaleFilter::kLinear);
    EXPECT_FALSE(platform::sdl::ParseScaleFilter("blurry", filter));
}

}  // namespace
