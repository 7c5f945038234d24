#include "tools/music/synth.h"

#include <cstddef>

#include "tools/music/music_math.h"
#include "tools/music/score.h"

namespace music {
namespace {

// 0 -> 0 and 1 -> 1 with zero slope at both ends: no corner in the envelope, so no click.
double SmoothStep(double u) {
    return u * u * (3.0 - 2.0 * u);
}

int SamplesOf(double seconds) {
    return static_cast<int>(seconds * kSampleRate + 0.5);
}

void AddNote(const Note& note, std::vector<double>& mix) {
    const Instrument& instrument = InstrumentOf(note.voice);
    const double frequency = FrequencyOf(note.midi);
    const int start = SampleOfBeat(note.beat);
    const int ring = SamplesOfBeats(note.beats);
    const int attack = SamplesOf(instrument.attackSeconds);
    const int release = SamplesOf(instrument.releaseSeconds);
    const int length = ring + release;

    for (const Partial& partial : instrument.partials) {
        const double cyclesPerSample = frequency * partial.ratio / kSampleRate;
        // Modes near the Nyquist frequency would fold back as harsh, unrelated tones.
        if (partial.level <= 0.0 || cyclesPerSample >= 0.45) continue;
        const double decayPerSample = Exp(-1.0 / (partial.decaySeconds * kSampleRate));
        const double level = note.velocity * partial.level;
        double decay = 1.0;
        for (int n = 0; n < length; ++n) {
            double envelope = decay;
            if (n < attack) envelope *= SmoothStep(static_cast<double>(n) / attack);
            if (n >= ring) envelope *= 1.0 - SmoothStep(static_cast<double>(n - ring) / release);
            const std::size_t at = static_cast<std::size_t>((start + n) % kLoopSamples);
            mix[at] += level * envelope * SinCycles(n * cyclesPerSample);
            decay *= decayPerSample;
        }
    }
}

}  // namespace

std::int16_t ToSample(double value) {
    if (value >= 32767.0) return 32767;
    if (value <= -32768.0) return -32768;
    const double rounded = value >= 0.0 ? value + 0.5 : value - 0.5;
    return static_cast<std::int16_t>(rounded);  // truncation toward zero finishes the rounding
}

std::vector<std::int16_t> RenderLoop() {
    std::vector<double> mix(kLoopSamples, 0.0);
    for (const Note& note : Score()) AddNote(note, mix);

    // Each decaying partial carries a small offset of its own, and the low ones add up to a few
    // steps of DC; take it out so the loop sits on the zero line.
    double sum = 0.0;
    for (const double value : mix) sum += value;
    const double mean = sum / static_cast<double>(mix.size());
    for (double& value : mix) value -= mean;

    double peak = 0.0;
    for (const double value : mix) {
        const double magnitude = value < 0.0 ? -value : value;
        if (magnitude > peak) peak = magnitude;
    }
    const double gain = peak > 0.0 ? kPeakLevel / peak : 0.0;

    std::vector<std::int16_t> samples(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) samples[i] = ToSample(mix[i] * gain);
    return samples;
}

}  // namespace music
