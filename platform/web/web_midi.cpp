// The browser build has no SoundFont synthesizer: MIDI songs are read and timed as anywhere,
// and stay silent, as on a desktop without a SoundFont.
#include "platform/audio/midi_synth.h"

namespace platform {

struct MidiSynth::Handles {};

std::vector<std::string> DefaultSoundFontPaths() {
    return {};
}

void SetSoundFontPaths(std::vector<std::string>) {}

std::unique_ptr<MidiSynth> MidiSynth::Create(std::string* error) {
    if (error != nullptr) *error = "no General MIDI synthesizer in the browser";
    return nullptr;
}

MidiSynth::MidiSynth(std::unique_ptr<Handles> handles, std::string soundFont)
    : handles_(std::move(handles)), soundFont_(std::move(soundFont)) {}
MidiSynth::~MidiSynth() = default;
void MidiSynth::Send(const MidiEvent&) {}
void MidiSynth::ReleaseNotes() {}
void MidiSynth::ResetChannels() {}
void MidiSynth::Reset() {}
void MidiSynth::RenderBlock(float* left, float* right) {
    for (int i = 0; i < kBlockFrames; ++i) left[i] = right[i] = 0.0f;
}
bool MidiSynth::Sounding() const {
    return false;
}

}  // namespace platform
