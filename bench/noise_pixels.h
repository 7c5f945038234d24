// The pictures the effect benchmarks draw: noise with a third of the pixels transparent (0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

inline std::vector<std::uint16_t> Noise(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint16_t> p(count);
    for (auto& v : p) v = rng() % 3 == 0 ? 0 : static_cast<std::uint16_t>(rng() | 1);
    return p;
}

}  // namespace bench
