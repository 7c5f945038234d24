#include "platform/sdl/frame_pacer.h"

namespace platform::sdl {

FramePacer::FramePacer(std::uint64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}

std::uint64_t FramePacer::TicksToWait(std::uint64_t now) {
    // A pass that ran more than a frame late starts a new schedule instead of hurrying.
    if (next_ == 0 || now > next_ + ticksPerSecond_ / 60) {
        origin_ = now;
        frames_ = 0;
        next_ = now;
    }
    return now < next_ ? next_ - now : 0;
}

void FramePacer::Advance(std::uint64_t) {
    ++frames_;
    // Each blank placed from the origin, so the 60ths never drift by rounding.
    next_ = origin_ + frames_ * ticksPerSecond_ / 60;
}

}  // namespace platform::sdl
