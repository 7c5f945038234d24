#include "el/system/key_state.h"

#include "el/draw/cursor.h"
#include "el/draw/display_state.h"
#include "el/system/input_state.h"
#include "el/system/press_state.h"
#include "platform/input.h"

namespace elSystem {
namespace {

bool IsButton(std::int32_t code) {
    return code == kLeftButtonCode || code == kRightButtonCode;
}

}  // namespace

void KeyState(std::int32_t virtualKey, std::int32_t* state) {
    if (state == nullptr) return;
    const bool down = virtualKey > 0 && platform::IsKeyDown(static_cast<std::uint32_t>(virtualKey));
    *state = NextPressState(*state, down);
}

std::int32_t PollKeyRelease(std::span<const std::int32_t> codes) {
    if (PressReleaseState == 0 && KeyHeld == 0 && ButtonHeld == 0) PressReleaseState = 1;
    if (PressReleaseState == 1) {
        for (const std::int32_t code : codes) {
            if (code == 0) break;
            if (code == LastKey || code == LastButton) {
                PressReleaseCode = code;
                PressReleaseState = 2;
                break;
            }
        }
    }
    if (PressReleaseState == 2) {
        const std::int32_t code = PressReleaseCode;
        const bool button = IsButton(code);
        // Something else was pressed since: start over.
        if ((button ? LastButton : LastKey) != code) PressReleaseState = 0;
        if ((button ? ButtonHeld : KeyHeld) == 0) {
            PressReleaseState = 0;
            LastKey = 0;
            LastButton = 0;
            return code;
        }
    }
    return 0;
}

void WatchKey(std::int32_t virtualKey) {
    CountedKey = virtualKey;
    CountedKeyPresses = 0;
}

std::int32_t GetWatchCount() {
    return CountedKeyPresses;
}

void SetMousePos(std::int32_t x, std::int32_t y) {
    // The program's client area is the picture, wherever the player shows it.
    platform::SetCursorPos(x, y);
}

std::int32_t SetCursorClipMode(std::int32_t mode) {
    if (mode != 0 && mode != 1) return 0;
    CursorClipMode = mode;
    if (mode == 0 && elDraw::IsCursorConfined() == 1) elDraw::ReleaseCursor();
    if (mode == 1 && elDraw::IsDisplayOpen()) elDraw::ConfineCursor();
    return 1;
}

}  // namespace elSystem
