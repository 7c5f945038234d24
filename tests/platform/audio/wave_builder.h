// Builds RIFF WAVE bytes for tests, including damaged ones: every size can be declared wrong.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<std::uint8_t>;

// Two push_backs: GCC 12 at -O2 misreads an initializer-list insert into an empty vector as an
// overflow.
inline void Put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

struct Chunk {
    std::string id;
    Bytes body;
    std::optional<std::uint32_t> declaredSize = {};  // written instead of the real size
    bool pad = true;                                 // a pad byte after an odd body
};

struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
};

inline Bytes FormatBody(const Format& f) {
    const auto align = static_cast<std::uint16_t>(f.channels * f.bits / 8);
    Bytes out;
    Put16(out, f.tag);
    Put16(out, f.channels);
    Put32(out, f.rate);
    Put32(out, f.rate * align);
    Put16(out, align);
    Put16(out, f.bits);
    return out;
}

// The format chunk of an extensible wave: the 16 bytes of `f` under the tag 0xFFFE, then the
// extension of cbSize bytes (22 in full): valid bits, a channel mask, and the sub-format GUID
// xxxxxxxx-0000-0010-8000-00aa00389b71 with `subFormat` first (1 PCM, 3 IEEE float, 7 mu-law).
inline Bytes ExtensibleBody(Format f, std::uint16_t validBits, std::uint32_t subFormat = 1,
                            std::uint16_t cbSize = 22) {
    f.tag = 0xFFFE;
    Bytes out = FormatBody(f);
    Bytes extension;
    Put16(extension, validBits);
    Put32(extension, f.channels == 2 ? 0x3 : 0x4);
    Put32(extension, subFormat);
    extension.insert(extension.end(),
                     {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    extension.resize(cbSize, 0);
    Put16(out, cbSize);
    out.insert(out.end(), extension.begin(), extension.end());
    return out;
}

inline Bytes Riff(const std::vector<Chunk>& chunks, std::optional<std::uint32_t> riffSize = {}) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        body.insert(body.end(), chunk.id.begin(), chunk.id.end());
        Put32(body, chunk.declaredSize.value_or(static_cast<std::uint32_t>(chunk.body.size())));
        body.insert(body.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.pad && (chunk.body.size() & 1)) body.push_back(0);
    }
    Bytes out{'R', 'I', 'F', 'F'};
    Put32(out, riffSize.value_or(static_cast<std::uint32_t>(body.size())));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline Bytes Samples16(const std::vector<std::int16_t>& samples) {
    Bytes out;
    for (std::int16_t s : samples) Put16(out, static_cast<std::uint16_t>(s));
    return out;
}

// 16-bit PCM of the given samples (interleaved when stereo).
inline Bytes Wave16(const std::vector<std::int16_t>& samples, std::uint16_t channels = 1,
                    std::uint32_t rate = 44100) {
    return Riff(
        {{"fmt ", FormatBody({.channels = channels, .rate = rate})}, {"data", Samples16(samples)}});
}

inline std::vector<std::int16_t> Cosine(std::size_t frames, double period, double amplitude) {
    std::vector<std::int16_t> out(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        out[i] = static_cast<std::int16_t>(
            std::lround(amplitude * std::cos(2 * std::acos(-1.0) * i / period)));
    }
    return out;
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace wavetest
