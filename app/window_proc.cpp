#include <cstring>

#include "app/shell.h"
#include "el/draw/cursor.h"
#include "el/draw/screen.h"
#include "el/draw/shutdown.h"
#include "el/sound/midi_state.h"
#include "el/system/build_settings.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"
#include "platform/window.h"

namespace app {

using namespace platform;

void HandleKeyDown(std::int32_t key) {
    if (elSystem::ScrollPageShown == 0) {
        elSystem::KeyHeld = key;
        elSystem::LastKey = key;
    } else {
        elSystem::ScrollKey = key;
    }
    if (key == static_cast<std::int32_t>(VK_ESCAPE)) elDraw::Shutdown();
}

LResult MainWindowProc(std::uint32_t message, WParam wParam, LParam lParam) {
    using namespace elSystem;
    const auto key = static_cast<std::int32_t>(wParam);
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_MOVE:
            // Signed: a window pushed past the top-left screen edge has a negative origin.
            ClientLeft = static_cast<std::int16_t>(LowWord(lParam));
            ClientTop = static_cast<std::int16_t>(HighWord(lParam));
            PresentRect = {ClientLeft, ClientTop, ClientLeft + elDraw::ScreenWidth,
                           ClientTop + elDraw::ScreenHeight};
            if (CursorClipMode == 1) elDraw::ConfineCursor();
            break;
        case WM_CLOSE:
            if (CloseState == 0) CloseState = 1;
            if (CloseState < 2) elDraw::Shutdown();
            DestroyWindow();
            return 0;
        case WM_ACTIVATEAPP:
            if (wParam == 0) {
                AppActive = 0;
                if (CursorVisible == 0) {
                    ShowCursor(true);
                    CursorVisible = 1;
                }
                if (CursorClipMode == 1) elDraw::ReleaseCursor();
            } else {
                AppActive = 1;
                ResetFrameTimer();  // the time spent in the background is not counted
                if (CursorClipMode == 1) elDraw::ConfineCursor();
            }
            return 0;
        case WM_SETCURSOR:
            if (FullScreen == 1 && MessageBoxOpen == 0) {
                ShowCursor(false);
                return 1;
            }
            ShowCursor(CursorVisible == 1);
            break;
        case WM_KEYDOWN:
            if (InputSuspended) {
                SuspendedKey = key;
            } else {
                HandleKeyDown(key);
            }
            break;
        case WM_KEYUP:
            if (key == KeyHeld) KeyHeld = 0;
            if (key == ScrollKey) ScrollKey = 0;
            if (key == SuspendedKey) SuspendedKey = 0;
            if (key == static_cast<std::int32_t>(VK_SHIFT)) ShiftToggle = ShiftToggle ? 0 : 1;
            if (key == CountedKey) CountedKeyPresses += 1;
            break;
        case WM_SYSKEYDOWN:
            if (SysKeysPass != 1) return 0;  // Alt combinations and F10 do nothing
            break;
        case WM_MOUSEMOVE:
            // Unsigned: client coordinates are never taken as negative here.
            MouseX = LowWord(lParam);
            MouseY = HighWord(lParam);
            break;
        case WM_LBUTTONDOWN:
            if (InputSuspended) {
                SuspendedClick = 1;
            } else {
                LeftHeld = LeftClicked = ButtonHeld = LastButton = 1;
            }
            break;
        case WM_LBUTTONUP:
            LeftHeld = 0;
            if (ButtonHeld == 1) ButtonHeld = 0;
            SuspendedClick = 0;
            break;
        case WM_RBUTTONDOWN:
            if (!InputSuspended) {
                RightHeld = RightClicked = 1;
                ButtonHeld = LastButton = 2;
            }
            break;
        case WM_RBUTTONUP:
            RightHeld = 0;
            if (ButtonHeld == 2) ButtonHeld = 0;
            break;
        case WM_RBUTTONDBLCLK:
            if (CursorClipMode == 1) {
                if (elDraw::IsCursorConfined() == 1) {
                    elDraw::ReleaseCursor();
                } else {
                    elDraw::ConfineCursor();
                }
            }
            return 0;
        case MM_MCINOTIFY:
            if (wParam == MCI_NOTIFY_SUCCESSFUL && elSound::MidiOpen == 1 &&
                std::strncmp(elSound::MidiStatusMode(), "st", 2) == 0) {
                elSound::MidiNotify();
            }
            break;
        default:
            break;
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace app
