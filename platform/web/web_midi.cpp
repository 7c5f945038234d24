// The browser build has no SoundFont: MIDI songs play on a small synthesizer of our own, a
// soft square wave for every program and a noise burst for the drums, with the channels'
// volume, expression and pan. The tune and its timing are the song's; the timbres are not.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/audio/midi_synth.h"

namespace platform {

namespace {

constexpr int kVoices = 32;
constexpr float kRate = 44100.0f;
constexpr int kDrumChannel = 9;

struct Channel {
    float volume = 100.0f / 127.0f;
    float expression = 1.0f;
    float pan = 0.5f;  // 0 left .. 1 right
};

struct Voice {
    bool on = false;
    bool released = false;
    int channel = 0;
    int note = 0;
    float level = 0;  // the envelope now
    float peak = 0;   // from the velocity
    float phase = 0;
    float step = 0;  // of the phase per frame
    std::uint32_t noise = 1;
    int age = 0;  // frames since the note began
};

}  // namespace

struct MidiSynth::Handles {
    std::array<Channel, 16> channels{};
    std::array<Voice, kVoices> voices{};

    void NoteOn(int channel, int note, int velocity) {
        NoteOff(channel, note);
        // A free voice, or else the quietest one.
        Voice* voice = &voices[0];
        for (Voice& v : voices) {
            if (!v.on) {
                voice = &v;
                break;
            }
            if (v.level < voice->level) voice = &v;
        }
        *voice = Voice{};
        voice->on = true;
        voice->channel = channel;
        voice->note = note;
        voice->peak = static_cast<float>(velocity) / 127.0f;
        voice->step = 440.0f * std::pow(2.0f, static_cast<float>(note - 69) / 12.0f) / kRate;
        voice->noise = 0x9E3779B9u ^ static_cast<std::uint32_t>(note * 7919);
    }

    void NoteOff(int channel, int note) {
        for (Voice& v : voices) {
            if (v.on && v.channel == channel && v.note == note) v.released = true;
        }
    }

    float Sample(Voice& v) {
        ++v.age;
        // Attack over 5 ms, then a slow fall as a plucked or struck note has; a quick one
        // once released, and faster still for a drum.
        const bool drum = v.channel == kDrumChannel;
        if (v.age < 220 && !drum) {
            v.level = v.peak * static_cast<float>(v.age) / 220.0f;
        } else {
            const float fall = drum ? 0.9995f : v.released ? 0.9990f : 0.99997f;
            v.level = (v.age < 220 ? v.peak : v.level) * fall;
        }
        if (v.level < 0.0005f && (v.released || drum) && v.age >= 220) v.on = false;
        if (drum) {
            v.noise = v.noise * 1664525u + 1013904223u;
            return (static_cast<float>(v.noise >> 9) / 4194304.0f - 1.0f) * v.level;
        }
        v.phase += v.step;
        if (v.phase >= 1.0f) v.phase -= 1.0f;
        return (v.phase < 0.5f ? 1.0f : -1.0f) * v.level;
    }
};

std::vector<std::string> DefaultSoundFontPaths() {
    return {};
}

void SetSoundFontPaths(std::vector<std::string>) {}

std::unique_ptr<MidiSynth> MidiSynth::Create(std::string*) {
    return std::unique_ptr<MidiSynth>(new MidiSynth(std::make_unique<Handles>(), "built-in"));
}

MidiSynth::MidiSynth(std::unique_ptr<Handles> handles, std::string soundFont)
    : handles_(std::move(handles)), soundFont_(std::move(soundFont)) {}
MidiSynth::~MidiSynth() = default;

void MidiSynth::Send(const MidiEvent& event) {
    const int channel = event.status & 0x0F;
    const int data1 = event.data1 & 0x7F;
    const int data2 = event.data2 & 0x7F;
    Channel& c = handles_->channels[static_cast<std::size_t>(channel)];
    switch (event.status & 0xF0) {
        case 0x90:
            if (data2 > 0) {
                handles_->NoteOn(channel, data1, data2);
                break;
            }
            [[fallthrough]];  // a note-on at velocity 0 is a note-off
        case 0x80:
            handles_->NoteOff(channel, data1);
            break;
        case 0xB0:
            if (data1 == 7) c.volume = static_cast<float>(data2) / 127.0f;
            if (data1 == 11) c.expression = static_cast<float>(data2) / 127.0f;
            if (data1 == 10) c.pan = static_cast<float>(data2) / 127.0f;
            if (data1 == 120 || data1 == 123) ReleaseNotes();
            break;
        default:
            break;
    }
}

void MidiSynth::ReleaseNotes() {
    for (Voice& v : handles_->voices) v.released = true;
}

void MidiSynth::ResetChannels() {
    ReleaseNotes();
    handles_->channels = {};
}

void MidiSynth::Reset() {
    handles_->channels = {};
    handles_->voices = {};
}

void MidiSynth::RenderBlock(float* left, float* right) {
    std::fill(left, left + kBlockFrames, 0.0f);
    std::fill(right, right + kBlockFrames, 0.0f);
    for (Voice& v : handles_->voices) {
        if (!v.on) continue;
        const Channel& c = handles_->channels[static_cast<std::size_t>(v.channel)];
        const float gain = 0.12f * c.volume * c.expression;
        const float toLeft = gain * std::min(1.0f, 2.0f * (1.0f - c.pan));
        const float toRight = gain * std::min(1.0f, 2.0f * c.pan);
        for (int i = 0; i < kBlockFrames && v.on; ++i) {
            const float s = handles_->Sample(v);
            left[i] += s * toLeft;
            right[i] += s * toRight;
        }
    }
}

bool MidiSynth::Sounding() const {
    return std::any_of(handles_->voices.begin(), handles_->voices.end(),
                       [](const Voice& v) { return v.on; });
}

}  // namespace platform
