// Playback control: selectors and rotation, clamps, pause, echo, heard on the headless host.
#include "el/sound/sound_playback.h"

#include <climits>

#include "el/sound/sound_objects.h"
#include "platform/crt.h"
#include "tests/el/sound/sound_test_support.h"

namespace {

using soundtest::kToneLevel;
using soundtest::SoundTest;

class SoundPlayback : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        StartSound();
    }
    std::uint32_t Position(int slot, int j) {
        std::uint32_t play = 0;
        Buffer(slot, j)->GetCurrentPosition(&play, nullptr);
        return play;
    }
};

TEST_F(SoundPlayback, RotationOverlapsTheDuplicates) {
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    for (int i = 0; i < 3; ++i) elSound::Play(0, -1);
    EXPECT_TRUE(Playing(0, 0) && Playing(0, 1) && Playing(0, 2));
    EXPECT_EQ(Record(0).nextBuffer, 0);
    host->AdvanceClock(50);
    EXPECT_EQ(LeftAt(FrameAtMs(25)), 3 * kToneLevel);
    EXPECT_GT(Position(0, 0), 0u);
    // The fourth play restarts buffer 0 while 1 and 2 go on.
    elSound::Play(0, -1);
    EXPECT_EQ(Position(0, 0), 0u);
    EXPECT_GT(Position(0, 1), 0u);
    EXPECT_EQ(Record(0).nextBuffer, 1);
    host->AdvanceClock(90);
    EXPECT_EQ(LeftAt(FrameAtMs(75)), 3 * kToneLevel);
    EXPECT_EQ(LeftAt(FrameAtMs(125)), kToneLevel);
    EXPECT_EQ(elSound::IsPlaying(0), 1);
    host->AdvanceClock(20);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(LeftAt(FrameAtMs(155)), 0);

    // A chosen buffer plays without moving the rotation.
    elSound::PlayLoop(0, 2);
    EXPECT_TRUE(Playing(0, 2));
    EXPECT_FALSE(Playing(0, 1));
    EXPECT_EQ(Record(0).nextBuffer, 1);
    EXPECT_EQ(Record(0).looping, 1);
}

TEST_F(SoundPlayback, StopWithANegativeSelectorStopsAllAndRewinds) {
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    for (int i = 0; i < 3; ++i) elSound::Play(0, -1);
    host->AdvanceClock(20);
    elSound::Stop(0, 1);
    EXPECT_TRUE(Playing(0, 0));
    EXPECT_FALSE(Playing(0, 1));
    EXPECT_EQ(Position(0, 1), 0u);
    // -2 means the next buffer for the other operations, but every buffer for Stop.
    elSound::Stop(0, -2);
    for (int j = 0; j < 3; ++j) {
        EXPECT_FALSE(Playing(0, j));
        EXPECT_EQ(Position(0, j), 0u);
    }
    const std::size_t heard = audio.size();
    host->AdvanceClock(20);
    EXPECT_TRUE(std::all_of(audio.begin() + static_cast<std::ptrdiff_t>(heard), audio.end(),
                            [](std::int16_t s) { return s == 0; }));
}

TEST_F(SoundPlayback, VolumesAreClampedStoredAndReachTheMixer) {
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    const auto expectVolumes = [&](std::int32_t v0, std::int32_t v1, std::int32_t v2) {
        const std::int32_t want[3] = {v0, v1, v2};
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(elSound::StoredVolume(0, j), want[j]) << "buffer " << j;
            EXPECT_EQ(Volume(0, j), want[j]) << "buffer " << j;
        }
    };
    elSound::SetVolume(0, 5, -1);
    expectVolumes(0, 0, 0);
    elSound::SetVolume(0, -500, -1);
    expectVolumes(-10000, -10000, -10000);
    elSound::SetVolume(0, -50, -1);
    expectVolumes(-5000, -5000, -5000);
    elSound::AddVolume(0, 10, 0);
    elSound::AddVolume(0, -100, 1);
    elSound::AddVolume(0, INT_MAX, 2);
    expectVolumes(-4000, -10000, 0);
    // -2 is the buffer the next rotating play uses.
    elSound::ResetVolume(0, -1);
    elSound::SetVolume(0, -7, -2);
    elSound::Play(0, -1);
    elSound::AddVolume(0, -8, -2);
    expectVolumes(-700, -800, 0);
    // Selectors beyond the object's buffers and slots without an object change nothing.
    elSound::SetVolume(0, -9, 3);
    elSound::SetVolume(0, -9, INT_MAX);
    elSound::SetVolume(1, -9, -1);
    elSound::SetVolume(70, -9, -1);
    elSound::SetVolume(-1, -9, -1);
    expectVolumes(-700, -800, 0);
    EXPECT_EQ(elSound::StoredVolume(0, 3), 0);
    EXPECT_EQ(elSound::StoredVolume(0, -1), 0);
    EXPECT_EQ(elSound::StoredVolume(70, 0), 0);
}

TEST_F(SoundPlayback, FrequenciesAndPansAreClamped) {
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    elSound::AddFrequency(0, 1000, -1);
    EXPECT_EQ(Frequency(0, 0), 100000u);
    EXPECT_EQ(Record(0).frequency[2], 100000u);
    elSound::AddFrequency(0, -2000, 0);
    elSound::SetFrequency(0, -300, 1);
    elSound::AddFrequency(0, INT_MIN, 2);
    EXPECT_EQ(Frequency(0, 0), 100u);
    EXPECT_EQ(Frequency(0, 1), 100u);
    EXPECT_EQ(Frequency(0, 2), 100u);
    elSound::SetFrequency(0, 10, 1);
    EXPECT_EQ(Frequency(0, 1), 23050u);
    elSound::ResetFrequency(0, -1);
    EXPECT_EQ(Frequency(0, 0), 22050u);
    EXPECT_EQ(Frequency(0, 1), 22050u);

    elSound::SetPan(0, 150, -1);
    EXPECT_EQ(Pan(0, 1), 10000);
    elSound::SetPan(0, -150, 0);
    elSound::AddPan(0, 5, 0);
    EXPECT_EQ(Pan(0, 0), -9500);
    EXPECT_EQ(Record(0).pan[0], -9500);
    elSound::PanLeft(0, 1);
    elSound::PanRight(0, 2);
    EXPECT_EQ(Pan(0, 1), -10000);
    EXPECT_EQ(Pan(0, 2), 10000);
    elSound::AddPan(0, INT_MAX, 1);
    EXPECT_EQ(Pan(0, 1), 10000);
    elSound::ResetPan(0, -1);
    EXPECT_EQ(Pan(0, 0), 0);
    EXPECT_EQ(Pan(0, 2), 0);
}

TEST_F(SoundPlayback, PauseResumesALoopFromWhereItStopped) {
    ASSERT_EQ(elSound::LoadObject("COUNTER", 1), 0);
    elSound::PlayLoop(0, 0);
    host->AdvanceClock(30);  // 1323 frames
    elSound::Pause(0, 0);
    EXPECT_FALSE(Playing(0, 0));
    EXPECT_EQ(Record(0).pausePosition[0], 2u * 1323);
    host->AdvanceClock(20);
    elSound::Pause(0, 0);
    std::uint32_t status = 0;
    Buffer(0, 0)->GetStatus(&status);
    EXPECT_EQ(status, platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
    host->AdvanceClock(100);
    // Silence while paused, then the counter from frame 1323 on, through the loop's wrap.
    for (std::size_t frame = FrameAtMs(30); frame < FrameAtMs(50); ++frame) {
        ASSERT_EQ(LeftAt(frame), 0) << frame;
    }
    for (std::size_t n = 0; n < FrameAtMs(100); ++n) {
        ASSERT_EQ(LeftAt(FrameAtMs(50) + n), static_cast<std::int16_t>((1323 + n) % 4410)) << n;
    }
}

TEST_F(SoundPlayback, EchoRepeatsOnTheNextBuffersEverQuieter) {
    ASSERT_EQ(elSound::LoadObject("TONE", 4), 0);
    elSound::SetVolume(0, -20, -1);  // the start of an echo resets it
    elSound::Play(0, -2);
    EXPECT_EQ(Volume(0, 0), 0);
    EXPECT_EQ(Record(0).echoStep, 1);
    std::vector<int> startedAtFrame;
    elSystem::FrameDelta = 0.05f;
    for (int frame = 1; frame <= 30; ++frame) {
        host->AdvanceClock(50);
        const int before = Record(0).nextBuffer;
        elSound::Echo(0, 200, 3, 10);
        if (Record(0).nextBuffer != before) startedAtFrame.push_back(frame);
    }
    // Every 200 ms, three times, on buffers 1, 2 and 3.
    EXPECT_EQ(startedAtFrame, (std::vector<int>{4, 8, 12}));
    EXPECT_EQ(Record(0).echoStep, 0);
    EXPECT_EQ(elSound::StoredVolume(0, 1), -1000);
    EXPECT_EQ(elSound::StoredVolume(0, 2), -2000);
    EXPECT_EQ(elSound::StoredVolume(0, 3), -3000);
    // Heard: full, then -10, -20 and -30 dB, each for the 100 ms of the tone.
    EXPECT_EQ(LeftAt(FrameAtMs(50)), kToneLevel);
    EXPECT_EQ(LeftAt(FrameAtMs(150)), 0);
    EXPECT_NEAR(LeftAt(FrameAtMs(250)), kToneLevel * 0.316228, 1);
    EXPECT_EQ(LeftAt(FrameAtMs(350)), 0);
    EXPECT_NEAR(LeftAt(FrameAtMs(450)), kToneLevel * 0.1, 1);
    EXPECT_NEAR(LeftAt(FrameAtMs(650)), kToneLevel * 0.0316228, 1);
    EXPECT_EQ(LeftAt(FrameAtMs(800)), 0);
    EXPECT_EQ(LeftAt(FrameAtMs(1450)), 0);
}

TEST_F(SoundPlayback, EchoEndsOnStopAndNeedsTwoBuffers) {
    ASSERT_EQ(elSound::LoadObject("TONE", 4), 0);
    elSystem::FrameDelta = 0.25f;
    elSound::Play(0, -2);
    // Stopping one buffer leaves the echo running; a negative selector ends it.
    elSound::Stop(0, 0);
    elSound::Echo(0, 200, 3, 10);
    EXPECT_EQ(Record(0).echoStep, 2);
    elSound::Stop(0, -1);
    EXPECT_EQ(Record(0).echoStep, 0);
    elSound::Echo(0, 200, 3, 10);
    elSound::Echo(0, 200, 3, 10);
    EXPECT_EQ(Record(0).nextBuffer, 2);
    EXPECT_EQ(elSound::IsPlaying(0), 0);

    // One buffer: -2 plays it but starts no echo (and resets nothing).
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 1);
    elSound::SetVolume(1, -10, -1);
    elSound::Play(1, -2);
    EXPECT_EQ(Record(1).echoStep, -1);
    EXPECT_EQ(Volume(1, 0), -1000);
    host->AdvanceClock(20);
    const std::uint32_t position = Position(1, 0);
    elSound::Echo(1, 10, 3, 10);
    EXPECT_EQ(Position(1, 0), position);
    // No steps, no echo.
    elSound::Play(0, -2);
    elSound::Echo(0, 200, 0, 10);
    EXPECT_EQ(Record(0).echoStep, 1);
    EXPECT_EQ(Record(0).echoTimer, 0.0f);
}

TEST_F(SoundPlayback, EchoPanWandersWithinThirtyDecibels) {
    ASSERT_EQ(elSound::LoadObject("TONE", 4), 0);
    crt::srand(7);
    const int direction = (crt::rand() % 2) * 2 - 1;
    crt::srand(7);
    elSound::SetPan(0, 12, -1);
    elSound::PlayLoop(0, -2);
    EXPECT_EQ(Pan(0, 0), 0);
    EXPECT_EQ(Record(0).echoLooping, 1);
    elSystem::FrameDelta = 0.05f;
    for (int frame = 0; frame < 12; ++frame) {
        host->AdvanceClock(50);
        elSound::EchoPan(0, 200, 3, 6, 4);
    }
    // 20 per repetition: 20, then 40 held at 30 (turning back), then 10.
    EXPECT_EQ(Pan(0, 1), direction * 2000);
    EXPECT_EQ(Pan(0, 2), direction * 3000);
    EXPECT_EQ(Pan(0, 3), direction * 1000);
    EXPECT_EQ(Volume(0, 3), -1800);
    // Looping repetitions for a looping start.
    std::uint32_t status = 0;
    Buffer(0, 3)->GetStatus(&status);
    EXPECT_EQ(status, platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
}

TEST_F(SoundPlayback, CallsOnFreeSlotsAndBadSelectorsDoNothing) {
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    for (std::int32_t slot : {-1, 1, 5, 69, 70, INT_MIN, INT_MAX}) {
        elSound::Play(slot, -1);
        elSound::PlayLoop(slot, -2);
        elSound::Pause(slot, -1);
        elSound::Stop(slot, -1);
        elSound::AddFrequency(slot, 10, -1);
        elSound::Echo(slot, 1, 3, 10);
        elSound::EchoPan(slot, 1, 3, 10, 5);
        EXPECT_EQ(elSound::IsPlaying(slot), 0);
    }
    for (std::int32_t selector : {3, 4, 10, INT_MAX}) {
        elSound::Play(0, selector);
        elSound::PlayLoop(0, selector);
        elSound::Pause(0, selector);
        elSound::SetPan(0, 10, selector);
    }
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(Record(0).nextBuffer, 0);
    EXPECT_EQ(Record(0).looping, 0);
    EXPECT_EQ(Pan(0, 0), 0);
    host->AdvanceClock(10);
    EXPECT_TRUE(std::all_of(audio.begin(), audio.end(), [](std::int16_t s) { return s == 0; }));
}

}  // namespace
