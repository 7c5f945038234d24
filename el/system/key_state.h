// Keyboard and mouse helpers over the machine's key state and the input the window procedure
// records.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <span>

namespace elSystem {

// Codes 1 and 2 name the left and right mouse buttons wherever a key code is asked for.
inline constexpr std::int32_t kLeftButtonCode = 1;
inline constexpr std::int32_t kRightButtonCode = 2;

// The state of PollKeyRelease: 0 idle, 1 armed, 2 a listed key or button is down.
extern std::int32_t& PressReleaseState;
extern std::int32_t& PressReleaseCode;

// Once a frame per key: moves *state through the four press states (press_state.h) by whether
// the key is down now. A null state is left alone.
void KeyState(std::int32_t virtualKey, std::int32_t* state);

// Once a frame: the first listed key or button (codes 1 and 2) to have been pressed and then
// released, once, or 0. The list ends at its first 0 or at its end; the codes are those of
// the window procedure's LastKey and LastButton, which a success consumes.
std::int32_t PollKeyRelease(std::span<const std::int32_t> codes);
// The same with the codes as arguments, PollKeyRelease(13, 32, 0); the closing 0 may be left
// out.
template <std::integral... Codes>
std::int32_t PollKeyRelease(Codes... codes) {
    const std::array<std::int32_t, sizeof...(Codes) + 1> list{static_cast<std::int32_t>(codes)...,
                                                              0};
    return PollKeyRelease(std::span<const std::int32_t>(list));
}

// Starts counting the releases of a key; GetWatchCount gives the count since.
void WatchKey(std::int32_t virtualKey);
std::int32_t GetWatchCount();

// Puts the pointer over a point of the picture (clamped to it). The program is told of the move
// as of any other.
void SetMousePos(std::int32_t x, std::int32_t y);

// 1: the cursor may be kept on the picture and a right double-click toggles that; 0: never.
// Takes effect at once: switched off, a confined cursor is freed; switched on while the screen
// is open, it is confined. Other values are refused (returns 0).
std::int32_t SetCursorClipMode(std::int32_t mode);

}  // namespace elSystem
