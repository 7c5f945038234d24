#include "platform/audio/riff_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/platform/audio/wave_builder.h"

namespace {

using platform::ReadRiffWave;
using platform::WaveData;
using platform::WaveError;
using wavetest::Bytes;
using wavetest::Chunk;
using wavetest::Format;
using wavetest::FormatBody;
using wavetest::Riff;

WaveError Read(const Bytes& bytes, WaveData* wave) {
    // A copy of exactly the right size, so that any read past the end trips the sanitizer.
    const Bytes exact(bytes);
    return ReadRiffWave(exact, wave);
}

Bytes StereoSamples() {
    return wavetest::Samples16({1, -2, 300, -400, 32767, -32768});
}

TEST(RiffReader, ReadsFormatAndSamplesPastUnknownChunks) {
    Format format;
    format.channels = 2;
    format.rate = 22050;
    // An odd-sized chunk with its pad byte, before and between the chunks that matter.
    const Bytes file = Riff({{"JUNK", {1, 2, 3}},
                             {"fmt ", FormatBody(format)},
                             {"LIST", {9}},
                             {"data", StereoSamples()}});
    WaveData wave;
    ASSERT_EQ(Read(file, &wave), WaveError::None);
    EXPECT_EQ(wave.format.formatTag, 1);
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(wave.format.samplesPerSec, 22050u);
    EXPECT_EQ(wave.format.avgBytesPerSec, 22050u * 4);
    EXPECT_EQ(wave.format.blockAlign, 4);
    EXPECT_EQ(wave.format.bitsPerSample, 16);
    EXPECT_EQ(wave.format.cbSize, 0);
    EXPECT_EQ(wave.samples, StereoSamples());
}

TEST(RiffReader, OddChunkWithoutItsPadByteHidesTheDataChunk) {
    const Bytes file =
        Riff({{"fmt ", FormatBody({})}, {"LIST", {9}, {}, false}, {"data", StereoSamples()}});
    WaveData wave;
    EXPECT_EQ(Read(file, &wave), WaveError::NoData);
    EXPECT_TRUE(wave.samples.empty());
}

TEST(RiffReader, EveryTruncationIsRefused) {
    const Bytes file = Riff({{"fmt ", FormatBody({})}, {"JUNK", {7}}, {"data", StereoSamples()}});
    WaveData wave;
    ASSERT_EQ(Read(file, &wave), WaveError::None);
    for (std::size_t length = 0; length < file.size(); ++length) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_NE(Read(prefix, &wave), WaveError::None) << "prefix of " << length << " bytes";
        EXPECT_TRUE(wave.samples.empty());
    }
}

TEST(RiffReader, DeclaredSizesBeyondTheFileAreRefusedWithoutAllocating) {
    WaveData wave;
    // A data chunk one byte longer than what is there, and one of nearly 4 GB.
    for (std::uint32_t declared : {13u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        const Bytes file = Riff({{"fmt ", FormatBody({})}, {"data", Bytes(12, 1), declared}});
        EXPECT_EQ(Read(file, &wave), WaveError::DataTruncated) << declared;
    }
    // A format chunk declaring gigabytes.
    EXPECT_EQ(Read(Riff({{"fmt ", FormatBody({}), 0xFFFFFFF0u}}), &wave),
              WaveError::FormatTruncated);
    // An unknown chunk of 4 GB: skipping it leaves the file, so there is no data.
    EXPECT_EQ(Read(Riff({{"fmt ", FormatBody({})}, {"big ", {1, 2}, 0xFFFFFFFFu}}), &wave),
              WaveError::NoData);
}

TEST(RiffReader, RiffSizeLargerThanTheFileIsBoundedByTheFile) {
    const Bytes file = Riff({{"fmt ", FormatBody({})}, {"data", StereoSamples()}}, 1u << 30);
    WaveData wave;
    ASSERT_EQ(Read(file, &wave), WaveError::None);
    EXPECT_EQ(wave.samples, StereoSamples());
}

TEST(RiffReader, FormatChunkChecks) {
    WaveData wave;
    const auto withFormat = [](const Bytes& body) {
        return Riff({{"fmt ", body}, {"data", {0, 0}}});
    };
    Bytes shortBody = FormatBody({});
    shortBody.resize(14);
    EXPECT_EQ(Read(withFormat(shortBody), &wave), WaveError::ShortFormat);

    Format noChannels;
    noChannels.channels = 0;
    EXPECT_EQ(Read(withFormat(FormatBody(noChannels)), &wave), WaveError::BadFormat);
    Format noRate;
    noRate.rate = 0;
    EXPECT_EQ(Read(withFormat(FormatBody(noRate)), &wave), WaveError::BadFormat);

    // PCM ignores whatever follows its 16 bytes, a garbage extension size included.
    Bytes pcmWithGarbage = FormatBody({});
    wavetest::Put16(pcmWithGarbage, 21834);
    ASSERT_EQ(Read(withFormat(pcmWithGarbage), &wave), WaveError::None);
    EXPECT_EQ(wave.format.cbSize, 0);
    EXPECT_TRUE(wave.extra.empty());

    // The format must come before the samples.
    EXPECT_EQ(Read(Riff({{"data", {0, 0}}, {"fmt ", FormatBody({})}}), &wave), WaveError::NoFormat);
    EXPECT_EQ(Read(Riff({{"data", {0, 0}}}), &wave), WaveError::NoFormat);
    EXPECT_EQ(Read(Riff({{"fmt ", FormatBody({})}}), &wave), WaveError::NoData);
}

TEST(RiffReader, NonPcmExtensionIsKeptExactlyAndBoundedByItsChunk) {
    Format adpcm;
    adpcm.tag = 2;
    adpcm.bits = 4;
    adpcm.blockAlign = 256;
    const auto withExtension = [&](std::uint16_t cbSize, const Bytes& extra) {
        Bytes body = FormatBody(adpcm);
        wavetest::Put16(body, cbSize);
        body.insert(body.end(), extra.begin(), extra.end());
        return Riff({{"fmt ", body}, {"data", {0, 0}}});
    };
    WaveData wave;
    // A chunk larger than its extension: only cbSize bytes are the extension.
    ASSERT_EQ(Read(withExtension(4, {1, 2, 3, 4, 5, 6}), &wave), WaveError::None);
    EXPECT_EQ(wave.format.formatTag, 2);
    EXPECT_EQ(wave.format.cbSize, 4);
    EXPECT_EQ(wave.extra, (Bytes{1, 2, 3, 4}));
    // An extension size larger than the chunk.
    EXPECT_EQ(Read(withExtension(7, {1, 2, 3, 4, 5, 6}), &wave), WaveError::BadExtension);
    // A bare 16-byte chunk has no extension at all; a 17-byte one has half an extension size.
    ASSERT_EQ(Read(Riff({{"fmt ", FormatBody(adpcm)}, {"data", {0, 0}}}), &wave), WaveError::None);
    EXPECT_EQ(wave.format.cbSize, 0);
    Bytes seventeen = FormatBody(adpcm);
    seventeen.push_back(0);
    EXPECT_EQ(Read(Riff({{"fmt ", seventeen}, {"data", {0, 0}}}), &wave), WaveError::BadExtension);
}

TEST(RiffReader, FilesAreReadLikeMemoryAndOddPathsAreRefused) {
    const std::string directory = testing::TempDir();
    const std::string path = directory + "riff_reader_test_" + std::to_string(getpid()) + ".wav";
    const Bytes file = wavetest::Wave16({5, -6, 7, -8}, 2, 8000);
    ASSERT_TRUE(wavetest::WriteFile(path, file));
    WaveData wave;
    ASSERT_EQ(platform::ReadRiffWaveFile(path, &wave), WaveError::None);
    EXPECT_EQ(wave.format.samplesPerSec, 8000u);
    EXPECT_EQ(wave.samples, wavetest::Samples16({5, -6, 7, -8}));
    // Truncated on disk as well.
    ASSERT_TRUE(wavetest::WriteFile(path, Bytes(file.begin(), file.end() - 1)));
    EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), WaveError::DataTruncated);
    std::filesystem::remove(path);

    EXPECT_EQ(platform::ReadRiffWaveFile(path, &wave), WaveError::Unreadable);
    EXPECT_EQ(platform::ReadRiffWaveFile(directory, &wave), WaveError::Unreadable);
    EXPECT_EQ(platform::ReadRiffWaveFile("", &wave), WaveError::Unreadable);
}

}  // namespace
