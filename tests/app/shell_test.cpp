#include <gtest/gtest.h>

#include <vector>

#include "el/draw/shutdown.h"
#include "el/system/input_state.h"
#include "platform/messages.h"
#include "show/scene_state.h"
#include "tests/app/headless_fixture.h"

using namespace platform;

namespace {

using Shell = HeadlessProgram;

TEST_F(Shell, FirstPassEntersSceneOneAndLaterPassesDoNot) {
    std::vector<int> entered;
    std::vector<int> scenes;
    Run(3, {}, [&](std::uint32_t) {
        // Bookkeeping runs after the scene: the flag a scene saw is the one set before it.
        entered.push_back(show::SceneJustEntered);
        scenes.push_back(show::SceneNumber);
    });
    EXPECT_EQ(scenes, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(entered, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(app::PassCount, 3u);
}

TEST_F(Shell, SceneChangeMarksTheNextPassAsEntry) {
    std::vector<int> entered;
    Run(
        4,
        [&](std::uint32_t pass) {
            if (pass == 3) show::SceneNumber = 5;  // as a scene's hand-over would
        },
        [&](std::uint32_t) { entered.push_back(show::SceneJustEntered); });
    EXPECT_EQ(entered, (std::vector<int>{0, 0, 1, 0}));
}

TEST_F(Shell, NoPassRunsInTheBackgroundAndReactivationResetsTheTimer) {
    std::vector<float> deltas;
    std::vector<std::uint64_t> times;
    bool sentAway = false;
    Run(
        3,
        [&](std::uint32_t pass) {
            if (pass == 2 && !sentAway) {
                sentAway = true;
                PostMessage(WM_ACTIVATEAPP, 0, 0);
                // Woken five seconds later by the program becoming active again.
                host->ScheduleAt(host->elapsedMs() + 5000, Msg{WM_ACTIVATEAPP, 1, 0});
            }
        },
        [&](std::uint32_t) {
            deltas.push_back(elSystem::FrameDelta);
            times.push_back(host->elapsedMs());
            host->AdvanceClock(17);
        });
    ASSERT_EQ(deltas.size(), 3u);
    EXPECT_FLOAT_EQ(deltas[1], 0.0f);  // the five seconds away are not counted
    EXPECT_GE(times[1], times[0] + 5000);
    // The third pass counts the second's vertical blank (at most a 60 Hz frame) and 17 ms.
    EXPECT_GE(deltas[2], 0.017f);
    EXPECT_LE(deltas[2], 0.034f);
}

TEST_F(Shell, EscapeHeldDownPostsExactlyOneClose) {
    int closes = 0;
    SetWindowProc([](std::uint32_t, WParam, LParam) -> LResult { return 0; });
    elSystem::CloseState = 0;
    app::HandleKeyDown(27);
    app::HandleKeyDown(27);  // auto-repeat
    app::HandleKeyDown(27);
    Msg msg;
    while (PeekMessage(msg)) closes += msg.message == WM_CLOSE ? 1 : 0;
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(elSystem::CloseState, 2);
}

TEST_F(Shell, EscapeEndsTheRunBeforeTheNextPass) {
    std::uint32_t lastPass = 0;
    const int result = Run(
        100,
        [&](std::uint32_t pass) {
            if (pass == 30) {
                PostMessage(WM_KEYDOWN, 27, 0);
                PostMessage(WM_KEYUP, 27, 0);
            }
        },
        [&](std::uint32_t pass) { lastPass = pass; });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(lastPass, 29u);
    EXPECT_FALSE(host->HasMainWindow());
    EXPECT_TRUE(host->minimized());  // the full-screen window is minimised at shutdown
}

TEST_F(Shell, SystemCloseShutsDownOnceAndPostsNothing) {
    std::uint32_t lastPass = 0;
    Run(
        100,
        [&](std::uint32_t pass) {
            if (pass == 5) PostMessage(WM_CLOSE, 0, 0);
        },
        [&](std::uint32_t pass) { lastPass = pass; });
    EXPECT_EQ(lastPass, 4u);
    EXPECT_EQ(elSystem::CloseState, 2);
    EXPECT_FALSE(HasPendingMessage());
    // A second shutdown (an Escape already queued behind the close) is harmless.
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_FALSE(HasPendingMessage());
}

TEST_F(Shell, WindowMovesAreSignedAndMouseMovesAreNot) {
    app::MainWindowProc(WM_MOVE, 0, MakeLParam(65535, 65526));
    EXPECT_EQ(elSystem::ClientLeft, -1);
    EXPECT_EQ(elSystem::ClientTop, -10);
    EXPECT_EQ(elSystem::PresentRect.left, -1);
    app::MainWindowProc(WM_MOUSEMOVE, 0, MakeLParam(65535, 7));
    EXPECT_EQ(elSystem::MouseX, 65535);
    EXPECT_EQ(elSystem::MouseY, 7);
}

TEST_F(Shell, ButtonsAndDoubleClicks) {
    using namespace elSystem;
    app::MainWindowProc(WM_LBUTTONDOWN, 0, 0);
    app::MainWindowProc(WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(ButtonHeld, 2);
    app::MainWindowProc(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(ButtonHeld, 2);  // the left release leaves the later right button held
    EXPECT_EQ(LeftHeld, 0);
    app::MainWindowProc(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(ButtonHeld, 0);

    LeftClicked = RightClicked = LastButton = 0;
    app::MainWindowProc(WM_LBUTTONDBLCLK, 0, 0);
    app::MainWindowProc(WM_RBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(LeftHeld + LeftClicked + RightHeld + RightClicked + ButtonHeld + LastButton, 0);
    EXPECT_FALSE(host->cursorClipped());  // confinement is off in this program
}

TEST_F(Shell, KeysTrackOnlyTheLastOneAndCountReleases) {
    using namespace elSystem;
    CountedKey = 'A';
    app::MainWindowProc(WM_KEYDOWN, 'A', 0);
    app::MainWindowProc(WM_KEYDOWN, 'B', 0);
    app::MainWindowProc(WM_KEYUP, 'A', 0);
    EXPECT_EQ(KeyHeld, 'B');
    EXPECT_EQ(LastKey, 'B');
    EXPECT_EQ(CountedKeyPresses, 1);
    app::MainWindowProc(WM_KEYUP, 16, 0);
    app::MainWindowProc(WM_KEYUP, 16, 0);
    app::MainWindowProc(WM_KEYUP, 16, 0);
    EXPECT_EQ(ShiftToggle, 1);
    SuspendInput();
    app::MainWindowProc(WM_KEYDOWN, 'C', 0);
    app::MainWindowProc(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(SuspendedKey, 'C');
    EXPECT_EQ(SuspendedClick, 1);
    EXPECT_EQ(LeftClicked, 0);
    EXPECT_EQ(KeyHeld, 'B');
}

TEST_F(Shell, CursorIsHiddenOverTheFullScreenWindowUnlessABoxIsOpen) {
    EXPECT_EQ(app::MainWindowProc(WM_SETCURSOR, 0, 1), 1);
    EXPECT_FALSE(host->cursorVisible());
    elSystem::MessageBoxOpen = 1;
    EXPECT_EQ(app::MainWindowProc(WM_SETCURSOR, 0, 1), 0);
    EXPECT_TRUE(host->cursorVisible());
}

TEST_F(Shell, BlinkFlipsAfterASecondThenStaysOffFor200Milliseconds) {
    std::vector<int> blink;
    std::vector<std::uint32_t> at;  // the clock when each pass's bookkeeping ran
    Run(150, {}, [&](std::uint32_t) {
        blink.push_back(elSystem::BlinkOn);
        at.push_back(host->Milliseconds());
    });
    // Static start-up happened at 1000 ms: the first flip comes with the first pass at 2000 ms
    // or later, and the light stays off until 200 ms after that.
    std::size_t off = 0;
    while (off < blink.size() && blink[off] == 1) ++off;
    ASSERT_LT(off, blink.size());
    EXPECT_GE(at[off], 2000u);
    ASSERT_GT(off, 0u);
    EXPECT_LT(at[off - 1], 2000u);
    std::size_t on = off;
    while (on < blink.size() && blink[on] == 0) ++on;
    ASSERT_LT(on, blink.size());
    EXPECT_GE(at[on], at[off] + 200);
    EXPECT_LT(at[on - 1], at[off] + 200);
}

}  // namespace
