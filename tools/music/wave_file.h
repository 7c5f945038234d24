// Canonical 44-byte-header PCM WAVE files: mono, 16-bit, little-endian.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace music {

std::vector<std::uint8_t> EncodeWave(std::span<const std::int16_t> samples, int sampleRate);

// Writes beside the target and renames over it, so a failed run leaves any old file intact.
// Returns an empty string on success, otherwise what went wrong.
std::string WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace music
