// The window-message queue of the program's one window, with the message and virtual-key
// codes the shell and the library know. Hosts translate their events into these messages.
#pragma once

#include <cstdint>

namespace platform {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

struct Msg {
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// Message codes.
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_MOVE = 0x0003;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr std::uint32_t WM_SETCURSOR = 0x0020;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr std::uint32_t MM_MCINOTIFY = 953;
inline constexpr WParam MCI_NOTIFY_SUCCESSFUL = 1;

// Virtual-key codes used by the shell and the library.
inline constexpr WParam VK_BACK = 0x08;
inline constexpr WParam VK_TAB = 0x09;
inline constexpr WParam VK_RETURN = 0x0D;
inline constexpr WParam VK_SHIFT = 0x10;
inline constexpr WParam VK_CONTROL = 0x11;
inline constexpr WParam VK_MENU = 0x12;
inline constexpr WParam VK_PAUSE = 0x13;
inline constexpr WParam VK_ESCAPE = 0x1B;
inline constexpr WParam VK_SPACE = 0x20;
inline constexpr WParam VK_PRIOR = 0x21;
inline constexpr WParam VK_NEXT = 0x22;
inline constexpr WParam VK_END = 0x23;
inline constexpr WParam VK_HOME = 0x24;
inline constexpr WParam VK_LEFT = 0x25;
inline constexpr WParam VK_UP = 0x26;
inline constexpr WParam VK_RIGHT = 0x27;
inline constexpr WParam VK_DOWN = 0x28;
inline constexpr WParam VK_INSERT = 0x2D;
inline constexpr WParam VK_DELETE = 0x2E;
inline constexpr WParam VK_NUMPAD0 = 0x60;
inline constexpr WParam VK_MULTIPLY = 0x6A;
inline constexpr WParam VK_ADD = 0x6B;
inline constexpr WParam VK_SUBTRACT = 0x6D;
inline constexpr WParam VK_DECIMAL = 0x6E;
inline constexpr WParam VK_DIVIDE = 0x6F;
inline constexpr WParam VK_F1 = 0x70;
inline constexpr WParam VK_F10 = 0x79;
inline constexpr WParam VK_F12 = 0x7B;

// Packing of two 16-bit values into an lParam, as mouse and move messages carry them.
constexpr LParam MakeLParam(std::uint16_t low, std::uint16_t high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(high) << 16) | low);
}
constexpr std::uint16_t LowWord(LParam value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t HighWord(LParam value) {
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF);
}

using WindowProc = LResult (*)(std::uint32_t message, WParam wParam, LParam lParam);

// The one window's procedure; DispatchMessage and SendMessage call it.
void SetWindowProc(WindowProc proc);

// Safe from any thread, as a song's end is posted from the audio thread.
void PostMessage(std::uint32_t message, WParam wParam, LParam lParam);
void PostQuitMessage(int exitCode);
// Takes the next message, letting the host translate its pending events first.
bool PeekMessage(Msg& msg);
// Sleeps until a message can be taken.
void WaitMessage();
LResult DispatchMessage(const Msg& msg);
LResult SendMessage(std::uint32_t message, WParam wParam, LParam lParam);
// The default handling of the messages that reach it: nothing but a result of 0.
LResult DefWindowProc(std::uint32_t message, WParam wParam, LParam lParam);
bool HasPendingMessage();
// Empties the queue; every test starts from an empty one.
void ResetMessageQueue();

}  // namespace platform
