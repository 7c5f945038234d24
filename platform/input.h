// The keyboard, pointer and joystick services the library asks of the machine, through the
// installed host. Without a host every key is up and there is no joystick.
#pragma once

#include <cstdint>

#include "platform/host.h"

namespace platform {

// Whether the key (virtual-key code) or mouse button (1 left, 2 right) is down just now.
bool IsKeyDown(std::uint32_t virtualKey);
// Puts the pointer over a pixel of the picture.
void SetCursorPos(int pictureX, int pictureY);

// Looks for joysticks anew.
void JoyConfigChanged();
// Joystick `slot` (0 or 1); false (reading.present false) for no joystick or another slot.
bool JoyGetPos(int slot, JoystickReading& reading);

}  // namespace platform
