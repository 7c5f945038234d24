// The sound-object table: loading, lookup order, limits, release and reload.
#include "el/sound/sound_objects.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "el/sound/sound_playback.h"
#include "tests/el/sound/sound_test_support.h"
#include "tests/platform/audio/unusual_files.h"

namespace {

using wavetest::Bytes;
using SoundObjects = soundtest::SoundTest;

const std::string kNotFound = "elSound::LoadObject : WAVEリソースが見つかりません";
const std::string kBadMixCount = "elSound::LoadObject : ミックス数が多過ぎます";
const std::string kNoBuffer = "elSound::LoadObject : サウンドバッファが生成できません";

std::size_t DeviceBuffers() {
    return elSound::detail::State().device->bufferCount();
}

TEST_F(SoundObjects, ResourcesAreFoundAsWaveThenRawDataInTheirBuffers) {
    StartSound();
    struct Case {
        const char* name;
        std::int32_t count, buffers, echoStep;
        std::uint32_t frequency;
    };
    const Case cases[] = {
        {"TONE", 1, 1, -1, 22050},
        {"RAWONLY", 3, 3, 0, 11025},
        {"BADFIRST", -3, 3, -1, 16000},  // a WAVE resource holding no wave gives way to raw data
        {"TONE", 10, 10, 0, 22050},
    };
    for (int slot = 0; slot < 4; ++slot) {
        const Case& c = cases[slot];
        ASSERT_EQ(elSound::LoadObject(c.name, c.count), slot) << c.name;
        EXPECT_EQ(Record(slot).bufferCount, c.buffers) << c.name;
        EXPECT_EQ(Record(slot).echoStep, c.echoStep) << c.name;
        EXPECT_EQ(Frequency(slot, c.buffers - 1), c.frequency) << c.name;
    }
    EXPECT_EQ(DeviceBuffers(), 17u);
    EXPECT_EQ(Buffer(0, 0)->size(), 2u * soundtest::kToneFrames);
    EXPECT_TRUE(BoxTexts().empty());
}

// Whatever is refused takes no slot and makes no buffer.
TEST_F(SoundObjects, RefusedLoadsTakeNothing) {
    StartSound();
    const std::string thirty(30, 'A');
    const std::string thirtyOne(31, 'A');
    const std::vector<std::tuple<const char*, std::int32_t, std::string>> cases = {
        {"NOSUCH", 1, kNotFound},
        {"BADWAVE", 2, kNotFound},  // its header claims a megabyte the resource does not have
        {"ADPCM", 3, kNoBuffer},
        {thirtyOne.c_str(), 1, "elSound::LoadObject : ファイル名またはリソース名が長すぎます"},
        {thirty.c_str(), 1, kNotFound},  // passes the name check, then is not found
        {nullptr, 1, kNotFound},
        {"TONE", 0, kBadMixCount},
        {"TONE", 11, kBadMixCount},
        {"TONE", -11, kBadMixCount},
        {"TONE", INT_MIN, kBadMixCount},
        {"TONE", INT_MAX, kBadMixCount},
    };
    for (const auto& [name, count, box] : cases) {
        EXPECT_EQ(elSound::LoadObject(name, count), 0);
        EXPECT_EQ(BoxTexts().back(), box) << (name ? name : "null") << " " << count;
        EXPECT_EQ(Record(0).inUse, 0);
        EXPECT_EQ(DeviceBuffers(), 0u);
    }
    EXPECT_EQ(BoxTexts().size(), cases.size());
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(Record(0).inUse, 1);
    // A failure among the copies releases the ones made: the third of four cannot be made.
    elSound::detail::State().device->SetBufferLimit(3);
    EXPECT_EQ(elSound::LoadObject("TONE", 4), 0);
    EXPECT_EQ(BoxTexts().back(), kNoBuffer);
    EXPECT_EQ(DeviceBuffers(), 1u);
    EXPECT_EQ(Record(1).inUse, 0);
    EXPECT_EQ(elSound::LoadObject("TONE", 2), 1);  // the room it would have held is free
}

// A file next to the executable comes first; a damaged one gives way to the resource.
TEST_F(SoundObjects, ProgramFileComesFirstUnlessDamaged) {
    StartSound();
    const Bytes good = wavetest::Wave16(std::vector<std::int16_t>(100, 3), 1, 44100);
    for (const Bytes& damaged :
         {Bytes(), Bytes(good.begin(), good.end() - 7), Bytes(64, 'x'),
          wavetest::Riff({{"fmt ", wavetest::FormatBody({}), 0xFFFFFF00u}, {"data", {1, 2}}})}) {
        PutProgramFile("FALLBACK", damaged);
        EXPECT_EQ(elSound::LoadObject("FALLBACK", 2), 0);
        EXPECT_EQ(std::pair(Frequency(0, 0), Frequency(0, 1)), std::pair(8000u, 8000u));
        elSound::FreeObject(0);
    }
    EXPECT_TRUE(BoxTexts().empty());
    PutProgramFile("FALLBACK", good);
    EXPECT_EQ(elSound::LoadObject("FALLBACK", 1), 0);
    EXPECT_EQ(Frequency(0, 0), 44100u);
    EXPECT_EQ(Buffer(0, 0)->size(), 200u);
}

// Editors often save in the extensible format; 8- and 16-bit PCM in it plays.
TEST_F(SoundObjects, AnExtensiblePcmFileReplacesTheBuiltInWave) {
    StartSound();
    const Bytes samples = wavetest::Samples16(std::vector<std::int16_t>(300, -1234));
    PutProgramFile("REPLACED",
                   wavetest::Riff({{"fmt ", wavetest::ExtensibleBody({.channels = 2}, 16)},
                                   {"data", samples}}));
    testing::internal::CaptureStderr();
    ASSERT_EQ(elSound::LoadObject("REPLACED", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Frequency(0, 0), 44100u);
    EXPECT_EQ(Buffer(0, 0)->size(), samples.size());
    elSound::Play(0, 0);
    host->AdvanceClock(1);
    EXPECT_EQ(LeftAt(0), -1234);
    EXPECT_TRUE(BoxTexts().empty());
}

// A file next to the program that cannot be used for any reason gives way to the built-in wave
// at once, with one line on standard error that names the file and the reason.
TEST_F(SoundObjects, AnUnusableProgramFileGivesWayToTheBuiltInWaveAndSaysWhy) {
    StartSound();
    const std::string path = std::string(elSystem::ProgramDirectory()) + "REPLACED";
    const auto load = [&](const std::string& reason) {
        SCOPED_TRACE(reason);
        testing::internal::CaptureStderr();
        std::int32_t slot = -1;
        const double seconds =
            wavetest::SecondsFor([&] { slot = elSound::LoadObject("REPLACED", 1); });
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_LT(seconds, 1.0);
        ASSERT_EQ(slot, 0);
        EXPECT_EQ(Frequency(0, 0), 8000u);  // the built-in one
        EXPECT_EQ(said, std::string(program_invocation_short_name) + ": " + path + ": " + reason +
                            "; using the built-in REPLACED instead\n");
        elSound::FreeObject(0);
    };
    using wavetest::ExtensibleBody;
    const Bytes samples(400, 0x10);
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"extensible format whose sub-format is not PCM",
         wavetest::Riff({{"fmt ", ExtensibleBody({.bits = 32}, 32, 3)}, {"data", samples}})},
        {"samples of other than 8 or 16 bits",
         wavetest::Riff({{"fmt ", ExtensibleBody({.bits = 24}, 24)}, {"data", samples}})},
        {"fewer valid bits than the sample size",
         wavetest::Riff({{"fmt ", ExtensibleBody({.bits = 16}, 12)}, {"data", samples}})},
        {"not a RIFF WAVE file", Bytes(64, 'x')},
        {"no whole sample frame", wavetest::Wave16({})},
    };
    for (const auto& [reason, bytes] : files) {
        PutProgramFile("REPLACED", bytes);
        load(reason);
    }
    std::filesystem::remove(path);
    {
        const wavetest::Fifo fifo(path);
        ASSERT_TRUE(fifo.made());
        load("not a regular file");
    }
    std::filesystem::create_directory(path);
    load("not a regular file");
    std::filesystem::remove(path);
    // Headers that promise 2 and 4 GiB of samples, in sparse files that are that long.
    for (const std::uint32_t size : {0x80000000u, 0xFFFFFFD0u}) {
        const Bytes head = wavetest::Riff({{"fmt ", wavetest::FormatBody({})}, {"data", {}, size}});
        ASSERT_TRUE(wavetest::MakeSparseFile(path, head, head.size() + size));
        load("larger than a sound buffer can hold");
    }
    std::filesystem::remove(path);
    // No file at all is the usual case and goes unmentioned.
    testing::internal::CaptureStderr();
    ASSERT_EQ(elSound::LoadObject("REPLACED", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(BoxTexts().empty());
}

// Without a built-in wave to fall back on, the line says so and the load fails as before.
TEST_F(SoundObjects, AnUnusableFileWithoutABuiltInWaveIsReportedAndRefused) {
    StartSound();
    const std::string path = PutProgramFile("ONLYFILE", Bytes(64, 'x'));
    testing::internal::CaptureStderr();
    EXPECT_EQ(elSound::LoadObject("ONLYFILE", 1), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, std::string(program_invocation_short_name) + ": " + path +
                        ": not a RIFF WAVE file; there is no built-in ONLYFILE either\n");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNotFound});
    EXPECT_EQ(Record(0).inUse, 0);
}

// Names are limited to 30 units of the two-byte character set: 15 Japanese characters (45
// bytes of UTF-8) fit, and the record keeps every byte so that a reload finds the file again.
TEST_F(SoundObjects, NamesAreMeasuredInTwoByteUnitsAndKeptWhole) {
    StartSound();
    const std::string fifteen =
        "\u8a95\u751f\u65e5\u304a\u3081\u3067\u3068\u3046\u30dd\u30dd\u30ed\u541b\u4e8c"
        "\u5341\u4e09";
    ASSERT_EQ(fifteen.size(), 45u);
    std::string cakes;
    for (int i = 0; i < 15; ++i) cakes += "\U0001F382";  // 60 bytes
    const std::vector<std::pair<std::string, bool>> names = {
        {fifteen, true},
        {fifteen + "\u3089", false},
        {std::string(30, 'S'), true},
        {std::string(31, 'S'), false},
        // Appended, not "S" + ...: GCC 12 at -O2 misreads that sum as an overlapping copy.
        {std::string("S").append(fifteen, 3).append("T"), true},  // 1 + 14 x 2 + 1
        {std::string("ST").append(fifteen, 3).append("U"), false},
        {cakes, true},
        {cakes + "!", false},
        {std::string(30, '\xFE'), true},
        {std::string(31, '\xFE'), false},
    };
    int slot = 0;
    for (const auto& [name, fits] : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        PutProgramFile(name, wavetest::Wave16(std::vector<std::int16_t>(50, 9), 1, 12000));
        if (fits) {
            EXPECT_EQ(elSound::LoadObject(name.c_str(), 1), slot);
            EXPECT_EQ(std::string(Record(slot).name.data()), name);
            EXPECT_EQ(Frequency(slot, 0), 12000u);  // the file, found under its whole name
            ++slot;
        } else {
            EXPECT_EQ(elSound::LoadObject(name.c_str(), 1), 0);
            EXPECT_EQ(BoxTexts().back(),
                      "elSound::LoadObject : ファイル名またはリソース名が長すぎます");
            EXPECT_EQ(Record(slot).inUse, 0);
        }
    }
    // A reload reads every file again by the stored names.
    elSound::Release();
    elSound::ReloadObjects();
    for (int i = 0; i < slot; ++i) EXPECT_EQ(Frequency(i, 0), 12000u) << i;
}

TEST_F(SoundObjects, SeventyObjectsFillTheTable) {
    StartSound();
    for (int slot = 0; slot < elSound::kSlotCount; ++slot) {
        ASSERT_EQ(elSound::LoadObject("TONE", 1), slot);
    }
    EXPECT_EQ(elSound::LoadObject("TONE", 1), 0);
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"elSound::LoadObject : オブジェクト数が多過ぎます"});
    // Out-of-range slots are ignored; a freed slot is the next one taken.
    elSound::FreeObject(-1);
    elSound::FreeObject(70);
    elSound::FreeObject(41);
    EXPECT_EQ(DeviceBuffers(), 69u);
    EXPECT_EQ(elSound::LoadObject("RAWONLY", 1), 41);
}

TEST_F(SoundObjects, NoAudioDeviceMeansEverythingIsSilentAndHarmless) {
    host->audioDeviceMissing = true;
    EXPECT_EQ(elSound::Init(), 0);
    elSound::ResetObjectTable();
    EXPECT_EQ(elSound::LoadObject("TONE", 3), 0);
    EXPECT_EQ(Record(0).inUse, 0);
    soundtest::CallEverything(0, -1);
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
    // Between release and reload every operation is a harmless no-op.
    soundtest::CallEverything(0, -1);
    EXPECT_EQ(elSound::IsPlaying(0), 0);

    elSound::ReloadObjects();
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(std::pair(Volume(0, 0), Volume(0, 1)), std::pair(-1200, 0));
    EXPECT_EQ(std::pair(Frequency(0, 0), Frequency(0, 1)), std::pair(22050u, 27050u));
    EXPECT_EQ(std::pair(Pan(0, 2), Pan(1, 1)), std::pair(-700, 2500));
    EXPECT_EQ(Frequency(1, 1), 11025u);
    // Rotation is kept; a reload is silent and makes echo available to any object of two or
    // more buffers, whatever the sign of its first count.
    EXPECT_EQ(Record(0).nextBuffer, 2);
    EXPECT_EQ(elSound::IsPlaying(0), 0);
    EXPECT_EQ(Record(1).echoStep, 0);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SoundObjects, PlayWaveSyncPlaysTheFileToItsEndThenRebuilds) {
    StartSound();
    ASSERT_EQ(elSound::LoadObject("TONE", 1), 0);
    elSound::SetVolume(0, -3, 0);
    const std::string path =
        PutProgramFile("sync_" + std::to_string(getpid()) + ".wav",
                       wavetest::Wave16(std::vector<std::int16_t>(4410, 5000)));
    const std::uint64_t before = host->elapsedMs();
    elSound::PlayWaveSync(path.c_str());
    EXPECT_GE(host->elapsedMs() - before, 100u);
    EXPECT_LE(host->elapsedMs() - before, 120u);
    EXPECT_EQ(std::count(audio.begin(), audio.end(), 5000), 2 * 4410);
    // A file that cannot be read plays nothing and waits for nothing.
    const std::uint64_t again = host->elapsedMs();
    elSound::PlayWaveSync((path + ".missing").c_str());
    EXPECT_EQ(host->elapsedMs(), again);
    // Rebuilt each time, with its settings.
    EXPECT_TRUE(host->audioOpen());
    EXPECT_EQ(Volume(0, 0), -300);
}

}  // namespace
