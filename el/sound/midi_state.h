// The MIDI song state that the window procedure's end-of-song handling looks at.
#pragma once

#include <cstdint>

namespace elSound {

extern std::int32_t& MidiOpen;
extern std::int32_t& MidiLoop;

// No song open, looping on.
void ResetMidiState();
// Called when the open song has ended: play it again when looping, else close it.
void MidiNotify();
// The sequencer's answer to "status midi mode" ("stopped", "playing", ...).
const char* MidiStatusMode();

}  // namespace elSound
