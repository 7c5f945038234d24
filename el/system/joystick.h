// Two joysticks, polled anew by every query: buttons as bits, as the four press states of the
// keys (press_state.h) and as hold values that ramp up while held; the stick as its position,
// a direction per axis, a keypad digit, and an analog value that ramps towards +-100 while
// pushed and back to 0 when let go. Joysticks are numbered 0 and 1, buttons 1 to 4; other
// numbers are refused and change nothing. The ramps use FrameDelta: call them once a frame.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace elSystem {

inline constexpr int kJoystickCount = 2;
inline constexpr int kJoyButtonCount = 4;

struct JoyRecord {
    float analogX = 0, analogY = 0;                   // -100 .. 100
    float axisSpeed = 0;                              // units a second of the analog ramp
    std::array<float, kJoyButtonCount> buttonHold{};  // 0 .. 100
    float buttonSpeed = 0;                            // units a second of the hold ramp
    std::array<std::int32_t, kJoyButtonCount> buttonState{};
};

// Where the stick rested when it was calibrated: a position at or below half the centre is
// left (up), at or above one and a half times the centre right (down). 0 when there was no
// joystick. A joystick that arrives later is calibrated by the first query that meets it, from
// where it is then if that is in the middle half of the range, else from the middle.
struct JoyCalibration {
    std::int32_t centreX = 0, centreY = 0;
    std::uint32_t connection = 0;  // the host's number of the connection calibrated; 0 none
};

extern std::array<JoyRecord, kJoystickCount>& JoyRecords;
extern std::array<JoyCalibration, kJoystickCount>& JoyCalibrations;

// At screen set-up: looks for joysticks, calibrates them and clears both records.
void InitJoystick();
// Takes the position of each joystick now as its centre; the stick must be at rest.
void CalibrateJoystick();
// Analog and hold values of both joysticks back to 0.
void ResetJoyRepeat();
// Speeds in units a second; refused when either is negative or not a number.
void SetJoySpeed(std::int32_t joy, float axisSpeed, float buttonSpeed);
void GetJoyCentre(std::int32_t joy, std::int32_t* x, std::int32_t* y);

// 1 while the button is down; 0 when not, and without a joystick.
std::int32_t JoyButton(std::int32_t joy, std::int32_t button);
void JoyButtons(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> pressed);
// The button's press state after this frame; 0 and the stored state kept without a joystick.
std::int32_t JoyButtonState(std::int32_t joy, std::int32_t button);
void JoyButtonStates(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> states);
// How long the button has been held, 0 .. 100 at the button speed; 0 at once when let go.
std::int32_t JoyButtonHold(std::int32_t joy, std::int32_t button);
// The same for the four buttons; without a joystick the outputs are 0 and the holds kept.
void JoyButtonsHold(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> holds);

// The raw position, 0 .. 65535 per axis; 0, 0 without a joystick. Null outputs are skipped.
void JoyPosition(std::int32_t joy, std::int32_t* x, std::int32_t* y);
// -1, 0 or 1 per axis (left and up are -1); 0, 0 without a joystick.
void JoyDirection(std::int32_t joy, std::int32_t* dx, std::int32_t* dy);
// The numeric keypad's digit for the direction: 8 up, 9 up and right ... 5 at rest and
// without a joystick.
std::int32_t JoyNumpad(std::int32_t joy);
// The analog values after this frame, -100 .. 100; 0, 0 and the values kept without a
// joystick.
void JoyAnalog(std::int32_t joy, std::int32_t* x, std::int32_t* y);

}  // namespace elSystem
