#include <gtest/gtest.h>

#include <string>

#include "el/draw/error_box.h"
#include "el/system/frame_timing.h"
#include "el/system/program_directory.h"
#include "platform/crt.h"
#include "tests/app/headless_fixture.h"

namespace {

using Timing = HeadlessProgram;

TEST_F(Timing, TickIncrementTruncatesTheFloatDelta) {
    struct Case {
        std::uint32_t ms;
        std::int32_t ticks;
    };
    // The millisecond difference is rounded to a float first: 10 ms becomes 0.0099999998.
    for (const Case c : {Case{10, 0}, Case{16, 1}, Case{17, 1}, Case{20, 1}, Case{30, 2},
                         Case{40, 3}, Case{50, 5}, Case{60, 5}, Case{100, 10}, Case{0, 0}}) {
        elSystem::ResetFrameTimer();
        host->AdvanceClock(c.ms);
        elSystem::UpdateFrameDelta();
        EXPECT_EQ(elSystem::TickIncrement(), c.ticks) << c.ms << " ms";
    }
}

TEST_F(Timing, FrameDeltaUsesTheUnsignedDifferenceAcrossTheWrap) {
    startMs = 0xFFFFFFF0u;
    SetUp();
    elSystem::ResetFrameTimer();
    host->AdvanceClock(0x20);  // the clock wraps past zero
    elSystem::UpdateFrameDelta();
    EXPECT_FLOAT_EQ(elSystem::FrameDelta, 0.032f);
}

TEST_F(Timing, WaitsAreOverStrictlyAfterTheirDeadline) {
    elSystem::ClearWaits();
    EXPECT_EQ(elSystem::SetWait(3, 0), 1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 0);  // same millisecond
    host->AdvanceClock(1);
    EXPECT_EQ(elSystem::IsWaitOver(3), 1);
    EXPECT_EQ(elSystem::SetWait(10, 100), 1);
    host->AdvanceClock(100);
    EXPECT_EQ(elSystem::IsWaitOver(10), 0);
    host->AdvanceClock(1);
    EXPECT_EQ(elSystem::IsWaitOver(10), 1);
    EXPECT_EQ(elSystem::InitWait(10), 1);
    EXPECT_EQ(elSystem::IsWaitOver(10), 0);
}

TEST_F(Timing, ADeadlineThatWrapsIsAtOnceOver) {
    startMs = 0xFFFFFF00u;
    SetUp();
    elSystem::ClearWaits();
    elSystem::SetWait(1, 0x200);  // the sum wraps to a small number
    EXPECT_EQ(elSystem::IsWaitOver(1), 1);
}

// The headless clock moves only when the program waits: a spin-wait must move it, and it ends
// strictly after its deadline with the frame timer started again.
TEST_F(Timing, BusyWaitEndsOnTheVirtualClockJustPastItsDeadline) {
    for (const std::uint32_t start : {1000u, 0xFFFFFF00u}) {
        startMs = start;
        SetUp();
        const std::uint32_t before = host->Milliseconds();
        host->AdvanceClock(5);
        elSystem::UpdateFrameDelta();
        elSystem::BusyWait(0xFA);  // from 0xFFFFFF05 the deadline is the clock's last value
        EXPECT_EQ(host->Milliseconds() - before, 5u + 0xFA + 1) << start;
        EXPECT_EQ(elSystem::FrameDelta, 0.0f);
        EXPECT_EQ(elSystem::LastPassTime, host->Milliseconds());
        elSystem::BusyWait(0);
        EXPECT_EQ(host->Milliseconds() - before, 5u + 0xFA + 2) << start;
    }
}

TEST_F(Timing, WaitNumbersOutsideTheRangeAreReportedAndChangeNothing) {
    elSystem::ClearWaits();
    const auto before = elSystem::WaitSlot;
    EXPECT_EQ(elSystem::SetWait(0, 100), 0);
    EXPECT_EQ(elSystem::SetWait(11, 100), 0);
    EXPECT_EQ(elSystem::InitWait(-1), 0);
    EXPECT_EQ(elSystem::WaitSlot, before);
    ASSERT_EQ(host->messageBoxes().size(), 3u);
    EXPECT_EQ(host->messageBoxes()[0].caption, "エラー発生");
    EXPECT_EQ(host->messageBoxes()[0].text, "elSystem::SetWait : ウェイトNoが範囲外です");
    EXPECT_EQ(host->messageBoxes()[2].text, "elSystem::InitWait : ウェイトNoが範囲外です");
    EXPECT_EQ(host->messageBoxes()[0].style, 0x1030u);
    EXPECT_EQ(host->beeps(), 3);
    // Asking about a wait that does not exist reads no slot and never blocks a poller.
    EXPECT_EQ(elSystem::IsWaitOver(0), 1);
    EXPECT_EQ(elSystem::IsWaitOver(11), 1);
    EXPECT_EQ(elSystem::IsWaitOver(-2147483647 - 1), 1);
}

TEST_F(Timing, ErrorBoxTextIsCutAtACharacterBoundary) {
    // "op : " and 249 'a' leave room for one more byte of the 256: not for the 3-byte "ウ".
    EXPECT_EQ(elDraw::ErrorBox("op", (std::string(249, 'a') + "ウ").c_str(), 0), 0);
    const std::string& text = host->messageBoxes().back().text;
    EXPECT_EQ(text, "op : " + std::string(249, 'a'));
    EXPECT_EQ(text.substr(0, 5), "op : ");
}

TEST_F(Timing, CommandLineIsCopiedAndLongOnesAreCutSafely) {
    elSystem::SetCommandLineText("--foo bar");
    EXPECT_STREQ(elSystem::GetCommandLineText(), "--foo bar");
    std::string longLine(254, 'a');
    longLine += "歳";  // would end at byte 257
    elSystem::SetCommandLineText(longLine.c_str());
    EXPECT_EQ(std::string(elSystem::GetCommandLineText()), std::string(254, 'a'));
}

TEST_F(Timing, ProgramDirectoryEndsWithASeparatorAndIsStable) {
    const std::string first = elSystem::ProgramDirectory();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), '/');
    EXPECT_EQ(first, std::string(elSystem::ProgramDirectory()));
}

TEST(Random, IsTheClassicGeneratorAndSeedsReproducibly) {
    crt::srand(1);
    // The first values of the classic runtime generator for seed 1.
    EXPECT_EQ(crt::rand(), 41);
    EXPECT_EQ(crt::rand(), 18467);
    EXPECT_EQ(crt::rand(), 6334);
    crt::srand(12345);
    const int a = crt::rand();
    crt::srand(12345);
    EXPECT_EQ(crt::rand(), a);
    for (int i = 0; i < 1000; ++i) {
        const int r = crt::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, crt::kRandMax);
    }
}

}  // namespace
