// Reads a RIFF WAVE from a file or from memory: the format chunk (with the extra bytes of a
// non-PCM format) and the sample data. Every size in the file is checked against the bytes that
// are really there and against the limits below, so a damaged or hostile file is refused without
// reading past its end or allocating more than it holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/wave_format.h"

namespace platform {

struct WaveData {
    WaveFormat format;
    std::vector<std::uint8_t> extra;  // exactly format.cbSize bytes
    std::vector<std::uint8_t> samples;
};

// The most sample bytes a wave may have: what one sound buffer holds.
inline constexpr std::uint64_t kMaxWaveDataBytes = 0x0FFFFFFF;
// A wave file may be larger by its headers and the chunks that are skipped.
inline constexpr std::uint64_t kMaxWaveFileBytes = kMaxWaveDataBytes + (std::uint64_t{1} << 20);

enum class WaveError {
    None,
    Missing,          // no file at that path
    NotRegularFile,   // a directory, FIFO, device or socket
    Unreadable,       // no permission or an I/O error
    TooLarge,         // a file or data chunk beyond the limits above
    NotRiffWave,      // no "RIFF" header with the form type "WAVE"
    NoFormat,         // no "fmt " chunk before the "data" chunk
    ShortFormat,      // a "fmt " chunk smaller than 16 bytes
    FormatTruncated,  // a "fmt " chunk that runs past the end of the file
    BadExtension,     // a non-PCM extension size cut off, or larger than its chunk
    BadFormat,        // zero channels or a zero sample rate
    NoData,           // no complete "data" chunk header
    DataTruncated,    // a "data" chunk longer than the rest of the file
    // What the mixer cannot play, from a wave that reads well (see ToPlayableWave).
    NotPcm,              // compressed or floating-point samples
    ShortExtensible,     // an extensible format without its 22 bytes of extension
    NotPcmSubFormat,     // an extensible format whose sub-format is not PCM
    PaddedSamples,       // fewer valid bits than the sample size
    UnplayableBits,      // samples of other than 8 or 16 bits
    UnplayableChannels,  // more than two channels
    UnplayableRate,      // a rate outside 100 to 100000 Hz
    BadBlockAlign,       // a block size that disagrees with the channels and sample size
    NoSamples,           // not even one whole frame
};

const char* WaveErrorText(WaveError error);

// On failure *out is left empty.
WaveError ReadRiffWave(std::span<const std::uint8_t> bytes, WaveData* out,
                       std::uint64_t maxDataBytes = kMaxWaveDataBytes);
WaveError ReadRiffWaveFile(const std::string& path, WaveData* out);

}  // namespace platform
