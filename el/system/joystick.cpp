#include "el/system/joystick.h"

namespace elSystem {

void InitJoystick() {}

}  // namespace elSystem
