// The transitions on their own (the reveal patterns the greeting does not use, lengths it never
// sets, the cover), and the show going on without a picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>

#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/system/c_runtime.h"
#include "el/system/scroll_page_state.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "show/transitions.h"
#include "tests/app/headless_fixture.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

constexpr int W = kWidth;
constexpr int H = kHeight;

// The library alone, with the screen open and the last presented frame kept.
class Transitions : public HeadlessProgram {
  protected:
    void SetUp() override {
        HeadlessProgram::SetUp();
        host->onFrame = [this](const platform::FrameView& frame) {
            presented = FromFrame(frame);
            ++frameCount;
        };
        ASSERT_EQ(elDraw::Screen(W, H, 1), 1);
    }

    // The old picture is on the back surface when the scene hands over.
    void HandOver(int style, int length, int scene) {
        WriteBackSurface(oldPicture);
        show::TransitionStyle = style;
        show::TransitionLength = length;
        show::ChangeScene(scene);
    }
    // One frame of the new scene: its picture, then EndFrame.
    void NewSceneFrame() {
        WriteBackSurface(newPicture);
        show::EndFrame();
    }

    Picture presented;
    int frameCount = 0;
    const Picture oldPicture = Noise(1, PixelLayout::Rgb565);
    const Picture newPicture = Noise(2, PixelLayout::Rgb565);
};

// Step t of a deterministic reveal of length L: the pieces of the old picture the pattern lays
// over the new one.
Picture ExpectedStep(const Picture& old, const Picture& under, int style, int L, int t) {
    Picture out = under;
    const int s = L - t + 1;
    auto piece = [&](int x, int y, int left, int top, int right, int bottom) {
        Copy(out, x, y, old, left, top, right, bottom, false);
    };
    switch (style) {
        case 1:
            for (int y = 0; y < H; ++y) {
                if (y % t != 0) piece(0, y, 0, y, W, y + 1);
            }
            break;
        case 2:
            for (int y = 0; y < H; y += L) piece(0, y, 0, y, W, y + t + 1);
            break;
        case 5:  // 5 to 8: the whole old picture moves up, down, left or right
        case 6:
            piece(0, (style == 5 ? -H : H) / L * s, 0, 0, W, H);
            break;
        case 7:
        case 8:
            piece((style == 7 ? -W : W) / L * s, 0, 0, 0, W, H);
            break;
        case 9:  // 9 and 10: its halves move apart
            piece(0, -H / 2 / L * s, 0, 0, W, H / 2);
            piece(0, H / 2 + H / 2 / L * s, 0, H / 2, W, H);
            break;
        case 10:
            piece(-W / 2 / L * s, 0, 0, 0, W / 2, H);
            piece(W / 2 + W / 2 / L * s, 0, W / 2, 0, W, H);
            break;
        case 11:  // 11 and 12: a shrinking part of it stays in place
            piece(0, 0, 0, 0, W / L * t, H);
            break;
        case 12:
            piece(W / L * s, 0, W / L * s, 0, W, H);
            break;
    }
    return out;
}

TEST_F(Transitions, DeterministicRevealsDrawTheirPatternAtEveryStep) {
    // 7 and 30 do not divide the screen, so the truncating divisions show.
    for (int style : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12}) {
        for (int L : {7, 30}) {
            HandOver(style, L, 6);
            ASSERT_EQ(show::SceneNumber, 6);
            ASSERT_EQ(show::PreviousScene, 0);
            for (int t = L; t >= 1; --t) {
                ASSERT_EQ(show::TransitionCounter, t);
                NewSceneFrame();
                if (L > 7 && t > 2 && t < L - 1 && t != 13) continue;  // a sample of the long one
                const Picture expected = ExpectedStep(oldPicture, newPicture, style, L, t);
                ASSERT_EQ(FirstDifference(presented, expected), "")
                    << "style " << style << " length " << L << " step " << t;
            }
            EXPECT_EQ(show::TransitionCounter, 0);
            EXPECT_EQ(show::TransitionDirection, 0);
            NewSceneFrame();
            EXPECT_EQ(FirstDifference(presented, newPicture), "") << "style " << style;
        }
    }
}

TEST_F(Transitions, RevealWithoutStepsDrawsNothingAndEnds) {
    for (int style = 1; style <= 13; ++style) {
        for (int length : {0, -3, INT32_MIN}) {
            HandOver(style, length, 8);
            EXPECT_EQ(show::SceneNumber, 8);
            EXPECT_EQ(show::TransitionCounter, 0) << "style " << style << " length " << length;
            // Restarted at step 10 it has no length to divide by either.
            const int before = frameCount;
            for (int pass = 0; pass < 11; ++pass) {
                if (pass == 1) show::StartReveal10();
                NewSceneFrame();
                ASSERT_EQ(FirstDifference(presented, newPicture), "")
                    << "style " << style << " length " << length;
            }
            EXPECT_EQ(frameCount, before + 11);
            EXPECT_EQ(show::TransitionCounter, 0);
            EXPECT_EQ(show::TransitionDirection, 0);
        }
    }
}

TEST_F(Transitions, ShakenRevealRestartedPastItsLengthKeepsRowsInPlace) {
    // Restarted at step 10, a reveal of 9 steps has no room to shake a row in (k = -1). Style 3
    // draws every row but each tenth; the bands of style 4 (rows y..y + 10 every 9 rows) overlap
    // and cover everything.
    for (int style : {3, 4}) {
        HandOver(style, 9, 8);
        show::StartReveal10();
        NewSceneFrame();
        Picture expected = style == 3 ? newPicture : oldPicture;
        for (int y = 0; y < H && style == 3; ++y) {
            if (y % 10 != 0) Copy(expected, 0, y, oldPicture, 0, y, W, y + 1, false);
        }
        EXPECT_EQ(FirstDifference(presented, expected), "") << "style " << style;
        EXPECT_EQ(show::TransitionCounter, 9);
    }
}

TEST_F(Transitions, ShakenRevealFarPastItsLengthStillShakesItsRows) {
    // Length 5 restarted at step 10: k = -5, so each drawn row moves right by a random
    // 4..11 pixels (the remainder by -8 is 0..7), one rand() per drawn row.
    HandOver(3, 5, 8);
    show::StartReveal10();
    elSystem::srand(77);
    NewSceneFrame();
    const int afterFrame = elSystem::rand();
    std::set<int> shifts;
    int rows = 0;
    for (int y = 0; y < H; ++y) {
        if (y % 10 == 0) continue;
        ++rows;
        int found = -1;
        for (int d = 4; d <= 11 && found < 0; ++d) {
            bool match = true;
            for (int x = 0; x < W && match; ++x) {
                const std::uint16_t want = x < d ? newPicture.At(x, y) : oldPicture.At(x - d, y);
                match = presented.At(x, y) == want;
            }
            if (match) found = d;
        }
        ASSERT_GE(found, 0) << "row " << y << " is not the old row moved 4..11 pixels right";
        shifts.insert(found);
    }
    EXPECT_EQ(shifts.size(), 8u);  // all eight shifts among 432 rows
    // The frame drew exactly one number per drawn row.
    elSystem::srand(77);
    for (int i = 0; i < rows; ++i) elSystem::rand();
    EXPECT_EQ(elSystem::rand(), afterFrame);
}

// The cover and the picture-less scene run the real main loop.
using Presentation = HeadlessProgram;

TEST_F(Presentation, CoverLaysTenStepsOfTilesThenStartsTheNextScene) {
    // Tile i of the strip paints rows 4i..4i+3 of its 64 x 48 cell in its own colour and leaves
    // the rest to the key, so each step's tiles add a band over the earlier ones.
    const auto colour = [](int i) { return static_cast<std::uint16_t>(0x1083 * (i + 1) + 7); };
    std::map<std::uint32_t, Picture> frames;
    std::map<std::uint32_t, int> sceneAfter;
    std::uint32_t current = 0;
    constexpr std::uint32_t kCoverPass = 50;
    host->onFrame = [&](const platform::FrameView& frame) { frames[current] = FromFrame(frame); };
    Run(
        kCoverPass + 12,
        [&](std::uint32_t pass) {
            current = pass;
            if (pass != kCoverPass || elSystem::TileObject != 0) return;
            const std::int32_t tiles = elDraw::CreateObject(640, 48, 2);
            ASSERT_NE(tiles, 0);
            elDraw::SetObjectKey(tiles, 0);
            Picture strip = ReadObject(tiles);
            for (int y = 0; y < strip.height; ++y) {
                for (int x = 0; x < W; ++x) strip.At(x, y) = y / 4 == x / 64 ? colour(x / 64) : 0;
            }
            WriteObject(tiles, strip);
            elSystem::TileObject = tiles;
            show::TransitionStyle = 0;
            show::ChangeScene(6);
        },
        [&](std::uint32_t pass) { sceneAfter[pass] = show::SceneNumber; });

    for (int step = 1; step <= 10; ++step) {
        const std::uint32_t pass = kCoverPass + static_cast<std::uint32_t>(step) - 1;
        Picture expected = BlackScreen();  // scene 1's last picture
        for (int y = 0; y < H; ++y) {
            const int band = (y % 48) / 4;
            for (int x = 0; x < W && band < step; ++x) expected.At(x, y) = colour(band);
        }
        EXPECT_EQ(FirstDifference(frames[pass], expected), "") << "step " << step;
        EXPECT_EQ(sceneAfter[pass], step < 10 ? 1 : 6) << "step " << step;
    }
    // The next pass is scene 6's first: the backdrop with OKUJYO, no tiles.
    Picture scene6 = OverBlack(ReadObject(show::Loaded.Seagirl));
    Copy(scene6, 241, 125, ReadObject(show::Loaded.Okujyo), 0, 0, 158, 229, false);
    EXPECT_EQ(FirstDifference(frames[kCoverPass + 10], scene6), "");
}

TEST_F(Presentation, SceneWhosePictureIsGoneShowsTheBackdropAndTheShowGoesOn) {
    std::map<std::uint32_t, int> scenes;
    std::map<std::uint32_t, Picture> frames;
    Picture seagirl, body;
    std::uint32_t current = 0;
    host->onFrame = [&](const platform::FrameView& frame) {
        if (current == 3300 || current == 3712) frames[current] = FromFrame(frame);
    };
    Run(3712, [&](std::uint32_t pass) {
        current = pass;
        scenes[pass] = show::SceneNumber;
        if (pass == 3000 && body.pixels.empty()) {  // in scene 6, before scene 7 shows E1
            seagirl = ReadObject(show::Loaded.Seagirl);
            body = ReadObject(show::Loaded.Body);
            elDraw::ReleaseObject(show::Loaded.E1);
        }
    });
    EXPECT_EQ(app::PassCount, 3712u);
    EXPECT_EQ(scenes[3202], 7);
    EXPECT_EQ(scenes[3702], 8);
    const Picture backdrop = OverBlack(seagirl);
    EXPECT_EQ(FirstDifference(frames[3300], backdrop), "");
    Picture scene8 = backdrop;  // the reveal into scene 8 is over
    Copy(scene8, 152, 72, body, 0, 0, 336, 336, false);
    EXPECT_EQ(FirstDifference(frames[3712], scene8), "");
}

}  // namespace
