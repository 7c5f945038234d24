// Reads a RIFF WAVE from a file or from memory: the format chunk (with the extra bytes of a
// non-PCM format) and the sample data. Every size in the file is checked against the bytes that
// are really there, so a damaged or hostile file is refused without reading past its end or
// allocating more than it holds.
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

enum class WaveError {
    None,
    Unreadable,       // no such file, not a regular file, or an I/O error
    NotRiffWave,      // no "RIFF" header with the form type "WAVE"
    NoFormat,         // no "fmt " chunk before the "data" chunk
    ShortFormat,      // a "fmt " chunk smaller than 16 bytes
    FormatTruncated,  // a "fmt " chunk that runs past the end of the file
    BadExtension,     // a non-PCM extension size cut off, or larger than its chunk
    BadFormat,        // zero channels or a zero sample rate
    NoData,           // no complete "data" chunk header
    DataTruncated,    // a "data" chunk longer than the rest of the file
};

const char* WaveErrorText(WaveError error);

// On failure *out is left empty.
WaveError ReadRiffWave(std::span<const std::uint8_t> bytes, WaveData* out);
WaveError ReadRiffWaveFile(const std::string& path, WaveData* out);

}  // namespace platform
