// The gallery's MIDI piece: one bar for three instruments and drums that loops, written as a
// standard MIDI file of format 1 from the score in gallery_song.cpp.
#pragma once

#include <cstdint>
#include <vector>

namespace music {

// Ticks a quarter note in the file, and the length of the piece in quarters.
inline constexpr int kSongTicksPerQuarter = 480;
inline constexpr int kSongQuarters = 4;
// 150 beats a minute: the bar lasts 1.6 s.
inline constexpr int kSongMicrosecondsPerQuarter = 400000;

std::vector<std::uint8_t> EncodeGallerySong();

}  // namespace music
