#include "el/draw/cursor.h"

#include "el/draw/screen.h"
#include "el/system/build_settings.h"
#include "el/system/input_state.h"
#include "platform/window.h"

namespace elDraw {

int ClipCursorTo(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const platform::Rect area{left, top, right, bottom};
    const bool result = platform::ClipCursor(&area);
    CursorConfined = 1;
    return result ? 1 : 0;
}

int ConfineCursor() {
    if (elSystem::FullScreen == 1) return ClipCursorTo(0, 0, ScreenWidth, ScreenHeight);
    return ClipCursorTo(elSystem::ClientLeft, elSystem::ClientTop,
                        elSystem::ClientLeft + ScreenWidth, elSystem::ClientTop + ScreenHeight);
}

int ReleaseCursor() {
    const bool result = platform::ClipCursor(nullptr);
    CursorConfined = 0;
    return result ? 1 : 0;
}

int IsCursorConfined() {
    return CursorConfined;
}

}  // namespace elDraw
