// Renders the score into one seamless loop of 16-bit samples.
#pragma once

#include <cstdint>
#include <vector>

namespace music {

// Loudest sample of the finished loop: 3 dB below full scale.
inline constexpr int kPeakLevel = 23197;

// The whole loop, kLoopSamples long. Notes still ringing at the end of the loop continue at its
// start, as they do when the player wraps around, so the seam is as smooth as any other moment.
std::vector<std::int16_t> RenderLoop();

// Nearest integer, halves away from zero, limited to the 16-bit range.
std::int16_t ToSample(double value);

}  // namespace music
