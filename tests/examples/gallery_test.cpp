// The gallery as the renderer runs it: every page in turn, to its end, the same on every run.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "examples/gallery/gallery_program.h"
#include "examples/gallery/pages.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/smf_reader.h"
#include "tests/render/render_test_support.h"
#include "tools/music/gallery_song.h"
#include "tools/render/render_options.h"
#include "tools/render/render_run.h"

namespace {

using namespace rendertest;

class Gallery : public testing::Test {
  protected:
    void SetUp() override { app::UseShow(gallery::GalleryProgram()); }
};

struct Row {
    std::uint32_t pass = 0;
    int scene = 0;
};

std::vector<Row> Timeline(const fs::path& path) {
    std::vector<Row> rows;
    const std::vector<std::string> lines = ReadLines(path);
    for (std::size_t i = 1; i < lines.size(); ++i) {  // after the header
        std::istringstream in(lines[i]);
        Row row;
        char comma = 0;
        std::uint32_t timeMs = 0;
        in >> row.pass >> comma >> timeMs >> comma >> row.scene;
        rows.push_back(row);
    }
    return rows;
}

// The pass a page begins on: each page before it takes 240 passes, the first one more, one
// that leaves by the cover nine more; 0 when the page is not in the gallery.
std::uint32_t FirstPassOf(const gallery::Page& wanted) {
    const auto pages = gallery::AllPages();
    std::uint32_t first = 1;
    for (std::size_t index = 0; index < pages.size(); ++index) {
        if (pages[index].draw == wanted.draw) return first;
        first += 240 + (index == 0 ? 1 : 0) + (pages[index].leaveStyle == 0 ? 9 : 0);
    }
    return 0;
}

TEST_F(Gallery, ShowsEveryPageInTurnAndEndsByItself) {
    const ScratchDir dir;
    render::RenderOptions options;
    options.timelinePath = dir / "timeline.csv";
    options.frameHashesPath = dir / "hashes.txt";
    ASSERT_EQ(render::RunRender(options), render::kExitEnded);

    const std::span<const gallery::Page> pages = gallery::AllPages();
    const std::vector<Row> rows = Timeline(dir.path() / "timeline.csv");
    ASSERT_EQ(rows.size(), gallery::GalleryProgram().expectedPasses);
    // Page n is scene n, for 240 passes. The first pass has no time behind it (no tick), so
    // the first page keeps one pass more; a page that leaves by the cover keeps nine more, as
    // the cover's steps run alone and the scene changes with the tenth.
    std::vector<std::uint32_t> firstPass;  // of each page
    std::uint32_t pass = 1;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        firstPass.push_back(pass);
        pass += 240 + (page == 0 ? 1 : 0) + (pages[page].leaveStyle == 0 ? 9 : 0);
    }
    ASSERT_EQ(pass, rows.size() + 1);
    std::size_t page = 0;
    for (const Row& row : rows) {
        if (page + 1 < pages.size() && row.pass >= firstPass[page + 1]) ++page;
        ASSERT_EQ(row.scene, static_cast<int>(page + 1)) << "pass " << row.pass;
    }
    // Each page draws something of its own: the frames halfway through differ.
    const std::vector<std::string> hashes = ReadLines(dir.path() / "hashes.txt");
    ASSERT_EQ(hashes.size(), rows.size());
    std::set<std::string> middles;
    for (std::size_t n = 0; n < pages.size(); ++n) middles.insert(hashes[firstPass[n] + 120]);
    EXPECT_EQ(middles.size(), pages.size());
}

TEST_F(Gallery, TwoRunsGiveTheSameFrames) {
    const ScratchDir dir;
    for (const char* name : {"first.txt", "second.txt"}) {
        render::RenderOptions options;
        options.maxPasses = 600;
        options.frameHashesPath = dir / name;
        ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    }
    const std::vector<std::string> first = ReadLines(dir.path() / "first.txt");
    ASSERT_EQ(first.size(), 600u);
    EXPECT_EQ(first, ReadLines(dir.path() / "second.txt"));
}

// The input page draws the joystick's mark where the stick is, and a key held down
// in its box; before that page no other page reads either, so the frames are the same.
TEST_F(Gallery, TheInputPageShowsAScriptedJoystickAndKey) {
    const std::uint32_t first = FirstPassOf(gallery::InputPages()[0]);
    ASSERT_GT(first, 0u);
    const std::uint32_t last = first + 90;
    const ScratchDir dir;
    const auto run = [&](const std::string& name, std::vector<std::string> script) {
        const std::string stop = std::to_string(last);
        std::vector<std::string> args = {
            "--max-passes", stop,       "--frames",       stop,
            "--out",        dir / name, "--frame-hashes", dir / (name + ".txt")};
        args.insert(args.end(), script.begin(), script.end());
        const auto parsed = render::ParseRenderOptions(args);
        ASSERT_EQ(parsed.error, "");
        ASSERT_EQ(render::RunRender(parsed.options), render::kExitMaxPasses);
    };
    const std::string pushed = std::to_string(first + 30);
    run("still", {});
    run("pushed",
        {"--joy", "1:0:x=32768", "--joy", pushed + ":0:x=65535,b1=1", "--key", pushed + ":32:100"});

    const std::vector<std::string> still = ReadLines(dir.path() / "still.txt");
    const std::vector<std::string> moved = ReadLines(dir.path() / "pushed.txt");
    ASSERT_EQ(still.size(), last);
    ASSERT_EQ(moved.size(), last);
    for (std::uint32_t pass = 1; pass < first; ++pass) {
        ASSERT_EQ(still[pass - 1], moved[pass - 1]) << "pass " << pass;
    }
    const std::string frame = "frame-" + std::string(6 - std::to_string(last).size(), '0') +
                              std::to_string(last) + ".png";
    render::RgbImage withScript;
    render::RgbImage without;
    ASSERT_TRUE(ReadPng(dir.path() / "pushed" / frame, withScript));
    ASSERT_TRUE(ReadPng(dir.path() / "still" / frame, without));
    const auto pixel = [](const render::RgbImage& image, int x, int y) {
        const std::uint8_t* p = image.Row(y) + x * 3;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    // The stick's square spans x 330..425 and y 64..159: pushed right, at half height, the
    // yellow mark sits on its right edge; elsewhere the square is as without a joystick.
    const auto mark = pixel(withScript, 424, 111);
    EXPECT_EQ(mark[0], 255);
    EXPECT_GT(mark[1], 240);
    EXPECT_EQ(mark[2], 0);
    EXPECT_NE(pixel(without, 424, 111), mark);
    EXPECT_EQ(pixel(withScript, 360, 111), pixel(without, 360, 111));
    // The Space box (second row, first key) is green while the key is held.
    const auto space = pixel(withScript, 18, 98);
    EXPECT_GT(space[1], 4 * space[0]);
    EXPECT_NE(pixel(without, 18, 98), space);
}

}  // namespace

// The music page plays the gallery's own song, generated from its score, looping: it sounds in
// every bar of the page, and the whole mix is the same bytes on a second run.
TEST_F(Gallery, TheMusicPageLoopsItsSongTheSameOnEveryRun) {
    std::string why;
    if (!platform::MidiSynth::Create(&why)) GTEST_SKIP() << why << "; skipped";
    platform::MidiSong song;
    ASSERT_EQ(platform::ReadSmf(music::EncodeGallerySong(), &song), platform::SmfError::None);
    ASSERT_EQ(song.lengthFrames, 70560u);  // one bar of 4/4 at 150 a minute: 1.6 s

    // Up to the end of the music page, twice.
    const std::uint32_t pageFirst = FirstPassOf(gallery::MusicPages()[0]);
    ASSERT_GT(pageFirst, 0u);
    const ScratchDir dir;
    for (const char* name : {"first.wav", "second.wav"}) {
        render::RenderOptions options;
        options.audioPath = dir / name;
        options.maxPasses = pageFirst + 239;
        ASSERT_EQ(render::RunRender(options), render::kExitMaxPasses);
    }
    const std::string first = ReadBytes(dir.path() / "first.wav");
    EXPECT_TRUE(first == ReadBytes(dir.path() / "second.wav"));

    // Pass p begins (p - 1) sixtieths of a second into the run.
    const std::size_t pageStart = std::size_t{pageFirst - 1} * 44100 / 60;
    const auto left = [&](std::size_t frame) {
        const std::size_t at = 44 + 4 * frame;
        return static_cast<std::int16_t>(static_cast<std::uint8_t>(first[at]) |
                                         (static_cast<std::uint8_t>(first[at + 1]) << 8));
    };
    // The second bar sounds as loud as the first: the song started again at its end.
    std::vector<double> levels;
    for (std::size_t bar = 0; bar < 2; ++bar) {
        double sum = 0;
        const std::size_t from = pageStart + bar * 70560 + 4410;
        for (std::size_t f = from; f < from + 44100; ++f) sum += double(left(f)) * left(f);
        levels.push_back(std::sqrt(sum / 44100));
    }
    EXPECT_GT(levels[0], 200.0);
    EXPECT_GT(levels[1], levels[0] / 2);
}
