// Paces passes at 60 per second on any monitor. The library waits for the vertical blank of a
// 60 Hz display and its scene clocks count whole hundredths of a second per pass, so passes
// that come faster (a 120 or 144 Hz blank) would make the clocks stand still.
#pragma once

#include <cstdint>

namespace platform::sdl {

class FramePacer {
  public:
    // ticksPerSecond: the monotonic clock's frequency.
    explicit FramePacer(std::uint64_t ticksPerSecond);

    // How long to sleep, in clock ticks, before the blank of the frame due after `now`;
    // call Advance() once that time has come.
    std::uint64_t TicksToWait(std::uint64_t now);
    void Advance(std::uint64_t now);
    // Forget the schedule (after the program slept in the background or a dialog).
    void Reset() { next_ = 0; }

    // Whether presenting with the display's own vertical sync keeps 60 passes a second.
    static bool VsyncAgrees(int refreshRateHz) {
        return refreshRateHz == 60 || refreshRateHz == 59;
    }

  private:
    std::uint64_t ticksPerSecond_;
    std::uint64_t next_ = 0;    // clock time of the next blank
    std::uint64_t frames_ = 0;  // blanks since the schedule started, to place each exactly
    std::uint64_t origin_ = 0;
};

}  // namespace platform::sdl
