// The General MIDI synthesizer that sounds the songs: FluidSynth with a SoundFont installed on
// the system, rendered block by block into the mixer (never through an audio driver of its
// own). The SoundFont is loaded once, when the synthesizer is made, never while it renders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio/smf_reader.h"

namespace platform {

// The SoundFonts tried in turn. TimGM6mb comes first: 6 MB, so it loads in a blink and costs
// little memory, with every General MIDI program and drum kit; songs sound the same wherever
// it is installed. The system's default General MIDI font stands in for it.
std::vector<std::string> DefaultSoundFontPaths();
// Lets a test try other paths (an empty list: the defaults again).
void SetSoundFontPaths(std::vector<std::string> paths);

class MidiSynth {
  public:
    // Frames of one rendered block; events take effect at block starts.
    static constexpr int kBlockFrames = 64;

    // The synthesizer with the first SoundFont that loads; null, with *error saying what was
    // tried, when none does.
    static std::unique_ptr<MidiSynth> Create(std::string* error);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    void Send(const MidiEvent& event);
    // Lets every note go (with its release, the sustain pedal lifted).
    void ReleaseNotes();
    // Notes released and every channel back as at power on: programs, banks, controllers and
    // pitch bend, so that a song played again sounds as it did the first time.
    void ResetChannels();
    // Silent at once, reverb and chorus emptied: as newly made.
    void Reset();
    // One block, kBlockFrames frames a channel, in -1..1.
    void RenderBlock(float* left, float* right);
    // True while any voice sounds.
    bool Sounding() const;

    const std::string& soundFont() const { return soundFont_; }

  private:
    struct Handles;
    explicit MidiSynth(std::unique_ptr<Handles> handles, std::string soundFont);
    std::unique_ptr<Handles> handles_;
    std::string soundFont_;
};

}  // namespace platform
