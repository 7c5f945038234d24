// A one-line progress report on standard error for runs that take a while: the pass, how far
// through the expected run, passes per second and the time left, redrawn in place.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace render {

class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;

    // Draws to `out` only when `enabled` (the renderer enables it when standard error is a
    // terminal); `expectedPasses` is what 100 % means.
    ProgressBar(std::FILE* out, bool enabled, std::uint32_t expectedPasses,
                Clock::time_point start);

    // After each pass. Nothing is drawn in the first second (short runs stay quiet) and then
    // at most ten times a second.
    void Update(std::uint32_t pass, Clock::time_point now);
    // Ends the line, with the final count, if anything was drawn.
    void Finish(std::uint32_t pass, Clock::time_point now);

    int redraws() const { return redraws_; }

  private:
    void Draw(std::uint32_t pass, Clock::time_point now);

    std::FILE* out_;
    bool enabled_;
    std::uint32_t expected_;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
    int redraws_ = 0;
};

}  // namespace render
