#include "app/timeline.h"

#include "app/shell.h"
#include "el/sound/sound_playback.h"
#include "show/scene_state.h"

namespace app {

TimelineRow ShowTimelineRow(std::uint32_t pass, std::uint32_t timeMs, std::int32_t sceneAtStart) {
    TimelineRow row;
    row.pass = pass;
    row.timeMs = timeMs;
    row.scene = sceneAtStart;
    row.transitionStyle = show::TransitionStyle;
    row.transitionCounter = show::TransitionCounter;
    row.transitionDirection = show::TransitionDirection;
    if (CurrentShow().timelineSound != nullptr) {
        const std::int32_t sound = CurrentShow().timelineSound();
        row.soundPlaying = elSound::IsPlaying(sound);
        row.soundVolume = elSound::StoredVolume(sound, 0);
    }
    return row;
}

TimelineWriter::~TimelineWriter() {
    Close();
}

bool TimelineWriter::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) return false;
    std::fputs(
        "pass,time_ms,scene,transition_style,transition_counter,transition_direction,"
        "sound_playing,sound_volume\n",
        file_);
    return true;
}

void TimelineWriter::Write(const TimelineRow& row) {
    if (file_ == nullptr) return;
    if (std::fprintf(file_, "%u,%u,%d,%d,%d,%d,%d,%d\n", row.pass, row.timeMs, row.scene,
                     row.transitionStyle, row.transitionCounter, row.transitionDirection,
                     row.soundPlaying, row.soundVolume) < 0) {
        failed_ = true;
    }
}

bool TimelineWriter::Close() {
    if (file_ == nullptr) return !failed_;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace app
