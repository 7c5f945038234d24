// The sound services the library plays its waves through: a device that mixes into the host's
// audio output, and secondary buffers that each hold one PCM wave and play it once or looping,
// with volume, pan and frequency control. Results are the HRESULT-style codes the library
// knows; nothing is a COM object.
//
// Mixing: 44100 Hz stereo, float accumulation, saturated to 16 bits. Volume is attenuation in
// hundredths of a decibel (gain 10^(v/2000), -10000 silent); a positive pan attenuates the left
// side by pan hundredths of a decibel, a negative one the right side. The buffer frequency
// resamples with linear interpolation, across the wrap of a looping buffer too. Volume and pan
// changes of a playing buffer ramp over 5 ms so they do not click. A buffer playing once stops
// after its last frame and its play position goes back to 0.
//
// Threads: a host may call Render on its audio thread with its audio lock held; every method
// here that touches mixer state takes that lock (platform::AudioLock) itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/riff_reader.h"
#include "platform/audio/wave_format.h"
#include "platform/host.h"

namespace platform {

using SoundResult = std::int32_t;

inline constexpr SoundResult DS_OK = 0;
inline constexpr SoundResult DSERR_ALLOCATED = static_cast<SoundResult>(0x8878000Au);
inline constexpr SoundResult DSERR_INVALIDPARAM = static_cast<SoundResult>(0x80070057u);
inline constexpr SoundResult DSERR_OUTOFMEMORY = static_cast<SoundResult>(0x8007000Eu);
inline constexpr SoundResult DSERR_CONTROLUNAVAIL = static_cast<SoundResult>(0x8878001Eu);
inline constexpr SoundResult DSERR_INVALIDCALL = static_cast<SoundResult>(0x88780032u);
inline constexpr SoundResult DSERR_BADFORMAT = static_cast<SoundResult>(0x88780064u);
inline constexpr SoundResult DSERR_NODRIVER = static_cast<SoundResult>(0x88780078u);
inline constexpr SoundResult DSERR_UNSUPPORTED = static_cast<SoundResult>(0x80004001u);

// Buffer capabilities.
inline constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x01;
inline constexpr std::uint32_t DSBCAPS_STATIC = 0x02;
inline constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
// Play, Lock and GetStatus flags.
inline constexpr std::uint32_t DSBPLAY_LOOPING = 0x01;
inline constexpr std::uint32_t DSBLOCK_FROMWRITECURSOR = 0x01;
inline constexpr std::uint32_t DSBLOCK_ENTIREBUFFER = 0x02;
inline constexpr std::uint32_t DSBSTATUS_PLAYING = 0x01;
inline constexpr std::uint32_t DSBSTATUS_LOOPING = 0x04;
// Ranges.
inline constexpr std::int32_t DSBVOLUME_MIN = -10000;
inline constexpr std::int32_t DSBVOLUME_MAX = 0;
inline constexpr std::int32_t DSBPAN_LEFT = -10000;
inline constexpr std::int32_t DSBPAN_RIGHT = 10000;
inline constexpr std::uint32_t DSBFREQUENCY_ORIGINAL = 0;
inline constexpr std::uint32_t DSBFREQUENCY_MIN = 100;
inline constexpr std::uint32_t DSBFREQUENCY_MAX = 100000;
inline constexpr std::uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

// How long a volume or pan change takes to reach its new gain: 5 ms.
inline constexpr int kGainRampFrames = kAudioRate / 200;

struct SoundBufferDesc {
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    const WaveFormat* format = nullptr;
};

// True for the formats the mixer plays: PCM, 8-bit unsigned or 16-bit signed, mono or stereo,
// a rate the frequency control can hold, and a block align that agrees with the rest.
bool IsPlayableFormat(const WaveFormat& format);

// Makes a wave as read from a file into one the mixer plays, or says why it cannot be. An
// extensible wave whose sub-format is PCM, and whose valid bits fill its samples (or are left
// at 0), becomes the same plain PCM wave without its extension. On failure the wave is left as
// it was.
WaveError ToPlayableWave(WaveData* wave);

class SoundDevice;

// Sound that the mixer adds after its buffers, from a source of its own: the MIDI sequencer.
// Mix adds `frames` interleaved stereo frames, on the 16-bit scale, to `mix`; it runs with the
// audio lock held.
class AudioStream {
  public:
    virtual ~AudioStream() = default;
    virtual void Mix(float* mix, std::size_t frames) = 0;
};

// The device the host plays mixes every attached stream. A stream attaches for its lifetime;
// both calls take the audio lock.
void AttachAudioStream(AudioStream* stream);
void DetachAudioStream(AudioStream* stream);

class SoundBuffer {
  public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Hands out the region [offset, offset + bytes) for filling, in two parts when it wraps past
    // the end; the bytes reach the buffer at Unlock. One lock at a time.
    SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* bytes1,
                     void** part2, std::uint32_t* bytes2, std::uint32_t flags);
    // Takes the pointers Lock gave and how many bytes of each part were written.
    SoundResult Unlock(void* part1, std::uint32_t bytes1, void* part2, std::uint32_t bytes2);

    // Starts from the current position (a playing buffer only takes the new looping flag).
    SoundResult Play(std::uint32_t flags);
    // Stops where it is; the position stays.
    SoundResult Stop();
    // Byte offset, rounded down to a whole frame; at or beyond the end of the last whole frame
    // is refused.
    SoundResult SetCurrentPosition(std::uint32_t position);
    // The write cursor is the play cursor: the buffer is static, nothing streams ahead of it.
    SoundResult GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) const;
    SoundResult GetStatus(std::uint32_t* status) const;

    SoundResult SetVolume(std::int32_t volume);
    SoundResult GetVolume(std::int32_t* volume) const;
    SoundResult SetPan(std::int32_t pan);
    SoundResult GetPan(std::int32_t* pan) const;
    // DSBFREQUENCY_ORIGINAL (0) goes back to the rate of the wave's format.
    SoundResult SetFrequency(std::uint32_t frequency);
    SoundResult GetFrequency(std::uint32_t* frequency) const;

    std::uint32_t size() const { return size_; }
    const WaveFormat& format() const { return format_; }

  private:
    friend class SoundDevice;
    SoundBuffer(SoundDevice* device, std::uint32_t flags, const WaveFormat& format,
                std::unique_ptr<std::uint8_t[]> data, std::uint32_t size);

    // Audio side, with the audio lock held.
    void Mix(float* interleaved, std::size_t frames);
    void ReadFrame(std::uint32_t frame, float* left, float* right) const;
    void UpdateTargetGains();

    SoundDevice* device_;
    std::uint32_t flags_;
    WaveFormat format_;
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint32_t size_;
    std::uint32_t frameCount_;

    bool playing_ = false;
    bool looping_ = false;
    // Frames in 32.32 fixed point, so that resampling is exact and reproducible.
    std::uint64_t position_ = 0;
    std::uint64_t step_ = 0;
    std::uint32_t frequency_;
    std::int32_t volume_ = 0;
    std::int32_t pan_ = 0;

    float targetLeft_ = 1.0f;
    float targetRight_ = 1.0f;
    float gainLeft_ = 1.0f;
    float gainRight_ = 1.0f;
    float rampLeft_ = 0.0f;
    float rampRight_ = 0.0f;
    int rampFramesLeft_ = 0;

    bool locked_ = false;
    std::uint32_t lockOffset_ = 0;
    std::uint32_t lockFirst_ = 0;  // bytes of the first part; the rest wraps to offset 0
    std::vector<std::uint8_t> staging_;
};

class SoundDevice final : public AudioSource {
  public:
    SoundDevice() = default;
    // Stops the output and cuts its buffers loose (they stay valid and silent).
    ~SoundDevice() override;
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Starts the host's audio output pulling from this device; DSERR_NODRIVER without one.
    SoundResult Open();
    void Close();
    bool isOpen() const { return host_ != nullptr; }

    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* out);
    // The number of buffers alive on this device.
    std::size_t bufferCount() const;
    // Refuses buffers beyond `limit` with DSERR_ALLOCATED, as a device with few voices does; lets
    // tests make a creation fail part-way.
    void SetBufferLimit(std::size_t limit) { bufferLimit_ = limit; }

    // Mixes every playing buffer, in the order they were created, then the attached streams.
    void Render(std::int16_t* interleaved, std::size_t frames) override;

  private:
    friend class SoundBuffer;
    void Detach(SoundBuffer* buffer);

    Host* host_ = nullptr;
    std::vector<SoundBuffer*> buffers_;
    std::size_t bufferLimit_ = SIZE_MAX;
    static constexpr std::size_t kBlockFrames = 256;
    std::array<float, 2 * kBlockFrames> mix_{};
};

}  // namespace platform
