// Playback control of loaded sound objects.
//
// The last argument chooses buffers of the object: 0..count-1 that buffer; -2 the buffer the
// next rotating play uses (and for Play/PlayLoop it also starts an echo); any other negative
// value every buffer (Stop, Pause, the value operations) or the next buffer in rotation (Play,
// PlayLoop). A slot that holds no object, or a selector beyond the object's buffers, does
// nothing. Volume and pan arguments are in decibels, frequency arguments in hundreds of Hz.
#pragma once

#include <cstdint>

namespace elSound {

// Plays the sound once from its start.
void Play(std::int32_t slot, std::int32_t selector);
// Plays the sound over and over until it is stopped.
void PlayLoop(std::int32_t slot, std::int32_t selector);
// Stops and rewinds; a negative selector also ends a running echo.
void Stop(std::int32_t slot, std::int32_t selector);
// Pauses a playing buffer, resumes a stopped one from where it was paused.
void Pause(std::int32_t slot, std::int32_t selector);

// The playback rate raised by delta (lowered when negative).
void AddFrequency(std::int32_t slot, std::int32_t delta, std::int32_t selector);
// The playback rate back to the wave's own.
void ResetFrequency(std::int32_t slot, std::int32_t selector);
// The playback rate set to the wave's own plus value.
void SetFrequency(std::int32_t slot, std::int32_t value, std::int32_t selector);
// The balance moved by delta (negative towards the left).
void AddPan(std::int32_t slot, std::int32_t delta, std::int32_t selector);
// The balance back to the centre.
void ResetPan(std::int32_t slot, std::int32_t selector);
// The balance set to value: 0 centred, negative the right side quieter, positive the left.
void SetPan(std::int32_t slot, std::int32_t value, std::int32_t selector);
// Only the left side heard.
void PanLeft(std::int32_t slot, std::int32_t selector);
// Only the right side heard.
void PanRight(std::int32_t slot, std::int32_t selector);
// The volume changed by delta (0 is full, negative quieter).
void AddVolume(std::int32_t slot, std::int32_t delta, std::int32_t selector);
// The volume back to full.
void ResetVolume(std::int32_t slot, std::int32_t selector);
// The volume set to value: 0 full, negative quieter.
void SetVolume(std::int32_t slot, std::int32_t value, std::int32_t selector);

// One frame of an echo started by Play/PlayLoop with selector -2: every `interval` ms the next
// duplicate sounds, `volumeStep` dB quieter each time, `steps` times. Call once per frame.
void Echo(std::int32_t slot, std::int32_t interval, std::int32_t steps, std::int32_t volumeStep);
// The same, each repetition at a pan that wanders between -30 and 30 dB at `panSpeed`.
void EchoPan(std::int32_t slot, std::int32_t interval, std::int32_t steps, std::int32_t volumeStep,
             std::int32_t panSpeed);

// For the renderer's timeline: 1 if any buffer of the slot is playing.
int IsPlaying(std::int32_t slot);
// The volume last set on a buffer, in hundredths of a decibel; 0 for a bad slot or buffer.
std::int32_t StoredVolume(std::int32_t slot, std::int32_t buffer);

}  // namespace elSound
