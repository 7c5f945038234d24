#include "platform/audio/riff_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "tests/platform/audio/unusual_files.h"
#include "tests/platform/audio/wave_builder.h"

// Under AddressSanitizer a reader that allocates what a hostile size claims, before checking it
// against the file, aborts instead of quietly getting gigabytes.
extern "C" const char* __asan_default_options() {
    return "max_allocation_size_mb=256";
}

namespace {

using platform::WaveData;
using enum platform::WaveError;
using wavetest::Bytes;
using wavetest::Chunk;
using wavetest::FormatBody;

platform::WaveError Read(const Bytes& bytes, WaveData* wave) {
    const Bytes exact(bytes);  // exactly sized, so any over-read trips the sanitizer
    return platform::ReadRiffWave(exact, wave);
}

const Bytes kSamples = wavetest::Samples16({1, -2, 300, -400, 32767, -32768});
const Chunk kFmt{"fmt ", FormatBody({})};
const Chunk kData{"data", kSamples};

// A non-PCM format chunk: the 16 bytes, then the given extension size and bytes.
Chunk Extended(std::initializer_list<std::uint8_t> tail) {
    Bytes body = FormatBody({.tag = 2, .bits = 4});
    body.insert(body.end(), tail);
    return {"fmt ", body};
}

Chunk Sized(Chunk chunk, std::uint32_t declared) {
    chunk.declaredSize = declared;
    return chunk;
}

TEST(RiffReader, ReadsFormatAndSamplesPastUnknownChunks) {
    // An odd-sized chunk with its pad byte, before and between the chunks that matter.
    const Bytes file = wavetest::Riff({{"JUNK", {1, 2, 3}},
                                       {"fmt ", FormatBody({.channels = 2, .rate = 22050})},
                                       {"LIST", {9}},
                                       kData});
    WaveData wave;
    ASSERT_EQ(Read(file, &wave), None);
    const platform::WaveFormat& f = wave.format;
    EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign,
                       f.bitsPerSample, f.cbSize),
              std::make_tuple(1, 2, 22050u, 88200u, 4, 16, 0));
    EXPECT_EQ(wave.samples, kSamples);

    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_NE(Read(Bytes(file.begin(), file.begin() + static_cast<long>(length)), &wave), None)
            << "prefix of " << length << " bytes";
        EXPECT_TRUE(wave.samples.empty());
    }
}

TEST(RiffReader, AcceptsOddButWholeFiles) {
    Chunk pcmWithGarbage = kFmt;  // PCM ignores what follows its 16 bytes
    wavetest::Put16(pcmWithGarbage.body, 21834);
    struct Case {
        Chunk format;
        Bytes extra;
        std::optional<std::uint32_t> riffSize = {};
    };
    const std::vector<Case> cases = {
        {kFmt, {}, 1u << 30},  // RIFF size beyond the file
        {pcmWithGarbage, {}},
        {Extended({4, 0, 1, 2, 3, 4, 5, 6}), {1, 2, 3, 4}},
        {Extended({}), {}},  // non-PCM without an extension size
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [format, extra, riffSize] = cases[i];
        WaveData wave;
        ASSERT_EQ(Read(wavetest::Riff({format, kData}, riffSize), &wave), None) << i;
        EXPECT_EQ(wave.samples, kSamples) << i;
        EXPECT_EQ(wave.extra, extra) << i;
        EXPECT_EQ(wave.format.cbSize, extra.size()) << i;
    }
}

TEST(RiffReader, RefusesDamagedFilesWithoutAllocating) {
    const std::vector<std::pair<platform::WaveError, std::vector<Chunk>>> cases = {
        {NoData, {kFmt, {"LIST", {9}, {}, false}, kData}},  // odd chunk without its pad byte
        {DataTruncated, {kFmt, Sized(kData, 13)}},
        {DataTruncated, {kFmt, Sized(kData, 0x7FFFFFFFu)}},
        {DataTruncated, {kFmt, Sized(kData, 0xFFFFFFFFu)}},
        {FormatTruncated, {Sized(kFmt, 0xFFFFFFF0u)}},
        {NoData, {kFmt, {"big ", {1, 2}, 0xFFFFFFFFu}}},
        {ShortFormat, {{"fmt ", Bytes(kFmt.body.begin(), kFmt.body.begin() + 14)}, kData}},
        {BadFormat, {{"fmt ", FormatBody({.channels = 0})}, kData}},
        {BadFormat, {{"fmt ", FormatBody({.rate = 0})}, kData}},
        {BadExtension, {Extended({0}), kData}},  // half an extension size
        {BadExtension, {Extended({7, 0, 1, 2, 3, 4, 5, 6}), kData}},
        {NoFormat, {kData, kFmt}},
        {NoData, {kFmt}},
    };
    WaveData wave;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(Read(wavetest::Riff(cases[i].second), &wave), cases[i].first) << i;
        EXPECT_TRUE(wave.samples.empty() && wave.extra.empty()) << i;
    }
    EXPECT_EQ(Read(Bytes(64, 'x'), &wave), NotRiffWave);
}

TEST(RiffReader, ReadsFilesAndRefusesOddPaths) {
    const std::string directory = testing::TempDir();
    const std::string path = directory + "riff_reader_test_" + std::to_string(getpid()) + ".wav";
    ASSERT_TRUE(wavetest::WriteFile(path, wavetest::Riff({kFmt, Sized(kData, 13)})));
    WaveData wave;
    EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), DataTruncated);
    ASSERT_TRUE(wavetest::WriteFile(path, wavetest::Riff({kFmt, kData})));
    ASSERT_EQ(platform::ReadRiffWaveFile(path, &wave), None);
    EXPECT_EQ(wave.samples, kSamples);
    std::filesystem::remove(path);
    EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), Missing);
    EXPECT_EQ(platform::ReadRiffWaveFile("", &wave), Missing);
    EXPECT_EQ(platform::ReadRiffWaveFile(directory, &wave), NotRegularFile);
    const wavetest::Fifo fifo(path);
    ASSERT_TRUE(fifo.made());
    const double seconds = wavetest::SecondsFor(
        [&] { EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), NotRegularFile); });
    EXPECT_LT(seconds, 1.0);
}

// A whole header before a data chunk of gigabytes, the rest of the file a hole: the sizes are
// refused before anything that large is allocated or read.
TEST(RiffReader, RefusesHugeSparseFilesAtOnce) {
    const std::string path =
        testing::TempDir() + "riff_reader_sparse_" + std::to_string(getpid()) + ".wav";
    for (const std::uint32_t dataSize : {0x80000000u, 0xFFFFFFD0u}) {
        const Bytes head = wavetest::Riff({kFmt, Sized({"data", {}}, dataSize)});
        ASSERT_TRUE(wavetest::MakeSparseFile(path, head, head.size() + dataSize));
        WaveData wave;
        const double seconds = wavetest::SecondsFor(
            [&] { EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), TooLarge) << dataSize; });
        EXPECT_LT(seconds, 1.0);
        EXPECT_TRUE(wave.samples.empty());
    }
    std::filesystem::remove(path);
    // A data chunk that is really there but beyond the limit is refused all the same.
    WaveData wave;
    const Bytes file = wavetest::Riff({kFmt, kData});
    EXPECT_EQ(platform::ReadRiffWave(file, &wave, kSamples.size() - 1), TooLarge);
    EXPECT_TRUE(wave.samples.empty());
    EXPECT_EQ(platform::ReadRiffWave(file, &wave, kSamples.size()), None);
}

}  // namespace
