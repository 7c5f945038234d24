#include "tools/render/render_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/headless/headless_host.h"

namespace {

using render::ParseRenderOptions;

TEST(RenderOptions, ParsesEveryOption) {
    const auto parsed = ParseRenderOptions({"--max-passes", "50", "--seed", "7", "--key", "30:27",
                                            "--key", "2:65", "--timeline", "t.csv"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.maxPasses, 50u);
    EXPECT_EQ(parsed.options.seed, 7);
    ASSERT_EQ(parsed.options.keys.size(), 2u);
    EXPECT_EQ(parsed.options.keys[0].pass, 30u);
    EXPECT_EQ(parsed.options.keys[0].virtualKey, 27u);
    EXPECT_EQ(parsed.options.timelinePath, "t.csv");
}

TEST(RenderOptions, ScriptsHeldKeysJoysticksAndAnswers) {
    const auto parsed = ParseRenderOptions(
        {"--key", "3:32:10", "--joy", "1:1:x=0,y=65535,b1=1,b4=1", "--joy", "9:1:b1=0", "--joy",
         "12:0:unplug", "--answer", "yes,no", "--answer", "cancel"});
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.options.keys.size(), 1u);
    EXPECT_EQ(parsed.options.keys[0].holdPasses, 10u);
    const auto& joys = parsed.options.joysticks;
    ASSERT_EQ(joys.size(), 3u);
    EXPECT_EQ(joys[0].slot, 1);
    EXPECT_EQ(joys[0].x, 0u);
    EXPECT_EQ(joys[0].y, 65535u);
    EXPECT_EQ(joys[0].buttonsDown, 0b1001u);
    EXPECT_EQ(joys[1].buttonsUp, 0b0001u);
    EXPECT_FALSE(joys[1].x.has_value());
    EXPECT_TRUE(joys[2].unplug);
    EXPECT_EQ(parsed.options.answers,
              (std::vector<int>{platform::IDYES, platform::IDNO, platform::IDCANCEL}));
}

TEST(RenderOptions, RefusesWhatItDoesNotUnderstand) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--max-passes"},
                                               {"--max-passes", "-1"},
                                               {"--max-passes", "12x"},
                                               {"--seed", "-5"},
                                               {"--key", "30"},
                                               {"--key", "0:27"},
                                               {"--key", "30:0"},
                                               {"--key", "30:256"},
                                               {"--key", ":27"},
                                               {"--key", "30:27:"},
                                               {"--key", "30:27:-1"},
                                               {"--joy", "5:0"},
                                               {"--joy", "0:0:x=1"},
                                               {"--joy", "5:2:x=1"},
                                               {"--joy", "5:0:x=65536"},
                                               {"--joy", "5:0:z=1"},
                                               {"--joy", "5:0:b5=1"},
                                               {"--joy", "5:0:b1=2"},
                                               {"--joy", "5:0:x=1,"},
                                               {"--joy", "5:0:"},
                                               {"--answer", "maybe"},
                                               {"--answer", "yes,,no"},
                                               {"--answer"},
                                               {"--timeline"},
                                               {"--video"},
                                               {"--video", ""},
                                               {"--contact-sheet"},
                                               {"--frame-hashes", ""},
                                               {"--overrides"},
                                               {"--overrides", ""},
                                               {"extra"}}) {
        EXPECT_NE(ParseRenderOptions(args).error, "") << args[0];
    }
}

// The seed is a wall-clock start: from the epoch to the last second of 9999-12-31 UTC, so that
// no sum of seconds during the show can come near the end of the 64-bit range.
TEST(RenderOptions, SeedsRunFromTheEpochToTheEndOfTheYear9999) {
    for (const auto& [text, seed] :
         {std::pair{"0", std::int64_t{0}}, std::pair{"253402300799", std::int64_t{253402300799}}}) {
        const auto parsed = ParseRenderOptions({"--seed", text});
        EXPECT_EQ(parsed.error, "") << text;
        EXPECT_EQ(parsed.options.seed, seed) << text;
    }
    for (const char* text : {"253402300800", "9223372036854775807", "9223372036854775808",
                             "18446744073709551615", "-1", "1e9", ""}) {
        const std::string error = ParseRenderOptions({"--seed", text}).error;
        EXPECT_NE(error.find("from 0 to 253402300799"), std::string::npos) << text << ": " << error;
    }
}

// The virtual wall clock counts on from any start without overflowing (the undefined-behaviour
// sanitizer stops the test if it does); near the end of the range it wraps like a counter.
TEST(HeadlessClock, WallClockNearTheEndOfTheRangeWrapsInsteadOfOverflowing) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    platform::HeadlessHost last(kMax - 1);
    last.AdvanceClock(86'400);
    EXPECT_EQ(last.EpochSeconds(), std::numeric_limits<std::int64_t>::min() + 84);
    platform::HeadlessHost late(253402300799);
    late.AdvanceClock(3'600'500);
    EXPECT_EQ(late.EpochSeconds(), 253402304399);
}

TEST(RenderOptions, ParsesTheOutputsOfARun) {
    const auto parsed = ParseRenderOptions({"--video", "render/greeting.mp4", "--contact-sheet",
                                            "sheet.png", "--frame-hashes", "hashes.txt", "--audio",
                                            "render/greeting.wav", "--overrides", "for-anna"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.overridesDir, "for-anna");
    EXPECT_EQ(parsed.options.videoPath, "render/greeting.mp4");
    EXPECT_EQ(parsed.options.contactSheetPath, "sheet.png");
    EXPECT_EQ(parsed.options.frameHashesPath, "hashes.txt");
    EXPECT_EQ(parsed.options.audioPath, "render/greeting.wav");
    EXPECT_TRUE(parsed.options.frames.Empty());
}

TEST(RenderOptions, RefusesTwoOutputsUnderOneName) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--video", "a.mp4", "--audio", "a.mp4"},
             {"--frame-hashes", "out/h.txt", "--timeline", "out/./h.txt"},
             {"--contact-sheet", "s.png", "--video", "x/../s.png"}}) {
        const auto parsed = ParseRenderOptions(args);
        EXPECT_NE(parsed.error.find("name the same file"), std::string::npos) << args[1];
    }
    EXPECT_EQ(ParseRenderOptions({"--video", "a.mp4", "--audio", "a.wav"}).error, "");
}

}  // namespace
