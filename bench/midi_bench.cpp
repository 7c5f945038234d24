// The cost of MIDI music: a second of 44100 Hz stereo from the sequencer through the mixer, as
// the audio thread renders it. The time a second of sound takes is the share of one core.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "platform/audio/midi_sequencer.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/sound_device.h"
#include "platform/file_read.h"
#include "platform/headless/headless_host.h"
#include "tests/platform/audio/smf_builder.h"

namespace {

// Sixteen channels, each its own instrument (the drums on channel 10), each playing two-note
// chords in eighths for a minute: a busy arrangement.
smftest::Bytes SixteenChannels() {
    smftest::Bytes track;
    using smftest::Append;
    using smftest::Ev;
    for (std::uint8_t c = 0; c < 16; ++c) {
        Append(track,
               Ev(0, {static_cast<std::uint8_t>(0xC0 | c), static_cast<std::uint8_t>(c * 8)}));
    }
    for (int step = 0; step < 240; ++step) {
        for (std::uint8_t c = 0; c < 16; ++c) {
            const auto key =
                static_cast<std::uint8_t>(c == 9 ? 35 + step % 12 : 40 + c * 2 + step % 7);
            Append(track, Ev(0, {static_cast<std::uint8_t>(0x90 | c), key, 90}));
            Append(track, Ev(0, {static_cast<std::uint8_t>(0x90 | c),
                                 static_cast<std::uint8_t>(key + 4), 80}));
        }
        for (std::uint8_t c = 0; c < 16; ++c) {
            const auto key =
                static_cast<std::uint8_t>(c == 9 ? 35 + step % 12 : 40 + c * 2 + step % 7);
            Append(track, Ev(c == 0 ? 48 : 0, {static_cast<std::uint8_t>(0x80 | c), key, 0}));
            Append(track, Ev(0, {static_cast<std::uint8_t>(0x80 | c),
                                 static_cast<std::uint8_t>(key + 4), 0}));
        }
    }
    Append(track, smftest::EndOfTrack());
    return smftest::Smf(0, 96, {track});
}

void RenderSong(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
    platform::InstallHost(std::make_unique<platform::HeadlessHost>());
    if (std::string why; !platform::MidiSynth::Create(&why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    platform::SoundDevice device;
    device.Open();
    platform::MidiDevice& midi = platform::CurrentMidiDevice();
    if (midi.Open(bytes) != platform::SmfError::None) {
        state.SkipWithError("the song does not read");
        return;
    }
    midi.SeekToStart();
    midi.Play(false);
    std::vector<std::int16_t> mix(2 * platform::kAudioRate);
    for (auto _ : state) {
        device.Render(mix.data(), platform::kAudioRate);
        if (std::string(midi.Mode()) == "stopped") {
            midi.SeekToStart();
            midi.Play(false);
        }
        benchmark::DoNotOptimize(mix.data());
    }
    state.counters["core_share"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::InstallMidiDevice(nullptr);
    device.Close();
    platform::InstallHost(nullptr);
}

void BM_SixteenChannelSong(benchmark::State& state) {
    RenderSong(state, SixteenChannels());
}
BENCHMARK(BM_SixteenChannelSong)->Unit(benchmark::kMillisecond);

void BM_CorpusSong(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::path(GREETING_CORPORA) / "midi" / "midly" / "Beethoven.rmi";
    std::vector<std::uint8_t> bytes;
    if (platform::ReadRegularFile(path.string(), platform::kMaxSongFileBytes, &bytes) !=
        platform::FileReadError::None) {
        state.SkipWithError("the corpus is not there");
        return;
    }
    RenderSong(state, bytes);
}
BENCHMARK(BM_CorpusSong)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
