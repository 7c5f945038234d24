// The window-system calls the shell and the library make on the program's one window.
#pragma once

#include <string_view>

#include "platform/host.h"
#include "platform/rect.h"

namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;

bool CreateMainWindow(const WindowDesc& desc);
void ShowWindow(int showCommand);
// Sends WM_DESTROY to the window procedure, then takes the window off the screen.
void DestroyWindow();
// Minimises the window.
void CloseWindow();
bool IsWindowAlive();

// Shows or hides the cursor over the window.
void ShowCursor(bool show);
// Confines the cursor to rect (screen coordinates), or frees it when rect is null.
bool ClipCursor(const Rect* rect);

void MessageBeep();
int MessageBox(std::string_view text, std::string_view caption, unsigned style);

}  // namespace platform
