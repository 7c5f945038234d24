// The browser build's small synthesizer, compiled natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio/midi_synth.h"

namespace {

using platform::MidiEvent;
using platform::MidiSynth;

struct Rendered {
    std::vector<float> left, right;
};

Rendered Render(MidiSynth& synth, int blocks) {
    Rendered out;
    std::vector<float> l(MidiSynth::kBlockFrames), r(MidiSynth::kBlockFrames);
    for (int b = 0; b < blocks; ++b) {
        synth.RenderBlock(l.data(), r.data());
        out.left.insert(out.left.end(), l.begin(), l.end());
        out.right.insert(out.right.end(), r.begin(), r.end());
    }
    return out;
}

float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (const float s : samples) peak = std::max(peak, std::abs(s));
    return peak;
}

std::unique_ptr<MidiSynth> Made() {
    std::string why;
    auto synth = MidiSynth::Create(&why);
    EXPECT_NE(synth, nullptr) << why;
    return synth;
}

TEST(WebMidiSynth, ANotePlaysAtItsPitchAndEndsWhenReleased) {
    auto synth = Made();
    EXPECT_FALSE(synth->Sounding());
    synth->Send({0, 0x90, 69, 100});            // A above middle C: 440 Hz
    const Rendered held = Render(*synth, 690);  // one second
    int rises = 0;
    for (std::size_t i = 1; i < held.left.size(); ++i)
        rises += held.left[i - 1] <= 0 && held.left[i] > 0;
    EXPECT_NEAR(rises, 440, 3);
    EXPECT_GT(Peak(held.left), 0.01f);
    synth->Send({0, 0x80, 69, 0});
    Render(*synth, 690);
    EXPECT_FALSE(synth->Sounding());
    EXPECT_EQ(Peak(Render(*synth, 10).left), 0.0f);
}

TEST(WebMidiSynth, AVelocityZeroNoteOnReleasesAndDrumsEndByThemselves) {
    auto synth = Made();
    synth->Send({0, 0x91, 60, 90});
    synth->Send({0, 0x91, 60, 0});
    Render(*synth, 690);
    EXPECT_FALSE(synth->Sounding());
    synth->Send({0, 0x99, 36, 120});  // a bass drum, never released
    EXPECT_GT(Peak(Render(*synth, 10).left), 0.01f);
    Render(*synth, 2000);
    EXPECT_FALSE(synth->Sounding());
}

TEST(WebMidiSynth, ChannelVolumeAndPanShapeTheSound) {
    auto synth = Made();
    synth->Send({0, 0xB0, 10, 0});  // channel 1 hard left
    synth->Send({0, 0x90, 64, 100});
    synth->Send({0, 0xB1, 7, 0});  // channel 2 at no volume
    synth->Send({0, 0x91, 67, 100});
    const Rendered out = Render(*synth, 100);
    EXPECT_GT(Peak(out.left), 0.01f);
    EXPECT_EQ(Peak(out.right), 0.0f);
    synth->Reset();
    EXPECT_FALSE(synth->Sounding());
    synth->Send({0, 0x90, 64, 100});  // the pan is back in the middle after a reset
    const Rendered centred = Render(*synth, 100);
    EXPECT_NEAR(Peak(centred.left), Peak(centred.right), 1e-6f);
}

}  // namespace
