// Arbitrary bytes as a MIDI file; a song that reads has its first events played on the
// synthesizer for a few blocks (kept short: the synthesizer is the slow part).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "platform/audio/midi_synth.h"
#include "platform/audio/smf_reader.h"

namespace {
std::unique_ptr<platform::MidiSynth> synth;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    synth = platform::MidiSynth::Create(&error);  // null without a SoundFont: the reader alone
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::MidiSong song;
    if (platform::ReadSmf(std::span(data, size), &song) != platform::SmfError::None) {
        if (!song.events.empty()) std::abort();  // failure leaves it empty
        return 0;
    }
    for (std::size_t i = 0; i < song.events.size(); ++i) {
        const platform::MidiEvent& event = song.events[i];
        if (event.status < 0x80 || event.status > 0xEF || event.data1 > 0x7F ||
            event.data2 > 0x7F || event.frame > song.lengthFrames ||
            (i > 0 && event.frame < song.events[i - 1].frame))
            std::abort();
    }
    if (!synth) return 0;
    synth->Reset();
    synth->ResetChannels();
    std::array<float, platform::MidiSynth::kBlockFrames> left{};
    std::array<float, platform::MidiSynth::kBlockFrames> right{};
    const std::size_t count = std::min<std::size_t>(song.events.size(), 64);
    for (std::size_t i = 0; i < count; ++i) synth->Send(song.events[i]);
    for (int block = 0; block < 4; ++block) synth->RenderBlock(left.data(), right.data());
    return 0;
}
