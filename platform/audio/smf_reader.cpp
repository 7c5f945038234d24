#include "platform/audio/smf_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/host.h"

namespace platform {
namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds a quarter note: 120 bpm

std::uint32_t Read32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}
std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
std::uint32_t Read32Le(const std::uint8_t* p) {
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
bool IdIs(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view id) {
    return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, id.data(), 4) == 0;
}

// The SMF inside a RIFF RMID wrapper: the body of its "data" chunk, as much of it as is there.
std::span<const std::uint8_t> Unwrap(std::span<const std::uint8_t> bytes) {
    if (!IdIs(bytes, 0, "RIFF") || !IdIs(bytes, 8, "RMID")) return bytes;
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::uint64_t size = Read32Le(bytes.data() + at + 4);
        const std::size_t available = bytes.size() - at - 8;
        if (IdIs(bytes, at, "data")) {
            return bytes.subspan(
                at + 8, static_cast<std::size_t>(std::min<std::uint64_t>(size, available)));
        }
        const std::uint64_t next = at + 8 + size + (size & 1);
        if (next > bytes.size()) break;
        at = static_cast<std::size_t>(next);
    }
    return {};
}

struct TimedEvent {
    std::uint64_t tick;
    MidiEvent event;
};
struct TempoChange {
    std::uint64_t tick;
    std::uint32_t tempo;
};

enum class TrackEnd { Ended, Cut, BadStatus };

// One track chunk's events, ticks counted from `startTick`.
class TrackReader {
  public:
    TrackReader(std::span<const std::uint8_t> body, std::uint64_t startTick, MidiSong* song)
        : body_(body), tick_(startTick), song_(song) {}

    TrackEnd Read(std::vector<TimedEvent>* events, std::vector<TempoChange>* tempos) {
        std::uint8_t running = 0;
        while (pos_ < body_.size()) {
            std::uint32_t delta = 0;
            if (!ReadNumber(&delta)) return TrackEnd::Cut;
            tick_ += delta;
            if (pos_ == body_.size()) return TrackEnd::Cut;
            std::uint8_t status = body_[pos_];
            if (status >= 0x80) {
                ++pos_;
            } else if (running == 0) {
                return TrackEnd::BadStatus;
            } else {
                status = running;
            }
            if (status == 0xFF) {
                if (pos_ == body_.size()) return TrackEnd::Cut;
                const std::uint8_t type = body_[pos_++];
                std::span<const std::uint8_t> data;
                if (!ReadBlock(&data)) return TrackEnd::Cut;
                ++song_->eventCount;
                if (type == 0x2F) return TrackEnd::Ended;
                if (type == 0x51 && data.size() >= 3) {
                    tempos->push_back({tick_, (std::uint32_t{data[0]} << 16) |
                                                  (std::uint32_t{data[1]} << 8) | data[2]});
                }
                // Running status carries over meta and SysEx events: players keep it.
            } else if (status == 0xF0 || status == 0xF7) {
                std::span<const std::uint8_t> data;
                if (!ReadBlock(&data)) return TrackEnd::Cut;
                ++song_->eventCount;
            } else if (status >= 0xF0) {
                // Nothing tells how long these are: the bytes after them cannot be read.
                return TrackEnd::BadStatus;
            } else {
                running = status;
                const std::size_t length = (status & 0xE0) == 0xC0 ? 1 : 2;
                if (body_.size() - pos_ < length) return TrackEnd::Cut;
                MidiEvent event{0, status, body_[pos_],
                                length == 2 ? body_[pos_ + 1] : std::uint8_t{0}};
                if (event.data1 >= 0x80 || event.data2 >= 0x80) return TrackEnd::BadStatus;
                pos_ += length;
                ++song_->eventCount;
                if ((status & 0xF0) == 0x90 && event.data2 > 0) ++song_->noteOns;
                events->push_back({tick_, event});
            }
        }
        // A track without its End of Track ends with its last event.
        return TrackEnd::Ended;
    }

    std::uint64_t tick() const { return tick_; }

  private:
    // A variable-length number of at most four bytes.
    bool ReadNumber(std::uint32_t* value) {
        std::uint32_t result = 0;
        for (int i = 0; i < 4; ++i) {
            if (pos_ == body_.size()) return false;
            const std::uint8_t byte = body_[pos_++];
            result = (result << 7) | (byte & 0x7Fu);
            if ((byte & 0x80) == 0) {
                *value = result;
                return true;
            }
        }
        return false;
    }
    bool ReadBlock(std::span<const std::uint8_t>* data) {
        std::uint32_t length = 0;
        if (!ReadNumber(&length) || body_.size() - pos_ < length) return false;
        *data = body_.subspan(pos_, length);
        pos_ += length;
        return true;
    }

    std::span<const std::uint8_t> body_;
    std::size_t pos_ = 0;
    std::uint64_t tick_;
    MidiSong* song_;
};

// Ticks to frames, through the tempo changes. Time is counted in exact units (microseconds
// times ticks per quarter, or ticks for a time-code division) and turned into frames by
// units * 44100 * multiplier / divisor, so that nothing rounds until the frame.
class SongClock {
  public:
    SongClock(std::uint16_t division, std::vector<TempoChange> tempos)
        : tempos_(std::move(tempos)) {
        if (division & 0x8000) {
            // Time code: frames a second (29 stands for 29.97) and ticks a frame; no tempo.
            const int fps = -static_cast<std::int8_t>(division >> 8);
            const std::uint64_t ticksPerFrame = division & 0xFF;
            multiplier_ = fps == 29 ? 1001 : 1;
            divisor_ = (fps == 29 ? 30000 : static_cast<std::uint64_t>(fps)) * ticksPerFrame;
            tempo_ = 1;
            tempos_.clear();
        } else {
            divisor_ = std::uint64_t{1000000} * division;
        }
        maxUnits_ = kMaxSongSeconds * divisor_ / multiplier_;
    }

    // Ticks must not go backwards from one call to the next. False beyond the longest song.
    bool FrameAt(std::uint64_t tick, std::uint64_t* frame) {
        while (next_ < tempos_.size() && tempos_[next_].tick <= tick) {
            if (!Advance(tempos_[next_].tick)) return false;
            tempo_ = tempos_[next_++].tempo;
        }
        if (!Advance(tick)) return false;
        const std::uint64_t whole = units_ / divisor_;
        const std::uint64_t rest = units_ % divisor_;
        *frame = whole * kAudioRate * multiplier_ + rest * kAudioRate * multiplier_ / divisor_;
        return true;
    }

  private:
    bool Advance(std::uint64_t tick) {
        const std::uint64_t ticks = tick - tick_;
        if (tempo_ != 0 && ticks > (maxUnits_ - units_) / tempo_) return false;
        units_ += ticks * tempo_;
        tick_ = tick;
        return true;
    }

    std::vector<TempoChange> tempos_;
    std::size_t next_ = 0;
    std::uint64_t multiplier_ = 1;
    std::uint64_t divisor_ = 1;
    std::uint64_t maxUnits_ = 0;
    std::uint64_t tempo_ = kDefaultTempo;
    std::uint64_t tick_ = 0;
    std::uint64_t units_ = 0;
};

bool ValidDivision(std::uint16_t division) {
    if ((division & 0x8000) == 0) return division != 0;
    const int fps = -static_cast<std::int8_t>(division >> 8);
    return (fps == 24 || fps == 25 || fps == 29 || fps == 30) && (division & 0xFF) != 0;
}

SmfError Read(std::span<const std::uint8_t> bytes, MidiSong* song) {
    bytes = Unwrap(bytes);
    if (!IdIs(bytes, 0, "MThd")) return SmfError::NotMidi;
    if (bytes.size() < 14 || Read32(bytes.data() + 4) < 6) return SmfError::BadHeader;
    const std::uint16_t format = Read16(bytes.data() + 8);
    const std::uint16_t division = Read16(bytes.data() + 12);
    if (format > 2) return SmfError::UnsupportedFormat;
    if (!ValidDivision(division)) return SmfError::BadHeader;

    std::vector<TimedEvent> events;
    std::vector<TempoChange> tempos;
    std::uint64_t endTick = 0;
    std::uint64_t at = 8 + std::uint64_t{Read32(bytes.data() + 4)};
    // Chunks until the file ends; a stray byte or two after the last one is no chunk.
    while (at + 8 <= bytes.size()) {
        const auto offset = static_cast<std::size_t>(at);
        const std::uint64_t size = Read32(bytes.data() + offset + 4);
        const std::size_t available = bytes.size() - offset - 8;
        if (IdIs(bytes, offset, "MTrk")) {
            const auto body = bytes.subspan(
                offset + 8, static_cast<std::size_t>(std::min<std::uint64_t>(size, available)));
            // Format 2 holds patterns that play one after another, each at its own tempo.
            const std::uint64_t start = format == 2 ? endTick : 0;
            if (format == 2) tempos.push_back({start, kDefaultTempo});
            TrackReader reader(body, start, song);
            const TrackEnd end = reader.Read(&events, &tempos);
            if (end == TrackEnd::BadStatus) return SmfError::BadStatus;
            if (end == TrackEnd::Cut || size > available) song->truncated = true;
            ++song->tracks;
            song->longestTrackTicks = std::max(song->longestTrackTicks, reader.tick() - start);
            endTick = std::max(endTick, reader.tick());
        }
        at += 8 + size;
    }
    if (song->tracks == 0) return SmfError::NoTracks;

    // The tracks' events into one time line; a stable sort keeps track order at equal times.
    const auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(events.begin(), events.end(), byTick);
    std::stable_sort(tempos.begin(), tempos.end(), byTick);
    SongClock clock(division, std::move(tempos));
    song->events.reserve(events.size());
    for (const TimedEvent& timed : events) {
        MidiEvent event = timed.event;
        if (!clock.FrameAt(timed.tick, &event.frame)) return SmfError::TooLong;
        song->events.push_back(event);
    }
    if (!clock.FrameAt(endTick, &song->lengthFrames)) return SmfError::TooLong;
    return SmfError::None;
}

}  // namespace

const char* SmfErrorText(SmfError error) {
    switch (error) {
        case SmfError::None:
            return "no error";
        case SmfError::NotMidi:
            return "not a standard MIDI file";
        case SmfError::BadHeader:
            return "a damaged MIDI file header";
        case SmfError::UnsupportedFormat:
            return "a MIDI file format other than 0, 1 or 2";
        case SmfError::NoTracks:
            return "no tracks in the MIDI file";
        case SmfError::BadStatus:
            return "a MIDI event that cannot be read";
        case SmfError::TooLong:
            return "the song lasts longer than a day";
    }
    return "unknown error";
}

SmfError ReadSmf(std::span<const std::uint8_t> bytes, MidiSong* song) {
    *song = MidiSong{};
    const SmfError error = Read(bytes, song);
    if (error != SmfError::None) *song = MidiSong{};
    return error;
}

}  // namespace platform
