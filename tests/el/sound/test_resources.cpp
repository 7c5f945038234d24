// The built-in resources of the elSound tests, in place of the program's own table.
#include <vector>

#include "platform/resources.h"
#include "tests/el/sound/sound_test_support.h"
#include "tests/platform/audio/smf_builder.h"

namespace {

using wavetest::Bytes;

Bytes Constant16(std::size_t frames, std::int16_t value, std::uint32_t rate) {
    return wavetest::Wave16(std::vector<std::int16_t>(frames, value), 1, rate);
}

// 16-bit mono 44100 Hz, 4410 frames whose values are their frame numbers.
Bytes Counter() {
    std::vector<std::int16_t> samples(4410);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i);
    return wavetest::Wave16(samples);
}

struct Stored {
    const char* name;
    const char* type;
    Bytes bytes;
};

const std::vector<Stored>& Resources() {
    using wavetest::FormatBody;
    static const std::vector<Stored> resources = {
        {"TONE", "WAVE", Constant16(soundtest::kToneFrames, soundtest::kToneLevel, 22050)},
        {"COUNTER", "WAVE", Counter()},
        {"RAWONLY", "RCDATA",
         wavetest::Riff({{"fmt ", FormatBody({.channels = 2, .rate = 11025, .bits = 8})},
                         {"data", Bytes(2206, 200)}})},
        {"BADFIRST", "WAVE", Bytes(64, 'x')},  // gives way to the raw data of the same name
        {"BADFIRST", "RCDATA", Constant16(1600, 500, 16000)},
        {"BADWAVE", "WAVE",  // a data size far beyond the resource's end
         wavetest::Riff({{"fmt ", FormatBody({})}, {"data", Bytes(100, 1), 1000000}})},
        {"ADPCM", "WAVE",
         wavetest::Riff({{"fmt ", FormatBody({.tag = 2, .bits = 4})}, {"data", Bytes(512, 0)}})},
        {"FALLBACK", "WAVE", Constant16(800, 700, 8000)},
        {"REPLACED", "WAVE", Constant16(900, 600, 8000)},
        // Songs: one of a second, one of a quarter second as raw data, one that is no song.
        {"TUNE", "MIDI", smftest::OneNoteSong(96, 96)},
        {"RAWTUNE", "RCDATA", smftest::OneNoteSong(48, 0)},
        {"NOTASONG", "MIDI", Bytes(40, 'x')},
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
