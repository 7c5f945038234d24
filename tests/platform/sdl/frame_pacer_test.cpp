#include "platform/sdl/frame_pacer.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::FramePacer;

constexpr std::uint64_t kClock = 1'000'000'000;  // a nanosecond clock

// Ten seconds of the player's loop on a fake clock: each pass waits for the pacer when the
// display's vsync does not agree, otherwise for the monitor's own blank; a pass costs 2 ms.
int PassesInTenSeconds(int monitorHz) {
    FramePacer pacer(kClock);
    const bool vsync = FramePacer::VsyncAgrees(monitorHz);
    const std::uint64_t blank = kClock / static_cast<std::uint64_t>(monitorHz);
    std::uint64_t now = 12345;
    int passes = 0;
    while (now < 10 * kClock) {
        now += 2'000'000;  // the pass's own work
        if (!vsync) {
            now += pacer.TicksToWait(now);
            pacer.Advance(now);
        }
        // Presenting: with vsync it waits for the next blank of the monitor.
        if (vsync) now = (now / blank + 1) * blank;
        ++passes;
    }
    return passes;
}

TEST(FramePacer, SixtyPassesASecondOnEveryMonitor) {
    for (const int hz : {50, 60, 75, 120, 144}) {
        const int passes = PassesInTenSeconds(hz);
        // A 50 Hz monitor with vsync would give 500; vsync is only used at 60 Hz.
        EXPECT_GE(passes, 599) << hz << " Hz";
        EXPECT_LE(passes, 601) << hz << " Hz";
    }
}

TEST(FramePacer, ALatePassStartsANewScheduleInsteadOfHurrying) {
    FramePacer pacer(kClock);
    std::uint64_t now = 0;
    pacer.TicksToWait(now);
    pacer.Advance(now);
    now += kClock / 2;  // half a second lost (a dialog, the window dragged)
    EXPECT_EQ(pacer.TicksToWait(now), 0u);
    pacer.Advance(now);
    now += 1'000'000;
    // The next pass is a whole frame after the late one, not squeezed in to catch up.
    EXPECT_NEAR(static_cast<double>(pacer.TicksToWait(now)), kClock / 60.0 - 1'000'000, 2.0);
}

TEST(FramePacer, FramesDoNotDriftOverAMinute) {
    FramePacer pacer(kClock);
    std::uint64_t now = 0;
    for (int i = 0; i < 3600; ++i) {
        now += pacer.TicksToWait(now);
        pacer.Advance(now);
    }
    now += pacer.TicksToWait(now);
    EXPECT_EQ(now, 60 * kClock);
}

}  // namespace
