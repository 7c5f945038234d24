#include "tools/music/score.h"

#include "tools/music/music_math.h"
#include "tools/music/note_names.h"

namespace music {
namespace {

// clang-format off
// A music-box comb: harmonic lower modes and the slightly stretched upper ones of a clamped
// tine; the upper modes die away first, which keeps the tone warm after the strike.
constexpr Instrument kTine{
    // {ratio, level, decay seconds} for each partial
    {{ {1.0,1.00,1.40}, {2.0,0.38,0.75}, {3.0,0.16,0.45}, {4.2,0.08,0.28}, {5.4,0.04,0.18} }},
    0.003, 0.60};  // attack, release (s)

// A soft celesta: nearly a pure tone with a faint, quickly fading bar partial.
constexpr Instrument kCelesta{
    {{ {1.0,1.00,1.80}, {2.0,0.10,0.60}, {4.0,0.06,0.20}, {0.0,0.00,1.00}, {0.0,0.00,1.00} }},
    0.004, 0.80};

// A round low tine for the bass: harmonic, with enough upper partials to be heard on small
// speakers.
constexpr Instrument kBass{
    {{ {1.0,1.00,1.30}, {2.0,0.55,0.80}, {3.0,0.25,0.45}, {4.0,0.10,0.30}, {0.0,0.00,1.00} }},
    0.006, 0.40};
// clang-format on

constexpr Voice T = Voice::kTine;
constexpr Voice C = Voice::kCelesta;
constexpr Voice B = Voice::kBass;

// F major, 3/4, about 105 beats a minute. The loop is the birthday song's first half, arranged
// so that its last beat is the "Hap-py" pickup that leads back to the top: the two phrases
// end on C7 and on F, and the pickup makes the seam sound like the start of the next verse.
constexpr std::array kScore{
    // Melody on the comb.
    Note{T, N("D5"), 0.00, 1.00, 0.90},   // birth-
    Note{T, N("C5"), 1.00, 1.00, 0.82},   // day
    Note{T, N("F5"), 2.00, 1.00, 0.88},   // to
    Note{T, N("E5"), 3.00, 2.00, 0.92},   // you,
    Note{T, N("C5"), 5.00, 0.75, 0.78},   // hap-
    Note{T, N("C5"), 5.75, 0.25, 0.66},   // py
    Note{T, N("D5"), 6.00, 1.00, 0.90},   // birth-
    Note{T, N("C5"), 7.00, 1.00, 0.82},   // day
    Note{T, N("G5"), 8.00, 1.00, 0.90},   // to
    Note{T, N("F5"), 9.00, 2.00, 0.94},   // you,
    Note{T, N("C5"), 11.00, 0.75, 0.78},  // hap-
    Note{T, N("C5"), 11.75, 0.25, 0.66},  // py

    // Bass, one note a bar: F, C, C/E, F with a C on the last beat to lead home.
    Note{B, N("F3"), 0.00, 3.00, 0.80},
    Note{B, N("C3"), 3.00, 3.00, 0.80},
    Note{B, N("E3"), 6.00, 3.00, 0.76},
    Note{B, N("F3"), 9.00, 2.00, 0.80},
    Note{B, N("C3"), 11.00, 1.00, 0.62},

    // The waltz's after-beats: quiet chords on the comb's low tines.
    Note{T, N("A3"), 1.00, 0.80, 0.26},
    Note{T, N("C4"), 1.00, 0.80, 0.24},
    Note{T, N("F4"), 1.00, 0.80, 0.22},
    Note{T, N("A3"), 2.00, 0.80, 0.24},
    Note{T, N("C4"), 2.00, 0.80, 0.22},
    Note{T, N("F4"), 2.00, 0.80, 0.20},
    Note{T, N("G3"), 4.00, 0.80, 0.26},
    Note{T, N("Bb3"), 4.00, 0.80, 0.24},
    Note{T, N("E4"), 4.00, 0.80, 0.22},
    Note{T, N("G3"), 5.00, 0.80, 0.24},
    Note{T, N("Bb3"), 5.00, 0.80, 0.22},
    Note{T, N("E4"), 5.00, 0.80, 0.20},
    Note{T, N("G3"), 7.00, 0.80, 0.26},
    Note{T, N("Bb3"), 7.00, 0.80, 0.24},
    Note{T, N("C4"), 7.00, 0.80, 0.22},
    Note{T, N("G3"), 8.00, 0.80, 0.24},
    Note{T, N("Bb3"), 8.00, 0.80, 0.22},
    Note{T, N("C4"), 8.00, 0.80, 0.20},
    Note{T, N("A3"), 10.00, 0.80, 0.26},
    Note{T, N("C4"), 10.00, 0.80, 0.24},
    Note{T, N("F4"), 10.00, 0.80, 0.22},
    Note{T, N("A3"), 11.00, 0.80, 0.24},
    Note{T, N("C4"), 11.00, 0.80, 0.22},
    Note{T, N("F4"), 11.00, 0.80, 0.20},

    // The celesta answers where the tune holds a note: rising arpeggios in bars 2 and 4, a
    // single touch in bars 1 and 3.
    Note{C, N("A5"), 1.50, 1.00, 0.30},
    Note{C, N("G5"), 3.50, 0.50, 0.28},
    Note{C, N("Bb5"), 4.00, 0.50, 0.30},
    Note{C, N("C6"), 4.50, 1.00, 0.32},
    Note{C, N("E6"), 7.50, 1.00, 0.24},
    Note{C, N("A5"), 9.50, 0.50, 0.28},
    Note{C, N("C6"), 10.00, 0.50, 0.30},
    Note{C, N("F6"), 10.50, 1.50, 0.30},
};

}  // namespace

const Instrument& InstrumentOf(Voice voice) {
    switch (voice) {
        case Voice::kCelesta:
            return kCelesta;
        case Voice::kBass:
            return kBass;
        case Voice::kTine:
            break;
    }
    return kTine;
}

std::span<const Note> Score() {
    return kScore;
}

double FrequencyOf(int midi) {
    return 440.0 * Exp2((midi - 69) / 12.0);
}

int SamplesOfBeats(double beats) {
    return static_cast<int>(beats * kLoopSamples / kLoopBeats + 0.5);
}

int SampleOfBeat(double beat) {
    return SamplesOfBeats(beat) % kLoopSamples;
}

}  // namespace music
