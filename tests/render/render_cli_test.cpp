// The built greeting-render as a user runs it: its exit statuses and messages, the folder the
// player's fallback asks for, and the video checked with ffprobe (skipped without ffmpeg).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless_host.h"
#include "tests/render/render_test_support.h"
#include "tools/render/render_run.h"

namespace {

using namespace rendertest;

const std::string kRender = GREETING_RENDER;

// Runs the renderer in `dir` with `args`; stdout and stderr land in dir/out.txt and dir/err.txt.
int Render(const ScratchDir& dir, const std::string& args, const std::string& env = "") {
    return RunShell("cd '" + dir.path().string() + "' && " + env + " '" + kRender + "' " + args +
                    " >out.txt 2>err.txt");
}

std::vector<std::string> Outputs(const ScratchDir& dir) {
    std::vector<std::string> files;
    for (const std::string& file : dir.Files()) {
        if (file != "out.txt" && file != "err.txt") files.push_back(file);
    }
    return files;
}

TEST(RenderCli, RefusesBadValuesWithStatusTwoAndWritesNothing) {
    for (const std::string args :
         {"--video", "--frame-hashes ''", "--contact-sheet", "--video v.mp4 --bogus",
          "--audio a.wav --video ./a.wav", "--frame-hashes h.txt --timeline h.txt",
          "--max-passes 10x --video v.mp4"}) {
        ScratchDir dir;
        EXPECT_EQ(Render(dir, args), render::kExitBadArguments) << args;
        EXPECT_NE(ReadBytes(dir / "err.txt").find("see --help"), std::string::npos) << args;
        EXPECT_TRUE(Outputs(dir).empty()) << args;
    }
}

TEST(RenderCli, AMissingEncoderIsNamedBeforeAnythingRuns) {
    ScratchDir dir;
    fs::create_directory(dir.path() / "empty");
    EXPECT_EQ(Render(dir, "--video v.mp4 --audio a.wav", "PATH='" + (dir / "empty") + "'"),
              render::kExitOutputFailed);
    const std::string err = ReadBytes(dir / "err.txt");
    EXPECT_NE(err.find("Debian package: ffmpeg"), std::string::npos) << err;
    EXPECT_EQ(Outputs(dir), std::vector<std::string>{}) << "not even the sound";
}

TEST(RenderCli, WritesFramesAndSoundIntoAFolderItMakesAndSaysWhere) {
    ScratchDir dir;
    EXPECT_EQ(Render(dir,
                     "--max-passes 30 --frames all --every 1 --out render --audio "
                     "render/greeting.wav"),
              render::kExitMaxPasses);
    const std::vector<std::string> files = Outputs(dir);
    ASSERT_EQ(files.size(), 31u);
    EXPECT_EQ(files.front(), "render/frame-000001.png");
    EXPECT_EQ(files[29], "render/frame-000030.png");
    EXPECT_EQ(files.back(), "render/greeting.wav");
    const std::string out = ReadBytes(dir / "out.txt");
    EXPECT_NE(out.find("30 PNG files in render"), std::string::npos) << out;
    EXPECT_NE(out.find("render/greeting.wav"), std::string::npos) << out;
    // Not a terminal: no progress line.
    EXPECT_EQ(ReadBytes(dir / "err.txt"), "");
}

// ffprobe's view of a file: one key=value map per stream, in order.
std::vector<std::map<std::string, std::string>> Probe(const ScratchDir& dir,
                                                      const std::string& file) {
    const std::string command =
        "ffprobe -v error -count_frames -show_entries "
        "stream=codec_type,codec_name,width,height,pix_fmt,sample_rate,"
        "nb_read_frames,duration -of default=noprint_wrappers=0 '" +
        (dir / file) + "' >'" + (dir / "probe.txt") + "'";
    std::vector<std::map<std::string, std::string>> streams;
    if (RunShell(command) != 0) return streams;
    for (const std::string& line : ReadLines(dir.path() / "probe.txt")) {
        if (line == "[STREAM]") streams.emplace_back();
        const std::size_t equals = line.find('=');
        if (!streams.empty() && equals != std::string::npos) {
            streams.back()[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return streams;
}

bool HaveEncoder() {
    return HaveProgram("ffmpeg") && HaveProgram("ffprobe");
}

TEST(RenderVideo, OneFramePerPassAndSoundAsLongAsThePicture) {
    if (!HaveEncoder()) GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg)";
    ScratchDir dir;
    constexpr int kPasses = 700;  // into scene 4, the first with something to see
    ASSERT_EQ(Render(dir, "--max-passes 700 --video out/greeting.mp4 --frames 662 --out frames"),
              render::kExitMaxPasses)
        << ReadBytes(dir / "err.txt");
    EXPECT_EQ(Outputs(dir),
              (std::vector<std::string>{"frames/frame-000662.png", "out/greeting.mp4"}));
    const auto streams = Probe(dir, "out/greeting.mp4");
    ASSERT_EQ(streams.size(), 2u);
    auto video = streams[0], audio = streams[1];
    if (video["codec_type"] != "video") std::swap(video, audio);
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["width"], "1280");
    EXPECT_EQ(video["height"], "960");
    EXPECT_EQ(video["pix_fmt"], "yuv420p");
    EXPECT_EQ(video["nb_read_frames"], std::to_string(kPasses));
    const double seconds = kPasses / 60.0;
    EXPECT_NEAR(std::stod(video["duration"]), seconds, 0.001);
    EXPECT_EQ(audio["codec_name"], "aac");
    EXPECT_EQ(audio["sample_rate"], "44100");
    EXPECT_NEAR(std::stod(audio["duration"]), std::stod(video["duration"]), 1.0 / 60);

    // Frame 662 of the video is pass 662 doubled: close where the picture has something,
    // black where it has not (a swapped channel or a frame off by one would show).
    ASSERT_EQ(RunShell("ffmpeg -v error -i '" + (dir / "out/greeting.mp4") +
                       "' -vf 'select=eq(n\\,661)' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" +
                       (dir / "frame.rgb") + "'"),
              0);
    const std::string decoded = ReadBytes(dir / "frame.rgb");
    ASSERT_EQ(decoded.size(), 1280u * 960 * 3);
    render::RgbImage frame;
    ASSERT_TRUE(ReadPng(dir / "frames/frame-000662.png", frame));
    double litError = 0, darkError = 0;
    std::int64_t lit = 0, dark = 0;
    for (int y = 0; y < 960; ++y) {
        for (int x = 0; x < 1280; ++x) {
            const std::uint8_t* want = frame.Row(y / 2) + (x / 2) * 3;
            const bool isLit = want[0] + want[1] + want[2] > 60;
            for (int c = 0; c < 3; ++c) {
                const int got = static_cast<std::uint8_t>(decoded[(y * 1280 + x) * 3 + c]);
                (isLit ? litError : darkError) += std::abs(got - want[c]);
            }
            ++(isLit ? lit : dark);
        }
    }
    ASSERT_GT(lit, 2000) << "pass 662 shows a figure";
    EXPECT_LT(litError / (3.0 * lit), 8.0);
    EXPECT_LT(darkError / (3.0 * dark), 2.0);
}

TEST(RenderVideo, APassWithoutAFrameRepeatsTheLastOneAndKeepsTheSoundInStep) {
    if (!HaveEncoder()) GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg)";
    ScratchDir dir;
    render::RenderOptions options;
    options.maxPasses = 90;
    options.videoPath = dir / "v.mp4";
    options.frameHashesPath = dir / "h.txt";
    options.beforePassForTest = [](platform::HeadlessHost& host, std::uint32_t pass) {
        if (pass == 10 || pass == 60) host.FailVerticalBlanks(2);  // two passes each
    };
    ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    const std::vector<std::string> hashes = ReadLines(dir / "h.txt");
    ASSERT_EQ(hashes.size(), 90u);
    EXPECT_EQ(hashes[9], "10 -");
    EXPECT_EQ(hashes[60], "61 -");
    const auto streams = Probe(dir, "v.mp4");
    ASSERT_EQ(streams.size(), 2u);
    auto video = streams[0], audio = streams[1];
    if (video["codec_type"] != "video") std::swap(video, audio);
    EXPECT_EQ(video["nb_read_frames"], "90");
    EXPECT_NEAR(std::stod(video["duration"]), 1.5, 0.001);
    EXPECT_NEAR(std::stod(audio["duration"]), 1.5, 1.0 / 60);
    EXPECT_EQ(Outputs(dir), (std::vector<std::string>{"h.txt", "probe.txt", "v.mp4"}));
}

TEST(RenderVideo, AVideoThatCannotTakeItsNameFailsAndLeavesNoPart) {
    if (!HaveEncoder()) GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg)";
    ScratchDir dir;
    // A folder with something in it stands where the video should go: the last step fails.
    fs::create_directories(dir.path() / "v.mp4/keep");
    EXPECT_EQ(Render(dir, "--max-passes 20 --video v.mp4 --audio a.wav"),
              render::kExitOutputFailed);
    EXPECT_NE(ReadBytes(dir / "err.txt").find("cannot write v.mp4"), std::string::npos)
        << ReadBytes(dir / "err.txt");
    EXPECT_EQ(Outputs(dir), std::vector<std::string>{});
    EXPECT_TRUE(fs::is_directory(dir.path() / "v.mp4/keep"));
}

}  // namespace
