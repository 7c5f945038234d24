// The layers EndFrame draws over the scenes, set up through the library while the greeting runs:
// the cover's tiles from SetTransitionTiles, and the scroll page with the arrow keys routed to it
// by the window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "el/draw/clip_rect.h"
#include "el/draw/object_table.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/layer_setup.h"
#include "el/system/scroll_page_state.h"
#include "platform/messages.h"
#include "show/scene_state.h"
#include "show/transitions.h"
#include "tests/app/headless_fixture.h"
#include "tests/el/draw/draw_test_support.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

constexpr std::uint32_t kUp = 38, kLeft = 37, kDown = 40, kRight = 39;

// A 24-bit picture file of `width` x `height` whose pixel (x, y) is colour(x, y).
template <typename Colour>
std::vector<std::uint8_t> PictureFile(int width, int height, Colour colour) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(colour(x, y));
    }
    return drawtest::Bmp24(static_cast<std::size_t>(width), pixels);
}

class Layers : public HeadlessProgram {
  protected:
    void SetUp() override {
        HeadlessProgram::SetUp();
        host->onFrame = [this](const platform::FrameView& frame) {
            frames[current] = FromFrame(frame);
        };
    }
    void Press(std::uint32_t key, bool down) {
        platform::PostMessage(down ? platform::WM_KEYDOWN : platform::WM_KEYUP, key, 0);
    }

    std::uint32_t current = 0;
    std::map<std::uint32_t, Picture> frames;
    std::map<std::uint32_t, int> sceneAfter;
};

// Tile t of the strip paints rows 4t..4t+3 of its cell in its own colour, the rest black.
std::uint32_t TileColour(int t) {
    return 0x102030u * static_cast<std::uint32_t>(t + 1) + 0x0F0F0Fu;
}

TEST_F(Layers, CoverLaysTheTilesSetByNameThenStartsTheNextScene) {
    const drawtest::ProgramFile strip("TILESTRIP", PictureFile(640, 48, [](int x, int y) {
                                          return y / 4 == x / 64 ? TileColour(x / 64) : 0u;
                                      }));
    constexpr std::uint32_t kCoverPass = 40;
    std::vector<std::uint16_t> tiles(10);
    bool started = false;
    Run(
        kCoverPass + 11,
        [&](std::uint32_t pass) {
            current = pass;
            if (pass != kCoverPass || started) return;
            started = true;
            elSystem::SetTransitionTiles("TILESTRIP");
            const Picture loaded = ReadObject(elSystem::TileObject);
            for (int t = 0; t < 10; ++t) tiles[t] = loaded.At(64 * t, 4 * t);
            show::TransitionStyle = 0;
            show::ChangeScene(6);
        },
        [&](std::uint32_t pass) { sceneAfter[pass] = show::SceneNumber; });
    ASSERT_GE(elSystem::TileObject, 2);
    for (int step = 1; step <= 10; ++step) {
        const std::uint32_t pass = kCoverPass + static_cast<std::uint32_t>(step) - 1;
        Picture expected = BlackScreen();  // the picture scene 1 leaves
        for (int y = 0; y < kHeight; ++y) {
            const int band = (y % 48) / 4;
            for (int x = 0; x < kWidth && band < step; ++x) expected.At(x, y) = tiles[band];
        }
        EXPECT_EQ(FirstDifference(frames[pass], expected), "") << "step " << step;
        EXPECT_EQ(sceneAfter[pass], step < 10 ? 1 : 6) << "step " << step;
    }
}

TEST_F(Layers, CoverWithoutTilesLaysNothingNotTheReservedObjects) {
    constexpr std::uint32_t kCoverPass = 40;
    bool started = false;
    Run(
        kCoverPass + 11,
        [&](std::uint32_t pass) {
            current = pass;
            if (pass != kCoverPass || started) return;
            started = true;
            // Something to see, should a cover draw from the reserved objects.
            WriteObject(0, Noise(3, PixelLayout::Rgb565));
            WriteObject(1, Noise(4, PixelLayout::Rgb565));
            elSystem::SetTransitionTiles("NO-SUCH-TILES");
            show::TransitionStyle = 0;
            show::ChangeScene(6);
        },
        [&](std::uint32_t pass) { sceneAfter[pass] = show::SceneNumber; });
    EXPECT_EQ(elSystem::TileObject, 0);
    EXPECT_EQ(host->messageBoxes().size(), 1u);
    for (std::uint32_t pass = kCoverPass; pass < kCoverPass + 10; ++pass) {
        EXPECT_EQ(FirstDifference(frames[pass], BlackScreen()), "") << "pass " << pass;
    }
    EXPECT_EQ(sceneAfter[kCoverPass + 8], 1);
    EXPECT_EQ(sceneAfter[kCoverPass + 9], 6);
}

TEST_F(Layers, ArrowKeysScrollTheShownPageAndReachNothingElse) {
    // A page of 1200 distinct rows, black (transparent) in its first 64 columns; a background
    // tile that is never black.
    const drawtest::ProgramFile page("TALLPAGE", PictureFile(640, 1200, [](int x, int y) {
                                         return x < 64 ? 0u : 0x010101u * (y % 200 + 40) + y / 200;
                                     }));
    const drawtest::ProgramFile tile("TALLTILE", PictureFile(64, 48, [](int x, int y) {
                                         return 0x402010u + static_cast<std::uint32_t>(x + y);
                                     }));
    // Pass by pass: the key pressed before it (0 none), released after it.
    std::map<std::uint32_t, std::uint32_t> keys;
    for (std::uint32_t pass = 21; pass <= 30; ++pass) keys[pass] = kDown;
    for (std::uint32_t pass = 31; pass <= 40; ++pass) keys[pass] = kRight;
    for (std::uint32_t pass = 41; pass <= 45; ++pass) keys[pass] = kUp;
    for (std::uint32_t pass = 46; pass <= 60; ++pass) keys[pass] = kLeft;
    for (std::uint32_t pass = 61; pass <= 65; ++pass) keys[pass] = kRight;  // from near the end
    std::map<std::uint32_t, float> before, after, delta;
    std::uint32_t pressed = 0;
    Run(
        66,
        [&](std::uint32_t pass) {
            current = pass;
            if (pass == 20 && elSystem::ScrollPageLimit == 0) {
                elSystem::SetScrollPage("TALLPAGE", "TALLTILE", 1200);
                elSystem::ToggleScrollPage();
                ASSERT_EQ(elSystem::ScrollPageShown, 1);
            }
            if (pass == 61) elSystem::ScrollPagePosition = 710;
            const std::uint32_t key = keys.count(pass) ? keys[pass] : 0;
            if (key != pressed) {
                if (pressed != 0) Press(pressed, false);
                if (key != 0) Press(key, true);
                pressed = key;
            }
            before[pass] = elSystem::ScrollPagePosition;
        },
        [&](std::uint32_t pass) {
            after[pass] = elSystem::ScrollPagePosition;
            delta[pass] = elSystem::FrameDelta;
            EXPECT_EQ(elSystem::KeyHeld, 0) << "pass " << pass;
        });
    const Picture pageRows = ReadObject(elSystem::ScrollPageObject);
    const auto speed = [](std::uint32_t key) {
        return key == kDown ? 100.0f : key == kRight ? 300.0f : key == kUp ? -100.0f : -300.0f;
    };
    for (std::uint32_t pass = 21; pass <= 65; ++pass) {
        // Each pass shows the page from the row it was at, then moves it by the key's speed.
        const auto p = static_cast<int>(before[pass]);
        for (int y = 0; y < kHeight; y += 7) {
            ASSERT_EQ(frames[pass].At(320, y), pageRows.At(320, p + y)) << "pass " << pass;
        }
        EXPECT_NE(frames[pass].At(10, 10), 0) << "the background shows through the page";
        const float moved = before[pass] + delta[pass] * speed(keys[pass]);
        // Never above the top, nor past the page's end (1200 rows less the 480 of the clip).
        EXPECT_FLOAT_EQ(after[pass], std::clamp(moved, 0.0f, 720.0f)) << "pass " << pass;
    }
    EXPECT_GT(after[40], 25.0f);
    // Right moves three times as far as down in the same time; up and left come back to 0.
    EXPECT_NEAR((after[40] - after[30]) / (after[30] - after[20]), 3.0f, 0.2f);
    EXPECT_GT(after[55], 0.0f);
    EXPECT_EQ(after[60], 0.0f);
    EXPECT_EQ(after[65], 720.0f);
    EXPECT_EQ(after[66], 720.0f);  // no key any more
}

TEST_F(Layers, APageShorterThanTheClipShowsWhatItHasAndDoesNotScroll) {
    const drawtest::ProgramFile page("SHORTPAGE", PictureFile(640, 300, [](int, int y) {
                                         return 0x010101u * static_cast<std::uint32_t>(y % 250 + 5);
                                     }));
    const drawtest::ProgramFile tile("SHORTTILE",
                                     PictureFile(64, 48, [](int, int) { return 0x3060C0u; }));
    std::uint32_t pressed = 0;
    Run(
        40,
        [&](std::uint32_t pass) {
            current = pass;
            if (pass == 10 && elSystem::ScrollPageLimit == 0) {
                elSystem::SetScrollPage("SHORTPAGE", "SHORTTILE", 300);
                elSystem::ToggleScrollPage();
            }
            if (pass == 11 && pressed == 0) {
                Press(kRight, true);
                pressed = kRight;
            }
        },
        [&](std::uint32_t) { EXPECT_EQ(elSystem::ScrollPagePosition, 0.0f); });
    // The page's 300 rows over the top of the screen, the tiles below them.
    const Picture pageRows = ReadObject(elSystem::ScrollPageObject);
    const Picture& last = frames[40];
    for (int y = 0; y < 300; y += 11) EXPECT_EQ(last.At(200, y), pageRows.At(200, y)) << y;
    const Picture tileRows = ReadObject(elSystem::ScrollBackgroundObject);
    EXPECT_EQ(last.At(200, 400), tileRows.At(0, 0));
    // Toggled off, the same key goes to the program again.
    elSystem::ToggleScrollPage();
    platform::SendMessage(platform::WM_KEYDOWN, kDown, 0);
    EXPECT_EQ(elSystem::KeyHeld, static_cast<std::int32_t>(kDown));
}

}  // namespace
