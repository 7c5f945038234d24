// The sound device of elSound and its start state.
#pragma once

#include <cstdint>

namespace elSound {

// 1 when a sound device is ready, 0 when the program runs silent.
int Init();
void Release();
// Every slot of the sound-object table back to free.
void ResetObjectTable();

}  // namespace elSound
