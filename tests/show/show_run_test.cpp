// The whole greeting played once on the headless host, from start-up until it ends by itself.
// One run (seconds long, more under the sanitizers) records every pass and the frames the checks
// look at; the checks work those frames out from the loaded pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "app/shell.h"
#include "el/sound/sound_playback.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "tests/app/headless_fixture.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

constexpr std::uint32_t kLastPass = 11762;
constexpr std::uint32_t kPassLimit = kLastPass + 50;  // reaching it: the show did not end

// Each scene's first pass. One tick per pass (the first measures no time), so each scene lasts
// its threshold in passes; the pass that meets a threshold still belongs to the old scene.
constexpr std::uint32_t kSceneStarts[][2] = {{1, 1},     {3, 102},   {4, 602},   {5, 2202},
                                             {6, 2702},  {7, 3202},  {8, 3702},  {9, 4202},
                                             {10, 4702}, {11, 5202}, {12, 8262}, {13, 10262}};
// Reveals (pass, length) start in the last pass of a scene, which draws their first step; scene
// 5 restarts the one from scene 4 at step 10 on its first pass.
constexpr std::uint32_t kReveals[][2] = {{101, 20},  {2701, 10}, {3201, 10}, {3701, 10}, {4201, 10},
                                         {4701, 10}, {5201, 20}, {8261, 20}, {10261, 40}};

int ExpectedScene(std::uint32_t pass) {
    std::uint32_t scene = 0;
    for (const auto& [number, first] : kSceneStarts) scene = pass >= first ? number : scene;
    return static_cast<int>(scene);
}

int ExpectedCounterAfter(std::uint32_t pass) {
    if (pass == 2201) return 19;
    if (pass >= 2202 && pass <= 2211) return static_cast<int>(2211 - pass);
    for (const auto& [start, length] : kReveals) {
        if (pass >= start && pass < start + length)
            return static_cast<int>(start + length - 1 - pass);
    }
    return 0;
}

struct PassRecord {
    int scene = -1;  // as the pass starts
    int counterAfter = 0, volumeAfter = 0, playingAfter = 0, frames = 0;
};

struct RecordedShow {
    std::vector<PassRecord> passes = std::vector<PassRecord>(kPassLimit + 2);
    std::map<std::uint32_t, Picture> frames;
    Picture fighter, seagirl, okujyo, sonet, race, galabg, fin;
    PixelLayout layout = PixelLayout::Rgb565;
};

void CheckScenesFramesAndCounters(RecordedShow& r) {
    for (std::uint32_t pass = 1; pass <= kLastPass; ++pass) {
        const PassRecord& p = r.passes[pass];
        // The last pass shuts the program down; its counter is not looked at.
        const int counter = pass < kLastPass ? ExpectedCounterAfter(pass) : p.counterAfter;
        ASSERT_TRUE(p.scene == ExpectedScene(pass) && p.frames == 1 && p.counterAfter == counter)
            << "pass " << pass << ": scene " << p.scene << ", " << p.frames << " frames, counter "
            << p.counterAfter << " after it; expected scene " << ExpectedScene(pass) << ", counter "
            << counter;
    }
}

// Silent through scene 1; scene 3 fades in from counter -500 and scene 13 fades out to 500,
// setting counter / 10 decibels (stored in hundredths, toward zero); full volume between.
void CheckSound(RecordedShow& r) {
    for (std::uint32_t pass = 1; pass < kLastPass; ++pass) {  // the last pass closes the device
        const int in = static_cast<int>(pass) - 601, out = static_cast<int>(pass) - 10761;
        bool playing = pass > 101;
        int volume = 0;
        if (pass <= 601) {
            volume = in / 10 * 100;
        } else if (pass > 10261) {
            volume = std::min(0, -out / 10 * 100);
            playing = out < 500;
        }
        const PassRecord& p = r.passes[pass];
        ASSERT_EQ(p.playingAfter, playing ? 1 : 0) << "pass " << pass;
        ASSERT_TRUE(!playing || p.volumeAfter == volume)
            << "pass " << pass << ": volume " << p.volumeAfter << ", expected " << volume;
    }
}

// Step 0 of scene 4 slides FIGHTER into the top left corner from the screen's left edge.
void CheckScene4Corner(RecordedShow& r) {
    for (std::uint32_t pass : {602u, 700u, 801u}) {  // by 801 all of it is in
        const int c = static_cast<int>(pass - 601);
        Picture expected = BlackScreen();
        Copy(expected, 0, 0, r.fighter, 200 - c, 0, 200, 150, true);
        EXPECT_EQ(FirstDifference(r.frames[pass], expected), "") << "pass " << pass;
    }
}

// Style 2 from scene 5 to 6, length 10: step t lays rows y % 10 <= t of the old picture.
void CheckStyle2(RecordedShow& r) {
    const Picture oldPicture = OverBlack(r.seagirl);
    Picture newPicture = oldPicture;
    Copy(newPicture, 241, 125, r.okujyo, 0, 0, 158, 229, false);
    ASSERT_NE(FirstDifference(oldPicture, newPicture), "");
    for (std::uint32_t pass = 2700; pass <= 2711; ++pass) {
        // 2700 is scene 5 itself; the reveal draws step 10 over it in 2701 and is over by 2711.
        const int t = pass == 2711 ? -1 : std::min(10, static_cast<int>(2711 - pass));
        Picture expected = newPicture;
        for (int y = 0; y < kHeight; ++y) {
            if (y % 10 <= t) Copy(expected, 0, y, oldPicture, 0, y, kWidth, y + 1, false);
        }
        EXPECT_EQ(FirstDifference(r.frames[pass], expected), "") << "pass " << pass;
    }
}

// The shifts in -(k + 1)..k under which the frame's row y is the old row y moved right (pixels
// it does not cover are not looked at).
std::vector<int> MatchingShifts(const Picture& frame, const Picture& old, int y, int k) {
    std::vector<int> shifts;
    for (int shift = -(k + 1); shift <= k; ++shift) {
        bool same = true;
        for (int x = std::max(0, shift); x < std::min(kWidth, kWidth + shift) && same; ++x) {
            same = frame.At(x, y) == old.At(x - shift, y);
        }
        if (same) shifts.push_back(shift);
    }
    return shifts;
}

// Style 3 from scene 10 to 11, length 20: step t lays the old rows y % t != 0, each shifted by
// a random amount in -(k + 1)..k, k = 20 - t.
void CheckStyle3(RecordedShow& r) {
    Picture oldPicture = OverBlack(r.seagirl);
    Copy(oldPicture, 134, 32, r.sonet, 0, 0, 372, 416, false);
    const Picture race = OverBlack(r.race);  // scene 11 without its runners
    std::set<int> seen;
    for (std::uint32_t pass = 5201; pass <= 5220; ++pass) {
        const Picture& frame = r.frames[pass];
        ASSERT_FALSE(frame.pixels.empty()) << pass;
        const int t = static_cast<int>(5221 - pass);
        for (int y = 0; y < kHeight; ++y) {
            if (y % t != 0) {
                const std::vector<int> shifts = MatchingShifts(frame, oldPicture, y, 20 - t);
                ASSERT_FALSE(shifts.empty()) << "pass " << pass << " row " << y;
                if (shifts.size() == 1) seen.insert(shifts.front());
                continue;
            }
            // Rows left alone: in 5201 scene 10's own; later the race field, runners aside.
            const Picture& under = pass == 5201 ? oldPicture : race;
            int same = 0;
            for (int x = 0; x < kWidth; ++x) same += frame.At(x, y) == under.At(x, y);
            EXPECT_GT(same, pass == 5201 ? kWidth - 1 : kWidth / 2)
                << "pass " << pass << " row " << y;
        }
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(*seen.begin(), -5) << "the jitter spreads both ways";
    EXPECT_GT(*seen.rbegin(), 5);
}

// Style 10 from scene 12 to 13, length 40, and scene 12's spotlights. Pass 10261 draws step 40
// over scene 12's own picture: the halves 8 px apart, the picture in place between them, so
// scene 12's picture reads back in columns 8..631.
void CheckStyle10AndSpotlights(RecordedShow& r) {
    const Picture& first = r.frames[10261];
    ASSERT_FALSE(first.pixels.empty());
    Picture old = BlackScreen();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 8; x < 320; ++x) old.At(x, y) = first.At(x - 8, y);
        for (int x = 320; x < 632; ++x) old.At(x, y) = first.At(x + 8, y);
        for (int x = 312; x < 328; ++x) {
            ASSERT_EQ(first.At(x, y), old.At(x, y)) << "the halves disagree at " << x << "," << y;
        }
    }
    // The spotlights only brighten the hall, in five bits per component.
    const Picture hall = OverBlack(r.galabg);
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 8; x < 632; ++x) {
            if (old.At(x, y) == hall.At(x, y)) continue;
            ++lit;
            const Rgb5 a = Components(old.At(x, y), r.layout);
            const Rgb5 b = Components(hall.At(x, y), r.layout);
            const bool sixthGreenBit = r.layout == PixelLayout::Rgb565 && (old.At(x, y) & 0x20);
            ASSERT_TRUE(a.r >= b.r && a.g >= b.g && a.b >= b.b && !sixthGreenBit) << x << "," << y;
        }
    }
    EXPECT_GT(lit, 1000) << "four spotlights of 128 x 128 lie at least partly on the screen";

    const Picture fin = OverBlack(r.fin);
    for (std::uint32_t pass = 10262; pass <= 10301; ++pass) {
        const int s = static_cast<int>(pass - 10260);  // steps 39 .. 1; 10301: over
        Picture expected = fin;
        for (int y = 0; y < kHeight && pass < 10301; ++y) {
            for (int x = 0; x < 320 - 8 * s; ++x) expected.At(x, y) = old.At(x + 8 * s, y);
            for (int x = 320 + 8 * s; x < kWidth; ++x) expected.At(x, y) = old.At(x - 8 * s, y);
        }
        ASSERT_EQ(FirstDifference(r.frames[pass], expected), "") << "pass " << pass;
    }
}

// One test, so that a runner starting each test in its own process plays the show only once;
// each check is a function of its own, so that a failed assertion ends only that check.
using WholeShow = HeadlessProgram;

TEST_F(WholeShow, PlaysItsScenesSoundAndTransitionsThenEnds) {
    RecordedShow r;
    std::uint32_t current = 0;
    host->onFrame = [&](const platform::FrameView& frame) {
        ++r.passes[current].frames;
        r.layout = frame.layout;
        if (current == 602 || current == 700 || current == 801 ||
            (current >= 2700 && current <= 2711) || (current >= 5201 && current <= 5220) ||
            (current >= 10261 && current <= 10301)) {
            r.frames[current] = FromFrame(frame);
        }
    };
    const auto before = [&](std::uint32_t pass) {
        current = pass;
        r.passes[pass].scene = show::SceneNumber;
        if (pass != 1) return;
        const show::PresentationObjects& o = show::Loaded;  // released when the show ends
        r.fighter = ReadObject(o.Fighter);
        r.seagirl = ReadObject(o.Seagirl);
        r.okujyo = ReadObject(o.Okujyo);
        r.sonet = ReadObject(o.Sonet);
        r.race = ReadObject(o.Race);
        r.galabg = ReadObject(o.Galabg);
        r.fin = ReadObject(o.Fin);
    };
    const auto after = [&](std::uint32_t pass) {
        PassRecord& p = r.passes[pass];
        p.counterAfter = show::TransitionCounter;
        p.volumeAfter = elSound::StoredVolume(show::Loaded.Dg, 0);
        p.playingAfter = elSound::IsPlaying(show::Loaded.Dg);
    };
    Run(kPassLimit, before, after);
    EXPECT_EQ(app::PassCount, kLastPass) << "the show should end after scene 13's 1501st pass";
    CheckScenesFramesAndCounters(r);
    CheckSound(r);
    CheckScene4Corner(r);
    CheckStyle2(r);
    CheckStyle3(r);
    CheckStyle10AndSpotlights(r);
}

}  // namespace
