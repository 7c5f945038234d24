// The library's input interface: variables the window procedure fills and scenes and library
// routines read during the next pass. All zero at start unless noted.
#pragma once

#include <cstdint>

#include "platform/rect.h"

namespace elSystem {

extern std::int32_t& MouseX;
extern std::int32_t& MouseY;
extern std::int32_t& PrevMouseX;
extern std::int32_t& PrevMouseY;
extern std::int32_t& MouseDeltaX;
extern std::int32_t& MouseDeltaY;
extern std::int32_t& LeftHeld;
extern std::int32_t& RightHeld;
extern std::int32_t& LeftClicked;
extern std::int32_t& RightClicked;
extern std::int32_t& ButtonHeld;  // 1 left, 2 right: the last pressed button while held
extern std::int32_t& LastButton;

extern std::int32_t& KeyHeld;
extern std::int32_t& LastKey;
extern std::int32_t& ScrollKey;
extern std::int32_t& ShiftToggle;
extern std::int32_t& CountedKey;
extern std::int32_t& CountedKeyPresses;

extern std::int32_t& InputSuspended;
extern std::int32_t& SuspendedKey;
extern std::int32_t& SuspendedClick;

extern std::int32_t& ClientLeft;
extern std::int32_t& ClientTop;
extern platform::Rect& PresentRect;
extern std::int32_t& CursorVisible;  // initial 1
extern std::int32_t& CursorClipMode;
extern std::int32_t& MessageBoxOpen;
extern std::int32_t& CloseState;  // 0 running, 1 close seen, 2 shut down
extern std::int32_t& SysKeysPass;

extern std::int32_t& BlinkOn;  // initial 1

void SuspendInput();
void ResumeInput();

}  // namespace elSystem
