// Sound objects: one wave in one to ten duplicate buffers, named by a slot number 0..69.
#pragma once

#include <cstdint>

#include "platform/audio/riff_reader.h"

namespace elSound {

// Loads a wave with `count` duplicate buffers (1..10; a negative count gives |count| buffers and
// no echo): a file of that name in the program directory first, then the "WAVE" resource, then
// the RCDATA resource. Returns the slot; 0 when sound is unavailable or after a failure, which
// is reported with the error box.
int LoadObject(const char* name, std::int32_t count);
// Opens a new device and rebuilds every loaded object in its slot, with the volumes,
// frequencies and pans last set.
void ReloadObjects();
// Stops and frees the slot's buffers; a free or unknown slot does nothing.
void FreeObject(std::int32_t slot);
// Lets go of the device, plays the wave file `sound` to its end (the program waits), then
// rebuilds every object.
void PlayWaveSync(const char* sound);
// Reads a RIFF WAVE file. 0 on success; 1 on failure, with *wave left empty.
int ReadWaveFile(const char* path, platform::WaveData* wave);

}  // namespace elSound
