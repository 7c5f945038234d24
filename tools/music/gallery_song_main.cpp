// gallery-song: generates the gallery's looping MIDI piece from its score.
#include <cstdio>
#include <string>

#include "tools/music/gallery_song.h"
#include "tools/music/wave_file.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(
            "Usage: gallery-song OUTPUT.mid\n\nWrites the gallery's looping one-bar piece as "
            "a standard MIDI file (format 1).\n",
            argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const std::string error = music::WriteFileReplacing(argv[1], music::EncodeGallerySong());
    if (!error.empty()) {
        std::fprintf(stderr, "gallery-song: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
