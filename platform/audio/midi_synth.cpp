#include "platform/audio/midi_synth.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

#include "platform/host.h"

namespace platform {
namespace {

std::vector<std::string> soundFontPaths;

// The synthesizer's own complaints that matter go to standard error under the program's name;
// its warnings and chatter do not.
void LogToStderr(int, const char* message, void*) {
    std::fprintf(stderr, "%s: MIDI synthesizer: %s\n", program_invocation_short_name, message);
}

void QuietLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, &LogToStderr, nullptr);
        fluid_set_log_function(FLUID_ERR, &LogToStderr, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

constexpr int kChannels = 16;
// Loud enough to stand beside the wave sounds, with room for a full arrangement.
constexpr double kGain = 0.3;

}  // namespace

std::vector<std::string> DefaultSoundFontPaths() {
    return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
            "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
}

void SetSoundFontPaths(std::vector<std::string> paths) {
    soundFontPaths = std::move(paths);
}

struct MidiSynth::Handles {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    ~Handles() {
        if (synth != nullptr) delete_fluid_synth(synth);
        if (settings != nullptr) delete_fluid_settings(settings);
    }
};

MidiSynth::MidiSynth(std::unique_ptr<Handles> handles, std::string soundFont)
    : handles_(std::move(handles)), soundFont_(std::move(soundFont)) {}

MidiSynth::~MidiSynth() = default;

std::unique_ptr<MidiSynth> MidiSynth::Create(std::string* error) {
    QuietLog();
    auto handles = std::make_unique<Handles>();
    handles->settings = new_fluid_settings();
    if (handles->settings == nullptr) {
        *error = "the MIDI synthesizer could not start";
        return nullptr;
    }
    fluid_settings_t* settings = handles->settings;
    fluid_settings_setnum(settings, "synth.sample-rate", kAudioRate);
    fluid_settings_setnum(settings, "synth.gain", kGain);
    // One thread (ours), no locked memory, every sample in memory before the first note.
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 0);
    handles->synth = new_fluid_synth(settings);
    if (handles->synth == nullptr) {
        *error = "the MIDI synthesizer could not start";
        return nullptr;
    }
    const std::vector<std::string> paths =
        soundFontPaths.empty() ? DefaultSoundFontPaths() : soundFontPaths;
    std::string tried;
    for (const std::string& path : paths) {
        tried += (tried.empty() ? "" : ", ") + path;
        if (access(path.c_str(), R_OK) != 0) continue;
        if (fluid_synth_sfload(handles->synth, path.c_str(), 1) == FLUID_FAILED) continue;
        return std::unique_ptr<MidiSynth>(new MidiSynth(std::move(handles), path));
    }
    *error = "no General MIDI SoundFont could be loaded (tried " + tried + ")";
    return nullptr;
}

void MidiSynth::Send(const MidiEvent& event) {
    fluid_synth_t* synth = handles_->synth;
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, event.data1);
            break;
        case 0x90:
            // A note-on of velocity 0 is a note-off; FluidSynth knows.
            fluid_synth_noteon(synth, channel, event.data1, event.data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, event.data1, event.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, event.data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, event.data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, event.data1 | (event.data2 << 7));
            break;
        default:
            break;
    }
}

void MidiSynth::ReleaseNotes() {
    for (int channel = 0; channel < kChannels; ++channel) {
        fluid_synth_cc(handles_->synth, channel, 64, 0);
    }
    fluid_synth_all_notes_off(handles_->synth, -1);
}

void MidiSynth::ResetChannels() {
    fluid_synth_t* synth = handles_->synth;
    ReleaseNotes();
    for (int channel = 0; channel < kChannels; ++channel) {
        fluid_synth_cc(synth, channel, 121, 0);  // modulation, expression, pedals, pressure
        fluid_synth_cc(synth, channel, 0, 0);
        fluid_synth_cc(synth, channel, 32, 0);
        fluid_synth_program_change(synth, channel, 0);
        fluid_synth_pitch_bend(synth, channel, 8192);
        fluid_synth_cc(synth, channel, 7, 100);
        fluid_synth_cc(synth, channel, 10, 64);
        fluid_synth_cc(synth, channel, 91, 40);
        fluid_synth_cc(synth, channel, 93, 0);
    }
}

void MidiSynth::Reset() {
    fluid_synth_system_reset(handles_->synth);
}

void MidiSynth::RenderBlock(float* left, float* right) {
    fluid_synth_write_float(handles_->synth, kBlockFrames, left, 0, 1, right, 0, 1);
}

bool MidiSynth::Sounding() const {
    return fluid_synth_get_active_voice_count(handles_->synth) > 0;
}

}  // namespace platform
