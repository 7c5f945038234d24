#include "platform/sdl/frame_pacer.h"

#include <algorithm>

namespace platform::sdl {

namespace {

// Beyond this many hundredths the program really was held up (a dragged window, a stopped
// machine): the show jumps ahead as it would anywhere, and nothing is made up.
constexpr int kMostOwed = 6;

}  // namespace

FramePacer::FramePacer(std::uint64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}

int FramePacer::HundredthsIn(std::uint64_t milliseconds) {
    const auto seconds = static_cast<float>(static_cast<double>(milliseconds) / 1000.0);
    return static_cast<int>(static_cast<double>(seconds) * 100.0);
}

std::uint64_t FramePacer::TicksToWait(std::uint64_t now) {
    // A pass that ran more than a frame late starts a new schedule instead of hurrying.
    if (next_ == 0 || now > next_ + ticksPerSecond_ / 60) {
        origin_ = now;
        frames_ = 0;
        next_ = now;
    }
    std::uint64_t due = next_;
    if (started_) {
        // The gap from the last pass, as the program will measure it in whole milliseconds:
        // 11 to 19 ms to count one hundredth, at most 7 to count none when one is owed, at
        // least 21 to count two when one is missing. Each aimed half a millisecond into its
        // millisecond, so that a slightly slow wake-up still counts the same; the schedule
        // stays the reference, so passes that were held back catch up over the next ones.
        const std::uint64_t last = Milliseconds(lastStart_);
        const std::uint64_t margin = ticksPerSecond_ / 2000;
        auto at = [&](std::uint64_t gap) { return TimeOfMillisecond(last + gap) + margin; };
        if (owed_ > 0) {
            due = std::min(due, at(7));
        } else if (owed_ < 0) {
            due = std::max(due, at(21));
        } else {
            due = std::clamp(due, at(11), at(19));
        }
    }
    return now < due ? due - now : 0;
}

void FramePacer::Advance(std::uint64_t now) {
    if (started_) {
        owed_ += HundredthsIn(Milliseconds(now) - Milliseconds(lastStart_)) - 1;
        if (owed_ > kMostOwed || owed_ < -kMostOwed) owed_ = 0;
    }
    started_ = true;
    lastStart_ = now;
    ++frames_;
    // Each blank placed from the origin, so the 60ths never drift by rounding.
    next_ = origin_ + frames_ * ticksPerSecond_ / 60;
}

VsyncCheck::Verdict VsyncCheck::Presented(std::uint64_t now) {
    if (verdict_ == Verdict::kRejected) return verdict_;
    ++seen_;
    if (seen_ <= kWarmUp) {
        windowStart_ = now;
        return verdict_;
    }
    if (seen_ - kWarmUp < kWindow) return verdict_;
    // kWindow presents since the window started: a second at 60 Hz.
    const std::uint64_t elapsed = now - windowStart_;
    const std::uint64_t expected = ticksPerSecond_ * kWindow / 60;
    const bool agrees = elapsed * 20 >= expected * 19 && elapsed * 20 <= expected * 21;
    verdict_ = agrees ? Verdict::kTrusted : Verdict::kRejected;
    seen_ = kWarmUp;
    windowStart_ = now;
    return verdict_;
}

void VsyncCheck::Restart() {
    if (verdict_ == Verdict::kRejected) return;
    seen_ = 0;
}

}  // namespace platform::sdl
