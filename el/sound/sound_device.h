// The sound device of elSound and its start state.
#pragma once

#include <cstdint>

namespace elSound {

// Opens the sound device (any earlier one and its buffers are let go first). 1 when a device is
// ready, 0 when the program runs silent: then every sound operation does nothing.
int Init();
// Stops and lets go of every buffer and the device. The table keeps its records, so that
// ReloadObjects can rebuild the same objects.
void Release();
// Every slot of the sound-object table back to free.
void ResetObjectTable();
// Everything back to program start: device closed, table zero, no song. For tests and runs.
void ResetSoundState();

}  // namespace elSound
