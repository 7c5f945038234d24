// A headless host with the mix captured, elSound started on it, and the test resources.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "el/sound/sound_device.h"
#include "el/sound/sound_playback.h"
#include "el/sound/sound_state.h"
#include "el/system/frame_timing.h"
#include "el/system/program_directory.h"
#include "platform/headless/headless_host.h"
#include "tests/platform/audio/wave_builder.h"

namespace soundtest {

// TONE, one of the built-in resources of the test executable (test_resources.cpp): 16-bit mono
// 22050 Hz, 100 ms of a constant level.
inline constexpr std::int16_t kToneLevel = 8000;
inline constexpr std::size_t kToneFrames = 2205;

// Every playback call, on one slot and selector.
inline void CallEverything(std::int32_t slot, std::int32_t selector) {
    elSound::Play(slot, selector);
    elSound::PlayLoop(slot, selector);
    elSound::Pause(slot, selector);
    elSound::SetVolume(slot, -9, selector);
    elSound::AddFrequency(slot, 10, selector);
    elSound::SetPan(slot, 10, selector);
    elSound::Echo(slot, 1, 3, 10);
    elSound::EchoPan(slot, 1, 3, 10, 5);
    elSound::Stop(slot, selector);
}

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
    // What the mixer was told, read from the buffer itself.
    template <typename T>
    static T Get(int slot, int j, platform::SoundResult (platform::SoundBuffer::*get)(T*) const) {
        T value{};
        if (platform::SoundBuffer* buffer = Buffer(slot, j)) {
            (buffer->*get)(&value);
        } else {
            ADD_FAILURE() << "no buffer " << j << " in slot " << slot;
        }
        return value;
    }
    static auto Status(int slot, int j) { return Get(slot, j, &platform::SoundBuffer::GetStatus); }
    static bool Playing(int slot, int j) { return Status(slot, j) & platform::DSBSTATUS_PLAYING; }
    static auto Frequency(int s, int j) { return Get(s, j, &platform::SoundBuffer::GetFrequency); }
    static auto Volume(int slot, int j) { return Get(slot, j, &platform::SoundBuffer::GetVolume); }
    static auto Pan(int slot, int j) { return Get(slot, j, &platform::SoundBuffer::GetPan); }
    static auto Position(int slot, int j) {
        std::uint32_t play = 0;
        Buffer(slot, j)->GetCurrentPosition(&play, nullptr);
        return play;
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
