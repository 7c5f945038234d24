#include "platform/input.h"

namespace platform {

bool IsKeyDown(std::uint32_t virtualKey) {
    return HasHost() && CurrentHost().KeyDown(virtualKey);
}

void SetCursorPos(int pictureX, int pictureY) {
    if (HasHost()) CurrentHost().WarpPointer(pictureX, pictureY);
}

void JoyConfigChanged() {
    if (HasHost()) CurrentHost().RefreshJoysticks();
}

bool JoyGetPos(int slot, JoystickReading& reading) {
    reading = JoystickReading{};
    if (slot < 0 || slot >= kJoystickSlots || !HasHost()) return false;
    if (!CurrentHost().ReadJoystick(slot, reading)) {
        reading = JoystickReading{};
        return false;
    }
    return reading.present;
}

}  // namespace platform
