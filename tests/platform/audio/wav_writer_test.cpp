#include "platform/audio/wav_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/audio/riff_reader.h"
#include "tests/platform/audio/wave_builder.h"

namespace {

TEST(WavWriter, WritesAFileTheReaderTakesBack) {
    const std::string path =
        testing::TempDir() + "wav_writer_test_" + std::to_string(getpid()) + ".wav";
    std::vector<std::int16_t> samples(2 * 3000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(i * 37 - 30000);
    }
    platform::WavWriter writer;
    ASSERT_TRUE(writer.Open(path));
    // Appends of uneven length, one of them empty, one longer than the writer's block.
    for (const auto& [first, frames] : {std::pair{0, 1}, {1, 0}, {1, 2047}, {2048, 952}}) {
        ASSERT_TRUE(writer.Append(samples.data() + 2 * first, frames));
    }
    EXPECT_EQ(writer.frames(), 3000u);
    ASSERT_TRUE(writer.Close());
    std::ifstream in(path, std::ios::binary);
    const wavetest::Bytes file{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(path);
    ASSERT_EQ(file.size(), 44u + 4 * 3000);
    EXPECT_EQ(file[4] | file[5] << 8 | file[6] << 16 | file[7] << 24, 36 + 12000);  // RIFF size

    platform::WaveData wave;
    ASSERT_EQ(platform::ReadRiffWave(file, &wave), platform::WaveError::None);
    const platform::WaveFormat& f = wave.format;
    EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign,
                       f.bitsPerSample),
              std::make_tuple(1, 2, 44100u, 176400u, 4, 16));
    EXPECT_EQ(wave.samples, wavetest::Samples16(samples));
}

TEST(WavWriter, ReportsFailures) {
    platform::WavWriter writer;
    const std::int16_t frame[2] = {1, 2};
    EXPECT_FALSE(writer.Append(frame, 1));
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(writer.Open(testing::TempDir() + "no/such/directory/out.wav"));
    EXPECT_FALSE(writer.Open(testing::TempDir()));
    // A device that takes no bytes: the failure shows at the latest when the file is closed.
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(writer.Open("/dev/full"));
        std::vector<std::int16_t> lots(2 * 100000, 5);
        const bool appended = writer.Append(lots.data(), 100000);
        EXPECT_FALSE(writer.Close() && appended);
    }
}

}  // namespace
