#include "el/system/input_state.h"

namespace elSystem {

void SuspendInput() {
    InputSuspended = 1;
}

void ResumeInput() {
    InputSuspended = 0;
    KeyHeld = 0;
}

}  // namespace elSystem
