// MIDI music as the library commands it, on a sequencer that records each command: the order of
// commands, where songs come from, and the names and states that must not go wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "el/sound/midi_state.h"
#include "platform/audio/midi_sequencer.h"
#include "tests/el/sound/sound_test_support.h"
#include "tests/platform/audio/smf_builder.h"

namespace {

using platform::SmfError;

// Logs every command; opens what reads as a song and names it by its length in frames.
class RecordingDevice : public platform::MidiDevice {
  public:
    explicit RecordingDevice(std::vector<std::string>* log) : log_(log) {}
    SmfError Open(std::span<const std::uint8_t> bytes) override {
        platform::MidiSong song;
        const SmfError error = platform::ReadSmf(bytes, &song);
        log_->push_back(error == SmfError::None ? "open " + std::to_string(song.lengthFrames)
                                                : "open refused");
        mode_ = error == SmfError::None ? "stopped" : "";
        return error;
    }
    void SeekToStart() override { Log("seek", "stopped"); }
    void Play(bool notify) override { Log(notify ? "play notify" : "play", "playing"); }
    void Stop() override { Log("stop", "stopped"); }
    void Close() override {
        log_->push_back("close");
        mode_ = "";
    }
    const char* Mode() override {
        log_->push_back("status");
        return mode_.c_str();
    }

  private:
    void Log(const char* command, const char* mode) {
        log_->push_back(command);
        if (!mode_.empty()) mode_ = mode;
    }
    std::vector<std::string>* log_;
    std::string mode_;
};

using Log = std::vector<std::string>;

class Midi : public soundtest::SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        platform::InstallMidiDevice(std::make_unique<RecordingDevice>(&log));
        elSound::ResetMidiState();
    }
    // The commands since the last look.
    Log Take() { return std::exchange(log, {}); }
    Log log;
};

const std::string kTune = "open 44100";     // the built-in TUNE: one second
const std::string kRawTune = "open 11025";  // RAWTUNE, built in as raw data

TEST_F(Midi, CommandsInTheirOrder) {
    StartSound();
    elSound::PlayMidi("TUNE", 1);
    EXPECT_EQ(Take(), (Log{kTune, "seek", "play notify"}));
    EXPECT_EQ(elSound::MidiOpen, 1);
    // Playing while a song is open: stop and close it first.
    elSound::PlayMidi("RAWTUNE", 0);
    EXPECT_EQ(Take(), (Log{"stop", "close", kRawTune, "seek", "play notify"}));
    EXPECT_EQ(elSound::MidiLoop, 0);
    elSound::StopMidi();
    EXPECT_EQ(Take(), (Log{"stop", "close"}));
    EXPECT_EQ(elSound::MidiOpen, 0);
    elSound::StopMidi();  // nothing open: nothing sent
    EXPECT_EQ(Take(), Log{});
    elSound::ForceStopMidi();  // always both, the flag as it was
    EXPECT_EQ(Take(), (Log{"stop", "close"}));
    EXPECT_EQ(elSound::MidiOpen, 0);
}

TEST_F(Midi, LoopingSongStartsAgainUntilTheLoopEnds) {
    StartSound();
    elSound::PlayMidi("TUNE", 1);
    Take();
    elSound::MidiNotify();
    elSound::MidiNotify();
    EXPECT_EQ(Take(), (Log{"seek", "play notify", "seek", "play notify"}));
    elSound::EndMidiLoop();
    EXPECT_EQ(elSound::MidiOpen, 1);  // it plays on to its end
    elSound::MidiNotify();
    EXPECT_EQ(Take(), (Log{"stop", "close"}));
    EXPECT_EQ(elSound::MidiOpen, 0);
    // A song played without looping is closed at its first end.
    elSound::PlayMidi("TUNE", 0);
    Take();
    elSound::MidiNotify();
    EXPECT_EQ(Take(), (Log{"stop", "close"}));
}

TEST_F(Midi, SongsComeFromTheProgramDirectoryThenTheResources) {
    StartSound();
    // A file of the name wins over the resource.
    PutProgramFile("TUNE", smftest::OneNoteSong(192, 0));
    elSound::PlayMidi("TUNE", 1);
    EXPECT_EQ(Take()[0], "open 44100");
    PutProgramFile("file only.mid", smftest::OneNoteSong(24, 0));  // a blank in the name
    elSound::PlayMidi("file only.mid", 1);
    EXPECT_EQ(Take()[2], "open 5512");
    // A file that is no song gives way to the built-in one, saying so.
    PutProgramFile("RAWTUNE", wavetest::Bytes(100, 'x'));
    testing::internal::CaptureStderr();
    elSound::PlayMidi("RAWTUNE", 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Take(), (Log{"stop", "close", "open refused", kRawTune, "seek", "play notify"}));
    EXPECT_NE(said.find("not a standard MIDI file; using the built-in RAWTUNE instead"),
              std::string::npos)
        << said;
}

TEST_F(Midi, BadNamesAndSongsChangeNothingOrOpenNothing) {
    StartSound();
    elSound::PlayMidi("TUNE", 1);
    Take();
    // A path beyond the path buffer is refused before anything is sent: the song plays on.
    const std::string longName(300, 'a');
    testing::internal::CaptureStderr();
    elSound::PlayMidi(longName.c_str(), 0);
    elSound::PlayMidi(nullptr, 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too long"), std::string::npos);
    EXPECT_EQ(Take(), Log{});
    EXPECT_EQ(elSound::MidiLoop, 1);
    // Quotes and control characters are part of a file name like any other, and are shown
    // escaped; nothing of that name exists, so nothing opens.
    testing::internal::CaptureStderr();
    elSound::PlayMidi("x\" type waveaudio alias midi\x1b[2J", 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Take(), (Log{"stop", "close"}));
    EXPECT_NE(said.find("x\\x22 type waveaudio alias midi\\x1B[2J"), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
    // A built-in resource that is no song.
    testing::internal::CaptureStderr();
    elSound::PlayMidi("NOTASONG", 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the built-in song NOTASONG"),
              std::string::npos);
    EXPECT_EQ(Take(), (Log{"stop", "close", "open refused"}));
    // The flag is set although nothing opened, as callers expect; stopping is harmless.
    EXPECT_EQ(elSound::MidiOpen, 1);
    EXPECT_STREQ(elSound::MidiStatusMode(), "");
    elSound::StopMidi();
    EXPECT_EQ(Take(), (Log{"status", "stop", "close"}));
    EXPECT_EQ(elSound::MidiOpen, 0);
}

TEST_F(Midi, WithoutASoundDeviceNothingOpens) {
    elSound::PlayMidi("TUNE", 1);  // no Init: the program runs silent
    EXPECT_EQ(Take(), Log{});
    EXPECT_EQ(elSound::MidiOpen, 1);
}

}  // namespace
