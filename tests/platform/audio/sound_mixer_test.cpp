// The sound device measured on what it renders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "platform/audio/sound_device.h"
#include "platform/headless/headless_host.h"
#include "tests/platform/audio/wave_builder.h"

namespace {

using namespace platform;
using Mix = std::vector<std::int16_t>;

constexpr std::uint32_t kControls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;

WaveFormat Pcm(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate = 44100) {
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

std::unique_ptr<SoundBuffer> MakeBuffer(SoundDevice& device, const WaveFormat& format,
                                        const wavetest::Bytes& bytes) {
    std::unique_ptr<SoundBuffer> buffer;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    EXPECT_EQ(device.CreateSoundBuffer({kControls, size, &format}, &buffer), DS_OK);
    if (!buffer) return buffer;
    void* part = nullptr;
    std::uint32_t locked = 0;
    EXPECT_EQ(buffer->Lock(0, size, &part, &locked, nullptr, nullptr, 0), DS_OK);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(part));
    EXPECT_EQ(buffer->Unlock(part, locked, nullptr, 0), DS_OK);
    return buffer;
}

std::unique_ptr<SoundBuffer> Mono16(SoundDevice& device, const Mix& samples) {
    return MakeBuffer(device, Pcm(1, 16), wavetest::Samples16(samples));
}

Mix Render(SoundDevice& device, std::size_t frames) {
    Mix out(2 * frames);
    device.Render(out.data(), frames);
    return out;
}

double Rms(const Mix& mix, std::size_t channel) {
    double sum = 0;
    for (std::size_t i = channel; i < mix.size(); i += 2) sum += 1.0 * mix[i] * mix[i];
    return std::sqrt(sum / static_cast<double>(mix.size() / 2));
}

int MaxStep(const Mix& mix, std::size_t channel) {
    int largest = 0;
    for (std::size_t i = channel + 2; i < mix.size(); i += 2) {
        largest = std::max(largest, std::abs(mix[i] - mix[i - 2]));
    }
    return largest;
}

TEST(SoundDevice, RefusesWhatItCannotPlay) {
    SoundDevice device;
    std::unique_ptr<SoundBuffer> buffer;
    const auto create = [&](WaveFormat format, std::uint32_t bytes = 64,
                            std::uint32_t flags = kControls) {
        return device.CreateSoundBuffer({flags, bytes, &format}, &buffer);
    };
    for (const auto& [channels, bits] : {std::pair{1, 8}, {2, 8}, {1, 16}, {2, 16}}) {
        EXPECT_EQ(create(Pcm(channels, bits)), DS_OK) << channels << "x" << bits;
    }
    WaveFormat adpcm = Pcm(1, 16);
    adpcm.formatTag = 2;
    WaveFormat misaligned = Pcm(2, 16);
    misaligned.blockAlign = 2;
    for (const WaveFormat& format : {adpcm, misaligned, Pcm(1, 24), Pcm(3, 16), Pcm(0, 16),
                                     Pcm(1, 16, 0), Pcm(1, 16, 100001)}) {
        EXPECT_EQ(create(format), DSERR_BADFORMAT);
        EXPECT_EQ(buffer, nullptr);
    }
    EXPECT_EQ(create(Pcm(2, 16), 3), DSERR_INVALIDPARAM);  // less than a frame
    EXPECT_EQ(create(Pcm(1, 16), 64, DSBCAPS_PRIMARYBUFFER), DSERR_UNSUPPORTED);
    EXPECT_EQ(device.CreateSoundBuffer({kControls, 64, nullptr}, &buffer), DSERR_INVALIDPARAM);
}

TEST(SoundDevice, ConvertsSampleFormatsAndSaturates) {
    SoundDevice device;
    // 8-bit unsigned stereo: 255 and 0 are the extremes, 128 is silence.
    auto eight = MakeBuffer(device, Pcm(2, 8), {255, 0, 128, 128, 0, 192});
    eight->Play(0);
    EXPECT_EQ(Render(device, 4), (Mix{32512, -32768, 0, 0, -32768, 16384, 0, 0}));
    // 16-bit mono reaches both sides unchanged; sums clip instead of wrapping.
    auto first = Mono16(device, {1234, 30000, -30000});
    first->Play(0);
    EXPECT_EQ(Render(device, 1), (Mix{1234, 1234}));
    auto second = Mono16(device, {30000, -30000});
    second->Play(0);
    EXPECT_EQ(Render(device, 2), (Mix{32767, 32767, -32768, -32768}));
}

// Volume is attenuation in hundredths of a decibel; pan attenuates the other side; they add.
TEST(SoundDevice, VolumeAndPanLevels) {
    const auto measure = [](std::int32_t volume, std::int32_t pan) {
        SoundDevice device;
        auto buffer = Mono16(device, wavetest::Cosine(4400, 100, 32767));
        buffer->SetVolume(volume);
        buffer->SetPan(pan);
        buffer->Play(DSBPLAY_LOOPING);
        return Render(device, 8800);
    };
    const double reference = Rms(measure(0, 0), 0);
    EXPECT_NEAR(reference, 32767 / std::sqrt(2.0), 5.0);
    struct Case {
        std::int32_t volume, pan;
        double left, right;
    };
    for (const Case& c : {Case{-600, 0, 0.501187, 0.501187}, Case{-2000, 0, 0.1, 0.1},
                          Case{DSBVOLUME_MIN, 0, 0, 0}, Case{0, 1000, 0.316228, 1},
                          Case{0, -1000, 1, 0.316228}, Case{-600, 1000, 0.158489, 0.501187},
                          Case{0, DSBPAN_RIGHT, 0, 1}, Case{0, DSBPAN_LEFT, 1, 0}}) {
        const Mix mix = measure(c.volume, c.pan);
        EXPECT_NEAR(Rms(mix, 0) / reference, c.left, 0.0005) << c.volume << " " << c.pan;
        EXPECT_NEAR(Rms(mix, 1) / reference, c.right, 0.0005) << c.volume << " " << c.pan;
    }
}

TEST(SoundDevice, FrequencyChangesTheLengthOfAOneShotSound) {
    for (const auto& [frequency, frames] :
         {std::pair{44100u, 1000L}, {88200u, 500L}, {22050u, 2000L}}) {
        SoundDevice device;
        auto buffer = Mono16(device, Mix(1000, 10000));
        buffer->SetFrequency(frequency);
        buffer->Play(0);
        const Mix mix = Render(device, 3000);
        // Sound from the start for so many frames, then only silence.
        EXPECT_EQ(std::find(mix.begin(), mix.end(), 0) - mix.begin(), 2 * frames) << frequency;
        EXPECT_EQ(std::count(mix.begin(), mix.end(), 0), 6000 - 2 * frames) << frequency;
    }
}

// A loop of whole cosine periods played at an uneven rate must come out as one continuous
// cosine, through every wrap of the buffer.
TEST(SoundDevice, LoopWrapsWithoutAGapOrClick) {
    const double pi = std::acos(-1.0);
    for (std::uint32_t frequency : {44100u, 30000u, 61000u}) {
        SoundDevice device;
        auto buffer = Mono16(device, wavetest::Cosine(500, 50, 20000));
        buffer->SetFrequency(frequency);
        buffer->Play(DSBPLAY_LOOPING);
        const Mix mix = Render(device, 6000);
        const double cyclesPerFrame = frequency / 44100.0 / 50.0;
        double worst = 0;
        for (std::size_t n = 0; n < 6000; ++n) {
            worst = std::max(worst,
                             std::abs(mix[2 * n] - 20000 * std::cos(2 * pi * cyclesPerFrame * n)));
        }
        // Linear interpolation of a 50-frame period errs by at most A(pi/50)^2/2, about 40.
        EXPECT_LT(worst, 45.0) << frequency << " Hz";
        EXPECT_LE(MaxStep(mix, 0), 20000 * 2 * pi * cyclesPerFrame + 2) << frequency << " Hz";
    }
}

TEST(SoundDevice, VolumeAndPanChangesRampInsteadOfStepping) {
    SoundDevice device;
    auto buffer = Mono16(device, Mix(100, 20000));
    buffer->Play(DSBPLAY_LOOPING);
    Mix mix = Render(device, 100);
    EXPECT_EQ(mix[0], 20000);  // a start is immediate: the wave's own first sample at full level
    const auto renderMore = [&] {
        const Mix more = Render(device, 400);
        mix.insert(mix.end(), more.begin(), more.end());
    };
    buffer->SetVolume(DSBVOLUME_MIN);
    renderMore();
    EXPECT_EQ(mix[2 * (100 + kGainRampFrames - 1)], 0);
    buffer->SetVolume(0);
    buffer->SetPan(DSBPAN_RIGHT);
    renderMore();
    EXPECT_EQ(Mix(mix.end() - 2, mix.end()), (Mix{0, 20000}));  // the last frame
    // No step anywhere, the changes included, is larger than a ramp's.
    EXPECT_LE(std::max(MaxStep(mix, 0), MaxStep(mix, 1)), 20000 / kGainRampFrames + 2);
}

// Every way in stays inside the buffer; a lock spanning the end wraps to its start.
TEST(SoundDevice, LocksAndPositionsStayInsideTheBuffer) {
    SoundDevice device;
    auto buffer = Mono16(device, {1, 2, 3, 4, 5});
    void* part[2] = {};
    std::uint32_t bytes[2] = {};
    ASSERT_EQ(buffer->Lock(6, 8, &part[0], &bytes[0], &part[1], &bytes[1], 0), DS_OK);
    ASSERT_EQ(std::pair(bytes[0], bytes[1]), std::pair(4u, 4u));
    // A lock shows what is there: frame 3 (value 4), then frame 0 (value 1).
    EXPECT_EQ(static_cast<std::uint8_t*>(part[0])[0], 4);
    EXPECT_EQ(static_cast<std::uint8_t*>(part[1])[0], 1);
    const wavetest::Bytes written = wavetest::Samples16({40, 50, 10, 20});
    std::copy_n(written.begin(), 4, static_cast<std::uint8_t*>(part[0]));
    std::copy_n(written.begin() + 4, 4, static_cast<std::uint8_t*>(part[1]));
    ASSERT_EQ(buffer->Unlock(part[0], 4, part[1], 4), DS_OK);
    EXPECT_EQ(buffer->Unlock(part[0], 4, part[1], 4), DSERR_INVALIDCALL);
    // Positions are rounded down to a frame.
    EXPECT_EQ(buffer->SetCurrentPosition(3), DS_OK);
    buffer->Play(0);
    EXPECT_EQ(Render(device, 5), (Mix{20, 20, 3, 3, 40, 40, 50, 50, 0, 0}));
    // Stop keeps the position, and a playing buffer takes a new flag.
    buffer->Play(DSBPLAY_LOOPING);
    Render(device, 2);
    buffer->Stop();
    buffer->Play(DSBPLAY_LOOPING);
    buffer->Play(0);
    EXPECT_EQ(Render(device, 4), (Mix{3, 3, 40, 40, 50, 50, 0, 0}));

    EXPECT_EQ(buffer->SetCurrentPosition(10), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(10, 2, &part[0], &bytes[0], nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 11, &part[0], &bytes[0], &part[1], &bytes[1], 0), DSERR_INVALIDPARAM);
    // A wrapping lock with nowhere to put its second part.
    EXPECT_EQ(buffer->Lock(8, 4, &part[0], &bytes[0], nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Lock(0, 2, &part[0], &bytes[0], nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 2, &part[1], &bytes[1], nullptr, nullptr, 0), DSERR_INVALIDCALL);
}

// An extensible wave of PCM samples sounds exactly like the plain wave of the same samples.
TEST(PlayableWave, ExtensiblePcmBecomesThePlainFormat) {
    using wavetest::ExtensibleBody;
    using wavetest::FormatBody;
    const wavetest::Bytes pcm16 = wavetest::Samples16({100, -200, 3000, -4000, 32767, -32768});
    const wavetest::Bytes pcm8 = {0, 64, 128, 192, 255, 1};
    struct Case {
        wavetest::Format format;
        std::uint16_t validBits;
        wavetest::Bytes samples;
        std::uint16_t cbSize;
    };
    const Case cases[] = {
        {{.channels = 1, .bits = 16}, 16, pcm16, 22},
        {{.channels = 2, .rate = 22050, .bits = 16}, 16, pcm16, 22},
        {{.channels = 1, .rate = 11025, .bits = 8}, 8, pcm8, 22},
        {{.channels = 2, .bits = 8}, 0, pcm8, 22},  // valid bits left at 0: all of them
        {{.channels = 1, .bits = 16}, 16, pcm16, 26},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format.channels << "x" << c.format.bits << " valid "
                                        << c.validBits << " cbSize " << c.cbSize);
        WaveData extensible;
        ASSERT_EQ(ReadRiffWave(
                      wavetest::Riff({{"fmt ", ExtensibleBody(c.format, c.validBits, 1, c.cbSize)},
                                      {"data", c.samples}}),
                      &extensible),
                  WaveError::None);
        EXPECT_EQ(ToPlayableWave(&extensible), WaveError::None);
        WaveData plain;
        ASSERT_EQ(
            ReadRiffWave(wavetest::Riff({{"fmt ", FormatBody(c.format)}, {"data", c.samples}}),
                         &plain),
            WaveError::None);
        const WaveFormat& e = extensible.format;
        const WaveFormat& p = plain.format;
        EXPECT_EQ(std::tie(e.formatTag, e.channels, e.samplesPerSec, e.avgBytesPerSec, e.blockAlign,
                           e.bitsPerSample, e.cbSize),
                  std::tie(p.formatTag, p.channels, p.samplesPerSec, p.avgBytesPerSec, p.blockAlign,
                           p.bitsPerSample, p.cbSize));
        EXPECT_TRUE(extensible.extra.empty());
        EXPECT_EQ(extensible.samples, c.samples);
        SoundDevice device;
        auto buffer = MakeBuffer(device, e, extensible.samples);
        ASSERT_NE(buffer, nullptr);
        buffer->SetFrequency(kAudioRate);
        buffer->Play(0);
        SoundDevice reference;
        auto referenceBuffer = MakeBuffer(reference, p, plain.samples);
        referenceBuffer->SetFrequency(kAudioRate);
        referenceBuffer->Play(0);
        EXPECT_EQ(Render(device, 8), Render(reference, 8));
    }
}

// Every wave the mixer cannot play is refused with its reason, and left as it was.
TEST(PlayableWave, OtherWavesAreRefusedWithTheirReason) {
    using wavetest::ExtensibleBody;
    using wavetest::FormatBody;
    using enum WaveError;
    const wavetest::Bytes samples(48, 0x40);
    const std::vector<std::pair<WaveError, wavetest::Bytes>> cases = {
        {NotPcmSubFormat, ExtensibleBody({.bits = 32}, 32, 3)},  // IEEE float
        {NotPcmSubFormat, ExtensibleBody({.bits = 8}, 8, 7)},    // mu-law
        {NotPcmSubFormat, ExtensibleBody({.bits = 16}, 16, 0x101)},
        {ShortExtensible, ExtensibleBody({.bits = 16}, 16, 1, 2)},
        {ShortExtensible, ExtensibleBody({.bits = 16}, 16, 1, 0)},
        {PaddedSamples, ExtensibleBody({.bits = 16}, 12)},
        {PaddedSamples, ExtensibleBody({.bits = 32}, 24)},
        {UnplayableBits, ExtensibleBody({.bits = 24}, 24)},
        {UnplayableBits, ExtensibleBody({.bits = 32}, 32)},
        {UnplayableBits, FormatBody({.bits = 24})},
        {UnplayableChannels, ExtensibleBody({.channels = 3, .bits = 16}, 16)},
        {UnplayableChannels, FormatBody({.channels = 6, .bits = 8})},
        {UnplayableRate, ExtensibleBody({.rate = 192000, .bits = 16}, 16)},
        {UnplayableRate, FormatBody({.rate = 99, .bits = 16})},
        {NotPcm, FormatBody({.tag = 3, .bits = 32})},
        {NotPcm, FormatBody({.tag = 2, .bits = 4})},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        WaveData wave;
        ASSERT_EQ(
            ReadRiffWave(wavetest::Riff({{"fmt ", cases[i].second}, {"data", samples}}), &wave),
            WaveError::None)
            << i;
        const WaveData before = wave;
        EXPECT_EQ(ToPlayableWave(&wave), cases[i].first) << i;
        EXPECT_EQ(wave.format.formatTag, before.format.formatTag) << i;
        EXPECT_EQ(wave.extra, before.extra) << i;
        EXPECT_EQ(wave.samples, before.samples) << i;
    }
    // A block size that disagrees, and data of less than one frame.
    wavetest::Bytes misaligned = FormatBody({.channels = 2, .bits = 16});
    misaligned[12] = 2;
    WaveData wave;
    ASSERT_EQ(ReadRiffWave(wavetest::Riff({{"fmt ", misaligned}, {"data", samples}}), &wave),
              WaveError::None);
    EXPECT_EQ(ToPlayableWave(&wave), BadBlockAlign);
    ASSERT_EQ(ReadRiffWave(
                  wavetest::Riff({{"fmt ", FormatBody({.channels = 2})}, {"data", {1, 2}}}), &wave),
              WaveError::None);
    EXPECT_EQ(ToPlayableWave(&wave), NoSamples);
    EXPECT_EQ(ToPlayableWave(nullptr), NoFormat);
}

// A size that is not a whole number of frames leaves a partial frame at the end: no position
// may land in it, or the mix would read past the buffer (the address sanitizer sees that).
TEST(SoundDevice, PositionsInAPartialLastFrameAreRefused) {
    SoundDevice device;
    // 16-bit stereo, one frame (left 1, right 2) and one stray byte.
    auto stereo = MakeBuffer(device, Pcm(2, 16), {1, 0, 2, 0, 9});
    EXPECT_EQ(stereo->SetCurrentPosition(4), DSERR_INVALIDPARAM);
    stereo->Play(0);  // from where it was: the start
    EXPECT_EQ(Render(device, 2), (Mix{1, 2, 0, 0}));
    EXPECT_EQ(stereo->SetCurrentPosition(3), DS_OK);
    std::uint32_t play = 99;
    stereo->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    // 16-bit mono, three frames and one stray byte.
    auto mono = MakeBuffer(device, Pcm(1, 16), {10, 0, 20, 0, 30, 0, 7});
    EXPECT_EQ(mono->SetCurrentPosition(5), DS_OK);
    EXPECT_EQ(mono->SetCurrentPosition(6), DSERR_INVALIDPARAM);
    EXPECT_EQ(mono->SetCurrentPosition(0xFFFFFFFFu), DSERR_INVALIDPARAM);
    mono->Play(0);
    EXPECT_EQ(Render(device, 2), (Mix{30, 30, 0, 0}));
}

// The mix is a function of the calls alone: how the host slices its pulls changes nothing.
TEST(SoundDevice, OutputDoesNotDependOnHowItIsPulled) {
    const auto run = [](const std::vector<std::size_t>& slices) {
        SoundDevice device;
        auto tone = Mono16(device, wavetest::Cosine(441, 44.1, 15000));
        tone->SetFrequency(37000);
        tone->SetPan(-700);
        tone->Play(DSBPLAY_LOOPING);
        tone->SetVolume(-300);  // a ramp across the first pulls
        Mix mix;
        for (std::size_t slice : slices) {
            const Mix part = Render(device, slice);
            mix.insert(mix.end(), part.begin(), part.end());
        }
        return mix;
    };
    EXPECT_EQ(run({1, 255, 256, 257, 1024, 1207}), run({3000}));
}

// The buffer outlives its device: it refuses to play, and letting it go touches nothing freed.
TEST(SoundDevice, BufferOutlivesItsDevice) {
    InstallHost(std::make_unique<HeadlessHost>());
    std::unique_ptr<SoundBuffer> survivor;
    {
        SoundDevice device;
        ASSERT_EQ(device.Open(), DS_OK);
        survivor = Mono16(device, Mix(441, 1000));
        survivor->Play(0);
    }
    EXPECT_EQ(survivor->Play(0), DSERR_NODRIVER);
    survivor.reset();
    InstallHost(nullptr);
}

}  // namespace
