#include "platform/sdl/frame_pacer.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::FramePacer;
using platform::sdl::VsyncCheck;

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

TEST(FramePacer, HundredthsAreCountedAsTheSceneClocksCountThem) {
    // Seconds as a float, times 100, truncated: 0.02f is just under 0.02.
    EXPECT_EQ(FramePacer::HundredthsIn(0), 0);
    EXPECT_EQ(FramePacer::HundredthsIn(10), 0);
    EXPECT_EQ(FramePacer::HundredthsIn(11), 1);
    EXPECT_EQ(FramePacer::HundredthsIn(16), 1);
    EXPECT_EQ(FramePacer::HundredthsIn(17), 1);
    EXPECT_EQ(FramePacer::HundredthsIn(20), 1);
    EXPECT_EQ(FramePacer::HundredthsIn(21), 2);
    EXPECT_EQ(FramePacer::HundredthsIn(30), 2);
    EXPECT_EQ(FramePacer::HundredthsIn(31), 3);
}

// The player's loop on a nanosecond clock: every pass's wake-up comes `late(i)` after the
// time asked for; the program reads its millisecond clock as the pass starts.
struct PaceRun {
    int passes = 0;
    long hundredths = 0;
    double seconds = 0;
};
template <typename Late>
PaceRun RunFor(double seconds, Late late) {
    FramePacer pacer(kClock);
    std::uint64_t now = 5'000'000'123;
    const std::uint64_t end = now + static_cast<std::uint64_t>(seconds * kClock);
    const std::uint64_t first = now;
    std::uint64_t lastMs = 0;
    PaceRun run;
    for (int i = 0; now < end; ++i) {
        now += 300'000;  // the pass's own work
        now += pacer.TicksToWait(now) + late(i);
        pacer.Advance(now);
        const std::uint64_t ms = now / 1'000'000;
        if (i > 0) run.hundredths += FramePacer::HundredthsIn(ms - lastMs);
        if (i > 0) ++run.passes;
        lastMs = ms;
    }
    run.seconds = static_cast<double>(now - first) / kClock;
    return run;
}

TEST(FramePacer, EachPassCountsOneHundredthEvenWhenSomeStartLate) {
    // On time: one hundredth a pass (gaps of 16 and 17 ms).
    const PaceRun steady = RunFor(20, [](int) { return std::uint64_t{0}; });
    EXPECT_NEAR(steady.passes / steady.seconds, 60.0, 0.1);
    EXPECT_EQ(steady.hundredths, steady.passes);
    // A busy machine: every seventh wake-up 3 to 9 ms late. Left alone such gaps count two.
    const PaceRun busy = RunFor(20, [](int i) {
        return i % 7 == 3 ? static_cast<std::uint64_t>(3'000'000 + (i % 5) * 1'500'000)
                          : std::uint64_t{50'000};
    });
    EXPECT_NEAR(busy.passes / busy.seconds, 60.0, 60.0 * 0.02);
    EXPECT_NEAR(static_cast<double>(busy.hundredths), busy.passes, 2.0);
    // Real pauses (a quarter of a second now and then) are not made up: the show moves on.
    const PaceRun paused = RunFor(
        20, [](int i) { return i % 300 == 299 ? std::uint64_t{250'000'000} : std::uint64_t{0}; });
    EXPECT_GT(paused.hundredths, paused.passes + 3 * 20);
}

TEST(VsyncCheck, TrustsOnlyABlankThatHoldsSixtyASecond) {
    auto judge = [](double hz, int presents) {
        VsyncCheck check(kClock);
        std::uint64_t now = 1000;
        VsyncCheck::Verdict verdict = VsyncCheck::Verdict::kUndecided;
        for (int i = 0; i < presents; ++i) {
            now += static_cast<std::uint64_t>(kClock / hz);
            verdict = check.Presented(now);
        }
        return verdict;
    };
    EXPECT_EQ(judge(60.0, 30), VsyncCheck::Verdict::kUndecided);  // not a second yet
    EXPECT_EQ(judge(60.0, 200), VsyncCheck::Verdict::kTrusted);
    EXPECT_EQ(judge(59.94, 200), VsyncCheck::Verdict::kTrusted);
    EXPECT_EQ(judge(1000.0, 200), VsyncCheck::Verdict::kRejected);  // returns at once
    EXPECT_EQ(judge(75.0, 200), VsyncCheck::Verdict::kRejected);
    EXPECT_EQ(judge(50.0, 200), VsyncCheck::Verdict::kRejected);

    // Trusted, then the presents stop blocking (the window went to another screen).
    VsyncCheck check(kClock);
    std::uint64_t now = 0;
    for (int i = 0; i < 100; ++i) check.Presented(now += kClock / 60);
    ASSERT_EQ(check.verdict(), VsyncCheck::Verdict::kTrusted);
    for (int i = 0; i < 100; ++i) check.Presented(now += kClock / 500);
    EXPECT_EQ(check.verdict(), VsyncCheck::Verdict::kRejected);
    check.Restart();  // a rejection is for good
    EXPECT_EQ(check.verdict(), VsyncCheck::Verdict::kRejected);
}

}  // namespace
