// Joystick start state. Nothing in this program reads a joystick yet; the set-up step is kept
// so that the screen set-up runs in its order.
#pragma once

namespace elSystem {

void InitJoystick();

}  // namespace elSystem
