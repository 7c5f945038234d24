// The RIFF reader and the mixer's format check against the shared corpus of valid, odd and
// malformed wave files that other projects collected.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio/riff_reader.h"
#include "platform/audio/sound_device.h"

namespace {

namespace fs = std::filesystem;
using platform::WaveData;
using platform::WaveError;

const fs::path kCorpus = fs::path(GREETING_CORPORA) / "wav";

#define REQUIRE_CORPUS()                                                             \
    if (!fs::is_directory(kCorpus)) {                                                \
        GTEST_SKIP() << "wave corpus not found at " << kCorpus << "; tests skipped"; \
    }

WaveError ReadCorpusFile(const std::string& relative, WaveData* wave) {
    return platform::ReadRiffWaveFile((kCorpus / relative).string(), wave);
}

std::int16_t Sample16(const WaveData& wave, std::size_t index) {
    return static_cast<std::int16_t>(wave.samples[2 * index] | (wave.samples[2 * index + 1] << 8));
}

struct SquareFile {
    const char* name;
    std::uint16_t channels;
    std::uint16_t bits;
    std::size_t frames;
};

// The gem's fixtures: an 8-frame square wave, 4 frames low then 4 high, on every channel.
TEST(WavCorpus, ValidPcmFilesGiveTheirSquareWave) {
    REQUIRE_CORPUS();
    const std::vector<SquareFile> files = {
        {"mono_pcm_8_44100.wav", 1, 8, 2240},
        {"mono_pcm_8_44100_with_padding_byte.wav", 1, 8, 2241},
        {"stereo_pcm_8_44100.wav", 2, 8, 2240},
        {"tri_pcm_8_44100.wav", 3, 8, 2240},
        {"mono_pcm_16_44100.wav", 1, 16, 2240},
        {"mono_pcm_16_44100_junk_chunk_final_chunk_missing_padding_byte.wav", 1, 16, 2240},
        {"mono_pcm_16_44100_junk_chunk_with_padding_byte.wav", 1, 16, 2240},
        {"mono_pcm_16_44100_with_extension.wav", 1, 16, 2240},
        {"stereo_pcm_16_44100.wav", 2, 16, 2240},
        {"tri_pcm_16_44100.wav", 3, 16, 2240},
        {"format_chunk_extra_bytes_with_odd_size_and_padding_byte.wav", 1, 8, 2240},
        {"format_chunk_with_extra_byte_and_padding_byte.wav", 1, 8, 2240},
        {"format_chunk_with_extra_bytes.wav", 1, 8, 2240},
        {"with_multiple_smpl_chunks_before_and_after_data_chunk.wav", 1, 8, 2240},
        {"with_smpl_chunk_after_data_chunk_and_data_chunk_has_padding_byte.wav", 1, 8, 2241},
        {"with_smpl_chunk_before_data_chunk.wav", 2, 16, 2240},
        {"no_samples.wav", 1, 8, 0},
    };
    for (const SquareFile& file : files) {
        SCOPED_TRACE(file.name);
        WaveData wave;
        ASSERT_EQ(ReadCorpusFile(std::string("jstrait-wavefile/wave/valid/") + file.name, &wave),
                  WaveError::None);
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.channels, file.channels);
        EXPECT_EQ(wave.format.samplesPerSec, 44100u);
        EXPECT_EQ(wave.format.bitsPerSample, file.bits);
        EXPECT_EQ(wave.format.cbSize, 0);
        const std::size_t values = file.frames * file.channels;
        ASSERT_EQ(wave.samples.size(), values * file.bits / 8);
        for (std::size_t i = 0; i < values; ++i) {
            const bool high = (i / file.channels) % 8 >= 4;
            if (file.bits == 8) {
                ASSERT_EQ(wave.samples[i], high ? 167 : 88) << "value " << i;
            } else {
                ASSERT_EQ(Sample16(wave, i), high ? 10000 : -10000) << "value " << i;
            }
        }
        EXPECT_EQ(platform::IsPlayableFormat(wave.format), file.channels <= 2);
    }
}

TEST(WavCorpus, SmallFilesGiveTheirExactSamples) {
    REQUIRE_CORPUS();
    const std::vector<std::int16_t> mono = {2, -3, 5, -7};
    for (const char* name :
         {"hound/pcmwaveformat-16bit-44100Hz-mono.wav", "hound/waveformatex-16bit-44100Hz-mono.wav",
          "hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav",
          "hound/waveformatex-16bit-44100Hz-mono-extra.wav"}) {
        SCOPED_TRACE(name);
        WaveData wave;
        ASSERT_EQ(ReadCorpusFile(name, &wave), WaveError::None);
        ASSERT_EQ(wave.samples.size(), 8u);
        for (std::size_t i = 0; i < mono.size(); ++i) EXPECT_EQ(Sample16(wave, i), mono[i]);
        EXPECT_TRUE(platform::IsPlayableFormat(wave.format));
    }
    WaveData wave;
    ASSERT_EQ(ReadCorpusFile("hound/waveformatex-16bit-44100Hz-stereo.wav", &wave),
              WaveError::None);
    const std::vector<std::int16_t> stereo = {2, -3, 5, -7, 11, -13, 17, -19};
    ASSERT_EQ(wave.samples.size(), 16u);
    for (std::size_t i = 0; i < stereo.size(); ++i) EXPECT_EQ(Sample16(wave, i), stereo[i]);

    ASSERT_EQ(ReadCorpusFile("hound/pcmwaveformat-8bit-44100Hz-mono.wav", &wave), WaveError::None);
    EXPECT_EQ(wave.samples, (std::vector<std::uint8_t>{147, 75, 217, 1}));

    // RIFF size beyond the file and a garbage extension size inside a PCM format chunk.
    ASSERT_EQ(ReadCorpusFile("hound/waveformatex-8bit-11025Hz-mono.wav", &wave), WaveError::None);
    EXPECT_EQ(wave.format.samplesPerSec, 11025u);
    EXPECT_EQ(wave.format.cbSize, 0);
    // The manifest calls these 0x80; the file holds four zero bytes.
    EXPECT_EQ(wave.samples, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(platform::IsPlayableFormat(wave.format));
}

TEST(WavCorpus, NonPcmExtensionBytesAreKept) {
    REQUIRE_CORPUS();
    WaveData wave;
    ASSERT_EQ(ReadCorpusFile("soundevent/wav_ms_adpcm.wav", &wave), WaveError::None);
    EXPECT_EQ(wave.format.formatTag, 2);
    ASSERT_EQ(wave.format.cbSize, 32);
    ASSERT_EQ(wave.extra.size(), 32u);
    // Samples per block, then 7 coefficient pairs starting (256, 0), (512, -256).
    EXPECT_EQ(wave.extra[2] | (wave.extra[3] << 8), 7);
    EXPECT_EQ(wave.extra[4] | (wave.extra[5] << 8), 256);
    EXPECT_EQ(wave.extra[8] | (wave.extra[9] << 8), 512);
    EXPECT_EQ(static_cast<std::int16_t>(wave.extra[10] | (wave.extra[11] << 8)), -256);
    EXPECT_EQ(wave.samples.size(), 8192u);
    EXPECT_FALSE(platform::IsPlayableFormat(wave.format));

    ASSERT_EQ(ReadCorpusFile("soundevent/wav_ima_adpcm.wav", &wave), WaveError::None);
    EXPECT_EQ(wave.format.formatTag, 0x11);
    EXPECT_EQ(wave.extra.size(), 2u);
    // An extension with more chunk after it than it claims.
    ASSERT_EQ(ReadCorpusFile("jstrait-wavefile/wave/unsupported/"
                             "unsupported_format_code_with_oversized_extension_and_extra_bytes.wav",
                             &wave),
              WaveError::None);
    EXPECT_EQ(wave.extra.size(), 38u);
}

// Every file the collectors call broken, and every file in a container or format the mixer does
// not play, ends as "no sound": the reader refuses it, or its format cannot make a buffer.
TEST(WavCorpus, BrokenAndUnplayableFilesAreRefused) {
    REQUIRE_CORPUS();
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCorpus / "jstrait-wavefile/wave/invalid")) {
        const std::string name = entry.path().filename().string();
        // A loader that ignores sampler chunks may take these; the sound in them is fine.
        if (entry.path().extension() == ".wav" && name.rfind("smpl_", 0) != 0) {
            names.push_back("jstrait-wavefile/wave/invalid/" + name);
        }
    }
    ASSERT_GE(names.size(), 30u);
    for (const char* name :
         {"scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav",
          "scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav",
          "scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav",
          "scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav",
          "scipy/test-8000Hz-be-3ch-5S-24bit.wav", "scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav",
          "rochars-wavefile/RIFX-16bit-mono.wav",
          "rochars-wavefile/RF64-16bit-8kHz-stereo-reaper.wav", "soundevent/rf64_pcm_16.rf64",
          "jstrait-wavefile/wave/unsupported/bad_channel_count.wav",
          "jstrait-wavefile/wave/unsupported/bad_sample_rate.wav",
          "jstrait-wavefile/wave/unsupported/unsupported_bits_per_sample.wav",
          "jstrait-wavefile/wave/unsupported/unsupported_audio_format.wav"}) {
        names.push_back(name);
    }
    for (const std::string& name : names) {
        WaveData wave;
        const WaveError error = ReadCorpusFile(name, &wave);
        EXPECT_TRUE(error != WaveError::None || !platform::IsPlayableFormat(wave.format))
            << name << " was accepted as playable";
    }
    // The ones whose damage the reader itself must see, not only the mixer.
    WaveData wave;
    EXPECT_EQ(ReadCorpusFile("jstrait-wavefile/wave/invalid/data_chunk_truncated.wav", &wave),
              WaveError::DataTruncated);
    EXPECT_EQ(ReadCorpusFile("jstrait-wavefile/wave/unsupported/bad_channel_count.wav", &wave),
              WaveError::BadFormat);
    EXPECT_EQ(ReadCorpusFile("jstrait-wavefile/wave/unsupported/bad_sample_rate.wav", &wave),
              WaveError::BadFormat);
    EXPECT_EQ(
        ReadCorpusFile("jstrait-wavefile/wave/invalid/format_chunk_after_data_chunk.wav", &wave),
        WaveError::NoFormat);
    EXPECT_EQ(ReadCorpusFile("jstrait-wavefile/wave/invalid/"
                             "format_chunk_with_extra_byte_and_missing_padding_byte.wav",
                             &wave),
              WaveError::NoData);
    EXPECT_EQ(
        ReadCorpusFile("hound/fuzz/crash-24728523ef4be15c838293b676f6853e73723bf4.wav", &wave),
        WaveError::FormatTruncated);
}

// No file crashes the reader, over-reads (the sanitizers watch) or yields more than it holds.
TEST(WavCorpus, EveryFileIsReadSafely) {
    REQUIRE_CORPUS();
    int files = 0;
    int accepted = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() ||
            (extension != ".wav" && extension != ".wavex" && extension != ".rf64")) {
            continue;
        }
        ++files;
        WaveData wave;
        const WaveError error = platform::ReadRiffWaveFile(entry.path().string(), &wave);
        if (error != WaveError::None) {
            EXPECT_TRUE(wave.samples.empty() && wave.extra.empty()) << entry.path();
            continue;
        }
        ++accepted;
        EXPECT_LE(wave.samples.size() + wave.extra.size(), entry.file_size()) << entry.path();
        EXPECT_EQ(wave.extra.size(), wave.format.cbSize) << entry.path();
        EXPECT_NE(wave.format.channels, 0) << entry.path();
        EXPECT_NE(wave.format.samplesPerSec, 0u) << entry.path();
    }
    EXPECT_GE(files, 186);  // the count the corpus README gives
    EXPECT_GT(accepted, 100);
}

}  // namespace
