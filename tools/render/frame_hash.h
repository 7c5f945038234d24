// A 64-bit fingerprint of each presented frame, so two runs (or two builds) can be compared
// pass by pass without keeping the frames. The hash is XXH64 with seed 0 over the frame's
// pixels as little-endian 16-bit values, row by row without the pitch's padding: anyone can
// recompute it from a raw dump of the frame with a stock xxhsum -H1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"

namespace render {

std::uint64_t Xxh64(const void* data, std::size_t size, std::uint64_t seed = 0);

class FrameHasher {
  public:
    std::uint64_t Hash(const platform::FrameView& frame);

  private:
    std::vector<std::uint8_t> scratch_;  // for frames whose rows are not already contiguous
};

// "0123456789abcdef": sixteen lower-case hex digits.
std::string HashText(std::uint64_t hash);

}  // namespace render
