// A run that cannot finish leaves the files of an earlier run exactly as they were: interrupted,
// stopped by a full disk (a file-size limit), or with a temporary name it cannot take. Each
// failure says so in one line and in the exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/shell.h"
#include "show/greeting_program.h"
#include "tests/render/render_test_support.h"
#include "tools/render/render_options.h"
#include "tools/render/render_run.h"

namespace {

using namespace rendertest;

const std::string kRender = GREETING_RENDER;

class GreetingShow : public testing::Environment {
    void SetUp() override { app::UseShow(show::GreetingProgram()); }
};
testing::Environment* const kGreetingShow = testing::AddGlobalTestEnvironment(new GreetingShow);

// The files an earlier run left, each with its own contents.
std::map<std::string, std::string> LeavePreviousFiles(const ScratchDir& dir) {
    std::map<std::string, std::string> files;
    fs::create_directory(dir.path() / "frames");
    for (const std::string name : {"a.wav", "t.csv", "h.txt", "s.png", "frames/frame-000001.png"}) {
        const std::string contents = "earlier " + name;
        std::FILE* file = std::fopen((dir / name).c_str(), "wb");
        EXPECT_NE(file, nullptr);
        std::fputs(contents.c_str(), file);
        std::fclose(file);
        files[name] = contents;
    }
    return files;
}

void ExpectUntouched(const ScratchDir& dir, const std::map<std::string, std::string>& previous,
                     const std::vector<std::string>& alsoThere = {}) {
    std::vector<std::string> expected = alsoThere;
    for (const auto& [name, contents] : previous) {
        EXPECT_EQ(ReadBytes(dir / name), contents) << name;
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.Files(), expected) << "nothing unfinished may be left";
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(KeepPreviousFiles, AFullDiskEndsTheRunWithOneLineAndStatusOne) {
    ScratchDir dir;
    const auto previous = LeavePreviousFiles(dir);
    // 64 blocks: the first frame or the sound outgrows it; SIGXFSZ is left at its default, so
    // the renderer must stand it by itself.
    const int status =
        RunShell("cd '" + dir.path().string() + "' && ulimit -f 64 && '" + kRender +
                 "' --max-passes 300 --audio a.wav --timeline t.csv --frame-hashes h.txt "
                 "--contact-sheet s.png --frames 250 --out frames 2>err.txt >/dev/null");
    EXPECT_EQ(status, render::kExitOutputFailed);
    const std::string err = ReadBytes(dir / "err.txt");
    EXPECT_EQ(CountLines(err), 1) << err;
    EXPECT_EQ(err.rfind("greeting-render: ", 0), 0u) << err;
    EXPECT_NE(err.find("File too large"), std::string::npos) << err;
    ExpectUntouched(dir, previous, {"err.txt"});
}

render::RenderOptions AllOutputs(const ScratchDir& dir) {
    render::RenderOptions options;
    options.maxPasses = 300;
    options.outDir = dir / "frames";
    options.frames.ranges = {{1, 1}, {250, 250}};
    options.audioPath = dir / "a.wav";
    options.timelinePath = dir / "t.csv";
    options.frameHashesPath = dir / "h.txt";
    options.contactSheetPath = dir / "s.png";
    return options;
}

TEST(KeepPreviousFiles, AnInterruptedRunLeavesTheEarlierFiles) {
    ScratchDir dir;
    const auto previous = LeavePreviousFiles(dir);
    render::RenderOptions options = AllOutputs(dir);
    options.frames.ranges = {{250, 250}};  // a frame written before the signal would stay
    options.beforePassForTest = [](platform::HeadlessHost&, std::uint32_t pass) {
        if (pass == 120) std::raise(SIGINT);
    };
    EXPECT_EQ(render::RunRender(options), 128 + SIGINT);
    ExpectUntouched(dir, previous);
}

TEST(KeepPreviousFiles, AnOutputThatCannotBeWrittenLeavesTheEarlierFiles) {
    // A folder in the way of each temporary name in turn: the file cannot be written there,
    // not even by root.
    for (const std::string blocked :
         {"a.wav", "t.csv", "h.txt", "s.png", "frames/frame-000001.png"}) {
        ScratchDir dir;
        const auto previous = LeavePreviousFiles(dir);
        fs::create_directory(dir.path() / (blocked + ".part"));
        testing::internal::CaptureStderr();
        EXPECT_EQ(render::RunRender(AllOutputs(dir)), render::kExitOutputFailed) << blocked;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(CountLines(err), 1) << err;
        EXPECT_NE(err.find(blocked), std::string::npos) << err;
        ExpectUntouched(dir, previous);
    }
}

}  // namespace
