// MIDI music: one song at a time, from a standard MIDI file next to the program or built in,
// played on the platform's sequencer into the same mixer as the waves. A looping song starts
// again when the window procedure hands its end-of-song message to MidiNotify.
#pragma once

#include <cstdint>

namespace elSound {

// 1 from PlayMidi until the song is stopped (also when the song could not be opened: then
// nothing plays and no end is ever reported).
extern std::int32_t& MidiOpen;
// 1 while the open song starts again at its end.
extern std::int32_t& MidiLoop;

// No song open, looping on.
void ResetMidiState();
// Plays the song `name` from its start, with its end reported to the window: a file of that
// name in the program directory, else the built-in "MIDI" (then RCDATA) resource of that name.
// An open song is stopped and closed first. A name whose path does not fit the path buffer is
// refused and changes nothing; every failure is one line on standard error.
void PlayMidi(const char* name, std::int32_t loop);
// The window procedure's answer to the end of the song: play it again when looping, else
// stop and close it.
void MidiNotify();
// Stops and closes the open song; nothing when none is open.
void StopMidi();
// Stops and closes the song whether or not one is open; MidiOpen stays as it is.
void ForceStopMidi();
// The song ends at its end once more, and is then closed.
void EndMidiLoop();
// The sequencer's mode: "playing" or "stopped" for an open song, "" when none is open.
const char* MidiStatusMode();

}  // namespace elSound
