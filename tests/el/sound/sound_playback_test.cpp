// Playback control: selectors and rotation, clamps, pause, echo, heard on the headless host.
#include "el/sound/sound_playback.h"

#include <climits>

#include "el/sound/sound_objects.h"
#include "platform/crt.h"
#include "tests/el/sound/sound_test_support.h"

namespace {

using soundtest::kToneLevel;
constexpr std::uint32_t kLooping = platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING;

class SoundPlayback : public soundtest::SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        StartSound();
        ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    }
};

TEST_F(SoundPlayback, RotationOverlapsTheDuplicatesAndStopEndsThem) {
    for (int i = 0; i < 3; ++i) elSound::Play(0, -1);
    host->AdvanceClock(50);
    EXPECT_EQ(LeftAt(FrameAtMs(25)), 3 * kToneLevel);
    // The fourth play restarts buffer 0 while 1 and 2 go on.
    elSound::Play(0, -1);
    host->AdvanceClock(90);
    EXPECT_EQ(LeftAt(FrameAtMs(75)), 3 * kToneLevel);
    EXPECT_EQ(LeftAt(FrameAtMs(125)), kToneLevel);
    EXPECT_EQ(elSound::IsPlaying(0), 1);
    host->AdvanceClock(20);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    // A chosen buffer plays without moving the rotation.
    elSound::PlayLoop(0, 2);
    EXPECT_EQ(std::tuple(Status(0, 0), Status(0, 1), Status(0, 2)), std::tuple(0u, 0u, kLooping));
    // Stop takes one buffer, or all of them for any negative selector: -2 too, which means the
    // next buffer for the other operations.
    elSound::Play(0, -1);
    EXPECT_TRUE(Playing(0, 1));
    elSound::Play(0, -1);
    elSound::Play(0, -1);
    host->AdvanceClock(20);
    elSound::Stop(0, 1);
    EXPECT_EQ(std::tuple(Playing(0, 0), Playing(0, 1), Playing(0, 2)),
              std::tuple(true, false, true));
    elSound::Stop(0, -2);
    for (int j = 0; j < 3; ++j) {
        EXPECT_FALSE(Playing(0, j));
        EXPECT_EQ(Position(0, j), 0u);
    }
}

TEST_F(SoundPlayback, VolumesFrequenciesAndPansAreClampedAndReachTheMixer) {
    const auto expectVolumes = [&](const std::vector<std::int32_t>& want) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(elSound::StoredVolume(0, j), want[j]) << "buffer " << j;
            EXPECT_EQ(Volume(0, j), want[j]) << "buffer " << j;
        }
    };
    elSound::SetVolume(0, 5, -1);
    expectVolumes({0, 0, 0});
    elSound::SetVolume(0, -500, -1);
    expectVolumes({-10000, -10000, -10000});
    elSound::SetVolume(0, -50, -1);
    elSound::AddVolume(0, 10, 0);
    elSound::AddVolume(0, -100, 1);
    elSound::AddVolume(0, INT_MAX, 2);
    expectVolumes({-4000, -10000, 0});
    // -2 is the buffer the next rotating play uses.
    elSound::ResetVolume(0, -1);
    elSound::SetVolume(0, -7, -2);
    elSound::Play(0, -1);
    elSound::AddVolume(0, -8, -2);
    expectVolumes({-700, -800, 0});

    elSound::AddFrequency(0, 1000, -1);
    EXPECT_EQ(Frequency(0, 2), 100000u);
    elSound::AddFrequency(0, -2000, 0);
    elSound::SetFrequency(0, -300, 1);
    elSound::AddFrequency(0, INT_MIN, 2);
    EXPECT_EQ(std::tuple(Frequency(0, 0), Frequency(0, 1), Frequency(0, 2)),
              std::tuple(100u, 100u, 100u));
    // Set counts from the wave's own rate.
    elSound::SetFrequency(0, 10, 1);
    EXPECT_EQ(Frequency(0, 1), 23050u);
    elSound::ResetFrequency(0, -1);
    EXPECT_EQ(Frequency(0, 1), 22050u);

    elSound::SetPan(0, 150, -1);
    elSound::SetPan(0, -150, 0);
    elSound::AddPan(0, 5, 0);
    elSound::PanLeft(0, 1);
    EXPECT_EQ(std::tuple(Pan(0, 0), Pan(0, 1), Pan(0, 2)), std::tuple(-9500, -10000, 10000));
    elSound::AddPan(0, INT_MAX, 1);
    elSound::PanRight(0, 0);
    EXPECT_EQ(std::pair(Pan(0, 0), Pan(0, 1)), std::pair(10000, 10000));
}

TEST_F(SoundPlayback, PauseResumesALoopFromWhereItStopped) {
    ASSERT_EQ(elSound::LoadObject("COUNTER", 1), 1);
    elSound::PlayLoop(1, 0);
    host->AdvanceClock(30);  // 1323 frames
    elSound::Pause(1, 0);
    host->AdvanceClock(20);
    elSound::Pause(1, 0);
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
    ASSERT_EQ(elSound::LoadObject("TONE", 4), 1);
    elSound::SetVolume(1, -20, -1);  // the start of an echo resets it
    elSound::Play(1, -2);
    EXPECT_EQ(Volume(1, 0), 0);
    std::vector<int> startedAtFrame;
    elSystem::FrameDelta = 0.05f;
    for (int frame = 1; frame <= 30; ++frame) {
        host->AdvanceClock(50);
        const int before = Record(1).nextBuffer;
        elSound::Echo(1, 200, 3, 10);
        if (Record(1).nextBuffer != before) startedAtFrame.push_back(frame);
    }
    // Every 200 ms, three times.
    EXPECT_EQ(startedAtFrame, (std::vector<int>{4, 8, 12}));
    // Heard: full, then -10, -20 and -30 dB, each for the 100 ms of the tone.
    EXPECT_EQ(LeftAt(FrameAtMs(50)), kToneLevel);
    EXPECT_EQ(LeftAt(FrameAtMs(150)), 0);
    EXPECT_NEAR(LeftAt(FrameAtMs(250)), kToneLevel * 0.316228, 1);
    EXPECT_NEAR(LeftAt(FrameAtMs(450)), kToneLevel * 0.1, 1);
    EXPECT_NEAR(LeftAt(FrameAtMs(650)), kToneLevel * 0.0316228, 1);
    EXPECT_EQ(LeftAt(FrameAtMs(800)), 0);
}

TEST_F(SoundPlayback, EchoEndsOnStopAndNeedsStepsAndTwoBuffers) {
    elSystem::FrameDelta = 0.25f;
    elSound::Play(0, -2);
    // Stopping one buffer leaves the echo running; a negative selector ends it.
    elSound::Stop(0, 0);
    elSound::Echo(0, 200, 3, 10);
    EXPECT_EQ(Record(0).nextBuffer, 2);
    elSound::Stop(0, -1);
    elSound::Echo(0, 200, 3, 10);
    EXPECT_EQ(Record(0).nextBuffer, 2);
    elSound::Play(0, -2);
    elSound::Echo(0, 200, 0, 10);
    EXPECT_EQ(Record(0).nextBuffer, 0);
    // One buffer: -2 plays it but starts no echo, which would reset its volume.
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 1);
    elSound::SetVolume(1, -10, -1);
    elSound::Play(1, -2);
    EXPECT_EQ(Volume(1, 0), -1000);
}

TEST_F(SoundPlayback, EchoPanWandersWithinThirtyDecibels) {
    ASSERT_EQ(elSound::LoadObject("TONE", 4), 1);
    crt::srand(7);
    const int direction = (crt::rand() % 2) * 2 - 1;
    crt::srand(7);
    elSound::SetPan(1, 12, -1);
    elSound::PlayLoop(1, -2);
    elSystem::FrameDelta = 0.05f;
    for (int frame = 0; frame < 12; ++frame) {
        host->AdvanceClock(50);
        elSound::EchoPan(1, 200, 3, 6, 4);
    }
    // Reset at the start, then 20 per repetition: 20, then 40 held at 30 (turning back), then 10.
    EXPECT_EQ(std::tuple(Pan(1, 0), Pan(1, 1), Pan(1, 2), Pan(1, 3)),
              std::tuple(0, direction * 2000, direction * 3000, direction * 1000));
    EXPECT_EQ(Volume(1, 3), -1800);
    EXPECT_EQ(Status(1, 3), kLooping);  // looping repetitions for a looping start
}

TEST_F(SoundPlayback, FreeSlotsAndBadSelectorsNeverReachTheMixer) {
    for (std::int32_t slot : {-1, 1, 69, 70, INT_MIN, INT_MAX}) {
        soundtest::CallEverything(slot, -1);
        EXPECT_EQ(elSound::IsPlaying(slot), 0);
        EXPECT_EQ(elSound::StoredVolume(slot, 0), 0);
    }
    for (std::int32_t selector : {3, 4, 10, INT_MAX}) {
        soundtest::CallEverything(0, selector);
        EXPECT_EQ(elSound::StoredVolume(0, selector), 0);
    }
    EXPECT_EQ(elSound::StoredVolume(0, -1), 0);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(Record(0).nextBuffer, 0);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(std::tuple(Pan(0, j), Volume(0, j), Frequency(0, j)), std::tuple(0, 0, 22050u));
    }
    host->AdvanceClock(10);
    EXPECT_TRUE(std::all_of(audio.begin(), audio.end(), [](std::int16_t s) { return s == 0; }));
}

}  // namespace
