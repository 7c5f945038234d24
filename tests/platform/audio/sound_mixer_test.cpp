// The sound device measured on what it renders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio/sound_device.h"
#include "platform/headless/headless_host.h"
#include "tests/platform/audio/wave_builder.h"

namespace {

using namespace platform;

constexpr std::uint32_t kControls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;

WaveFormat Pcm(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate = 44100) {
    WaveFormat format;
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = channels;
    format.bitsPerSample = bits;
    format.samplesPerSec = rate;
    format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

std::unique_ptr<SoundBuffer> MakeBuffer(SoundDevice& device, const WaveFormat& format,
                                        const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<SoundBuffer> buffer;
    const SoundBufferDesc desc{kControls | DSBCAPS_STATIC, static_cast<std::uint32_t>(bytes.size()),
                               &format};
    EXPECT_EQ(device.CreateSoundBuffer(desc, &buffer), DS_OK);
    if (!buffer) return buffer;
    void* part1 = nullptr;
    std::uint32_t bytes1 = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &part1, &bytes1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(part1));
    EXPECT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DS_OK);
    return buffer;
}

std::unique_ptr<SoundBuffer> Mono16(SoundDevice& device, const std::vector<std::int16_t>& samples,
                                    std::uint32_t rate = 44100) {
    return MakeBuffer(device, Pcm(1, 16, rate), wavetest::Samples16(samples));
}

std::vector<std::int16_t> Render(SoundDevice& device, std::size_t frames) {
    std::vector<std::int16_t> out(2 * frames);
    device.Render(out.data(), frames);
    return out;
}

double Rms(const std::vector<std::int16_t>& mix, int channel) {
    double sum = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < mix.size(); i += 2) {
        sum += static_cast<double>(mix[i]) * mix[i];
    }
    return std::sqrt(sum / static_cast<double>(mix.size() / 2));
}

int MaxStep(const std::vector<std::int16_t>& mix, int channel) {
    int largest = 0;
    for (std::size_t i = static_cast<std::size_t>(channel) + 2; i < mix.size(); i += 2) {
        largest = std::max(largest, std::abs(mix[i] - mix[i - 2]));
    }
    return largest;
}

TEST(SoundDevice, RefusesFormatsItCannotPlay) {
    SoundDevice device;
    std::unique_ptr<SoundBuffer> buffer;
    const auto create = [&](const WaveFormat& format, std::uint32_t bytes = 64,
                            std::uint32_t flags = kControls) {
        return device.CreateSoundBuffer({flags, bytes, &format}, &buffer);
    };
    for (const auto& [channels, bits] : {std::pair{1, 8}, {2, 8}, {1, 16}, {2, 16}}) {
        EXPECT_EQ(create(Pcm(channels, bits)), DS_OK) << channels << "x" << bits;
        ASSERT_NE(buffer, nullptr);
        std::uint32_t frequency = 0;
        buffer->GetFrequency(&frequency);
        EXPECT_EQ(frequency, 44100u);
    }
    WaveFormat format = Pcm(1, 16);
    format.formatTag = 2;
    EXPECT_EQ(create(format), DSERR_BADFORMAT);
    EXPECT_EQ(create(Pcm(1, 24)), DSERR_BADFORMAT);
    EXPECT_EQ(create(Pcm(3, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(create(Pcm(0, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(create(Pcm(1, 16, 0)), DSERR_BADFORMAT);
    EXPECT_EQ(create(Pcm(1, 16, 100001)), DSERR_BADFORMAT);
    format = Pcm(2, 16);
    format.blockAlign = 2;
    EXPECT_EQ(create(format), DSERR_BADFORMAT);
    EXPECT_EQ(buffer, nullptr);
    // Not even one frame, and the primary buffer the library never needs.
    EXPECT_EQ(create(Pcm(2, 16), 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(Pcm(2, 16), 3), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(Pcm(1, 16), 64, DSBCAPS_PRIMARYBUFFER), DSERR_UNSUPPORTED);
    EXPECT_EQ(device.CreateSoundBuffer({kControls, 64, nullptr}, &buffer), DSERR_INVALIDPARAM);
}

TEST(SoundDevice, ConvertsSampleFormatsToBothSides) {
    SoundDevice device;
    // 8-bit unsigned stereo: 255 and 0 are the extremes, 128 is silence.
    auto eight = MakeBuffer(device, Pcm(2, 8), {255, 0, 128, 128, 0, 192});
    eight->Play(0);
    EXPECT_EQ(Render(device, 4),
              (std::vector<std::int16_t>{32512, -32768, 0, 0, -32768, 16384, 0, 0}));
    // 16-bit mono reaches both sides unchanged.
    auto sixteen = Mono16(device, {1234, -32768, 32767});
    sixteen->Play(0);
    EXPECT_EQ(Render(device, 3),
              (std::vector<std::int16_t>{1234, 1234, -32768, -32768, 32767, 32767}));
}

TEST(SoundDevice, SumsSaturateInsteadOfWrapping) {
    SoundDevice device;
    auto first = MakeBuffer(device, Pcm(2, 16), wavetest::Samples16({30000, -30000}));
    auto second = MakeBuffer(device, Pcm(2, 16), wavetest::Samples16({30000, -30000}));
    first->Play(0);
    second->Play(0);
    EXPECT_EQ(Render(device, 2), (std::vector<std::int16_t>{32767, -32768, 0, 0}));
}

class ToneLevel : public testing::Test {
  protected:
    // A full-scale cosine of 100-frame period, looping.
    std::vector<std::int16_t> Measure(std::int32_t volume, std::int32_t pan) {
        SoundDevice device;
        auto buffer = Mono16(device, wavetest::Cosine(4400, 100, 32767));
        buffer->SetVolume(volume);
        buffer->SetPan(pan);
        buffer->Play(DSBPLAY_LOOPING);
        return Render(device, 8800);
    }
};

TEST_F(ToneLevel, VolumeIsAttenuationInHundredthsOfADecibel) {
    const auto full = Measure(0, 0);
    const double reference = Rms(full, 0);
    EXPECT_NEAR(reference, 32767 / std::sqrt(2.0), 5.0);
    EXPECT_NEAR(Rms(Measure(-600, 0), 0) / reference, 0.501187, 0.0005);
    EXPECT_NEAR(Rms(Measure(-2000, 0), 1) / reference, 0.1, 0.0005);
    const auto silent = Measure(-10000, 0);
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](std::int16_t s) { return s == 0; }));
}

TEST_F(ToneLevel, PanAttenuatesTheOtherSide) {
    const double reference = Rms(Measure(0, 0), 0);
    const auto right = Measure(0, 1000);
    EXPECT_NEAR(Rms(right, 0) / reference, 0.316228, 0.0005);
    EXPECT_NEAR(Rms(right, 1) / reference, 1.0, 0.0005);
    const auto left = Measure(0, -1000);
    EXPECT_NEAR(Rms(left, 0) / reference, 1.0, 0.0005);
    EXPECT_NEAR(Rms(left, 1) / reference, 0.316228, 0.0005);
    // Pan and volume add up in decibels.
    EXPECT_NEAR(Rms(Measure(-600, 1000), 0) / reference, 0.158489, 0.0005);
    const auto hardRight = Measure(0, DSBPAN_RIGHT);
    EXPECT_EQ(Rms(hardRight, 0), 0.0);
    EXPECT_NEAR(Rms(hardRight, 1) / reference, 1.0, 0.0005);
}

TEST(SoundDevice, FrequencyChangesTheLengthOfAOneShotSound) {
    struct Case {
        std::uint32_t frequency;
        std::size_t frames;
    };
    for (const Case& c : {Case{44100, 1000}, Case{88200, 500}, Case{22050, 2000}}) {
        SoundDevice device;
        auto buffer = Mono16(device, std::vector<std::int16_t>(1000, 10000));
        buffer->SetFrequency(c.frequency);
        buffer->Play(0);
        const auto mix = Render(device, 3000);
        std::size_t sounding = 0;
        while (sounding < 3000 && mix[2 * sounding] != 0) ++sounding;
        EXPECT_EQ(sounding, c.frames) << c.frequency << " Hz";
        EXPECT_TRUE(std::all_of(mix.begin() + static_cast<std::ptrdiff_t>(2 * sounding), mix.end(),
                                [](std::int16_t s) { return s == 0; }));
        std::uint32_t status = 1;
        buffer->GetStatus(&status);
        EXPECT_EQ(status, 0u);
    }
}

// A loop of whole cosine periods played at an uneven rate must come out as one continuous
// cosine, through every wrap of the buffer.
TEST(SoundDevice, LoopWrapsWithoutAGapOrClick) {
    const double pi = std::acos(-1.0);
    const double amplitude = 20000;
    for (std::uint32_t frequency : {44100u, 30000u, 61000u}) {
        SoundDevice device;
        auto buffer = Mono16(device, wavetest::Cosine(500, 50, amplitude));
        buffer->SetFrequency(frequency);
        buffer->Play(DSBPLAY_LOOPING);
        const auto mix = Render(device, 6000);
        const double cyclesPerFrame = frequency / 44100.0 / 50.0;
        double worst = 0;
        for (std::size_t n = 0; n < 6000; ++n) {
            const double ideal = amplitude * std::cos(2 * pi * cyclesPerFrame * n);
            worst = std::max(worst, std::abs(mix[2 * n] - ideal));
        }
        // Linear interpolation of a 50-frame period errs by at most A(pi/50)^2/2, about 40.
        EXPECT_LT(worst, 45.0) << frequency << " Hz";
        const double largestStep = amplitude * 2 * pi * cyclesPerFrame;
        EXPECT_LE(MaxStep(mix, 0), largestStep + 2) << frequency << " Hz";
        std::uint32_t status = 0;
        buffer->GetStatus(&status);
        EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    }
}

TEST(SoundDevice, VolumeAndPanChangesRampInsteadOfStepping) {
    SoundDevice device;
    auto buffer = Mono16(device, std::vector<std::int16_t>(100, 20000));
    buffer->Play(DSBPLAY_LOOPING);
    // A start is immediate: the wave's own first sample at full level.
    EXPECT_EQ(Render(device, 1)[0], 20000);
    Render(device, 99);

    buffer->SetVolume(DSBVOLUME_MIN);
    const auto fade = Render(device, 400);
    const int allowed = 20000 / kGainRampFrames + 2;
    EXPECT_LE(MaxStep(fade, 0), allowed);
    EXPECT_LT(fade[0], 20000);
    EXPECT_GT(fade[2 * (kGainRampFrames / 2)], 5000);
    EXPECT_EQ(fade[2 * (kGainRampFrames - 1)], 0);
    EXPECT_EQ(fade.back(), 0);

    buffer->SetVolume(0);
    buffer->SetPan(DSBPAN_RIGHT);
    const auto turn = Render(device, 400);
    EXPECT_LE(MaxStep(turn, 0), allowed);
    EXPECT_LE(MaxStep(turn, 1), allowed);
    // The left side rises and falls back (target 0), the right reaches full level.
    EXPECT_EQ(turn[2 * 399], 0);
    EXPECT_EQ(turn[2 * 399 + 1], 20000);
}

TEST(SoundDevice, PositionAndStatusFollowPlayback) {
    SoundDevice device;
    auto buffer = MakeBuffer(device, Pcm(2, 16), std::vector<std::uint8_t>(400, 1));  // 100 frames
    std::uint32_t status = 9;
    std::uint32_t play = 9;
    std::uint32_t write = 9;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    buffer->Play(0);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    Render(device, 30);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 120u);
    EXPECT_EQ(write, 120u);
    // Stop keeps the position; Play goes on from it.
    buffer->Stop();
    Render(device, 30);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 120u);
    buffer->Play(DSBPLAY_LOOPING);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    // A playing buffer takes the new flag: it now ends after the 70 frames left.
    buffer->Play(0);
    Render(device, 69);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    Render(device, 1);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);

    // Positions are rounded down to a frame; the end and beyond are refused.
    EXPECT_EQ(buffer->SetCurrentPosition(399), DS_OK);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 396u);
    EXPECT_EQ(buffer->SetCurrentPosition(400), DSERR_INVALIDPARAM);
}

TEST(SoundDevice, LockWrapsAndWritesAtUnlock) {
    SoundDevice device;
    auto buffer = Mono16(device, {1, 2, 3, 4, 5});
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    ASSERT_EQ(buffer->Lock(6, 8, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes1, 4u);
    EXPECT_EQ(bytes2, 4u);
    // The lock shows what is there.
    EXPECT_EQ(static_cast<std::uint8_t*>(part1)[0], 4);
    EXPECT_EQ(static_cast<std::uint8_t*>(part2)[0], 1);
    void* other = nullptr;
    std::uint32_t otherBytes = 0;
    EXPECT_EQ(buffer->Lock(0, 2, &other, &otherBytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    const std::vector<std::uint8_t> first = wavetest::Samples16({40, 50});
    const std::vector<std::uint8_t> second = wavetest::Samples16({10, 20});
    std::copy(first.begin(), first.end(), static_cast<std::uint8_t*>(part1));
    std::copy(second.begin(), second.end(), static_cast<std::uint8_t*>(part2));
    std::uint8_t foreign[4];
    EXPECT_EQ(buffer->Unlock(foreign, 4, part2, bytes2), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DSERR_INVALIDCALL);
    buffer->Play(0);
    const auto mix = Render(device, 5);
    EXPECT_EQ(mix, (std::vector<std::int16_t>{10, 10, 20, 20, 3, 3, 40, 40, 50, 50}));

    EXPECT_EQ(buffer->Lock(10, 2, &part1, &bytes1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 11, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    // A wrapping lock with nowhere to put its second part.
    EXPECT_EQ(buffer->Lock(8, 4, &part1, &bytes1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
}

// The mix is a function of the calls alone: how the host slices its pulls changes nothing.
TEST(SoundDevice, OutputDoesNotDependOnHowItIsPulled) {
    const auto run = [](const std::vector<std::size_t>& slices) {
        SoundDevice device;
        auto tone = Mono16(device, wavetest::Cosine(441, 44.1, 15000));
        auto other = MakeBuffer(device, Pcm(2, 8, 11025), std::vector<std::uint8_t>(600, 200));
        tone->SetFrequency(37000);
        tone->SetVolume(-300);
        tone->Play(DSBPLAY_LOOPING);
        other->SetPan(-700);
        other->Play(0);
        std::vector<std::int16_t> mix;
        for (std::size_t slice : slices) {
            const auto part = Render(device, slice);
            mix.insert(mix.end(), part.begin(), part.end());
        }
        return mix;
    };
    const auto whole = run({3000});
    EXPECT_EQ(run({1, 255, 256, 257, 1024, 1207}), whole);
    EXPECT_EQ(run(std::vector<std::size_t>(30, 100)), whole);
}

TEST(SoundDevice, PlaysThroughTheHeadlessHost) {
    auto owned = std::make_unique<HeadlessHost>();
    HeadlessHost& host = *owned;
    InstallHost(std::move(owned));
    std::vector<std::int16_t> captured;
    host.onAudio = [&](const std::int16_t* samples, std::size_t frames) {
        captured.insert(captured.end(), samples, samples + 2 * frames);
    };
    std::unique_ptr<SoundBuffer> survivor;
    {
        SoundDevice device;
        ASSERT_EQ(device.Open(), DS_OK);
        EXPECT_TRUE(host.audioOpen());
        survivor = Mono16(device, std::vector<std::int16_t>(441, 1000));
        survivor->Play(0);
        host.AdvanceClock(20);  // 882 frames: the 441 of the sound, then silence
        ASSERT_EQ(captured.size(), 2u * 882);
        EXPECT_EQ(std::count(captured.begin(), captured.end(), 1000), 2 * 441);
    }
    // The device is gone: the output closed, the buffer still answers and stays silent.
    EXPECT_FALSE(host.audioOpen());
    EXPECT_EQ(survivor->Play(0), DSERR_NODRIVER);
    std::uint32_t status = 1;
    survivor->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    survivor.reset();

    host.audioDeviceMissing = true;
    SoundDevice silent;
    EXPECT_EQ(silent.Open(), DSERR_NODRIVER);
    InstallHost(nullptr);
}

}  // namespace
