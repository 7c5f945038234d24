#include "platform/window.h"

#include "platform/messages.h"

namespace platform {

bool CreateMainWindow(const WindowDesc& desc) {
    return HasHost() && CurrentHost().CreateMainWindow(desc);
}

void ShowWindow(int showCommand) {
    if (HasHost()) CurrentHost().ShowMainWindow(showCommand);
}

void DestroyWindow() {
    if (!HasHost() || !CurrentHost().HasMainWindow()) return;
    SendMessage(WM_DESTROY, 0, 0);
    CurrentHost().DestroyMainWindow();
}

void CloseWindow() {
    if (HasHost()) CurrentHost().MinimizeMainWindow();
}

bool IsWindowAlive() {
    return HasHost() && CurrentHost().HasMainWindow();
}

void ShowCursor(bool show) {
    if (HasHost()) CurrentHost().SetCursorVisible(show);
}

bool ClipCursor(const Rect* rect) {
    if (!HasHost()) return false;
    if (rect == nullptr) return CurrentHost().ClipCursor(nullptr);
    const int bounds[4] = {rect->left, rect->top, rect->right, rect->bottom};
    return CurrentHost().ClipCursor(bounds);
}

void MessageBeep() {
    if (HasHost()) CurrentHost().Beep();
}

int MessageBox(std::string_view text, std::string_view caption, unsigned style) {
    return HasHost() ? CurrentHost().ShowMessageBox(caption, text, style) : UnansweredResult(style);
}

}  // namespace platform
