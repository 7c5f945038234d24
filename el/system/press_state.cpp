#include "el/system/press_state.h"

#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"
#include "el/system/transition_counter.h"

namespace elSystem {

std::int32_t NextPressState(std::int32_t state, bool down) {
    std::int32_t next = kPressUp;
    if (down) {
        next = state == kPressUp ? kPressJustDown : kPressHeld;
    } else if (state == kPressJustDown || state == kPressHeld) {
        next = kPressJustUp;
    }
    if (TransitionCounter != 0 || ScrollPageShown == 1 || InputSuspended == 1) next = kPressUp;
    return next;
}

}  // namespace elSystem
