// Reads a standard MIDI file (format 0, 1 or 2, bare or in a RIFF RMID wrapper) into the channel
// messages a synthesizer plays, each timed in frames of the mixer's 44100 Hz, with the tempo
// changes already applied. Everything is checked against the bytes that are really there: a
// damaged file is refused or, where its start is sound, cut where the damage begins; nothing is
// read past the end or allocated beyond what the file holds.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

struct MidiEvent {
    std::uint64_t frame = 0;  // from the start of the song, at 44100 Hz
    std::uint8_t status = 0;  // a channel message, 0x80 to 0xEF
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;  // 0 for the one-byte messages
};

struct MidiSong {
    // In time order; at the same time in track order, then in the order of the file.
    std::vector<MidiEvent> events;
    // The end of the song: where its last track ends (its End of Track, or its last event).
    std::uint64_t lengthFrames = 0;
    // What the file held, for a report: tracks read, every event (meta and SysEx included),
    // the note-ons that sound, and the length of the longest track in ticks.
    std::uint32_t tracks = 0;
    std::uint64_t eventCount = 0;
    std::uint64_t noteOns = 0;
    std::uint64_t longestTrackTicks = 0;
    // True when a track was cut short by the end of the file or by damage: the song plays up to
    // there.
    bool truncated = false;
};

// Songs longer than this are refused: such a length comes from a damaged delta time, and the
// song would sit silent for days before it ended.
inline constexpr std::uint64_t kMaxSongSeconds = 24 * 60 * 60;
// A song file larger than this is not read at all.
inline constexpr std::uint64_t kMaxSongFileBytes = 16u << 20;

enum class SmfError {
    None,
    NotMidi,            // neither "MThd" nor a RIFF RMID holding it
    BadHeader,          // a header cut short, or a division of 0 ticks
    UnsupportedFormat,  // a format other than 0, 1 or 2
    NoTracks,           // no track chunk at all
    BadStatus,          // a status byte no file may hold (0xF1 to 0xFE but 0xF7), or data
                        // bytes with no status before them: the rest cannot be told apart
    TooLong,            // longer than kMaxSongSeconds
};

const char* SmfErrorText(SmfError error);

// On failure *song is left empty.
SmfError ReadSmf(std::span<const std::uint8_t> bytes, MidiSong* song);

}  // namespace platform
