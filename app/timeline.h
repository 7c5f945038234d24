// One CSV row per pass: where the show was and what it sounded like. The renderer and the
// player write the same columns, so a real run's pace can be laid beside the virtual one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace app {

struct TimelineRow {
    std::uint32_t pass = 0;
    std::uint32_t timeMs = 0;
    std::int32_t scene = 0;
    std::int32_t transitionStyle = 0;
    std::int32_t transitionCounter = 0;
    std::int32_t transitionDirection = 0;
    std::int32_t soundPlaying = 0;
    std::int32_t soundVolume = 0;
};

// The row of the pass that has just run: `sceneAtStart` is the scene it began in, `timeMs`
// the time it started at on the program's clock.
TimelineRow ShowTimelineRow(std::uint32_t pass, std::uint32_t timeMs, std::int32_t sceneAtStart);

class TimelineWriter {
  public:
    TimelineWriter() = default;
    ~TimelineWriter();
    TimelineWriter(const TimelineWriter&) = delete;
    TimelineWriter& operator=(const TimelineWriter&) = delete;

    // Opens the file and writes the header; false with errno set when it cannot be opened.
    bool Open(const std::string& path);
    void Write(const TimelineRow& row);
    // Flushes and closes; false when anything could not be written.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace app
