// The library's input interface: variables the window procedure fills and scenes and library
// routines read during the next pass. All zero at start unless noted.
#pragma once

#include <cstdint>

#include "platform/rect.h"

namespace elSystem {

extern std::int32_t MouseX, MouseY;
extern std::int32_t PrevMouseX, PrevMouseY;
extern std::int32_t MouseDeltaX, MouseDeltaY;
extern std::int32_t LeftHeld, RightHeld;
extern std::int32_t LeftClicked, RightClicked;
extern std::int32_t ButtonHeld;  // 1 left, 2 right: the last pressed button while held
extern std::int32_t LastButton;

extern std::int32_t KeyHeld;
extern std::int32_t LastKey;
extern std::int32_t ScrollKey;
extern std::int32_t ShiftToggle;
extern std::int32_t CountedKey, CountedKeyPresses;

extern std::int32_t InputSuspended;
extern std::int32_t SuspendedKey;
extern std::int32_t SuspendedClick;

extern std::int32_t ClientLeft, ClientTop;
extern platform::Rect PresentRect;
extern std::int32_t CursorVisible;  // initial 1
extern std::int32_t CursorClipMode;
extern std::int32_t MessageBoxOpen;
extern std::int32_t CloseState;  // 0 running, 1 close seen, 2 shut down
extern std::int32_t SysKeysPass;

extern std::int32_t BlinkOn;  // initial 1

void SuspendInput();
void ResumeInput();

// Back to the values at program start.
void ResetInputState();

}  // namespace elSystem
