// Two scripted joysticks on the headless host: thresholds, keypad digits, press states, and
// the hold and analog ramps on the virtual clock.
#include "el/system/joystick.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "el/system/frame_timing.h"
#include "el/system/transition_counter.h"
#include "tests/el/library_fixture.h"

namespace {

using namespace elSystem;
using Four = std::array<std::int32_t, kJoyButtonCount>;

constexpr std::uint32_t kRest = 32767;

class Joystick : public ::testing::Test {
  protected:
    void SetUp() override { host = eltest::StartLibrary(); }
    void TearDown() override { eltest::StopLibrary(); }

    // A joystick at rest in slot 0 when the screen set-up looks for it.
    void PlugAtStart(std::uint32_t centre = kRest) {
        host->SetJoystick(0, centre, centre, 0);
        InitJoystick();
    }
    void Stick(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
        host->SetJoystick(0, x, y, buttons);
    }
    // One frame of `ms` milliseconds on the virtual clock.
    void Frame(std::uint32_t ms) {
        host->AdvanceClock(ms);
        UpdateFrameDelta();
    }
    std::int32_t DirectionX(std::uint32_t x) {
        Stick(x, kRest);
        std::int32_t dx = 9;
        JoyDirection(0, &dx, nullptr);
        return dx;
    }
    std::array<std::int32_t, 2> Analog() {
        std::array<std::int32_t, 2> value{};
        JoyAnalog(0, &value[0], &value[1]);
        return value;
    }

    platform::HeadlessHost* host = nullptr;
};

TEST_F(Joystick, ThresholdsLieAtHalfAndOneAndAHalfTimesTheCentre) {
    PlugAtStart();
    std::int32_t x = 0, y = 0;
    GetJoyCentre(0, &x, &y);
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(DirectionX(16383), -1);
    EXPECT_EQ(DirectionX(16384), 0);
    EXPECT_EQ(DirectionX(49149), 0);
    EXPECT_EQ(DirectionX(49150), 1);
    EXPECT_EQ(DirectionX(0), -1);
    EXPECT_EQ(DirectionX(65535), 1);
    JoyPosition(0, &x, &y);
    EXPECT_EQ(x, 65535);
    EXPECT_EQ(y, 32767);
}

TEST_F(Joystick, TheKeypadDigitPointsTheSameWay) {
    PlugAtStart();
    const std::array<std::array<std::int32_t, 3>, 3> pad = {{{7, 8, 9}, {4, 5, 6}, {1, 2, 3}}};
    const std::array<std::uint32_t, 3> place = {0, kRest, 65535};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            Stick(place[column], place[row]);
            EXPECT_EQ(JoyNumpad(0), pad[row][column]) << row << "," << column;
        }
    }
    EXPECT_EQ(JoyNumpad(1), 5);  // no joystick there
}

TEST_F(Joystick, ButtonsPassThroughTheKeysFourStates) {
    PlugAtStart();
    std::vector<std::int32_t> states;
    for (const bool down : {true, true, true, false, true, false, false}) {
        Stick(kRest, kRest, down ? 0b0100u : 0u);
        states.push_back(JoyButtonState(0, 3));
    }
    EXPECT_EQ(states, (std::vector<std::int32_t>{1, 3, 3, 2, 3, 2, 0}));
    EXPECT_EQ(JoyButton(0, 3), 0);

    Stick(kRest, kRest, 0b1001);
    Four pressed{}, edges{};
    JoyButtons(0, pressed);
    EXPECT_EQ(pressed, (Four{1, 0, 0, 1}));
    JoyButtonStates(0, edges);
    EXPECT_EQ(edges, (Four{1, 0, 0, 1}));
    TransitionCounter = 3;  // a transition holds input back
    JoyButtonStates(0, edges);
    EXPECT_EQ(edges, (Four{0, 0, 0, 0}));
    TransitionCounter = 0;
    JoyButtonStates(0, edges);
    EXPECT_EQ(edges, (Four{1, 0, 0, 1}));

    // Unplugged: nothing pressed, and the stored states wait for its return.
    host->UnplugJoystick(0);
    EXPECT_EQ(JoyButtonState(0, 1), 0);
    JoyButtonStates(0, edges);
    EXPECT_EQ(edges, (Four{0, 0, 0, 0}));
    EXPECT_EQ(JoyRecords[0].buttonState, (Four{1, 0, 0, 1}));
}

TEST_F(Joystick, HoldRampsUpAtTheButtonSpeedAndDropsAtOnce) {
    PlugAtStart();
    SetJoySpeed(0, 0, 50);
    Stick(kRest, kRest, 0b0001);
    std::vector<std::int32_t> holds;
    for (int frame = 0; frame < 12; ++frame) {  // 3 s in quarter seconds
        Frame(250);
        holds.push_back(JoyButtonHold(0, 1));
    }
    EXPECT_EQ(holds,
              (std::vector<std::int32_t>{12, 25, 37, 50, 62, 75, 87, 100, 100, 100, 100, 100}));
    Stick(kRest, kRest, 0);
    Frame(250);
    EXPECT_EQ(JoyButtonHold(0, 1), 0);

    Stick(kRest, kRest, 0b0110);
    Four holdsOut{};
    Frame(250);
    JoyButtonsHold(0, holdsOut);
    EXPECT_EQ(holdsOut, (Four{0, 12, 12, 0}));
    host->UnplugJoystick(0);
    JoyButtonsHold(0, holdsOut);
    EXPECT_EQ(holdsOut, (Four{0, 0, 0, 0}));
    EXPECT_EQ(JoyRecords[0].buttonHold[1], 12.5f);  // kept for its return
}

TEST_F(Joystick, AnalogRampsTowardsTheStickAndBackWithoutOvershooting) {
    PlugAtStart();
    SetJoySpeed(0, 200, 0);
    Stick(65535, 0);
    Frame(125);
    EXPECT_EQ(Analog(), (std::array<std::int32_t, 2>{25, -25}));
    Frame(125);
    EXPECT_EQ(Analog(), (std::array<std::int32_t, 2>{50, -50}));  // 0.25 s at 200 a second
    Stick(kRest, kRest);
    Frame(125);
    EXPECT_EQ(Analog(), (std::array<std::int32_t, 2>{25, -25}));
    Frame(200);
    EXPECT_EQ(Analog(), (std::array<std::int32_t, 2>{0, 0}));  // 40 more would overshoot
    Stick(0, 65535);
    for (int frame = 0; frame < 8; ++frame) {
        Frame(125);
        Analog();
    }
    EXPECT_EQ(Analog(), (std::array<std::int32_t, 2>{-100, 100}));

    ResetJoyRepeat();
    EXPECT_EQ(JoyRecords[0].analogX, 0.0f);
    EXPECT_EQ(JoyRecords[0].axisSpeed, 200.0f);  // speeds stay
}

TEST_F(Joystick, NumbersOutsideTheTwoJoysticksAndFourButtonsChangeNothing) {
    PlugAtStart();
    SetJoySpeed(0, 100, 100);
    Stick(65535, 65535, 0xFFFFFFFF);
    Frame(100);
    const auto before = JoyRecords;
    for (const std::int32_t joy : {-1, 2, std::numeric_limits<std::int32_t>::min()}) {
        std::int32_t x = 7, y = 7;
        Four four{9, 9, 9, 9};
        EXPECT_EQ(JoyButton(joy, 1), 0);
        EXPECT_EQ(JoyButtonState(joy, 1), 0);
        EXPECT_EQ(JoyButtonHold(joy, 1), 0);
        EXPECT_EQ(JoyNumpad(joy), 5);
        JoyButtons(joy, four);
        EXPECT_EQ(four, (Four{0, 0, 0, 0}));
        JoyButtonStates(joy, four);
        JoyButtonsHold(joy, four);
        JoyPosition(joy, &x, &y);
        JoyDirection(joy, &x, &y);
        JoyAnalog(joy, &x, &y);
        GetJoyCentre(joy, &x, &y);
        EXPECT_EQ(x + y, 0);
        SetJoySpeed(joy, 1, 1);
    }
    for (const std::int32_t button : {0, 5, 33, -1, 64}) {
        EXPECT_EQ(JoyButton(0, button), 0) << button;
        EXPECT_EQ(JoyButtonState(0, button), 0) << button;
        EXPECT_EQ(JoyButtonHold(0, button), 0) << button;
    }
    EXPECT_EQ(std::memcmp(&before, &JoyRecords, sizeof before), 0);
}

TEST_F(Joystick, SpeedsThatAreNotNumbersAreRefusedAndABrokenClockMovesNothing) {
    PlugAtStart();
    SetJoySpeed(0, 200, 50);
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    for (const auto& [axis, button] : {std::pair{kNaN, 1.0f}, std::pair{1.0f, kNaN},
                                       std::pair{kInf, 1.0f}, std::pair{-1.0f, 1.0f}}) {
        SetJoySpeed(0, axis, button);
        EXPECT_EQ(JoyRecords[0].axisSpeed, 200.0f);
        EXPECT_EQ(JoyRecords[0].buttonSpeed, 50.0f);
    }
    Stick(65535, kRest, 1);
    FrameDelta = kNaN;
    EXPECT_EQ(Analog()[0], 0);
    EXPECT_EQ(JoyButtonHold(0, 1), 0);
    EXPECT_TRUE(std::isfinite(JoyRecords[0].analogX));
    EXPECT_TRUE(std::isfinite(JoyRecords[0].buttonHold[0]));
}

TEST_F(Joystick, AJoystickPluggedInLaterIsCalibratedWhenFirstMet) {
    InitJoystick();  // nothing plugged in
    EXPECT_EQ(host->joystickRefreshes(), 1);
    std::int32_t x = -1, y = -1;
    GetJoyCentre(1, &x, &y);
    EXPECT_EQ(x + y, 0);

    // At rest off the middle: that is its centre. With a centre of 0 it would read as pushed
    // down and to the right (3) for ever.
    host->SetJoystick(1, 30000, 36000, 0);
    EXPECT_EQ(JoyNumpad(1), 5);
    GetJoyCentre(1, &x, &y);
    EXPECT_EQ(x, 30000);
    EXPECT_EQ(y, 36000);
    host->SetJoystick(1, 60000, 36000, 0);
    EXPECT_EQ(JoyNumpad(1), 6);

    // Plugged in again already pushed: the middle of the range stands in for that axis.
    host->UnplugJoystick(1);
    EXPECT_EQ(JoyNumpad(1), 5);
    host->SetJoystick(1, 65535, 30000, 0);
    EXPECT_EQ(JoyNumpad(1), 6);
    GetJoyCentre(1, &x, &y);
    EXPECT_EQ(x, 32768);
    EXPECT_EQ(y, 30000);

    // An explicit calibration takes the stick where it is, as asked.
    CalibrateJoystick();
    GetJoyCentre(1, &x, nullptr);
    EXPECT_EQ(x, 65535);
}

}  // namespace
