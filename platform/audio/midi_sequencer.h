// The MIDI sequencer the library plays its songs on: one song open at a time, commanded through
// calls (never command strings, so no name can be read as a command). It plays into the mixer
// as one of its streams: MIDI and waves share one output, its volume and its capture.
//
// A play with notification posts MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL) to the window when the
// song reaches its end, from whatever thread renders the audio. A play that ends without having
// sounded a single block (a song of zero length, or a play from the end) posts nothing, so a
// looping empty song cannot flood the queue.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/audio/smf_reader.h"

namespace platform {

// The device identifier the end-of-song message carries as its lParam.
inline constexpr std::intptr_t kMidiDeviceId = 1;

class MidiDevice {
  public:
    virtual ~MidiDevice() = default;
    // Reads the song from a file's or a resource's bytes and opens it, stopped at its start.
    // An open song is closed first, also when the new one cannot be read.
    virtual SmfError Open(std::span<const std::uint8_t> bytes) = 0;
    // Stops and goes back to the start.
    virtual void SeekToStart() = 0;
    // Plays from where the song is.
    virtual void Play(bool notify) = 0;
    // Stops where it is; the notes sounding are let go.
    virtual void Stop() = 0;
    virtual void Close() = 0;
    // "playing" or "stopped" while a song is open, "" when none is.
    virtual const char* Mode() = 0;
};

// The device in use: the synthesizer's sequencer unless a test installed another.
MidiDevice& CurrentMidiDevice();
// Installs a device (null: the synthesizer's sequencer, made anew when next used) and returns
// the one that was in use, closed.
std::unique_ptr<MidiDevice> InstallMidiDevice(std::unique_ptr<MidiDevice> device);

}  // namespace platform
