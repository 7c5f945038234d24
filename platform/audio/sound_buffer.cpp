// A secondary buffer: its controls on the main thread, its voice in the mix on the audio side.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/sound_device.h"

namespace platform {
namespace {

constexpr float kFractionScale = 1.0f / 4294967296.0f;

std::uint64_t StepFor(std::uint32_t frequency) {
    return (static_cast<std::uint64_t>(frequency) << 32) / static_cast<std::uint64_t>(kAudioRate);
}

// Attenuation in hundredths of a decibel to an amplitude factor; the floor is silence.
float AttenuationGain(std::int32_t hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

}  // namespace

SoundBuffer::SoundBuffer(SoundDevice* device, std::uint32_t flags, const WaveFormat& format,
                         std::unique_ptr<std::uint8_t[]> data, std::uint32_t size)
    : device_(device),
      flags_(flags),
      format_(format),
      data_(std::move(data)),
      size_(size),
      frameCount_(size / format.blockAlign),
      step_(StepFor(format.samplesPerSec)),
      frequency_(format.samplesPerSec) {
    format_.cbSize = 0;
}

SoundBuffer::~SoundBuffer() {
    AudioLock lock;
    if (device_ != nullptr) device_->Detach(this);
}

SoundResult SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** part1,
                              std::uint32_t* bytes1, void** part2, std::uint32_t* bytes2,
                              std::uint32_t flags) {
    if (part1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2 != nullptr) *part2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    AudioLock lock;
    if (locked_) return DSERR_INVALIDCALL;
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size_;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
        offset = static_cast<std::uint32_t>(position_ >> 32) * format_.blockAlign;
    }
    if (offset >= size_ || bytes == 0 || bytes > size_) return DSERR_INVALIDPARAM;
    const std::uint32_t first = std::min(bytes, size_ - offset);
    // A wrapping lock needs somewhere to put its second part.
    if (first < bytes && (part2 == nullptr || bytes2 == nullptr)) return DSERR_INVALIDPARAM;
    // The caller fills a copy: the audio thread may be reading the buffer meanwhile.
    staging_.assign(data_.get() + offset, data_.get() + offset + first);
    staging_.insert(staging_.end(), data_.get(), data_.get() + (bytes - first));
    locked_ = true;
    lockOffset_ = offset;
    lockFirst_ = first;
    *part1 = staging_.data();
    *bytes1 = first;
    if (first < bytes) {
        *part2 = staging_.data() + first;
        *bytes2 = bytes - first;
    }
    return DS_OK;
}

SoundResult SoundBuffer::Unlock(void* part1, std::uint32_t bytes1, void* part2,
                                std::uint32_t bytes2) {
    AudioLock lock;
    if (!locked_) return DSERR_INVALIDCALL;
    const std::uint32_t second = static_cast<std::uint32_t>(staging_.size()) - lockFirst_;
    if (part1 != staging_.data() || bytes1 > lockFirst_) return DSERR_INVALIDPARAM;
    if (bytes2 > 0 && (part2 != staging_.data() + lockFirst_ || bytes2 > second)) {
        return DSERR_INVALIDPARAM;
    }
    if (bytes1 > 0) std::memcpy(data_.get() + lockOffset_, staging_.data(), bytes1);
    if (bytes2 > 0) std::memcpy(data_.get(), staging_.data() + lockFirst_, bytes2);
    locked_ = false;
    staging_ = {};
    return DS_OK;
}

SoundResult SoundBuffer::Play(std::uint32_t flags) {
    AudioLock lock;
    if (device_ == nullptr) return DSERR_NODRIVER;
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    if (!playing_) {
        // A start is the wave's own attack: no ramp from an old gain.
        playing_ = true;
        gainLeft_ = targetLeft_;
        gainRight_ = targetRight_;
        rampFramesLeft_ = 0;
    }
    return DS_OK;
}

SoundResult SoundBuffer::Stop() {
    AudioLock lock;
    playing_ = false;
    return DS_OK;
}

SoundResult SoundBuffer::SetCurrentPosition(std::uint32_t position) {
    AudioLock lock;
    // Whole frames only: a size that is not a multiple of the frame leaves a partial frame at
    // the end, and a position in it would have the next mix read past the buffer.
    const std::uint32_t frame = position / format_.blockAlign;
    if (frame >= frameCount_) return DSERR_INVALIDPARAM;
    position_ = static_cast<std::uint64_t>(frame) << 32;
    return DS_OK;
}

SoundResult SoundBuffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) const {
    AudioLock lock;
    const std::uint32_t bytes = static_cast<std::uint32_t>(position_ >> 32) * format_.blockAlign;
    if (play != nullptr) *play = bytes;
    if (write != nullptr) *write = bytes;
    return DS_OK;
}

SoundResult SoundBuffer::GetStatus(std::uint32_t* status) const {
    if (status == nullptr) return DSERR_INVALIDPARAM;
    AudioLock lock;
    *status = 0;
    if (playing_) *status = DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

void SoundBuffer::UpdateTargetGains() {
    const float volume = AttenuationGain(volume_);
    targetLeft_ = volume * (pan_ > 0 ? AttenuationGain(-pan_) : 1.0f);
    targetRight_ = volume * (pan_ < 0 ? AttenuationGain(pan_) : 1.0f);
    if (!playing_) {
        gainLeft_ = targetLeft_;
        gainRight_ = targetRight_;
        rampFramesLeft_ = 0;
        return;
    }
    rampLeft_ = (targetLeft_ - gainLeft_) / kGainRampFrames;
    rampRight_ = (targetRight_ - gainRight_) / kGainRampFrames;
    rampFramesLeft_ = kGainRampFrames;
}

SoundResult SoundBuffer::SetVolume(std::int32_t volume) {
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    AudioLock lock;
    volume_ = volume;
    UpdateTargetGains();
    return DS_OK;
}

SoundResult SoundBuffer::GetVolume(std::int32_t* volume) const {
    if (volume == nullptr) return DSERR_INVALIDPARAM;
    AudioLock lock;
    *volume = volume_;
    return DS_OK;
}

SoundResult SoundBuffer::SetPan(std::int32_t pan) {
    if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    AudioLock lock;
    pan_ = pan;
    UpdateTargetGains();
    return DS_OK;
}

SoundResult SoundBuffer::GetPan(std::int32_t* pan) const {
    if (pan == nullptr) return DSERR_INVALIDPARAM;
    AudioLock lock;
    *pan = pan_;
    return DS_OK;
}

SoundResult SoundBuffer::SetFrequency(std::uint32_t frequency) {
    if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency == DSBFREQUENCY_ORIGINAL) frequency = format_.samplesPerSec;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    AudioLock lock;
    frequency_ = frequency;
    step_ = StepFor(frequency);
    return DS_OK;
}

SoundResult SoundBuffer::GetFrequency(std::uint32_t* frequency) const {
    if (frequency == nullptr) return DSERR_INVALIDPARAM;
    AudioLock lock;
    *frequency = frequency_;
    return DS_OK;
}

void SoundBuffer::ReadFrame(std::uint32_t frame, float* left, float* right) const {
    const std::uint8_t* p = data_.get() + static_cast<std::size_t>(frame) * format_.blockAlign;
    if (format_.bitsPerSample == 8) {
        *left = static_cast<float>((p[0] - 128) * 256);
        *right = format_.channels == 2 ? static_cast<float>((p[1] - 128) * 256) : *left;
    } else {
        *left = static_cast<float>(static_cast<std::int16_t>(p[0] | (p[1] << 8)));
        *right = format_.channels == 2
                     ? static_cast<float>(static_cast<std::int16_t>(p[2] | (p[3] << 8)))
                     : *left;
    }
}

void SoundBuffer::Mix(float* interleaved, std::size_t frames) {
    const std::uint64_t end = static_cast<std::uint64_t>(frameCount_) << 32;
    for (std::size_t i = 0; i < frames && playing_; ++i) {
        const std::uint32_t frame = static_cast<std::uint32_t>(position_ >> 32);
        const float fraction =
            static_cast<float>(static_cast<std::uint32_t>(position_)) * kFractionScale;
        float left0 = 0.0f, right0 = 0.0f, left1 = 0.0f, right1 = 0.0f;
        ReadFrame(frame, &left0, &right0);
        // Interpolate towards the frame that really follows: the first one across a loop's
        // wrap, silence after a one-shot's end.
        if (frame + 1 < frameCount_) {
            ReadFrame(frame + 1, &left1, &right1);
        } else if (looping_) {
            ReadFrame(0, &left1, &right1);
        }
        if (rampFramesLeft_ > 0) {
            gainLeft_ += rampLeft_;
            gainRight_ += rampRight_;
            if (--rampFramesLeft_ == 0) {
                gainLeft_ = targetLeft_;
                gainRight_ = targetRight_;
            }
        }
        interleaved[2 * i] += (left0 + (left1 - left0) * fraction) * gainLeft_;
        interleaved[2 * i + 1] += (right0 + (right1 - right0) * fraction) * gainRight_;
        position_ += step_;
        if (position_ >= end) {
            if (looping_) {
                position_ %= end;
            } else {
                playing_ = false;
                position_ = 0;
            }
        }
    }
}

}  // namespace platform
