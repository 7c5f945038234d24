// The four press states of keys, the press-and-release poll, and the pointer helpers.
#include "el/system/key_state.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "el/draw/cursor.h"
#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"
#include "el/system/transition_counter.h"
#include "platform/messages.h"
#include "tests/el/library_fixture.h"

namespace {

using namespace elSystem;

class KeyHelpers : public ::testing::Test {
  protected:
    void SetUp() override { host = eltest::StartLibrary(); }
    void TearDown() override { eltest::StopLibrary(); }

    // The states KeyState gives over frames with the key down (true) or up.
    std::vector<std::int32_t> States(std::initializer_list<bool> frames, std::int32_t key = 'A') {
        std::vector<std::int32_t> states;
        std::int32_t state = 0;
        for (const bool down : frames) {
            host->SetKeyDown(static_cast<std::uint32_t>(key), down);
            KeyState(key, &state);
            states.push_back(state);
        }
        return states;
    }

    platform::HeadlessHost* host = nullptr;
};

using V = std::vector<std::int32_t>;

TEST_F(KeyHelpers, KeyStatePassesThroughFourStates) {
    EXPECT_EQ(States({true, true, false, false}), (V{1, 3, 2, 0}));
    // Pressed again right after its release: from 2 straight to held.
    EXPECT_EQ(States({true, false, true, true, false}), (V{1, 2, 3, 3, 2}));
    // Mouse buttons have codes 1 and 2.
    EXPECT_EQ(States({true, false}, kLeftButtonCode), (V{1, 2}));
    EXPECT_EQ(States({true}, 0), (V{0}));  // code 0 is no key
    KeyState('A', nullptr);                // nothing to keep the state in: nothing happens
}

TEST_F(KeyHelpers, NothingCountsAsPressedWhileTransitionsPagesOrSuspensionHoldInputBack) {
    for (std::int32_t* holdBack : {&TransitionCounter, &ScrollPageShown, &InputSuspended}) {
        std::int32_t state = 3;
        host->SetKeyDown('A', true);
        *holdBack = 1;
        KeyState('A', &state);
        EXPECT_EQ(state, 0);
        *holdBack = 0;
        KeyState('A', &state);
        EXPECT_EQ(state, 1);  // so a key still held afterwards is a fresh press
    }
}

// The window procedure's bookkeeping of a key press and its release.
void Press(std::int32_t key) {
    KeyHeld = LastKey = key;
}
void Release() {
    KeyHeld = 0;
}

TEST_F(KeyHelpers, PollKeyReleaseGivesAListedKeyOnceWhenReleased) {
    EXPECT_EQ(PollKeyRelease(13, 32, 0), 0);
    Press(32);
    EXPECT_EQ(PollKeyRelease(13, 32, 0), 0);  // still down
    Release();
    EXPECT_EQ(PollKeyRelease(13, 32, 0), 32);
    EXPECT_EQ(LastKey, 0);  // consumed
    EXPECT_EQ(PollKeyRelease(13, 32, 0), 0);

    // A press before the first call still counts; so does a mouse button.
    Press(13);
    Release();
    EXPECT_EQ(PollKeyRelease(13, 0), 13);
    ButtonHeld = LastButton = kLeftButtonCode;
    EXPECT_EQ(PollKeyRelease(13, kLeftButtonCode), 0);
    ButtonHeld = 0;
    EXPECT_EQ(PollKeyRelease(13, kLeftButtonCode), kLeftButtonCode);
    EXPECT_EQ(LastButton, 0);
}

TEST_F(KeyHelpers, PollKeyReleaseIgnoresUnlistedKeysAndEverythingAfterTheEnd) {
    Press('Q');
    Release();
    EXPECT_EQ(PollKeyRelease(13, 0, 'Q'), 0);  // listed after the end
    EXPECT_EQ(PollKeyRelease(13), 0);          // no closing 0: read no further than the list
    const std::array<std::int32_t, 2> unterminated = {13, 'Q'};
    EXPECT_EQ(PollKeyRelease(std::span<const std::int32_t>(unterminated)), 'Q');
    EXPECT_EQ(PollKeyRelease(std::span<const std::int32_t>()), 0);

    // Another key pressed while the listed one is down starts it over.
    Press(32);
    EXPECT_EQ(PollKeyRelease(32, 0), 0);
    Press('Q');
    EXPECT_EQ(PollKeyRelease(32, 0), 0);
    EXPECT_EQ(PressReleaseState, 0);
}

TEST_F(KeyHelpers, ThePointerIsPutOnThePictureAndTheProgramHearsOfIt) {
    ASSERT_TRUE(host->CreateMainWindow({}));
    platform::ResetMessageQueue();
    SetMousePos(100, 200);
    SetMousePos(-5, 900);
    EXPECT_EQ(host->pointerX(), 0);
    EXPECT_EQ(host->pointerY(), 479);
    std::vector<std::pair<int, int>> moves;
    platform::Msg msg;
    while (platform::PeekMessage(msg)) {
        if (msg.message == platform::WM_MOUSEMOVE) {
            moves.emplace_back(platform::LowWord(msg.lParam), platform::HighWord(msg.lParam));
        }
    }
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{100, 200}, {0, 479}}));
}

TEST_F(KeyHelpers, CursorClipModeTakesEffectAtOnce) {
    EXPECT_EQ(SetCursorClipMode(2), 0);
    EXPECT_EQ(CursorClipMode, 0);
    elDraw::ConfineCursor();
    ASSERT_TRUE(host->cursorClipped());
    EXPECT_EQ(SetCursorClipMode(0), 1);
    EXPECT_FALSE(host->cursorClipped());  // nothing could free it otherwise
    EXPECT_EQ(SetCursorClipMode(1), 1);
    EXPECT_EQ(CursorClipMode, 1);
    EXPECT_FALSE(host->cursorClipped());  // no screen yet: set-up confines it
}

}  // namespace
