#include "el/sound/midi_state.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "el/sound/sound_state.h"
#include "el/system/program_directory.h"
#include "platform/audio/midi_sequencer.h"
#include "platform/file_read.h"
#include "platform/resources.h"

namespace elSound {
namespace {

constexpr std::string_view kMidiType = "MIDI";

// A name as it can be shown on a terminal: control bytes and quotes written as escapes.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

void Report(const std::string& text) {
    std::fprintf(stderr, "%s: elSound::PlayMidi: %s\n", program_invocation_short_name,
                 text.c_str());
}

// Opens the song of the program directory's file, else of the built-in resource. False, with
// the reason on standard error, when neither opens.
bool OpenSong(platform::MidiDevice& device, const char* directory, const char* name) {
    std::string path;
    std::string refusal;
    if (directory[0] != '\0') {
        path = std::string(directory) + name;
        std::vector<std::uint8_t> bytes;
        const platform::FileReadError error =
            platform::ReadRegularFile(path, platform::kMaxSongFileBytes, &bytes);
        if (error == platform::FileReadError::None) {
            const platform::SmfError smf = device.Open(bytes);
            if (smf == platform::SmfError::None) return true;
            refusal = platform::SmfErrorText(smf);
        } else if (error != platform::FileReadError::Missing) {
            refusal = platform::FileReadErrorText(error);
        }
    }
    auto resource = platform::FindResource(name, kMidiType);
    if (!resource) resource = platform::FindResource(name, platform::RT_RCDATA);
    if (!refusal.empty()) {
        platform::ReportUnusableProgramFile(Printable(path), refusal, Printable(name),
                                            resource.has_value());
    }
    if (resource) {
        const platform::SmfError smf = device.Open(*resource);
        if (smf == platform::SmfError::None) return true;
        Report("the built-in song " + Printable(name) + ": " + platform::SmfErrorText(smf));
    } else if (refusal.empty()) {
        Report("no song " + (path.empty() ? Printable(name) : Printable(path)) +
               " and no built-in song of that name");
    }
    return false;
}

}  // namespace

std::int32_t& MidiOpen = detail::State().MidiOpen;
std::int32_t& MidiLoop = detail::State().MidiLoop;

void ResetMidiState() {
    MidiOpen = 0;
    MidiLoop = 1;
}

void PlayMidi(const char* name, std::int32_t loop) {
    if (name == nullptr) {
        Report("no song name");
        return;
    }
    const char* directory = elSystem::ProgramDirectory();
    if (std::strlen(directory) + std::strlen(name) >= elSystem::kPathBufferSize) {
        Report("the song name " + Printable(name) + " is too long for a path");
        return;
    }
    if (MidiOpen == 1) StopMidi();
    platform::MidiDevice& device = platform::CurrentMidiDevice();
    // Songs play through the sound device: without one the program goes on silent.
    const SoundState& state = detail::State();
    if (state.soundAvailable == 1 && state.device && OpenSong(device, directory, name)) {
        device.SeekToStart();
        device.Play(true);
    }
    MidiOpen = 1;
    MidiLoop = loop;
}

void MidiNotify() {
    if (MidiLoop == 1) {
        platform::MidiDevice& device = platform::CurrentMidiDevice();
        device.SeekToStart();
        device.Play(true);
    } else {
        StopMidi();
    }
}

void StopMidi() {
    if (MidiOpen != 1) return;
    platform::MidiDevice& device = platform::CurrentMidiDevice();
    device.Stop();
    device.Close();
    MidiOpen = 0;
}

void ForceStopMidi() {
    platform::MidiDevice& device = platform::CurrentMidiDevice();
    device.Stop();
    device.Close();
}

void EndMidiLoop() {
    MidiLoop = 0;
}

const char* MidiStatusMode() {
    return platform::CurrentMidiDevice().Mode();
}

}  // namespace elSound
