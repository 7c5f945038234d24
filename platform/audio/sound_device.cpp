// The device: buffer creation, the host's audio output and the final mix to 16 bits.
#include "platform/audio/sound_device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace platform {
namespace {

static_assert(kMaxWaveDataBytes == DSBSIZE_MAX, "a wave that reads must fit a buffer");

// The extension of an extensible format: valid bits, channel mask, sub-format GUID.
constexpr std::size_t kExtensibleSize = 22;
constexpr std::size_t kSubFormatOffset = 6;
// 00000001-0000-0010-8000-00aa00389b71, its first three fields little-endian as stored.
constexpr std::array<std::uint8_t, 16> kPcmSubFormat = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Guarded by the audio lock. Never destroyed: an audio thread may mix until the very end.
std::vector<AudioStream*>& Streams() {
    static auto* const streams = new std::vector<AudioStream*>();
    return *streams;
}

}  // namespace

bool IsPlayableFormat(const WaveFormat& format) {
    if (format.formatTag != WAVE_FORMAT_PCM) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.samplesPerSec < DSBFREQUENCY_MIN || format.samplesPerSec > DSBFREQUENCY_MAX) {
        return false;
    }
    return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

WaveError ToPlayableWave(WaveData* wave) {
    if (wave == nullptr) return WaveError::NoFormat;
    WaveFormat format = wave->format;
    if (format.formatTag == WAVE_FORMAT_EXTENSIBLE) {
        const std::vector<std::uint8_t>& extra = wave->extra;
        if (format.cbSize < kExtensibleSize || extra.size() < kExtensibleSize) {
            return WaveError::ShortExtensible;
        }
        if (std::memcmp(extra.data() + kSubFormatOffset, kPcmSubFormat.data(),
                        kPcmSubFormat.size()) != 0) {
            return WaveError::NotPcmSubFormat;
        }
        // Some writers leave the valid bits at 0, meaning all of them.
        const auto validBits = static_cast<std::uint16_t>(extra[0] | (extra[1] << 8));
        if (validBits != 0 && validBits != format.bitsPerSample) return WaveError::PaddedSamples;
        format.formatTag = WAVE_FORMAT_PCM;
        format.cbSize = 0;
    }
    if (format.formatTag != WAVE_FORMAT_PCM) return WaveError::NotPcm;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return WaveError::UnplayableBits;
    if (format.channels != 1 && format.channels != 2) return WaveError::UnplayableChannels;
    if (format.samplesPerSec < DSBFREQUENCY_MIN || format.samplesPerSec > DSBFREQUENCY_MAX) {
        return WaveError::UnplayableRate;
    }
    if (!IsPlayableFormat(format)) return WaveError::BadBlockAlign;
    if (wave->samples.size() < format.blockAlign) return WaveError::NoSamples;
    if (wave->samples.size() > DSBSIZE_MAX) return WaveError::TooLarge;
    wave->format = format;
    wave->extra.clear();
    return WaveError::None;
}

void AttachAudioStream(AudioStream* stream) {
    AudioLock lock;
    std::vector<AudioStream*>& streams = Streams();
    if (std::find(streams.begin(), streams.end(), stream) == streams.end()) {
        streams.push_back(stream);
    }
}

void DetachAudioStream(AudioStream* stream) {
    AudioLock lock;
    std::vector<AudioStream*>& streams = Streams();
    streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
}

SoundDevice::~SoundDevice() {
    Close();
    AudioLock lock;
    for (SoundBuffer* buffer : buffers_) {
        buffer->device_ = nullptr;
        buffer->playing_ = false;
    }
    buffers_.clear();
}

SoundResult SoundDevice::Open() {
    if (host_ != nullptr) return DS_OK;
    if (!HasHost()) return DSERR_NODRIVER;
    Host& host = CurrentHost();
    if (!host.OpenAudio(this)) return DSERR_NODRIVER;
    host_ = &host;
    return DS_OK;
}

void SoundDevice::Close() {
    if (host_ == nullptr) return;
    // Only the host that is still installed may be told; a test may have swapped it out. The
    // host's lock must not be held here: closing waits for its audio thread.
    if (HasHost() && &CurrentHost() == host_) host_->CloseAudio();
    host_ = nullptr;
}

SoundResult SoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc,
                                           std::unique_ptr<SoundBuffer>* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    out->reset();
    // The library never writes to the primary buffer; the mix is the device itself.
    if (desc.flags & DSBCAPS_PRIMARYBUFFER) return DSERR_UNSUPPORTED;
    if (desc.format == nullptr) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(*desc.format)) return DSERR_BADFORMAT;
    if (desc.bufferBytes < desc.format->blockAlign || desc.bufferBytes > DSBSIZE_MAX) {
        return DSERR_INVALIDPARAM;
    }
    if (bufferCount() >= bufferLimit_) return DSERR_ALLOCATED;
    // Silence to start with: 0x80 is the middle of an 8-bit unsigned sample.
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[desc.bufferBytes]);
    if (!data) return DSERR_OUTOFMEMORY;
    std::fill_n(data.get(), desc.bufferBytes, desc.format->bitsPerSample == 8 ? 0x80 : 0x00);
    std::unique_ptr<SoundBuffer> buffer(
        new SoundBuffer(this, desc.flags, *desc.format, std::move(data), desc.bufferBytes));
    {
        AudioLock lock;
        buffers_.push_back(buffer.get());
    }
    *out = std::move(buffer);
    return DS_OK;
}

std::size_t SoundDevice::bufferCount() const {
    AudioLock lock;
    return buffers_.size();
}

void SoundDevice::Detach(SoundBuffer* buffer) {
    buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
}

void SoundDevice::Render(std::int16_t* interleaved, std::size_t frames) {
    while (frames > 0) {
        const std::size_t block = std::min(frames, kBlockFrames);
        std::fill_n(mix_.begin(), 2 * block, 0.0f);
        for (SoundBuffer* buffer : buffers_) {
            if (buffer->playing_) buffer->Mix(mix_.data(), block);
        }
        for (AudioStream* stream : Streams()) stream->Mix(mix_.data(), block);
        for (std::size_t i = 0; i < 2 * block; ++i) {
            const float value = std::clamp(mix_[i], -32768.0f, 32767.0f);
            interleaved[i] = static_cast<std::int16_t>(std::lrint(value));
        }
        interleaved += 2 * block;
        frames -= block;
    }
}

}  // namespace platform
