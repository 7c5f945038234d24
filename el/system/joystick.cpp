#include "el/system/joystick.h"

#include <cmath>

#include "el/system/frame_timing.h"
#include "el/system/press_state.h"
#include "platform/input.h"

namespace elSystem {
namespace {

bool ValidJoy(std::int32_t joy) {
    return joy >= 0 && joy < kJoystickCount;
}

bool ValidButton(std::int32_t button) {
    return button >= 1 && button <= kJoyButtonCount;
}

JoyRecord& Record(std::int32_t joy) {
    return JoyRecords[static_cast<std::size_t>(joy)];
}

void Calibrate(std::int32_t joy, const platform::JoystickReading& reading) {
    JoyCalibration& calibration = JoyCalibrations[static_cast<std::size_t>(joy)];
    calibration.centreX = reading.present ? static_cast<std::int32_t>(reading.x) : 0;
    calibration.centreY = reading.present ? static_cast<std::int32_t>(reading.y) : 0;
    calibration.connection = reading.present ? reading.connection : 0;
}

// The centre of an axis for a joystick that arrives while the program runs: where it is, if
// that is near the middle; else the middle of the range, as a stick already pushed as it
// arrives would otherwise read as centred there for ever.
std::uint32_t ArrivalCentre(std::uint32_t position) {
    return position >= 16384 && position <= 49151 ? position : 32768;
}

// Asks the machine; false without a joystick. A joystick met for the first time since it was
// plugged in is calibrated now, instead of being measured against a centre of 0 (which reads
// as pushed right and down for ever).
bool Query(std::int32_t joy, platform::JoystickReading& reading) {
    if (!platform::JoyGetPos(joy, reading)) return false;
    if (reading.connection != JoyCalibrations[static_cast<std::size_t>(joy)].connection) {
        platform::JoystickReading atRest = reading;
        atRest.x = ArrivalCentre(reading.x);
        atRest.y = ArrivalCentre(reading.y);
        Calibrate(joy, atRest);
    }
    return true;
}

bool Pressed(const platform::JoystickReading& reading, std::int32_t button) {
    return ((reading.buttons >> (button - 1)) & 1u) != 0;
}

std::int32_t AxisDirection(std::uint32_t position, std::int32_t centre) {
    const std::int64_t low = centre / 2;
    const std::int64_t high = static_cast<std::int64_t>(centre) + centre / 2;
    if (position <= low) return -1;
    if (position >= high) return 1;
    return 0;
}

// How far a ramp moves this frame; a clock or speed that is not a number moves nothing.
float Step(float speed) {
    const float step = FrameDelta * speed;
    return std::isfinite(step) && step > 0 ? step : 0.0f;
}

float NextHold(float hold, bool down, float speed) {
    if (!down) return 0;
    hold += Step(speed);
    return hold >= 100 ? 100.0f : hold;
}

float NextAnalog(float value, std::int32_t direction, float speed) {
    const float step = Step(speed);
    if (direction == 0) {
        if (value > 0) return value - step < 0 ? 0.0f : value - step;
        if (value < 0) return value + step > 0 ? 0.0f : value + step;
        return 0;
    }
    value += static_cast<float>(direction) * step;
    if (value >= 100) return 100;
    if (value <= -100) return -100;
    return value;
}

void Put(std::int32_t* out, std::int32_t value) {
    if (out != nullptr) *out = value;
}

}  // namespace

void InitJoystick() {
    platform::JoyConfigChanged();
    CalibrateJoystick();
    JoyRecords.fill(JoyRecord{});
}

void CalibrateJoystick() {
    for (std::int32_t joy = 0; joy < kJoystickCount; ++joy) {
        platform::JoystickReading reading;
        platform::JoyGetPos(joy, reading);
        Calibrate(joy, reading);
    }
}

void ResetJoyRepeat() {
    for (JoyRecord& record : JoyRecords) {
        record.analogX = record.analogY = 0;
        record.buttonHold.fill(0);
    }
}

void SetJoySpeed(std::int32_t joy, float axisSpeed, float buttonSpeed) {
    const auto usable = [](float speed) { return std::isfinite(speed) && speed >= 0; };
    if (!ValidJoy(joy) || !usable(axisSpeed) || !usable(buttonSpeed)) return;
    Record(joy).axisSpeed = axisSpeed;
    Record(joy).buttonSpeed = buttonSpeed;
}

void GetJoyCentre(std::int32_t joy, std::int32_t* x, std::int32_t* y) {
    const JoyCalibration none;
    const JoyCalibration& calibration =
        ValidJoy(joy) ? JoyCalibrations[static_cast<std::size_t>(joy)] : none;
    Put(x, calibration.centreX);
    Put(y, calibration.centreY);
}

std::int32_t JoyButton(std::int32_t joy, std::int32_t button) {
    platform::JoystickReading reading;
    if (!ValidJoy(joy) || !ValidButton(button) || !Query(joy, reading)) return 0;
    return Pressed(reading, button) ? 1 : 0;
}

void JoyButtons(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> pressed) {
    platform::JoystickReading reading;
    const bool present = ValidJoy(joy) && Query(joy, reading);
    for (std::int32_t b = 1; b <= kJoyButtonCount; ++b) {
        pressed[static_cast<std::size_t>(b - 1)] = present && Pressed(reading, b) ? 1 : 0;
    }
}

std::int32_t JoyButtonState(std::int32_t joy, std::int32_t button) {
    platform::JoystickReading reading;
    if (!ValidJoy(joy) || !ValidButton(button) || !Query(joy, reading)) return 0;
    std::int32_t& state = Record(joy).buttonState[static_cast<std::size_t>(button - 1)];
    state = NextPressState(state, Pressed(reading, button));
    return state;
}

void JoyButtonStates(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> states) {
    platform::JoystickReading reading;
    const bool present = ValidJoy(joy) && Query(joy, reading);
    for (std::int32_t b = 1; b <= kJoyButtonCount; ++b) {
        const auto i = static_cast<std::size_t>(b - 1);
        if (!present) {
            states[i] = 0;
            continue;
        }
        std::int32_t& state = Record(joy).buttonState[i];
        state = NextPressState(state, Pressed(reading, b));
        states[i] = state;
    }
}

std::int32_t JoyButtonHold(std::int32_t joy, std::int32_t button) {
    if (!ValidJoy(joy) || !ValidButton(button)) return 0;
    JoyRecord& record = Record(joy);
    float& hold = record.buttonHold[static_cast<std::size_t>(button - 1)];
    // Without a joystick the button reads as up, so the hold drops to 0 like a release.
    hold = NextHold(hold, JoyButton(joy, button) == 1, record.buttonSpeed);
    return static_cast<std::int32_t>(hold);
}

void JoyButtonsHold(std::int32_t joy, std::span<std::int32_t, kJoyButtonCount> holds) {
    platform::JoystickReading reading;
    const bool present = ValidJoy(joy) && Query(joy, reading);
    for (std::int32_t b = 1; b <= kJoyButtonCount; ++b) {
        const auto i = static_cast<std::size_t>(b - 1);
        if (!present) {
            holds[i] = 0;
            continue;
        }
        JoyRecord& record = Record(joy);
        record.buttonHold[i] =
            NextHold(record.buttonHold[i], Pressed(reading, b), record.buttonSpeed);
        holds[i] = static_cast<std::int32_t>(record.buttonHold[i]);
    }
}

void JoyPosition(std::int32_t joy, std::int32_t* x, std::int32_t* y) {
    platform::JoystickReading reading;
    const bool present = ValidJoy(joy) && Query(joy, reading);
    Put(x, present ? static_cast<std::int32_t>(reading.x) : 0);
    Put(y, present ? static_cast<std::int32_t>(reading.y) : 0);
}

void JoyDirection(std::int32_t joy, std::int32_t* dx, std::int32_t* dy) {
    platform::JoystickReading reading;
    if (!ValidJoy(joy) || !Query(joy, reading)) {
        Put(dx, 0);
        Put(dy, 0);
        return;
    }
    const JoyCalibration& calibration = JoyCalibrations[static_cast<std::size_t>(joy)];
    Put(dx, AxisDirection(reading.x, calibration.centreX));
    Put(dy, AxisDirection(reading.y, calibration.centreY));
}

std::int32_t JoyNumpad(std::int32_t joy) {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    JoyDirection(joy, &dx, &dy);
    return 5 + dx - 3 * dy;
}

void JoyAnalog(std::int32_t joy, std::int32_t* x, std::int32_t* y) {
    platform::JoystickReading reading;
    if (!ValidJoy(joy) || !Query(joy, reading)) {
        Put(x, 0);
        Put(y, 0);
        return;
    }
    const JoyCalibration& calibration = JoyCalibrations[static_cast<std::size_t>(joy)];
    JoyRecord& record = Record(joy);
    record.analogX =
        NextAnalog(record.analogX, AxisDirection(reading.x, calibration.centreX), record.axisSpeed);
    record.analogY =
        NextAnalog(record.analogY, AxisDirection(reading.y, calibration.centreY), record.axisSpeed);
    Put(x, static_cast<std::int32_t>(record.analogX));
    Put(y, static_cast<std::int32_t>(record.analogY));
}

}  // namespace elSystem
