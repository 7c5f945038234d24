#include "platform/audio/wav_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/audio/riff_reader.h"

namespace {

std::string TempPath(const char* name) {
    return testing::TempDir() + "wav_writer_test_" + std::to_string(getpid()) + "_" + name;
}

TEST(WavWriter, WritesAFileTheReaderTakesBack) {
    const std::string path = TempPath("out.wav");
    std::vector<std::int16_t> samples(2 * 3000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(i * 37 - 30000);
    }
    platform::WavWriter writer;
    ASSERT_TRUE(writer.Open(path));
    // Several appends of uneven length, one of them empty.
    ASSERT_TRUE(writer.Append(samples.data(), 1));
    ASSERT_TRUE(writer.Append(samples.data() + 2, 0));
    ASSERT_TRUE(writer.Append(samples.data() + 2, 2047));
    ASSERT_TRUE(writer.Append(samples.data() + 2 * 2048, 952));
    EXPECT_EQ(writer.frames(), 3000u);
    ASSERT_TRUE(writer.Close());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 4 * 3000);

    platform::WaveData wave;
    ASSERT_EQ(platform::ReadRiffWaveFile(path, &wave), platform::WaveError::None);
    EXPECT_EQ(wave.format.formatTag, 1);
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(wave.format.samplesPerSec, 44100u);
    EXPECT_EQ(wave.format.avgBytesPerSec, 176400u);
    EXPECT_EQ(wave.format.blockAlign, 4);
    EXPECT_EQ(wave.format.bitsPerSample, 16);
    ASSERT_EQ(wave.samples.size(), 4u * 3000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto value =
            static_cast<std::int16_t>(wave.samples[2 * i] | (wave.samples[2 * i + 1] << 8));
        ASSERT_EQ(value, samples[i]) << i;
    }
    // The RIFF size covers the whole file.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::uint8_t header[8];
    ASSERT_EQ(std::fread(header, 1, 8, file), 8u);
    std::fclose(file);
    EXPECT_EQ(header[4] | (header[5] << 8) | (header[6] << 16) | (header[7] << 24), 36 + 12000);
    std::filesystem::remove(path);
}

TEST(WavWriter, ReportsFailures) {
    platform::WavWriter writer;
    const std::int16_t frame[2] = {1, 2};
    EXPECT_FALSE(writer.Append(frame, 1));
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(writer.Open(TempPath("no/such/directory/out.wav")));
    EXPECT_FALSE(writer.Open(testing::TempDir()));
    // A device that takes no bytes: the failure shows at the latest when the file is closed.
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(writer.Open("/dev/full"));
        std::vector<std::int16_t> lots(2 * 100000, 5);
        const bool appended = writer.Append(lots.data(), 100000);
        const bool closed = writer.Close();
        EXPECT_FALSE(appended && closed);
    }
}

}  // namespace
