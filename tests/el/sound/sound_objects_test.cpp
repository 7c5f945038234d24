// The sound device and the sound-object table: loading, lookup order, limits, release and
// reload, on the headless host.
#include "el/sound/sound_objects.h"

#include <unistd.h>

#include <climits>

#include "el/sound/sound_playback.h"
#include "tests/el/sound/sound_test_support.h"

namespace {

using soundtest::SoundTest;
using wavetest::Bytes;

const std::string kNotFound = "elSound::LoadObject : WAVEリソースが見つかりません";
const std::string kBadMixCount = "elSound::LoadObject : ミックス数が多過ぎます";
const std::string kTableFull = "elSound::LoadObject : オブジェクト数が多過ぎます";
const std::string kNoBuffer = "elSound::LoadObject : サウンドバッファが生成できません";
const std::string kNameTooLong = "elSound::LoadObject : ファイル名またはリソース名が長すぎます";

using SoundObjects = SoundTest;

TEST_F(SoundObjects, ResourcesAreFoundAsWaveThenRawData) {
    StartSound();
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(elSound::LoadObject("RAWONLY", 1), 1);
    // A "WAVE" resource that holds no wave gives way to the raw-data one.
    EXPECT_EQ(elSound::LoadObject("BADFIRST", 1), 2);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Frequency(0, 0), 22050u);
    EXPECT_EQ(Frequency(1, 0), 11025u);
    EXPECT_EQ(Frequency(2, 0), 16000u);
    EXPECT_EQ(Record(1).baseFrequency, 11025u);
    EXPECT_STREQ(Record(2).name.data(), "BADFIRST");
    EXPECT_EQ(Buffer(0, 0)->size(), 2u * soundtest::kToneFrames);
}

TEST_F(SoundObjects, MissingBrokenAndUnplayableWavesAreReported) {
    StartSound();
    EXPECT_EQ(elSound::LoadObject("NOSUCH", 1), 0);
    // The canonical header claims a megabyte the resource does not have.
    EXPECT_EQ(elSound::LoadObject("BADWAVE", 2), 0);
    EXPECT_EQ(elSound::LoadObject("ADPCM", 3), 0);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kNotFound, kNotFound, kNoBuffer}));
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(Record(slot).inUse, 0);
        EXPECT_EQ(Buffer(slot, 0), nullptr);
    }
    EXPECT_EQ(Record(0).bufferCount, 1);
    // Nothing was taken: the next load gets slot 0 again.
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(Record(0).inUse, 1);
}

TEST_F(SoundObjects, FileNextToTheExecutableComesFirst) {
    StartSound();
    PutProgramFile("SHADOW", wavetest::Wave16(std::vector<std::int16_t>(320, 9), 1, 32000));
    EXPECT_EQ(elSound::LoadObject("SHADOW", 1), 0);
    EXPECT_EQ(Frequency(0, 0), 32000u);
    EXPECT_EQ(Buffer(0, 0)->size(), 640u);
}

// Each damaged file is refused without a crash and the resource of the same name is used.
TEST_F(SoundObjects, DamagedFilesGiveWayToTheResource) {
    StartSound();
    const Bytes good = wavetest::Wave16(std::vector<std::int16_t>(100, 3), 1, 44100);
    wavetest::Format noChannels;
    noChannels.channels = 0;
    wavetest::Format noRate;
    noRate.rate = 0;
    const Bytes samples(200, 1);
    const std::vector<std::pair<const char*, Bytes>> damaged = {
        {"empty", {}},
        {"truncated", Bytes(good.begin(), good.end() - 7)},
        {"data longer than the file",
         wavetest::Riff({{"fmt ", wavetest::FormatBody({})}, {"data", samples, 0x7FFFFFF0u}})},
        {"odd chunk without its pad byte", wavetest::Riff({{"fmt ", wavetest::FormatBody({})},
                                                           {"odd ", {1, 2, 3}, {}, false},
                                                           {"data", samples}})},
        {"huge format chunk",
         wavetest::Riff({{"fmt ", wavetest::FormatBody({}), 0xFFFFFF00u}, {"data", samples}})},
        {"zero channels",
         wavetest::Riff({{"fmt ", wavetest::FormatBody(noChannels)}, {"data", samples}})},
        {"zero rate", wavetest::Riff({{"fmt ", wavetest::FormatBody(noRate)}, {"data", samples}})},
        {"not a wave", Bytes(64, 'x')},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        PutProgramFile("FALLBACK", bytes);
        const int slot = elSound::LoadObject("FALLBACK", 2);
        EXPECT_EQ(slot, 0);
        EXPECT_EQ(Frequency(0, 0), 8000u);
        EXPECT_EQ(Frequency(0, 1), 8000u);
        elSound::FreeObject(slot);
    }
    EXPECT_TRUE(BoxTexts().empty());
    // The same good file is taken.
    PutProgramFile("FALLBACK", good);
    EXPECT_EQ(elSound::LoadObject("FALLBACK", 1), 0);
    EXPECT_EQ(Frequency(0, 0), 44100u);
}

TEST_F(SoundObjects, MixCountGivesBuffersAndEcho) {
    StartSound();
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 0);
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 1);
    ASSERT_EQ(elSound::LoadObject("TONE", -3), 2);
    ASSERT_EQ(elSound::LoadObject("TONE", 10), 3);
    EXPECT_EQ(Record(0).bufferCount, 1);
    EXPECT_EQ(Record(0).echoStep, -1);
    EXPECT_EQ(Record(1).bufferCount, 3);
    EXPECT_EQ(Record(1).echoStep, 0);
    EXPECT_EQ(Record(2).bufferCount, 3);
    EXPECT_EQ(Record(2).echoStep, -1);
    EXPECT_NE(Buffer(1, 2), nullptr);
    EXPECT_EQ(Buffer(1, 3), nullptr);
    EXPECT_NE(Buffer(3, 9), nullptr);
    // Distinct copies: stopping one leaves the others alone.
    EXPECT_NE(Buffer(1, 0), Buffer(1, 1));

    for (std::int32_t count : {11, -11, 0, INT_MIN, INT_MAX}) {
        EXPECT_EQ(elSound::LoadObject("TONE", count), 0) << count;
    }
    EXPECT_EQ(BoxTexts(), std::vector<std::string>(5, kBadMixCount));
    EXPECT_EQ(Record(4).inUse, 0);
}

TEST_F(SoundObjects, FailureAmongTheCopiesReleasesTheOnesMade) {
    StartSound();
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 0);
    platform::SoundDevice& device = *elSound::detail::State().device;
    device.SetBufferLimit(3);
    // The third of four copies cannot be made.
    EXPECT_EQ(elSound::LoadObject("TONE", 4), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoBuffer});
    EXPECT_EQ(device.bufferCount(), 1u);
    EXPECT_EQ(Record(1).inUse, 0);
    EXPECT_EQ(Record(1).bufferCount, 1);
    EXPECT_EQ(Buffer(1, 0), nullptr);
    EXPECT_EQ(Buffer(1, 1), nullptr);
    // The room the failed load would have held is free for the next one.
    EXPECT_EQ(elSound::LoadObject("TONE", 2), 1);
    EXPECT_EQ(device.bufferCount(), 3u);
}

TEST_F(SoundObjects, LongNameIsRefusedBeforeASlotIsTaken) {
    StartSound();
    const std::string thirtyOne(31, 'A');
    EXPECT_EQ(elSound::LoadObject(thirtyOne.c_str(), 1), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNameTooLong});
    EXPECT_EQ(Record(0).inUse, 0);
    // Thirty characters pass the name check (and then are simply not found).
    EXPECT_EQ(elSound::LoadObject(std::string(30, 'A').c_str(), 1), 0);
    EXPECT_EQ(BoxTexts().back(), kNotFound);
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(Record(0).inUse, 1);
    EXPECT_EQ(elSound::LoadObject(nullptr, 1), 0);
    EXPECT_EQ(BoxTexts().back(), kNotFound);
}

TEST_F(SoundObjects, SeventyObjectsFillTheTable) {
    StartSound();
    for (int slot = 0; slot < elSound::kSlotCount; ++slot) {
        ASSERT_EQ(elSound::LoadObject("TONE", 1), slot);
    }
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kTableFull});
    elSound::FreeObject(41);
    EXPECT_EQ(Record(41).inUse, 0);
    EXPECT_EQ(Buffer(41, 0), nullptr);
    EXPECT_EQ(Record(41).name[0], '\0');
    EXPECT_EQ(elSound::LoadObject("RAWONLY", 1), 41);
    // Out-of-range slots are ignored.
    elSound::FreeObject(-1);
    elSound::FreeObject(70);
    EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_F(SoundObjects, NoAudioDeviceMeansEverythingIsSilentAndHarmless) {
    host->audioDeviceMissing = true;
    EXPECT_EQ(elSound::Init(), 0);
    elSound::ResetObjectTable();
    EXPECT_FALSE(host->audioOpen());
    EXPECT_EQ(elSound::LoadObject("TONE", 3), 0);
    EXPECT_EQ(Record(0).inUse, 0);
    elSound::Play(0, -1);
    elSound::PlayLoop(0, -2);
    elSound::SetVolume(0, -10, -1);
    elSound::Echo(0, 200, 3, 10);
    elSound::Pause(0, 0);
    elSound::ReloadObjects();
    elSound::FreeObject(0);
    elSound::Release();
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(elSound::StoredVolume(0, 0), 0);
    EXPECT_TRUE(host->messageBoxes().empty());
    EXPECT_FALSE(host->audioOpen());
}

TEST_F(SoundObjects, ReleaseThenReloadRestoresEveryObject) {
    StartSound();
    ASSERT_EQ(elSound::LoadObject("TONE", 3), 0);
    ASSERT_EQ(elSound::LoadObject("RAWONLY", -2), 1);
    elSound::SetVolume(0, -12, 0);
    elSound::SetFrequency(0, 50, 1);
    elSound::SetPan(0, -7, 2);
    elSound::SetPan(1, 25, -1);
    elSound::Play(0, -1);
    elSound::Play(0, -1);

    elSound::Release();
    EXPECT_FALSE(host->audioOpen());
    EXPECT_EQ(Buffer(0, 0), nullptr);
    EXPECT_EQ(Record(0).inUse, 1);
    // Between release and reload every operation is a harmless no-op.
    elSound::Play(0, -1);
    elSound::Pause(0, -1);
    elSound::Stop(0, -1);
    elSound::SetVolume(0, -40, -1);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(Record(0).nextBuffer, 2);

    elSound::ReloadObjects();
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(Volume(0, 0), -1200);
    EXPECT_EQ(Frequency(0, 0), 22050u);
    EXPECT_EQ(Frequency(0, 1), 27050u);
    EXPECT_EQ(Pan(0, 2), -700);
    EXPECT_EQ(Volume(0, 1), 0);
    EXPECT_EQ(Pan(1, 0), 2500);
    EXPECT_EQ(Pan(1, 1), 2500);
    EXPECT_EQ(Frequency(1, 1), 11025u);
    EXPECT_EQ(Record(0).baseFrequency, 22050u);
    // Rotation is kept; a reload is silent and makes echo available to any object of two or
    // more buffers, whatever the sign of its first count.
    EXPECT_EQ(Record(0).nextBuffer, 2);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(Record(1).echoStep, 0);
    EXPECT_STREQ(Record(1).name.data(), "RAWONLY");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SoundObjects, PlayWaveSyncPlaysTheFileToItsEndThenRebuilds) {
    StartSound();
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 0);
    elSound::SetVolume(0, -3, 0);
    const std::string path =
        PutProgramFile("sync_" + std::to_string(getpid()) + ".wav",
                       wavetest::Wave16(std::vector<std::int16_t>(4410, 5000), 1, 44100));
    const std::uint64_t before = host->elapsedMs();
    elSound::PlayWaveSync(path.c_str());
    const std::uint64_t waited = host->elapsedMs() - before;
    EXPECT_GE(waited, 100u);
    EXPECT_LE(waited, 120u);
    EXPECT_EQ(std::count(audio.begin(), audio.end(), 5000), 2 * 4410);
    // Rebuilt, with its settings.
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(Volume(0, 0), -300);

    // A file that cannot be read plays nothing and waits for nothing.
    const std::uint64_t again = host->elapsedMs();
    elSound::PlayWaveSync((path + ".missing").c_str());
    elSound::PlayWaveSync(nullptr);
    EXPECT_EQ(host->elapsedMs(), again);
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(Volume(0, 0), -300);
}

}  // namespace
