#include "tools/render/frame_hash.h"

#include <bit>
#include <cstring>

namespace render {
namespace {

constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kP5 = 0x27D4EB2F165667C5ull;

std::uint64_t Read64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
    acc += input * kP2;
    return std::rotl(acc, 31) * kP1;
}
std::uint64_t Merge(std::uint64_t acc, std::uint64_t lane) {
    acc ^= Round(0, lane);
    return acc * kP1 + kP4;
}

}  // namespace

std::uint64_t Xxh64(const void* data, std::size_t size, std::uint64_t seed) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    const std::uint8_t* const end = p + size;
    std::uint64_t h;
    if (size >= 32) {
        std::uint64_t v1 = seed + kP1 + kP2;
        std::uint64_t v2 = seed + kP2;
        std::uint64_t v3 = seed;
        std::uint64_t v4 = seed - kP1;
        for (; end - p >= 32; p += 32) {
            v1 = Round(v1, Read64(p));
            v2 = Round(v2, Read64(p + 8));
            v3 = Round(v3, Read64(p + 16));
            v4 = Round(v4, Read64(p + 24));
        }
        h = std::rotl(v1, 1) + std::rotl(v2, 7) + std::rotl(v3, 12) + std::rotl(v4, 18);
        h = Merge(Merge(Merge(Merge(h, v1), v2), v3), v4);
    } else {
        h = seed + kP5;
    }
    h += size;
    for (; end - p >= 8; p += 8) {
        h ^= Round(0, Read64(p));
        h = std::rotl(h, 27) * kP1 + kP4;
    }
    if (end - p >= 4) {
        h ^= static_cast<std::uint64_t>(Read32(p)) * kP1;
        h = std::rotl(h, 23) * kP2 + kP3;
        p += 4;
    }
    for (; p < end; ++p) {
        h ^= *p * kP5;
        h = std::rotl(h, 11) * kP1;
    }
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

std::uint64_t FrameHasher::Hash(const platform::FrameView& frame) {
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return Xxh64(nullptr, 0);
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 2;
    const std::size_t bytes = rowBytes * static_cast<std::size_t>(frame.height);
    if (frame.pitch == frame.width && std::endian::native == std::endian::little) {
        return Xxh64(frame.pixels, bytes);
    }
    scratch_.resize(bytes);
    std::uint8_t* out = scratch_.data();
    for (int y = 0; y < frame.height; ++y) {
        const std::uint16_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        for (int x = 0; x < frame.width; ++x) {
            *out++ = static_cast<std::uint8_t>(row[x]);
            *out++ = static_cast<std::uint8_t>(row[x] >> 8);
        }
    }
    return Xxh64(scratch_.data(), bytes);
}

std::string HashText(std::uint64_t hash) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[hash & 15];
    return text;
}

}  // namespace render
