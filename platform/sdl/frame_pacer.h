// Paces passes at 60 per second on any monitor. The library waits for the vertical blank of a
// 60 Hz display and its scene clocks count whole hundredths of a second per pass, so passes
// that come faster (a 120 or 144 Hz blank) would make the clocks stand still. At 60 Hz each
// gap counts exactly one hundredth, so the show keeps step with its passes (and with the
// renderer's frames); a pass that the machine started a few milliseconds late counts two, and
// the next one is then let go early enough to count none.
#pragma once

#include <cstdint>

namespace platform::sdl {

class FramePacer {
  public:
    // ticksPerSecond: the monotonic clock's frequency; the program's millisecond clock must be
    // the same clock, truncated to milliseconds.
    explicit FramePacer(std::uint64_t ticksPerSecond);

    // How long to sleep, in clock ticks, before the pass due after `now` may start; call
    // Advance() when it starts.
    std::uint64_t TicksToWait(std::uint64_t now);
    // The pass starts at `now` (the clock read when the sleep ended).
    void Advance(std::uint64_t now);
    // Forget the schedule (after the program slept in the background or a dialog).
    void Reset() {
        next_ = 0;
        started_ = false;
        owed_ = 0;
    }

    // Whether presenting with the display's own vertical sync keeps 60 passes a second.
    static bool VsyncAgrees(int refreshRateHz) {
        return refreshRateHz == 60 || refreshRateHz == 59;
    }

    // The hundredths the program's scene clocks count for a gap between two passes: the gap
    // in seconds as a float, times 100, truncated (so 11 to 20 ms count one).
    static int HundredthsIn(std::uint64_t milliseconds);
    // Hundredths counted beyond one a pass (negative: fewer), not yet made up.
    int owed() const { return owed_; }

  private:
    std::uint64_t Milliseconds(std::uint64_t ticks) const {
        return ticks / (ticksPerSecond_ / 1000);
    }
    std::uint64_t TimeOfMillisecond(std::uint64_t ms) const {
        return ms * (ticksPerSecond_ / 1000);
    }

    std::uint64_t ticksPerSecond_;
    std::uint64_t next_ = 0;    // clock time of the next blank
    std::uint64_t frames_ = 0;  // blanks since the schedule started, to place each exactly
    std::uint64_t origin_ = 0;
    bool started_ = false;  // a pass has started on this schedule
    std::uint64_t lastStart_ = 0;
    int owed_ = 0;
};

// Whether presenting with the display's vertical sync really holds passes at 60 a second. A
// driver may report a 60 Hz mode and accept the request yet never block (a virtual X server,
// some software rasterizers), or block at another rate; then passes would run as fast as they
// can. Each window of presents is timed, and one that is off by more than 5% ends the trust.
class VsyncCheck {
  public:
    enum class Verdict { kUndecided, kTrusted, kRejected };
    explicit VsyncCheck(std::uint64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}

    // Called after every present that relied on the vertical sync, with the clock's time.
    Verdict Presented(std::uint64_t now);
    Verdict verdict() const { return verdict_; }
    // Start over, after a pause (a dialog, the program in the background) that is no present.
    void Restart();

    static constexpr int kWarmUp = 10;  // the first presents of a window fill its queue
    static constexpr int kWindow = 60;

  private:
    std::uint64_t ticksPerSecond_;
    Verdict verdict_ = Verdict::kUndecided;
    int seen_ = 0;
    std::uint64_t windowStart_ = 0;
};

}  // namespace platform::sdl
