#include "el/system/input_state.h"

namespace elSystem {

std::int32_t MouseX, MouseY;
std::int32_t PrevMouseX, PrevMouseY;
std::int32_t MouseDeltaX, MouseDeltaY;
std::int32_t LeftHeld, RightHeld;
std::int32_t LeftClicked, RightClicked;
std::int32_t ButtonHeld;
std::int32_t LastButton;
std::int32_t KeyHeld;
std::int32_t LastKey;
std::int32_t ScrollKey;
std::int32_t ShiftToggle;
std::int32_t CountedKey, CountedKeyPresses;
std::int32_t InputSuspended;
std::int32_t SuspendedKey;
std::int32_t SuspendedClick;
std::int32_t ClientLeft, ClientTop;
platform::Rect PresentRect;
std::int32_t CursorVisible = 1;
std::int32_t CursorClipMode;
std::int32_t MessageBoxOpen;
std::int32_t CloseState;
std::int32_t SysKeysPass;
std::int32_t BlinkOn = 1;

void SuspendInput() {
    InputSuspended = 1;
}

void ResumeInput() {
    InputSuspended = 0;
    KeyHeld = 0;
}

void ResetInputState() {
    MouseX = MouseY = PrevMouseX = PrevMouseY = MouseDeltaX = MouseDeltaY = 0;
    LeftHeld = RightHeld = LeftClicked = RightClicked = ButtonHeld = LastButton = 0;
    KeyHeld = LastKey = ScrollKey = ShiftToggle = CountedKey = CountedKeyPresses = 0;
    InputSuspended = SuspendedKey = SuspendedClick = 0;
    ClientLeft = ClientTop = 0;
    PresentRect = {};
    CursorVisible = 1;
    CursorClipMode = 0;
    MessageBoxOpen = 0;
    CloseState = 0;
    SysKeysPass = 0;
    BlinkOn = 1;
}

}  // namespace elSystem
