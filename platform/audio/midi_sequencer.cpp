// The sequencer over the synthesizer: the song's events go to the synthesizer at the start of
// each 64-frame block they fall in, and the song's clock is the count of frames the mixer asked
// for, so a headless run captures the same bytes every time.
#include "platform/audio/midi_sequencer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/audio/midi_synth.h"
#include "platform/audio/sound_device.h"
#include "platform/messages.h"

namespace platform {
namespace {

constexpr std::size_t kBlock = MidiSynth::kBlockFrames;
// Reverb and chorus ring on after the last voice; rendering stops this much later.
constexpr std::uint64_t kTailFrames = 2 * kAudioRate;
constexpr float kScale = 32768.0f;

class Sequencer final : public MidiDevice, public AudioStream {
  public:
    Sequencer() { AttachAudioStream(this); }
    ~Sequencer() override { DetachAudioStream(this); }
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    SmfError Open(std::span<const std::uint8_t> bytes) override {
        Close();
        MidiSong song;
        const SmfError error = ReadSmf(bytes, &song);
        if (error != SmfError::None) return error;
        // The SoundFont loads here, on the caller's thread, never on the audio path.
        if (!synth_ && !synthFailed_) {
            std::string why;
            std::unique_ptr<MidiSynth> synth = MidiSynth::Create(&why);
            if (!synth) {
                synthFailed_ = true;
                std::fprintf(stderr, "%s: %s; MIDI music stays silent\n",
                             program_invocation_short_name, why.c_str());
            }
            AudioLock lock;
            synth_ = std::move(synth);
        }
        AudioLock lock;
        std::swap(song_, song);  // the old song is freed after the lock
        open_ = true;
        Rewind();
        if (synth_) {
            // A new song starts from silence on a block boundary, whatever played before.
            synth_->Reset();
            used_ = kBlock;
            quietFrames_ = kTailFrames;
        }
        return SmfError::None;
    }

    void SeekToStart() override {
        AudioLock lock;
        if (!open_) return;
        if (playing_ && synth_) synth_->ReleaseNotes();
        Rewind();
        if (synth_) synth_->ResetChannels();
    }

    void Play(bool notify) override {
        AudioLock lock;
        if (!open_) return;
        playing_ = true;
        notify_ = notify;
        playedBlocks_ = 0;
    }

    void Stop() override {
        AudioLock lock;
        if (!playing_) return;
        playing_ = false;
        if (synth_) synth_->ReleaseNotes();
    }

    void Close() override {
        MidiSong song;
        AudioLock lock;
        if (!open_) return;
        if (playing_ && synth_) synth_->ReleaseNotes();
        open_ = false;
        playing_ = false;
        std::swap(song_, song);
    }

    const char* Mode() override {
        AudioLock lock;
        if (!open_) return "";
        return playing_ ? "playing" : "stopped";
    }

    void Mix(float* mix, std::size_t frames) override {
        // Nothing to play and nothing ringing: the mix is left exactly as it was.
        if (!playing_ && quietFrames_ >= kTailFrames) return;
        while (frames > 0) {
            if (used_ == kBlock) NextBlock();
            const std::size_t count = std::min(frames, kBlock - used_);
            if (synth_) {
                for (std::size_t i = 0; i < count; ++i) {
                    mix[2 * i] += left_[used_ + i] * kScale;
                    mix[2 * i + 1] += right_[used_ + i] * kScale;
                }
            }
            used_ += count;
            mix += 2 * count;
            frames -= count;
        }
    }

  private:
    void Rewind() {
        playing_ = false;
        position_ = 0;
        next_ = 0;
    }

    // Moves the song on by one block: its events first, then the sound of the block.
    void NextBlock() {
        if (playing_) {
            if (position_ >= song_.lengthFrames) {
                End();
            } else {
                const std::uint64_t blockEnd = position_ + kBlock;
                while (next_ < song_.events.size() && song_.events[next_].frame < blockEnd) {
                    if (synth_) synth_->Send(song_.events[next_]);
                    ++next_;
                }
                position_ = blockEnd;
                ++playedBlocks_;
            }
        }
        used_ = 0;
        if (!synth_) return;
        synth_->RenderBlock(left_.data(), right_.data());
        quietFrames_ = playing_ || synth_->Sounding() ? 0 : quietFrames_ + kBlock;
    }

    void End() {
        playing_ = false;
        if (synth_) synth_->ReleaseNotes();
        position_ = song_.lengthFrames;
        if (notify_ && playedBlocks_ > 0) {
            PostMessage(MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, kMidiDeviceId);
        }
        notify_ = false;
    }

    // All below: guarded by the audio lock.
    std::unique_ptr<MidiSynth> synth_;
    bool synthFailed_ = false;
    MidiSong song_;
    bool open_ = false;
    bool playing_ = false;
    bool notify_ = false;
    std::uint64_t position_ = 0;  // frames of the song played
    std::size_t next_ = 0;        // the next event to send
    std::uint64_t playedBlocks_ = 0;
    std::array<float, kBlock> left_{};
    std::array<float, kBlock> right_{};
    std::size_t used_ = kBlock;  // frames of the current block already mixed
    std::uint64_t quietFrames_ = kTailFrames;
};

// Never destroyed: the audio thread may still mix the sequencer while the program exits.
std::unique_ptr<MidiDevice>& Installed() {
    static auto* const installed = new std::unique_ptr<MidiDevice>();
    return *installed;
}

}  // namespace

MidiDevice& CurrentMidiDevice() {
    std::unique_ptr<MidiDevice>& installed = Installed();
    if (!installed) installed = std::make_unique<Sequencer>();
    return *installed;
}

std::unique_ptr<MidiDevice> InstallMidiDevice(std::unique_ptr<MidiDevice> device) {
    std::unique_ptr<MidiDevice> previous = std::move(Installed());
    if (previous) previous->Close();
    Installed() = std::move(device);
    return previous;
}

}  // namespace platform
