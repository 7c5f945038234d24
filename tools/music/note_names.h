// Note names ("C4", "Eb5", "F#3") to MIDI numbers at compile time, so that scores read like
// scores. Middle C, C4, is 60.
#pragma once

namespace music {

inline consteval int N(const char* name) {
    int step = 0;
    switch (name[0]) {
        case 'C':
            step = 0;
            break;
        case 'D':
            step = 2;
            break;
        case 'E':
            step = 4;
            break;
        case 'F':
            step = 5;
            break;
        case 'G':
            step = 7;
            break;
        case 'A':
            step = 9;
            break;
        case 'B':
            step = 11;
            break;
        default:
            throw "bad note letter";
    }
    int i = 1;
    if (name[i] == 'b') {
        --step;
        ++i;
    } else if (name[i] == '#') {
        ++step;
        ++i;
    }
    if (name[i] < '0' || name[i] > '8' || name[i + 1] != '\0') throw "bad octave";
    return 12 * (name[i] - '0' + 1) + step;
}

}  // namespace music
