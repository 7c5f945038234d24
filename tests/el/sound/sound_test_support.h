// A headless host with the mix captured, elSound started on it, and the test resources.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "el/sound/sound_device.h"
#include "el/sound/sound_state.h"
#include "el/system/frame_timing.h"
#include "el/system/program_directory.h"
#include "platform/headless/headless_host.h"
#include "tests/platform/audio/wave_builder.h"

namespace soundtest {

// The built-in resources of the test executable (test_resources.cpp):
//   TONE      WAVE    16-bit mono 22050 Hz, 2205 frames (100 ms) of 8000
//   COUNTER   WAVE    16-bit mono 44100 Hz, 4410 frames whose values are their frame numbers
//   RAWONLY   RCDATA  8-bit stereo 11025 Hz
//   BADFIRST  WAVE    not a wave at all; RCDATA of the same name: 16-bit mono 16000 Hz
//   BADWAVE   WAVE    canonical header whose data size is far beyond the resource's end
//   ADPCM     WAVE    a well-formed wave of a format the mixer cannot play
//   FALLBACK  WAVE    16-bit mono 8000 Hz
//   SHADOW    WAVE    16-bit mono 8000 Hz
inline constexpr std::int16_t kToneLevel = 8000;
inline constexpr std::size_t kToneFrames = 2205;

class SoundTest : public testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<platform::HeadlessHost>();
        host = owned.get();
        platform::InstallHost(std::move(owned));
        host->onAudio = [this](const std::int16_t* samples, std::size_t frames) {
            audio.insert(audio.end(), samples, samples + 2 * frames);
        };
        elSound::ResetSoundState();
        elSystem::FrameDelta = 0.0f;
    }
    void TearDown() override {
        elSound::ResetSoundState();
        for (const std::string& path : files_) std::filesystem::remove(path);
        platform::InstallHost(nullptr);
    }
    // The screen set-up's sequence.
    void StartSound() {
        ASSERT_EQ(elSound::Init(), 1);
        elSound::ResetObjectTable();
    }
    // A file next to the executable, removed after the test.
    std::string PutProgramFile(const std::string& name, const wavetest::Bytes& bytes) {
        const std::string path = std::string(elSystem::ProgramDirectory()) + name;
        EXPECT_TRUE(wavetest::WriteFile(path, bytes));
        files_.push_back(path);
        return path;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : host->messageBoxes()) {
            EXPECT_EQ(box.caption, "エラー発生");
            texts.push_back(box.text);
        }
        return texts;
    }

    static elSound::SoundRecord& Record(int slot) {
        return elSound::detail::State().table[static_cast<std::size_t>(slot)];
    }
    static platform::SoundBuffer* Buffer(int slot, int j) {
        return Record(slot).buffers[static_cast<std::size_t>(j)].get();
    }
    static bool Playing(int slot, int j) {
        std::uint32_t status = 0;
        platform::SoundBuffer* buffer = Buffer(slot, j);
        return buffer != nullptr && buffer->GetStatus(&status) == platform::DS_OK &&
               (status & platform::DSBSTATUS_PLAYING);
    }
    static std::uint32_t Frequency(int slot, int j) {
        std::uint32_t value = 0;
        if (Buffer(slot, j) != nullptr) Buffer(slot, j)->GetFrequency(&value);
        return value;
    }
    static std::int32_t Volume(int slot, int j) {
        std::int32_t value = 1;
        if (Buffer(slot, j) != nullptr) Buffer(slot, j)->GetVolume(&value);
        return value;
    }
    static std::int32_t Pan(int slot, int j) {
        std::int32_t value = 1;
        if (Buffer(slot, j) != nullptr) Buffer(slot, j)->GetPan(&value);
        return value;
    }
    // Left-channel sample of the mix at a frame counted from the host's start.
    std::int16_t LeftAt(std::size_t frame) const {
        return frame * 2 < audio.size() ? audio[frame * 2] : std::int16_t{-1};
    }
    static std::size_t FrameAtMs(std::uint64_t ms) { return ms * platform::kAudioRate / 1000; }

    platform::HeadlessHost* host = nullptr;
    std::vector<std::int16_t> audio;

  private:
    std::vector<std::string> files_;
};

}  // namespace soundtest
