// The library's input services inside the real program: a scripted joystick found at screen
// set-up and after it, and keys counted and polled through the window procedure.
#include <gtest/gtest.h>

#include <vector>

#include "el/system/joystick.h"
#include "el/system/key_state.h"
#include "el/system/settings_files.h"
#include "platform/messages.h"
#include "tests/app/headless_fixture.h"

namespace {

using namespace elSystem;
using platform::Msg;

using SystemServices = HeadlessProgram;

TEST_F(SystemServices, AScriptedJoystickIsCalibratedAtSetUpAndReadEachPass) {
    host->SetJoystick(0, 32768, 32768, 0);
    std::vector<std::int32_t> digits;
    std::vector<std::int32_t> states;
    Run(
        6,
        [&](std::uint32_t pass) {
            if (pass == 3) host->SetJoystick(0, 65535, 0, 0b0010);  // up and right, button 2
            if (pass == 5) host->SetJoystick(0, 32768, 32768, 0);
        },
        [&](std::uint32_t) {
            digits.push_back(JoyNumpad(0));
            states.push_back(JoyButtonState(0, 2));
        });
    EXPECT_EQ(digits, (std::vector<std::int32_t>{5, 5, 9, 9, 5, 5}));
    EXPECT_EQ(states, (std::vector<std::int32_t>{0, 0, 1, 3, 2, 0}));
    EXPECT_EQ(host->joystickRefreshes(), 1);  // once, by the screen set-up
    std::int32_t x = 0;
    GetJoyCentre(0, &x, nullptr);
    EXPECT_EQ(x, 32768);
    EXPECT_EQ(JoyNumpad(1), 5);
}

TEST_F(SystemServices, KeysAreCountedAndPolledThroughTheWindowProcedure) {
    std::vector<std::int32_t> released;
    std::uint32_t scripted = 0;
    Run(
        5,
        [&](std::uint32_t pass) {
            // Called again after the messages posted here: post them once.
            if (pass == scripted) return;
            scripted = pass;
            if (pass == 1) WatchKey(' ');
            if (pass == 2) host->PostInput(Msg{platform::WM_KEYDOWN, ' ', 0});
            if (pass == 3) host->PostInput(Msg{platform::WM_KEYUP, ' ', 0});
            if (pass == 4) {
                host->PostInput(Msg{platform::WM_KEYDOWN, ' ', 0});
                host->PostInput(Msg{platform::WM_KEYUP, ' ', 0});
            }
        },
        [&](std::uint32_t) { released.push_back(PollKeyRelease(13, ' ', 0)); });
    EXPECT_EQ(released, (std::vector<std::int32_t>{0, 0, ' ', ' ', 0}));
    EXPECT_EQ(GetWatchCount(), 2);
}

TEST_F(SystemServices, TheShowNamesItsSettingsFolder) {
    Run(1);
    EXPECT_STREQ(ProgramName.data(), "greeting");
}

}  // namespace
