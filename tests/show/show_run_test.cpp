// The whole greeting played once on the headless host, from start-up until it ends by itself.
// The run is shared by every test here: what each pass did is recorded as it goes, with the
// frames of the passes the checks look at, and the checks work out what those frames must
// show from the loaded pictures and the rules of the scenes and transitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "el/sound/sound_playback.h"
#include "el/system/frame_timing.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "platform/window.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "tests/show/show_test_support.h"

namespace {

using namespace showtest;

constexpr std::uint32_t kLastPass = 11762;
// Far enough past the end that reaching it means the show did not end by itself.
constexpr std::uint32_t kPassLimit = kLastPass + 50;

struct SceneSpan {
    int scene;
    std::uint32_t first, last;
};

// One tick per pass (the first pass measures no time), so each scene lasts its threshold in
// passes; the pass that meets a threshold still belongs to the old scene.
constexpr SceneSpan kSpans[] = {
    {1, 1, 101},      {3, 102, 601},    {4, 602, 2201},    {5, 2202, 2701},
    {6, 2702, 3201},  {7, 3202, 3701},  {8, 3702, 4201},   {9, 4202, 4701},
    {10, 4702, 5201}, {11, 5202, 8261}, {12, 8262, 10261}, {13, 10262, kLastPass},
};

int ExpectedScene(std::uint32_t pass) {
    for (const SceneSpan& span : kSpans) {
        if (pass >= span.first && pass <= span.last) return span.scene;
    }
    return 0;
}

// Reveals start in the last pass of a scene (which draws the first step); scene 5 restarts the
// one from scene 4 at step 10 on its first pass.
struct Reveal {
    std::uint32_t changePass;
    int length;
};
constexpr Reveal kReveals[] = {{101, 20},  {2701, 10}, {3201, 10}, {3701, 10}, {4201, 10},
                               {4701, 10}, {5201, 20}, {8261, 20}, {10261, 40}};

int ExpectedCounterAfter(std::uint32_t pass) {
    if (pass == 2201) return 19;
    if (pass >= 2202 && pass <= 2211) return static_cast<int>(2211 - pass);
    for (const Reveal& reveal : kReveals) {
        const std::uint32_t end = reveal.changePass + static_cast<std::uint32_t>(reveal.length);
        if (pass >= reveal.changePass && pass < end) return static_cast<int>(end - 1 - pass);
    }
    return 0;
}

bool FrameWanted(std::uint32_t pass) {
    return (pass >= 602 && pass <= 605) || pass == 700 || pass == 801 ||
           (pass >= 2700 && pass <= 2711) || (pass >= 5201 && pass <= 5221) ||
           (pass >= 10261 && pass <= 10301);
}

struct PassRecord {
    int scene = -1;  // SceneNumber as the pass starts
    int counterAfter = 0;
    int volumeAfter = 0;
    int playingAfter = 0;
    int framesPresented = 0;
};

struct RecordedShow {
    std::vector<PassRecord> passes = std::vector<PassRecord>(kPassLimit + 2);
    std::map<std::uint32_t, Picture> frames;
    std::int32_t soundSlot = 0;  // the first slot of the sound table is 0
    Picture fighter, seagirl, okujyo, sonet, race, galabg, fin;
    std::uint32_t highestPassOffered = 0;
    std::uint32_t passCount = 0;
    PixelLayout layout = PixelLayout::Rgb565;
    double seconds = 0;
};

// Plays the show from start-up to its end, recording every pass.
void PlayWholeShow(RecordedShow& r) {
    app::ResetProgramState();
    auto owned = std::make_unique<platform::HeadlessHost>(
        platform::HeadlessHost::kDefaultEpochSeconds, 1000);
    platform::HeadlessHost* host = owned.get();
    platform::InstallHost(std::move(owned));
    elSystem::StaticStartup();

    std::uint32_t current = 0;
    host->onFrame = [&](const platform::FrameView& frame) {
        if (current == 0 || current >= r.passes.size()) return;
        ++r.passes[current].framesPresented;
        r.layout = frame.layout;
        if (FrameWanted(current)) r.frames[current] = FromFrame(frame);
    };
    app::PassHooks hooks;
    hooks.beforePass = [&](std::uint32_t pass) {
        if (pass > kPassLimit) return false;
        current = pass;
        r.highestPassOffered = std::max(r.highestPassOffered, pass);
        if (pass == 1 && r.fighter.empty()) {
            // The pictures as loaded; Shutdown releases them at the end of the run.
            const show::PresentationObjects& o = show::Loaded;
            r.soundSlot = o.Dg;
            r.fighter = ReadObject(o.Fighter);
            r.seagirl = ReadObject(o.Seagirl);
            r.okujyo = ReadObject(o.Okujyo);
            r.sonet = ReadObject(o.Sonet);
            r.race = ReadObject(o.Race);
            r.galabg = ReadObject(o.Galabg);
            r.fin = ReadObject(o.Fin);
        }
        r.passes[pass].scene = show::SceneNumber;
        return true;
    };
    hooks.afterPass = [&](std::uint32_t pass) {
        PassRecord& p = r.passes[pass];
        p.counterAfter = show::TransitionCounter;
        p.volumeAfter = elSound::StoredVolume(r.soundSlot, 0);
        p.playingAfter = elSound::IsPlaying(r.soundSlot);
    };
    app::SetPassHooks(hooks);
    const auto start = std::chrono::steady_clock::now();
    app::WinMain(platform::SW_SHOWNORMAL, "");
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.passCount = app::PassCount;
    app::ResetProgramState();
    platform::InstallHost(nullptr);
    std::printf("whole show: %u passes in %.1f s\n", r.passCount, r.seconds);
}

// The backdrop of the gallery scenes: SEAGIRL keyed over the cleared screen.
Picture Backdrop(const RecordedShow& r) {
    Picture picture = BlackScreen();
    Copy(picture, 0, 0, r.seagirl, 0, 0, 640, 480, true);
    return picture;
}

const Picture* FrameOf(const RecordedShow& r, std::uint32_t pass) {
    const auto it = r.frames.find(pass);
    return it == r.frames.end() ? nullptr : &it->second;
}

// Each check below looks at the one recorded run; they are separate functions so that a
// failed assertion ends only its own check.

void ScenesRunInOrderAndTheShowEndsByItself(const RecordedShow& r) {
    ASSERT_EQ(r.highestPassOffered, kLastPass)
        << "the show should end after scene 13's 1501st pass";
    EXPECT_EQ(r.passCount, kLastPass);
    int mismatches = 0;
    for (std::uint32_t pass = 1; pass <= kLastPass; ++pass) {
        const int seen = r.passes[pass].scene;
        if (seen != ExpectedScene(pass) && ++mismatches <= 5) {
            ADD_FAILURE() << "pass " << pass << " started in scene " << seen << ", expected "
                          << ExpectedScene(pass);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(r.passes[kLastPass + 1].scene, -1) << "no pass after the last";
}

void EveryPassPresentsOneFrame(const RecordedShow& r) {
    for (std::uint32_t pass = 1; pass <= kLastPass; ++pass) {
        ASSERT_EQ(r.passes[pass].framesPresented, 1) << "pass " << pass;
    }
}

void RevealsCountDownTheirStepsAndScene5RestartsAtTen(const RecordedShow& r) {
    int mismatches = 0;
    for (std::uint32_t pass = 1; pass < kLastPass; ++pass) {
        const int seen = r.passes[pass].counterAfter;
        if (seen != ExpectedCounterAfter(pass) && ++mismatches <= 5) {
            ADD_FAILURE() << "after pass " << pass << " the transition counter is " << seen
                          << ", expected " << ExpectedCounterAfter(pass);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

void SoundIsSilentThenFadesInOverScene3(const RecordedShow& r) {
    for (std::uint32_t pass = 1; pass <= 101; ++pass) {
        ASSERT_EQ(r.passes[pass].playingAfter, 0) << "pass " << pass;
    }
    bool fullBeforeScene4 = false;
    for (std::uint32_t pass = 102; pass <= 601; ++pass) {
        const int counter = -500 + static_cast<int>(pass - 101);
        const int expected = (counter / 10) * 100;  // decibels to hundredths, toward zero
        ASSERT_EQ(r.passes[pass].volumeAfter, expected)
            << "pass " << pass << " counter " << counter;
        ASSERT_EQ(r.passes[pass].playingAfter, 1) << "pass " << pass;
        if (pass <= 592 && expected == 0) fullBeforeScene4 = true;
    }
    EXPECT_TRUE(fullBeforeScene4) << "full volume is reached 9 ticks before scene 4";
    EXPECT_LT(r.passes[102].volumeAfter, -4000);
    for (std::uint32_t pass = 602; pass <= 10261; ++pass) {
        ASSERT_EQ(r.passes[pass].volumeAfter, 0) << "pass " << pass;
        ASSERT_EQ(r.passes[pass].playingAfter, 1) << "pass " << pass;
    }
}

void SoundFadesOutAndStopsInScene13(const RecordedShow& r) {
    // The last pass shuts the program down, sound device included; it is not looked at.
    for (std::uint32_t pass = 10262; pass < kLastPass; ++pass) {
        const int counter = -500 + static_cast<int>(pass - 10261);
        const PassRecord& p = r.passes[pass];
        if (counter < 500) {
            const int expected = std::min(0, ((-counter) / 10) * 100);
            ASSERT_EQ(p.volumeAfter, expected) << "pass " << pass << " counter " << counter;
            ASSERT_EQ(p.playingAfter, 1) << "pass " << pass;
        } else {
            ASSERT_EQ(p.playingAfter, 0) << "pass " << pass << " counter " << counter;
        }
    }
    EXPECT_EQ(r.passes[10262 + 509 - 1].volumeAfter, 0) << "counter 9: still full";
    EXPECT_EQ(r.passes[10262 + 510 - 1].volumeAfter, -100) << "counter 10: 1 dB down";
    EXPECT_EQ(r.passes[11260].volumeAfter, -4900) << "counter 499";
}

void Scene4SlidesFighterInFromTheLeftEdge(const RecordedShow& r) {
    ASSERT_FALSE(r.fighter.empty());
    for (std::uint32_t pass : {602u, 603u, 604u, 605u, 700u, 801u}) {
        const Picture* frame = FrameOf(r, pass);
        ASSERT_NE(frame, nullptr) << pass;
        const int c = static_cast<int>(pass - 601);  // passes into the scene
        Picture expected = BlackScreen();
        Copy(expected, 0, 0, r.fighter, 200 - c, 0, 200, 150, true);
        EXPECT_EQ(FirstDifference(*frame, expected), "") << "pass " << pass << ", c = " << c;
    }
    // The whole picture is in by the end of step 0.
    Picture whole = BlackScreen();
    Copy(whole, 0, 0, r.fighter, 0, 0, 200, 150, true);
    EXPECT_EQ(FirstDifference(*FrameOf(r, 801), whole), "");
}

void Style2RevealUncoversTheNewSceneBetweenBandsOfTheOld(const RecordedShow& r) {
    ASSERT_FALSE(r.seagirl.empty());
    ASSERT_FALSE(r.okujyo.empty());
    const Picture oldPicture = Backdrop(r);  // scene 5
    Picture newPicture = Backdrop(r);        // scene 6
    Copy(newPicture, 241, 125, r.okujyo, 0, 0, 158, 229, false);
    ASSERT_NE(FirstDifference(oldPicture, newPicture), "");

    for (std::uint32_t pass : {2700u, 2701u}) {  // step 10 over its own picture changes nothing
        ASSERT_NE(FrameOf(r, pass), nullptr);
        EXPECT_EQ(FirstDifference(*FrameOf(r, pass), oldPicture), "") << "pass " << pass;
    }
    for (std::uint32_t pass = 2702; pass <= 2710; ++pass) {
        const int t = static_cast<int>(2711 - pass);  // steps 9 .. 1
        Picture expected = newPicture;
        for (int y = 0; y < kHeight; ++y) {
            if (y % 10 <= t) Copy(expected, 0, y, oldPicture, 0, y, kWidth, y + 1, false);
        }
        ASSERT_NE(FrameOf(r, pass), nullptr);
        EXPECT_EQ(FirstDifference(*FrameOf(r, pass), expected), "")
            << "pass " << pass << " step " << t;
    }
    ASSERT_NE(FrameOf(r, 2711), nullptr);
    EXPECT_EQ(FirstDifference(*FrameOf(r, 2711), newPicture), "") << "the reveal is over";
}

// The set of shifts r in -(k+1)..k under which the frame's row y is the old row y moved right
// by r (pixels it does not cover are not looked at).
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

void Style3RevealShiftsEachOldRowWithinItsRange(const RecordedShow& r) {
    ASSERT_FALSE(r.sonet.empty());
    ASSERT_FALSE(r.race.empty());
    Picture oldPicture = Backdrop(r);  // scene 10
    Copy(oldPicture, 134, 32, r.sonet, 0, 0, 372, 416, false);
    Picture race = BlackScreen();  // scene 11 without its runners
    Copy(race, 0, 0, r.race, 0, 0, 640, 480, true);

    std::set<int> seenShifts;
    for (std::uint32_t pass = 5201; pass <= 5220; ++pass) {
        const Picture* frame = FrameOf(r, pass);
        ASSERT_NE(frame, nullptr) << pass;
        const int t = static_cast<int>(5221 - pass);  // steps 20 .. 1
        const int k = 20 - t;
        for (int y = 0; y < kHeight; ++y) {
            if (y % t != 0) {
                const std::vector<int> shifts = MatchingShifts(*frame, oldPicture, y, k);
                ASSERT_FALSE(shifts.empty())
                    << "pass " << pass << " row " << y << " is not the old row moved by "
                    << -(k + 1) << ".." << k;
                if (shifts.size() == 1) seenShifts.insert(shifts.front());
            } else if (pass == 5201) {
                // Not drawn: the old scene's own row, in place.
                for (int x = 0; x < kWidth; ++x) {
                    ASSERT_EQ(frame->At(x, y), oldPicture.At(x, y)) << x << "," << y;
                }
            } else {
                // Not drawn: the race field, apart from the runners crossing the row.
                int same = 0;
                for (int x = 0; x < kWidth; ++x) same += frame->At(x, y) == race.At(x, y);
                EXPECT_GT(same, kWidth / 2) << "pass " << pass << " row " << y;
            }
        }
    }
    // The jitter really spreads both ways, up to the edges of its range.
    EXPECT_LT(*seenShifts.begin(), -5);
    EXPECT_GT(*seenShifts.rbegin(), 5);
    EXPECT_GE(*seenShifts.begin(), -20);
    EXPECT_LE(*seenShifts.rbegin(), 19);
    // Step 20 (k = 0) allows -1 and 0 only; pass 5201 was checked against exactly that.
}

void Style10RevealSplitsTheOldPictureEightPixelsAStep(const RecordedShow& r) {
    ASSERT_FALSE(r.fin.empty());
    ASSERT_FALSE(r.galabg.empty());
    Picture fin = BlackScreen();
    Copy(fin, 0, 0, r.fin, 0, 0, 640, 480, true);

    // Step 40 drawn over the old picture itself: the left half 8 to the left, the right half 8
    // to the right, and between them the old picture in place. That gives back the old picture
    // in columns 8..631.
    const Picture* first = FrameOf(r, 10261);
    ASSERT_NE(first, nullptr);
    Picture old = BlackScreen();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 8; x < 320; ++x) old.At(x, y) = first->At(x - 8, y);
        for (int x = 320; x < 632; ++x) old.At(x, y) = first->At(x + 8, y);
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 312; x < 328; ++x) {
            ASSERT_EQ(first->At(x, y), old.At(x, y))
                << "the two halves disagree at " << x << "," << y;
        }
    }

    for (std::uint32_t pass = 10262; pass <= 10300; ++pass) {
        const int s = static_cast<int>(pass - 10261) + 1;  // steps 39 .. 1
        const Picture* frame = FrameOf(r, pass);
        ASSERT_NE(frame, nullptr) << pass;
        Picture expected = fin;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < 320 - 8 * s; ++x) expected.At(x, y) = old.At(x + 8 * s, y);
            for (int x = 320 + 8 * s; x < kWidth; ++x) expected.At(x, y) = old.At(x - 8 * s, y);
        }
        ASSERT_EQ(FirstDifference(*frame, expected), "") << "pass " << pass << ", s = " << s;
    }
    ASSERT_NE(FrameOf(r, 10301), nullptr);
    EXPECT_EQ(FirstDifference(*FrameOf(r, 10301), fin), "");
}

void SpotlightsOnlyBrightenTheGalaHall(const RecordedShow& r) {
    // Scene 12's last picture (columns 8..631, as read back above) against the hall alone.
    const Picture* first = FrameOf(r, 10261);
    ASSERT_NE(first, nullptr);
    Picture hall = BlackScreen();
    Copy(hall, 0, 0, r.galabg, 0, 0, 640, 480, true);
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 8; x < 632; ++x) {
            const std::uint16_t seen = x < 320 ? first->At(x - 8, y) : first->At(x + 8, y);
            const std::uint16_t under = hall.At(x, y);
            if (seen == under) continue;
            ++lit;
            const Rgb5 a = Components(seen, r.layout);
            const Rgb5 b = Components(under, r.layout);
            ASSERT_TRUE(a.r >= b.r && a.g >= b.g && a.b >= b.b) << x << "," << y;
            if (r.layout == PixelLayout::Rgb565) {
                ASSERT_EQ(seen & 0x20, 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, 1000) << "four spotlights of 128 x 128 lie at least partly on the screen";
}

// One run of several seconds (more under the sanitizers) serves every check, so the checks
// form one test: a test runner that starts each test in its own process would replay the
// show once per check otherwise.
TEST(WholeShow, PlaysItsScenesSoundAndTransitionsThenEnds) {
    RecordedShow r;
    PlayWholeShow(r);
    using Check = void (*)(const RecordedShow&);
    const std::pair<const char*, Check> checks[] = {
        {"ScenesRunInOrderAndTheShowEndsByItself", &ScenesRunInOrderAndTheShowEndsByItself},
        {"EveryPassPresentsOneFrame", &EveryPassPresentsOneFrame},
        {"RevealsCountDownTheirStepsAndScene5RestartsAtTen",
         &RevealsCountDownTheirStepsAndScene5RestartsAtTen},
        {"SoundIsSilentThenFadesInOverScene3", &SoundIsSilentThenFadesInOverScene3},
        {"SoundFadesOutAndStopsInScene13", &SoundFadesOutAndStopsInScene13},
        {"Scene4SlidesFighterInFromTheLeftEdge", &Scene4SlidesFighterInFromTheLeftEdge},
        {"Style2RevealUncoversTheNewSceneBetweenBandsOfTheOld",
         &Style2RevealUncoversTheNewSceneBetweenBandsOfTheOld},
        {"Style3RevealShiftsEachOldRowWithinItsRange", &Style3RevealShiftsEachOldRowWithinItsRange},
        {"Style10RevealSplitsTheOldPictureEightPixelsAStep",
         &Style10RevealSplitsTheOldPictureEightPixelsAStep},
        {"SpotlightsOnlyBrightenTheGalaHall", &SpotlightsOnlyBrightenTheGalaHall},
    };
    for (const auto& [name, check] : checks) {
        SCOPED_TRACE(name);
        check(r);
    }
}

}  // namespace
