// The format block of a wave as the sound services take it: the 18-byte header of the format
// chunk, its extra bytes kept beside it.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
// The real format is a sub-format GUID in the 22 bytes of extension that follow.
inline constexpr std::uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    // Count of extra format bytes after the header; always 0 for PCM.
    std::uint16_t cbSize = 0;
};

}  // namespace platform
