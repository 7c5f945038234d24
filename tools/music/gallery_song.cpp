#include "tools/music/gallery_song.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/music/note_names.h"

namespace music {
namespace {

struct Part {
    std::uint8_t channel;
    std::uint8_t program;  // General MIDI, counted from 0
    std::string_view name;
};

struct SongNote {
    int part;
    int key;
    double beat;   // start, in quarters from the top of the bar
    double beats;  // length in quarters
    int velocity;  // 1..127
};

constexpr std::array kParts{
    Part{0, 12, "Marimba"},
    Part{1, 32, "Acoustic bass"},
    Part{9, 0, "Drums"},
};

constexpr int Kick = 36, Snare = 38, Hat = 42;

// C major, 4/4: a rising and falling marimba figure over a walking bass, so that each return to
// the top is heard.
// clang-format off
constexpr std::array kScore{
    SongNote{0, N("E5"), 0.0, 0.5, 100}, SongNote{0, N("G5"), 0.5, 0.5,  80},
    SongNote{0, N("C6"), 1.0, 0.5, 110}, SongNote{0, N("G5"), 1.5, 0.5,  80},
    SongNote{0, N("A5"), 2.0, 0.5, 100}, SongNote{0, N("G5"), 2.5, 0.5,  80},
    SongNote{0, N("E5"), 3.0, 0.5,  95}, SongNote{0, N("D5"), 3.5, 0.5,  85},

    SongNote{1, N("C3"), 0.0, 0.9, 110}, SongNote{1, N("G2"), 1.0, 0.9,  95},
    SongNote{1, N("A2"), 2.0, 0.9, 105}, SongNote{1, N("G2"), 3.0, 0.9,  95},

    SongNote{2, Kick,  0.0, 0.25, 110}, SongNote{2, Snare, 1.0, 0.25, 90},
    SongNote{2, Kick,  2.0, 0.25, 110}, SongNote{2, Snare, 3.0, 0.25, 90},
    SongNote{2, Hat,   0.0, 0.25, 60},  SongNote{2, Hat,   0.5, 0.25, 45},
    SongNote{2, Hat,   1.0, 0.25, 60},  SongNote{2, Hat,   1.5, 0.25, 45},
    SongNote{2, Hat,   2.0, 0.25, 60},  SongNote{2, Hat,   2.5, 0.25, 45},
    SongNote{2, Hat,   3.0, 0.25, 60},  SongNote{2, Hat,   3.5, 0.25, 45},
};
// clang-format on

using Bytes = std::vector<std::uint8_t>;

void PutVariable(Bytes& out, std::uint32_t value) {
    Bytes groups{static_cast<std::uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) {
        groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    }
    out.insert(out.end(), groups.begin(), groups.end());
}

void Put32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

int Ticks(double quarters) {
    return static_cast<int>(quarters * kSongTicksPerQuarter + 0.5);
}

// A track's events written in time order with running status, as most writers do; a note ends
// as a note-on of velocity 0.
class TrackWriter {
  public:
    void Event(int tick, Bytes bytes) {
        PutVariable(body_, static_cast<std::uint32_t>(tick - last_));
        last_ = tick;
        if (bytes[0] < 0xF0 && bytes[0] == running_) {
            bytes.erase(bytes.begin());
        } else {
            running_ = bytes[0] < 0xF0 ? bytes[0] : 0;
        }
        body_.insert(body_.end(), bytes.begin(), bytes.end());
    }
    void Meta(int tick, std::uint8_t type, Bytes data) {
        Bytes bytes{0xFF, type, static_cast<std::uint8_t>(data.size())};
        bytes.insert(bytes.end(), data.begin(), data.end());
        Event(tick, bytes);
    }
    Bytes Chunk() {
        Meta(Ticks(kSongQuarters), 0x2F, {});
        Bytes out{'M', 'T', 'r', 'k'};
        Put32(out, static_cast<std::uint32_t>(body_.size()));
        out.insert(out.end(), body_.begin(), body_.end());
        return out;
    }

  private:
    Bytes body_;
    int last_ = 0;
    std::uint8_t running_ = 0;
};

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> EncodeGallerySong() {
    Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, kParts.size() + 1};
    out.push_back(static_cast<std::uint8_t>(kSongTicksPerQuarter >> 8));
    out.push_back(static_cast<std::uint8_t>(kSongTicksPerQuarter & 0xFF));

    TrackWriter conductor;
    conductor.Meta(0, 0x03, Text("el gallery loop"));
    conductor.Meta(0, 0x58, {4, 2, 24, 8});  // 4/4
    const auto tempo = static_cast<std::uint32_t>(kSongMicrosecondsPerQuarter);
    conductor.Meta(0, 0x51,
                   {static_cast<std::uint8_t>(tempo >> 16), static_cast<std::uint8_t>(tempo >> 8),
                    static_cast<std::uint8_t>(tempo)});
    const Bytes first = conductor.Chunk();
    out.insert(out.end(), first.begin(), first.end());

    for (int p = 0; p < static_cast<int>(kParts.size()); ++p) {
        const Part& part = kParts[static_cast<std::size_t>(p)];
        struct Timed {
            int tick;
            int order;  // note-offs before note-ons at the same tick
            Bytes bytes;
        };
        std::vector<Timed> events;
        for (const SongNote& note : kScore) {
            if (note.part != p) continue;
            const auto key = static_cast<std::uint8_t>(note.key);
            const auto on = static_cast<std::uint8_t>(0x90 | part.channel);
            events.push_back(
                {Ticks(note.beat), 1, {on, key, static_cast<std::uint8_t>(note.velocity)}});
            events.push_back({Ticks(note.beat + note.beats), 0, {on, key, 0}});
        }
        std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        TrackWriter track;
        track.Meta(0, 0x03, Text(part.name));
        if (part.channel != 9) {
            track.Event(0, {static_cast<std::uint8_t>(0xC0 | part.channel), part.program});
        }
        for (const Timed& event : events) track.Event(event.tick, event.bytes);
        const Bytes chunk = track.Chunk();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace music
