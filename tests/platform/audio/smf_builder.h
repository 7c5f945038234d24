// Builds standard MIDI file bytes for tests, including damaged ones.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace smftest {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}
inline void Put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void PutVlq(Bytes& out, std::uint32_t v) {
    Bytes groups{static_cast<std::uint8_t>(v & 0x7F)};
    while ((v >>= 7) != 0)
        groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
    Append(out, groups);
}

// One event: its delta time, then its bytes as written (a running-status event leaves out the
// status).
inline Bytes Ev(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
    Bytes out;
    PutVlq(out, delta);
    out.insert(out.end(), bytes);
    return out;
}
inline Bytes Tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
    const auto m = microsecondsPerQuarter;
    return Ev(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(m >> 16),
                      static_cast<std::uint8_t>(m >> 8), static_cast<std::uint8_t>(m)});
}
inline Bytes EndOfTrack(std::uint32_t delta = 0) {
    return Ev(delta, {0xFF, 0x2F, 0x00});
}
inline Bytes Track(std::initializer_list<Bytes> events) {
    Bytes body;
    for (const Bytes& event : events) Append(body, event);
    return body;
}

inline Bytes Chunk(const std::string& id, const Bytes& body,
                   std::optional<std::uint32_t> declared = {}) {
    Bytes out(id.begin(), id.end());
    Put32(out, declared.value_or(static_cast<std::uint32_t>(body.size())));
    Append(out, body);
    return out;
}
inline Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
    return Chunk("MThd",
                 {static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format),
                  static_cast<std::uint8_t>(tracks >> 8), static_cast<std::uint8_t>(tracks),
                  static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)});
}
inline Bytes Smf(std::uint16_t format, std::uint16_t division,
                 std::initializer_list<Bytes> tracks) {
    Bytes out = Header(format, static_cast<std::uint16_t>(tracks.size()), division);
    for (const Bytes& track : tracks) Append(out, Chunk("MTrk", track));
    return out;
}

// One note: middle C on channel 0 for `noteTicks`, the track ending `tailTicks` later; 96
// ticks a quarter at the default 120 bpm, so 96 ticks are half a second.
inline Bytes OneNoteSong(std::uint32_t noteTicks, std::uint32_t tailTicks,
                         std::uint8_t program = 0) {
    return Smf(0, 96,
               {Track({Ev(0, {0xC0, program}), Ev(0, {0x90, 60, 100}), Ev(noteTicks, {0x80, 60, 0}),
                       EndOfTrack(tailTicks)})});
}

}  // namespace smftest
