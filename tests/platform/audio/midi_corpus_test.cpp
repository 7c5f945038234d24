// Every file of the shared song corpus through the reader and the synthesizer for a couple of
// seconds: nothing crashes or over-reads, and a song that ends within that time reports its end
// exactly once.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio/midi_sequencer.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/sound_device.h"
#include "platform/file_read.h"
#include "platform/headless/headless_host.h"
#include "platform/messages.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(GREETING_CORPORA) / "midi";
constexpr std::size_t kFrames = 2 * 44100;

class MidiCorpus : public testing::Test {
  protected:
    void SetUp() override {
        platform::InstallHost(std::make_unique<platform::HeadlessHost>());
        platform::ResetMessageQueue();
        ASSERT_EQ(device_.Open(), platform::DS_OK);
    }
    void TearDown() override {
        platform::InstallMidiDevice(nullptr);
        platform::ResetMessageQueue();
        device_.Close();
        platform::InstallHost(nullptr);
    }

    // Plays every file under `folder`; returns how many sounded.
    int PlayFolder(const std::string& folder) {
        int played = 0;
        int sounded = 0;
        std::vector<std::int16_t> mix(2 * kFrames);
        for (const auto& entry : fs::recursive_directory_iterator(kCorpus / folder)) {
            if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
            const std::string name = entry.path().string();
            std::vector<std::uint8_t> bytes;
            if (platform::ReadRegularFile(name, platform::kMaxSongFileBytes, &bytes) !=
                platform::FileReadError::None) {
                ADD_FAILURE() << name;
                continue;
            }
            platform::MidiSong song;
            const bool reads = platform::ReadSmf(bytes, &song) == platform::SmfError::None;
            platform::MidiDevice& midi = platform::CurrentMidiDevice();
            EXPECT_EQ(midi.Open(bytes) == platform::SmfError::None, reads) << name;
            midi.SeekToStart();
            midi.Play(true);
            device_.Render(mix.data(), kFrames);
            int ends = 0;
            platform::Msg msg;
            while (platform::PeekMessage(msg)) ends += msg.message == platform::MM_MCINOTIFY;
            // The last block may run up to 64 frames past the end.
            const bool endsInTime = song.lengthFrames > 0 && song.lengthFrames + 64 < kFrames;
            EXPECT_EQ(ends, reads && endsInTime ? 1 : 0) << name;
            bool sound = false;
            for (const std::int16_t sample : mix) sound = sound || sample != 0;
            sounded += sound;
            ++played;
            midi.Close();
        }
        EXPECT_GT(played, 0);
        return sounded;
    }

    platform::SoundDevice device_;
};

#define REQUIRE_CORPUS_AND_SOUNDFONT()                                               \
    if (!fs::is_directory(kCorpus)) {                                                \
        GTEST_SKIP() << "MIDI corpus not found at " << kCorpus << "; tests skipped"; \
    }                                                                                \
    if (std::string why; !platform::MidiSynth::Create(&why)) {                       \
        GTEST_SKIP() << why << "; tests skipped";                                    \
    }

TEST_F(MidiCorpus, JazzSoftSongs) {
    REQUIRE_CORPUS_AND_SOUNDFONT();
    EXPECT_GT(PlayFolder("jazz-soft"), 40);
}

TEST_F(MidiCorpus, OneFeatureFiles) {
    REQUIRE_CORPUS_AND_SOUNDFONT();
    PlayFolder("shkyrockett");
}

TEST_F(MidiCorpus, LongerAndDamagedSongs) {
    REQUIRE_CORPUS_AND_SOUNDFONT();
    EXPECT_GE(PlayFolder("midly"), 2);
}

}  // namespace
