#include "tools/render/render_options.h"

#include <gtest/gtest.h>

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
                                               {"--timeline"},
                                               {"--video"},
                                               {"--video", ""},
                                               {"--contact-sheet"},
                                               {"--frame-hashes", ""},
                                               {"extra"}}) {
        EXPECT_NE(ParseRenderOptions(args).error, "") << args[0];
    }
}

TEST(RenderOptions, ParsesTheOutputsOfARun) {
    const auto parsed =
        ParseRenderOptions({"--video", "render/greeting.mp4", "--contact-sheet", "sheet.png",
                            "--frame-hashes", "hashes.txt", "--audio", "render/greeting.wav"});
    ASSERT_EQ(parsed.error, "");
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
