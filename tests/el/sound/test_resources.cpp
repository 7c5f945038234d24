// The built-in resources of the elSound tests, in place of the program's own table.
#include <vector>

#include "platform/resources.h"
#include "tests/el/sound/sound_test_support.h"

namespace {

using wavetest::Bytes;

Bytes Constant16(std::size_t frames, std::int16_t value, std::uint32_t rate) {
    return wavetest::Wave16(std::vector<std::int16_t>(frames, value), 1, rate);
}

Bytes Counter() {
    std::vector<std::int16_t> samples(4410);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i);
    return wavetest::Wave16(samples);
}

Bytes Stereo8() {
    wavetest::Format format;
    format.channels = 2;
    format.bits = 8;
    format.rate = 11025;
    return wavetest::Riff({{"fmt ", wavetest::FormatBody(format)}, {"data", Bytes(2206, 200)}});
}

Bytes OverlongCanonical() {
    Bytes bytes = Constant16(50, 1000, 44100);
    // The 32-bit data size at byte 40 claims a megabyte.
    bytes[40] = 0x40;
    bytes[41] = 0x42;
    bytes[42] = 0x0F;
    bytes[43] = 0x00;
    return bytes;
}

Bytes Adpcm() {
    wavetest::Format format;
    format.tag = 2;
    format.bits = 4;
    format.blockAlign = 256;
    Bytes body = wavetest::FormatBody(format);
    wavetest::Put16(body, 0);
    return wavetest::Riff({{"fmt ", body}, {"data", Bytes(512, 0)}});
}

struct Stored {
    const char* name;
    const char* type;
    Bytes bytes;
};

const std::vector<Stored>& Resources() {
    static const std::vector<Stored> resources = {
        {"TONE", "WAVE", Constant16(soundtest::kToneFrames, soundtest::kToneLevel, 22050)},
        {"COUNTER", "WAVE", Counter()},
        {"RAWONLY", "RCDATA", Stereo8()},
        {"BADFIRST", "WAVE", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'}},
        {"BADFIRST", "RCDATA", Constant16(1600, 500, 16000)},
        {"BADWAVE", "WAVE", OverlongCanonical()},
        {"ADPCM", "WAVE", Adpcm()},
        {"FALLBACK", "WAVE", Constant16(800, 700, 8000)},
        {"SHADOW", "WAVE", Constant16(800, 700, 8000)},
    };
    return resources;
}

}  // namespace

namespace platform {

std::span<const ResourceEntry> BuiltInResources() {
    static const std::vector<ResourceEntry> entries = [] {
        std::vector<ResourceEntry> out;
        for (const Stored& resource : Resources()) {
            // Each resource is its own heap block, so reading past one is caught.
            out.push_back({resource.name, resource.type, resource.bytes.data(),
                           resource.bytes.data() + resource.bytes.size()});
        }
        return out;
    }();
    return entries;
}

}  // namespace platform
