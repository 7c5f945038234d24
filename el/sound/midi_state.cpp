#include "el/sound/midi_state.h"

#include "el/sound/sound_state.h"

namespace elSound {

std::int32_t& MidiOpen = detail::State().MidiOpen;
std::int32_t& MidiLoop = detail::State().MidiLoop;

void ResetMidiState() {
    MidiOpen = 0;
    MidiLoop = 1;
}

void MidiNotify() {
    if (MidiLoop != 1) MidiOpen = 0;
}

const char* MidiStatusMode() {
    return MidiOpen ? "playing" : "stopped";
}

}  // namespace elSound
