// The RIFF reader and the mixer's format check against a shared corpus of valid, odd and
// malformed wave files.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/audio/riff_reader.h"
#include "platform/audio/sound_device.h"
#include "tests/platform/audio/wave_builder.h"

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

// An 8-frame square wave, 4 frames low then 4 high, on every channel.
TEST(WavCorpus, ValidPcmFilesGiveTheirSquareWave) {
    REQUIRE_CORPUS();
    const std::vector<std::tuple<const char*, std::uint16_t, std::uint16_t, std::size_t>> files = {
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
    for (const auto& [name, channels, bits, frames] : files) {
        WaveData wave;
        ASSERT_EQ(ReadCorpusFile(std::string("jstrait-wavefile/wave/valid/") + name, &wave),
                  WaveError::None);
        const platform::WaveFormat& f = wave.format;
        EXPECT_EQ(std::tie(f.formatTag, f.channels, f.samplesPerSec, f.bitsPerSample, f.cbSize),
                  std::make_tuple(1, channels, 44100u, bits, 0))
            << name;
        wavetest::Bytes expected;
        for (std::size_t i = 0; i < frames * channels; ++i) {
            const bool high = (i / channels) % 8 >= 4;
            if (bits == 8) expected.push_back(high ? 167 : 88);
            if (bits == 16) wavetest::Put16(expected, high ? 10000 : 0x10000 - 10000);
        }
        EXPECT_EQ(wave.samples, expected) << name;
        EXPECT_EQ(platform::IsPlayableFormat(wave.format), channels <= 2) << name;
    }
}

// Every file its collectors call broken, and every container or format the mixer does not play,
// ends as "no sound": the reader refuses it, or its format cannot make a buffer.
TEST(WavCorpus, BrokenAndUnplayableFilesAreRefused) {
    REQUIRE_CORPUS();
    using enum WaveError;
    const std::string jstrait = "jstrait-wavefile/wave/";
    // The damage the reader itself must see, not only the mixer, first.
    std::vector<std::pair<std::string, std::optional<WaveError>>> files = {
        {jstrait + "invalid/data_chunk_truncated.wav", DataTruncated},
        {jstrait + "unsupported/bad_channel_count.wav", BadFormat},
        {jstrait + "unsupported/bad_sample_rate.wav", BadFormat},
        {jstrait + "invalid/format_chunk_after_data_chunk.wav", NoFormat},
        {jstrait + "invalid/format_chunk_with_extra_byte_and_missing_padding_byte.wav", NoData},
        {"hound/fuzz/crash-24728523ef4be15c838293b676f6853e73723bf4.wav", FormatTruncated},
        {"scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", {}},
        {"scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav", {}},
        {"scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav", {}},
        {"scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav", {}},
        {"scipy/test-8000Hz-be-3ch-5S-24bit.wav", {}},
        {"scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav", {}},
        {"rochars-wavefile/RIFX-16bit-mono.wav", {}},
        {"rochars-wavefile/RF64-16bit-8kHz-stereo-reaper.wav", {}},
        {"soundevent/rf64_pcm_16.rf64", {}},
        {jstrait + "unsupported/unsupported_bits_per_sample.wav", {}},
        {jstrait + "unsupported/unsupported_audio_format.wav", {}},
    };
    for (const auto& entry : fs::directory_iterator(kCorpus / jstrait / "invalid")) {
        const std::string name = entry.path().filename().string();
        // A loader that ignores sampler chunks may take these; the sound in them is fine.
        if (entry.path().extension() == ".wav" && !name.starts_with("smpl_")) {
            files.push_back({jstrait + "invalid/" + name, {}});
        }
    }
    ASSERT_GE(files.size(), 17u + 30u);
    for (const auto& [name, expected] : files) {
        WaveData wave;
        const WaveError error = ReadCorpusFile(name, &wave);
        EXPECT_TRUE(!expected || error == *expected)
            << name << ": error " << static_cast<int>(error);
        EXPECT_TRUE(error != None || !platform::IsPlayableFormat(wave.format))
            << name << " was accepted as playable";
    }
}

// Extensible files from several writers: those of 8- or 16-bit PCM in one or two channels play
// as their plain twins; the rest are refused for what they are.
TEST(WavCorpus, ExtensiblePcmFilesPlayAndTheRestSayWhyNot) {
    REQUIRE_CORPUS();
    using enum WaveError;
    const std::string valid = "jstrait-wavefile/wave/valid/";
    // Each extensible file of the square-wave set, with the plain file of the same samples.
    const std::vector<std::pair<std::string, std::string>> twins = {
        {"extensible_mono_pcm_8_44100.wav", "mono_pcm_8_44100.wav"},
        {"extensible_stereo_pcm_8_44100.wav", "stereo_pcm_8_44100.wav"},
        {"extensible_mono_pcm_16_44100.wav", "mono_pcm_16_44100.wav"},
        {"extensible_stereo_pcm_16_44100.wav", "stereo_pcm_16_44100.wav"},
        {"extensible_mono_pcm_16_44100_non_default_speaker_mapping.wav", "mono_pcm_16_44100.wav"},
        {"extensible_stereo_pcm_16_44100_more_speakers_than_channels.wav",
         "stereo_pcm_16_44100.wav"},
        {"extensible_format_chunk_oversized_extension.wav", "mono_pcm_8_44100.wav"},
        {"extensible_format_chunk_with_extra_bytes.wav", "mono_pcm_8_44100.wav"},
    };
    for (const auto& [extensibleName, plainName] : twins) {
        WaveData extensible;
        WaveData plain;
        ASSERT_EQ(ReadCorpusFile(valid + extensibleName, &extensible), None) << extensibleName;
        ASSERT_EQ(ReadCorpusFile(valid + plainName, &plain), None) << plainName;
        EXPECT_EQ(extensible.format.formatTag, platform::WAVE_FORMAT_EXTENSIBLE);
        EXPECT_EQ(platform::ToPlayableWave(&extensible), None) << extensibleName;
        EXPECT_EQ(platform::ToPlayableWave(&plain), None) << plainName;
        EXPECT_EQ(std::tie(extensible.format.formatTag, extensible.format.channels,
                           extensible.format.blockAlign, extensible.format.bitsPerSample),
                  std::tie(plain.format.formatTag, plain.format.channels, plain.format.blockAlign,
                           plain.format.bitsPerSample))
            << extensibleName;
        EXPECT_EQ(extensible.samples, plain.samples) << extensibleName;
    }
    // Extensible 16-bit and 8-bit PCM written by other programs.
    for (const char* name :
         {"hound/pop.wav", "soundevent/wavex_pcm_16.wavex", "soundevent/wavex_pcm_u8.wavex"}) {
        WaveData wave;
        ASSERT_EQ(ReadCorpusFile(name, &wave), None) << name;
        EXPECT_EQ(platform::ToPlayableWave(&wave), None) << name;
        EXPECT_TRUE(platform::IsPlayableFormat(wave.format)) << name;
    }
    const std::vector<std::pair<std::string, WaveError>> refused = {
        {valid + "extensible_mono_float_32_44100.wav", NotPcmSubFormat},
        {valid + "extensible_stereo_float_64_44100.wav", NotPcmSubFormat},
        {valid + "extensible_mono_pcm_24_44100.wav", UnplayableBits},
        {valid + "extensible_stereo_pcm_32_44100.wav", UnplayableBits},
        {valid + "extensible_tri_pcm_16_44100.wav", UnplayableChannels},
        {"jstrait-wavefile/wave/unsupported/extensible_container_size_bigger_than_sample_size.wav",
         PaddedSamples},
        {"jstrait-wavefile/wave/unsupported/extensible_unsupported_subformat_guid.wav",
         NotPcmSubFormat},
        {"soundevent/wavex_ulaw.wavex", NotPcmSubFormat},
        {"hound/waveformatextensible-24bit-192kHz-mono.wav", UnplayableBits},
        {"hound/waveformatex-ieeefloat-44100Hz-mono.wav", NotPcm},
    };
    for (const auto& [name, reason] : refused) {
        WaveData wave;
        ASSERT_EQ(ReadCorpusFile(name, &wave), None) << name;
        EXPECT_EQ(platform::ToPlayableWave(&wave), reason) << name;
    }
}

// No file crashes the reader, over-reads or over-allocates (the sanitizers watch), or yields
// more than it holds.
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
        if (platform::ReadRiffWaveFile(entry.path().string(), &wave) != WaveError::None) {
            EXPECT_TRUE(wave.samples.empty() && wave.extra.empty()) << entry.path();
            continue;
        }
        ++accepted;
        EXPECT_LE(wave.samples.size() + wave.extra.size(), entry.file_size()) << entry.path();
        EXPECT_EQ(wave.extra.size(), wave.format.cbSize) << entry.path();
    }
    EXPECT_GE(files, 186);  // the count the corpus README gives
    EXPECT_GT(accepted, 100);
}

}  // namespace
