// Whole runs of the renderer in this process, a few hundred passes each: what they write, that
// two runs write the same bytes, and what a failure or an interrupt leaves behind.
#include "tools/render/render_run.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell.h"
#include "el/system/message_boxes.h"
#include "platform/headless/headless_host.h"
#include "show/greeting_program.h"
#include "tests/render/render_test_support.h"
#include "tools/render/frame_hash.h"

namespace {

using namespace rendertest;
using render::RenderOptions;

// Every run here is of the greeting, as greeting-render's main arranges.
class GreetingShow : public testing::Environment {
    void SetUp() override { app::UseShow(show::GreetingProgram()); }
};
testing::Environment* const kGreetingShow = testing::AddGlobalTestEnvironment(new GreetingShow);

// The audio the headless host has produced after `passes` vertical-blank waits: the clock stands
// on the 60 Hz boundary floor(k * 1000 / 60) ms, and the mix runs to elapsed_ms * 44100 / 1000.
std::int64_t AudioFramesAfter(std::uint32_t passes) {
    const std::int64_t elapsedMs = static_cast<std::int64_t>(passes) * 1000 / 60;
    return elapsedMs * 44100 / 1000;
}

RenderOptions AllOutputs(const ScratchDir& dir, std::uint32_t passes) {
    RenderOptions options;
    options.maxPasses = passes;
    options.outDir = dir / "frames";
    options.frames.all = true;
    options.frames.every = 50;
    options.audioPath = dir / "mix.wav";
    options.timelinePath = dir / "timeline.csv";
    options.frameHashesPath = dir / "hashes.txt";
    options.contactSheetPath = dir / "sheet.png";
    return options;
}

TEST(RenderRun, TwoRunsWriteTheSameBytes) {
    ScratchDir first, second;
    ASSERT_EQ(render::RunRender(AllOutputs(first, 300)), render::kExitMaxPasses);
    ASSERT_EQ(render::RunRender(AllOutputs(second, 300)), render::kExitMaxPasses);
    const std::vector<std::string> files = first.Files();
    ASSERT_EQ(files, second.Files());
    // 1, 51, ..., 251 and the five other outputs.
    EXPECT_EQ(files.size(), 6u + 4u);
    for (const std::string& file : files) {
        const std::string bytes = ReadBytes(first.path() / file);
        EXPECT_FALSE(bytes.empty()) << file;
        EXPECT_TRUE(bytes == ReadBytes(second.path() / file)) << file << " differs";
    }
}

TEST(RenderRun, HashesOneLinePerPassMatchingTheFramesAndSoundFollowsTheClock) {
    ScratchDir dir;
    constexpr std::uint32_t kPasses = 301;  // not a multiple of three: the clock rounds
    RenderOptions options = AllOutputs(dir, kPasses);
    options.frames.every = 25;
    ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);

    const std::vector<std::string> lines = ReadLines(dir / "hashes.txt");
    ASSERT_EQ(lines.size(), kPasses);
    for (std::uint32_t pass = 1; pass <= kPasses; ++pass) {
        const std::string& line = lines[pass - 1];
        ASSERT_EQ(line.size(), std::to_string(pass).size() + 17) << line;
        ASSERT_EQ(line.substr(0, line.find(' ')), std::to_string(pass)) << line;
    }
    // Each written frame, read back to 16 bits, hashes to its pass's line.
    int checked = 0;
    for (std::uint32_t pass = 1; pass <= kPasses; pass += 25) {
        char name[32];
        std::snprintf(name, sizeof name, "frames/frame-%06u.png", pass);
        render::RgbImage image;
        ASSERT_TRUE(ReadPng(dir / name, image)) << name;
        const std::vector<std::uint16_t> pixels = To565(image);
        EXPECT_EQ(lines[pass - 1],
                  std::to_string(pass) + " " +
                      render::HashText(render::Xxh64(pixels.data(), pixels.size() * 2)));
        ++checked;
    }
    EXPECT_EQ(checked, 13);
    EXPECT_EQ(WavFrames(dir / "mix.wav"), AudioFramesAfter(kPasses));
    EXPECT_EQ(ReadLines(dir / "timeline.csv").size(), kPasses + 1);
}

TEST(RenderRun, APassWithoutAFrameIsMarkedAndTakesNoTime) {
    ScratchDir dir;
    RenderOptions options = AllOutputs(dir, 120);
    options.frames.all = false;
    options.frames.ranges = {{49, 51}};
    options.frames.every = 1;
    options.beforePassForTest = [](platform::HeadlessHost& host, std::uint32_t pass) {
        if (pass == 50) host.FailVerticalBlanks(1);
    };
    ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    const std::vector<std::string> lines = ReadLines(dir / "hashes.txt");
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_EQ(lines[49], "50 -");
    EXPECT_NE(lines[48].find(' '), std::string::npos);
    EXPECT_EQ(lines[50].size(), 2u + 1 + 16) << lines[50];
    EXPECT_TRUE(fs::exists(dir / "frames/frame-000049.png"));
    EXPECT_FALSE(fs::exists(dir / "frames/frame-000050.png"));
    EXPECT_TRUE(fs::exists(dir / "frames/frame-000051.png"));
    // One wait failed, so the clock stands one boundary behind the pass count.
    EXPECT_EQ(WavFrames(dir / "mix.wav"), AudioFramesAfter(119));
}

// What the program meets on the host before each pass of a run scripted with held keys,
// joysticks and answers.
TEST(RenderRun, ScriptedKeysJoysticksAndAnswersReachTheProgram) {
    const auto parsed = render::ParseRenderOptions({"--max-passes", "6", "--key", "3:65:2", "--joy",
                                                    "1:0:x=0", "--joy", "3:1:b2=1", "--joy",
                                                    "5:1:unplug", "--answer", "yes,no"});
    ASSERT_EQ(parsed.error, "");
    RenderOptions options = parsed.options;
    std::vector<int> keyDown, joy0x, joy1buttons, answers;
    options.beforePassForTest = [&](platform::HeadlessHost& host, std::uint32_t pass) {
        // Each pass's own script is applied just after this: we see the passes before.
        if (pass > 6) return;  // asked once more, for the pass the limit stops
        keyDown.push_back(host.KeyDown('A') ? 1 : 0);
        platform::JoystickReading reading;
        joy0x.push_back(host.ReadJoystick(0, reading) ? static_cast<int>(reading.x) : -1);
        joy1buttons.push_back(host.ReadJoystick(1, reading) ? static_cast<int>(reading.buttons)
                                                            : -1);
        if (pass == 1) {
            for (int i = 0; i < 3; ++i) answers.push_back(elSystem::MessageYesNo("?"));
        }
    };
    ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    EXPECT_EQ(keyDown, (std::vector<int>{0, 0, 0, 1, 1, 0}));  // down for passes 3 and 4
    EXPECT_EQ(joy0x, (std::vector<int>{0, 0, 0, 0, 0, 0}));    // there from the start
    EXPECT_EQ(joy1buttons, (std::vector<int>{-1, -1, -1, 0b10, 0b10, -1}));
    EXPECT_EQ(answers, (std::vector<int>{1, 0, 0}));  // the third box found no answer left
}

TEST(RenderRun, AnInterruptStopsTheRunAndLeavesNoUnfinishedFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        ScratchDir dir;
        RenderOptions options = AllOutputs(dir, 400);
        std::uint32_t raisedAt = 0;
        options.beforePassForTest = [&](platform::HeadlessHost&, std::uint32_t pass) {
            if (pass == 120) {
                raisedAt = pass;
                std::raise(signal);
            }
        };
        EXPECT_EQ(render::RunRender(options), 128 + signal);
        EXPECT_EQ(raisedAt, 120u);
        // The frames finished before the signal stay, whole; nothing else does.
        const std::vector<std::string> expected = {
            "frames/frame-000001.png", "frames/frame-000051.png", "frames/frame-000101.png"};
        EXPECT_EQ(dir.Files(), expected) << signal;
        for (const std::string& file : dir.Files()) {
            render::RgbImage image;
            EXPECT_TRUE(ReadPng(dir.path() / file, image)) << file;
        }
    }
}

TEST(RenderRun, AnUnwritableOutputFailsAtOnceAndLeavesNothing) {
    using Target = std::string RenderOptions::*;
    for (const Target target :
         {&RenderOptions::timelinePath, &RenderOptions::audioPath, &RenderOptions::frameHashesPath,
          &RenderOptions::contactSheetPath, &RenderOptions::outDir}) {
        ScratchDir dir;
        // A folder cannot be made inside a file, not even by root.
        std::FILE* blocker = std::fopen((dir / "blocker").c_str(), "w");
        ASSERT_NE(blocker, nullptr);
        std::fclose(blocker);
        RenderOptions options = AllOutputs(dir, 100);
        options.*target = dir / "blocker/out";
        EXPECT_EQ(render::RunRender(options), render::kExitOutputFailed) << options.*target;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"blocker"}) << options.*target;
    }
}

TEST(RenderRun, TheContactSheetShowsEachSceneOneSecondIn) {
    ScratchDir dir;
    RenderOptions options;
    options.maxPasses = 700;  // scenes 1, 3 and 4
    options.outDir = dir / "frames";
    options.frames.ranges = {{61, 61}, {162, 162}, {662, 662}};
    options.contactSheetPath = dir / "sheet.png";
    ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    render::RgbImage sheet;
    ASSERT_TRUE(ReadPng(dir / "sheet.png", sheet));
    constexpr int kMargin = 8, kThumbWidth = 320, kThumbHeight = 240;
    ASSERT_EQ(sheet.width, kMargin + 3 * (kThumbWidth + kMargin));
    ASSERT_GT(sheet.height, kThumbHeight + 2 * kMargin);
    int cell = 0;
    std::int64_t lit = 0;
    for (const char* name : {"frame-000061.png", "frame-000162.png", "frame-000662.png"}) {
        render::RgbImage frame;
        ASSERT_TRUE(ReadPng(dir.path() / "frames" / name, frame));
        int mismatches = 0;
        for (int y = 0; y < kThumbHeight; ++y) {
            for (int x = 0; x < kThumbWidth; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy) {
                        for (int dx = 0; dx < 2; ++dx)
                            sum += frame.Row(2 * y + dy)[(2 * x + dx) * 3 + c];
                    }
                    const int expected = (sum + 2) / 4;
                    const int shown = sheet.Row(
                        kMargin + y)[(kMargin + cell * (kThumbWidth + kMargin) + x) * 3 + c];
                    mismatches += shown != expected;
                    lit += shown;
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << name;
        ++cell;
    }
    EXPECT_GT(lit, 0) << "at least one thumbnail shows something";
}

}  // namespace
