// The piece: four bars of 3/4 that loop, and the instruments that play them.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace music {

inline constexpr int kSampleRate = 44100;
// The loop is exactly this long; the sound player repeats it for the whole greeting.
inline constexpr int kLoopSamples = 302399;
inline constexpr int kLoopBeats = 12;

// One mode of a struck tine or bar: frequency as a multiple of the note's, level, decay time.
struct Partial {
    double ratio;
    double level;
    double decaySeconds;  // time for the level to fall to 1/e
};

struct Instrument {
    std::array<Partial, 5> partials;  // unused ones have level 0
    double attackSeconds;             // smooth rise from silence, long enough not to click
    double releaseSeconds;            // smooth damping after the note's length
};

enum class Voice : std::size_t { kTine, kCelesta, kBass };

struct Note {
    Voice voice;
    int midi;         // 60 is middle C
    double beat;      // start, in beats from the top of the loop
    double beats;     // how long it rings before it is damped
    double velocity;  // 0..1
};

const Instrument& InstrumentOf(Voice voice);
std::span<const Note> Score();

// Equal temperament, A4 = 440 Hz.
double FrequencyOf(int midi);

// Samples in a span of beats, rounded to the nearest.
int SamplesOfBeats(double beats);

// The first sample of a beat; beats wrap around the loop.
int SampleOfBeat(double beat);

}  // namespace music
