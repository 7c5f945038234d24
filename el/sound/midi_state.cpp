#include "el/sound/midi_state.h"

namespace elSound {

std::int32_t MidiOpen;
std::int32_t MidiLoop = 1;

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
