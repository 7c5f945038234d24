// MIDI music end to end on the headless host: a song file next to the program, played by the
// synthesizer into the mixer, its end posted to the window procedure, which starts it again.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "el/sound/midi_state.h"
#include "el/sound/sound_device.h"
#include "el/system/program_directory.h"
#include "platform/audio/midi_synth.h"
#include "platform/messages.h"
#include "tests/app/headless_fixture.h"
#include "tests/platform/audio/smf_builder.h"

namespace {

constexpr std::uint64_t kSongMs = 1000;  // a half-second note and half a second after it

class MidiPlayback : public HeadlessProgram {
  protected:
    void SetUp() override {
        HeadlessProgram::SetUp();
        platform::SetWindowProc(&app::MainWindowProc);
        song_ = std::string(elSystem::ProgramDirectory()) + "midi_test_song.mid";
        Write(song_, smftest::OneNoteSong(96, 96));
    }
    void TearDown() override {
        std::filesystem::remove(song_);
        platform::SetSoundFontPaths({});
        HeadlessProgram::TearDown();
    }
    static void Write(const std::string& path, const smftest::Bytes& bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    static bool HaveSoundFont() {
        std::string why;
        return platform::MidiSynth::Create(&why) != nullptr;
    }

    struct Run {
        std::vector<std::int16_t> audio;      // interleaved stereo from the host's start
        std::vector<std::uint64_t> endsAtMs;  // when each end-of-song message was handled
    };
    // Plays `name` from the start and runs `ms` of 60 Hz frames, handling messages between
    // frames as the main loop does.
    Run Play(const char* name, std::int32_t loop, std::uint64_t ms) {
        Run run;
        host->onAudio = [&run](const std::int16_t* samples, std::size_t frames) {
            run.audio.insert(run.audio.end(), samples, samples + 2 * frames);
        };
        EXPECT_EQ(elSound::Init(), 1);
        elSound::ResetMidiState();
        elSound::PlayMidi(name, loop);
        while (host->elapsedMs() < ms) {
            host->WaitVerticalBlank();
            platform::Msg msg;
            while (platform::PeekMessage(msg)) {
                if (msg.message == platform::MM_MCINOTIFY)
                    run.endsAtMs.push_back(host->elapsedMs());
                platform::DispatchMessage(msg);
            }
        }
        host->onAudio = nullptr;
        return run;
    }
    // Root mean square of the left channel over [fromMs, toMs).
    static double Level(const Run& run, std::uint64_t fromMs, std::uint64_t toMs) {
        double sum = 0;
        const std::size_t from = fromMs * 44100 / 1000, to = toMs * 44100 / 1000;
        for (std::size_t i = from; i < to && 2 * i < run.audio.size(); ++i) {
            sum += double(run.audio[2 * i]) * run.audio[2 * i];
        }
        return std::sqrt(sum / double(to - from));
    }

    std::string song_;
};

#define REQUIRE_SOUNDFONT()                                                                  \
    if (!HaveSoundFont()) {                                                                  \
        GTEST_SKIP() << "no General MIDI SoundFont installed (timgm6mb-soundfont); skipped"; \
    }

TEST_F(MidiPlayback, LoopsThroughTheWindowProcedureTheSameOnEveryRun) {
    REQUIRE_SOUNDFONT();
    const Run first = Play("midi_test_song.mid", 1, 3500);
    // Each end comes after the song's length, within the frame that follows it, and the next
    // play lasts the song's length again.
    ASSERT_EQ(first.endsAtMs.size(), 3u);
    std::uint64_t start = 0;
    for (const std::uint64_t end : first.endsAtMs) {
        EXPECT_GE(end, start + kSongMs);
        EXPECT_LE(end, start + kSongMs + 34);
        start = end;
    }
    EXPECT_EQ(elSound::MidiOpen, 1);
    // The note sounds, rings down, and sounds again after each restart.
    const double note = Level(first, 50, 450);
    EXPECT_GT(note, 300.0);
    EXPECT_LT(Level(first, 900, 1000), note / 4);
    for (const std::uint64_t end : first.endsAtMs) {
        EXPECT_GT(Level(first, end + 50, end + 450), note / 2) << "after the end at " << end;
    }

    // The same bytes on a second run from a fresh start.
    app::ResetProgramState();
    auto owned = std::make_unique<platform::HeadlessHost>();
    host = owned.get();
    platform::InstallHost(std::move(owned));
    platform::SetWindowProc(&app::MainWindowProc);
    const Run second = Play("midi_test_song.mid", 1, 3500);
    EXPECT_EQ(second.endsAtMs, first.endsAtMs);
    EXPECT_TRUE(second.audio == first.audio);
}

TEST_F(MidiPlayback, EndingTheLoopClosesTheSongAtItsNextEnd) {
    REQUIRE_SOUNDFONT();
    Run run = Play("midi_test_song.mid", 1, 500);
    elSound::EndMidiLoop();
    run = Play("midi_test_song.mid", 0, 3000);
    ASSERT_EQ(run.endsAtMs.size(), 1u);
    EXPECT_EQ(elSound::MidiOpen, 0);
    EXPECT_STREQ(elSound::MidiStatusMode(), "");
    // Once it has rung down, nothing more is added to the mix.
    EXPECT_EQ(Level(run, run.endsAtMs[0] + 2500, 3000), 0.0);
}

TEST_F(MidiPlayback, AnEmptyLoopingSongPostsNoEnds) {
    Write(song_, smftest::Smf(0, 96, {smftest::Track({smftest::EndOfTrack()})}));
    const Run run = Play("midi_test_song.mid", 1, 1000);
    EXPECT_TRUE(run.endsAtMs.empty());
    EXPECT_EQ(elSound::MidiOpen, 1);
    EXPECT_STREQ(elSound::MidiStatusMode(), "stopped");
}

TEST_F(MidiPlayback, WithoutASoundFontTheSongRunsSilent) {
    platform::SetSoundFontPaths({"/nonexistent/none.sf2"});
    testing::internal::CaptureStderr();
    const Run run = Play("midi_test_song.mid", 1, 2500);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no General MIDI SoundFont could be loaded (tried /nonexistent/none.sf2)"),
              std::string::npos)
        << said;
    EXPECT_EQ(Level(run, 0, 2500), 0.0);
    // The song keeps its time: it ends and loops as it would with sound.
    EXPECT_EQ(run.endsAtMs.size(), 2u);
}

}  // namespace
