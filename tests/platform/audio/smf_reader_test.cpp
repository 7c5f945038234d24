// The song reader: timing through tempo changes and divisions, the three formats, and files that
// are damaged or are no songs at all.
#include "platform/audio/smf_reader.h"

#include <gtest/gtest.h>

#include "tests/platform/audio/smf_builder.h"

namespace {

using namespace smftest;
using platform::MidiEvent;
using platform::MidiSong;
using platform::ReadSmf;
using platform::SmfError;

MidiSong Read(const Bytes& bytes, SmfError expected = SmfError::None) {
    MidiSong song;
    EXPECT_EQ(ReadSmf(bytes, &song), expected) << platform::SmfErrorText(ReadSmf(bytes, &song));
    return song;
}

std::vector<std::uint64_t> Frames(const MidiSong& song) {
    std::vector<std::uint64_t> frames;
    for (const MidiEvent& event : song.events) frames.push_back(event.frame);
    return frames;
}

TEST(SmfReader, TimesEventsThroughTempoChanges) {
    // 96 ticks a quarter: at 120 bpm 96 ticks last 22050 frames; at 240 bpm 11025.
    const MidiSong song =
        Read(Smf(0, 96,
                 {Track({Ev(0, {0x90, 60, 100}), Ev(96, {0x80, 60, 0}), Tempo(0, 250000),
                         Ev(96, {0x90, 62, 100}), Tempo(48, 1000000), Ev(48, {0x80, 62, 0}),
                         EndOfTrack(96)})}));
    EXPECT_EQ(Frames(song), (std::vector<std::uint64_t>{0, 22050, 33075, 33075 + 5512 + 22050}));
    EXPECT_EQ(song.lengthFrames, 33075u + 5512 + 22050 + 44100);
    EXPECT_EQ(song.longestTrackTicks, 384u);
    EXPECT_EQ(song.noteOns, 2u);
    EXPECT_FALSE(song.truncated);
}

TEST(SmfReader, TimeCodeDivisions) {
    // 25 frames a second of 40 ticks: a millisecond a tick; 30 x 10 and 29.97 x 10.
    const auto at1000 = [](std::uint16_t division) {
        return Read(Smf(0, division, {Track({Ev(1000, {0x90, 60, 1}), EndOfTrack()})}))
            .lengthFrames;
    };
    EXPECT_EQ(at1000(0xE728), 44100u);
    EXPECT_EQ(at1000(0xE20A), 147000u);
    EXPECT_EQ(at1000(0xE30A), 147147u);  // 1000 ticks of 1001/300000 s
    // A tempo change means nothing to a time-code song.
    const MidiSong song = Read(Smf(0, 0xE728, {Track({Tempo(0, 100), EndOfTrack(1000)})}));
    EXPECT_EQ(song.lengthFrames, 44100u);
}

TEST(SmfReader, MergesTracksAndPlaysPatternsInTurn) {
    const Bytes tempoTrack = Track({Tempo(0, 250000), EndOfTrack(96)});
    const Bytes a = Track({Ev(0, {0x90, 60, 100}), Ev(96, {0x80, 60, 0}), EndOfTrack(0)});
    const Bytes b = Track({Ev(48, {0x91, 64, 100}), Ev(48, {0x81, 64, 0}), EndOfTrack(192)});
    // Format 1: one time line, the tempo of the first track for all, equal times in track order.
    MidiSong song = Read(Smf(1, 96, {tempoTrack, a, b}));
    ASSERT_EQ(song.events.size(), 4u);
    EXPECT_EQ(Frames(song), (std::vector<std::uint64_t>{0, 5512, 11025, 11025}));
    EXPECT_EQ(song.events[2].status, 0x80);
    EXPECT_EQ(song.events[3].status, 0x81);
    EXPECT_EQ(song.lengthFrames, 33075u);  // the end of the last track, b's, at tick 288
    EXPECT_EQ(song.tracks, 3u);
    // Format 2: each pattern starts where the one before ended, at 120 bpm unless it says.
    song = Read(Smf(2, 96, {a, tempoTrack, b}));
    EXPECT_EQ(Frames(song),
              (std::vector<std::uint64_t>{0, 22050, 22050 + 11025 + 11025, 22050 + 11025 + 22050}));
    EXPECT_EQ(song.lengthFrames, 22050u + 11025 + 66150);
}

TEST(SmfReader, RunningStatusSysExAndMeta) {
    // Running status goes on across a text event and both kinds of SysEx; the SysEx bytes,
    // whatever they hold, never reach the synthesizer.
    const MidiSong song = Read(Smf(
        0, 96,
        {Track({Ev(0, {0x90, 60, 100}), Ev(0, {62, 100}), Ev(0, {0xFF, 0x01, 0x02, 'h', 'i'}),
                Ev(0, {64, 100}), Ev(0, {0xF0, 0x03, 0x7E, 0x90, 0xF7}), Ev(0, {0xF7, 0x01, 0xF4}),
                Ev(10, {60, 0}), Ev(0, {0xC1, 5}), Ev(0, {7}), EndOfTrack()})}));
    ASSERT_EQ(song.events.size(), 6u);
    EXPECT_EQ(song.events[2].status, 0x90);
    EXPECT_EQ(song.events[2].data1, 64);
    EXPECT_EQ(song.events[3].data2, 0);  // a note-on of velocity 0: a note-off, not counted
    EXPECT_EQ(song.events[5].status, 0xC1);
    EXPECT_EQ(song.events[5].data1, 7);
    EXPECT_EQ(song.noteOns, 3u);
    EXPECT_EQ(song.eventCount, 10u);
}

TEST(SmfReader, UnwrapsRiffMidi) {
    const Bytes smf = OneNoteSong(96, 96);
    Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D'};
    Append(riff, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'x', 'y', 'z', 0});  // padded to even
    Append(riff, {'d', 'a', 't', 'a', static_cast<std::uint8_t>(smf.size()), 0, 0, 0});
    Append(riff, smf);
    EXPECT_EQ(Read(riff).lengthFrames, 44100u);
}

TEST(SmfReader, RefusesWhatIsNoSong) {
    Read({}, SmfError::NotMidi);
    Read({'n', 'o', 't', ' ', 'a', ' ', 's', 'o', 'n', 'g'}, SmfError::NotMidi);
    Read(Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}, SmfError::BadHeader);
    Read(Chunk("MThd", {0, 0, 0, 1}), SmfError::BadHeader);              // short header
    Read(Smf(0, 0, {Track({EndOfTrack()})}), SmfError::BadHeader);       // 0 ticks a quarter
    Read(Smf(0, 0xE800, {Track({EndOfTrack()})}), SmfError::BadHeader);  // 0 ticks a frame
    Read(Smf(0, 0xE928, {Track({EndOfTrack()})}), SmfError::BadHeader);  // 23 frames a second
    Read(Smf(3, 96, {Track({EndOfTrack()})}), SmfError::UnsupportedFormat);
    Read(Header(1, 0, 96), SmfError::NoTracks);
    Bytes onlyJunk = Header(1, 1, 96);
    Append(onlyJunk, Chunk("Junk", {1, 2, 3}));
    Read(onlyJunk, SmfError::NoTracks);
    // Bytes with no length of their own, and data with no status before it.
    Read(Smf(0, 96, {Track({Ev(0, {0x90, 60, 1}), Ev(0, {0xF4}), EndOfTrack()})}),
         SmfError::BadStatus);
    Read(Smf(0, 96, {Track({Ev(0, {60, 1}), EndOfTrack()})}), SmfError::BadStatus);
    Read(Smf(0, 96, {Track({Ev(0, {0x90, 60, 0x90}), EndOfTrack()})}), SmfError::BadStatus);
}

TEST(SmfReader, PlaysADamagedTrackUpToTheDamage) {
    const Bytes body = Track({Ev(0, {0x90, 60, 100}), Ev(96, {0x80, 60, 0}), Ev(96, {0x90, 62})});
    // Cut inside the last event; then a chunk that claims 4 GiB.
    for (const Bytes& file : {Smf(0, 96, {body}), [&] {
                                  Bytes out = Header(0, 1, 96);
                                  Append(out, Chunk("MTrk", body, 0xFFFFFFFF));
                                  return out;
                              }()}) {
        const MidiSong song = Read(file);
        EXPECT_EQ(song.events.size(), 2u);
        EXPECT_EQ(song.lengthFrames, 44100u);  // the delta before the cut still counts
        EXPECT_TRUE(song.truncated);
    }
    // A delta time of five bytes ends the track where it starts.
    const MidiSong song =
        Read(Smf(0, 96, {Track({Ev(0, {0x90, 60, 100}), Bytes{0x81, 0x80, 0x80, 0x80, 0x00}})}));
    EXPECT_EQ(song.events.size(), 1u);
    EXPECT_TRUE(song.truncated);
    // A stray byte after the last chunk is no damage.
    Bytes extra = OneNoteSong(96, 0);
    extra.push_back(0);
    EXPECT_FALSE(Read(extra).truncated);
}

TEST(SmfReader, RefusesSongsOfAbsurdLength) {
    // The longest delta time at one tick a quarter and the slowest tempo: 2^28 * 16.8 s.
    Read(Smf(0, 1, {Track({Tempo(0, 0xFFFFFF), EndOfTrack(0x0FFFFFFF)})}), SmfError::TooLong);
    // Many of them, so that an unchecked sum would wrap round to a short song.
    Bytes many;
    for (int i = 0; i < 5000; ++i) Append(many, Ev(0x0FFFFFFF, {0x90, 60, 0}));
    Read(Smf(0, 1, {Track({Tempo(0, 0xFFFFFF), many})}), SmfError::TooLong);
    Read(Smf(0, 0xE701, {Track({many})}), SmfError::TooLong);
    // Just under a day plays.
    const std::uint32_t ticks = 24 * 60 * 60 * 2 - 1;  // half-second quarters, one tick each
    EXPECT_EQ(Read(Smf(0, 1, {Track({EndOfTrack(ticks)})})).lengthFrames,
              std::uint64_t{ticks} * 22050);
}

}  // namespace
