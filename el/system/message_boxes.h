// The library's message boxes, visible over the full-screen picture, and the start-up check of
// the desktop's colour depth that may ask to switch to full screen.
#pragma once

#include <cstddef>
#include <cstdint>

namespace elSystem {

// Room for a formatted text: what 256 bytes held in the two-byte encoding the texts were
// written in, now that a Japanese character takes three bytes of UTF-8.
inline constexpr std::size_t kMessageTextSize = 384;

// A box captioned "メッセージ" with the formatted text and an OK button. Longer texts are cut
// at a character boundary; a null format shows nothing.
[[gnu::format(printf, 1, 2)]] void MessageOk(const char* format, ...);
// The same with Yes and No: 1 for Yes, 0 for No, for a box that could not be shown and for a
// null format.
[[gnu::format(printf, 1, 2)]] std::int32_t MessageYesNo(const char* format, ...);

// 1 when the program runs in a window rather than full screen (never, in this build).
std::int32_t IsWindowed();

// Run at start-up before the screen set-up: 1 to go on, 0 when the program is shutting down
// because the desktop has fewer colours than the program needs and the user did not choose
// full screen. settingsName: "" to end without asking, "*" to ask for full screen for this
// run, or a settings file that keeps a 1 when the user chooses full screen.
//
// This build always runs full screen (FullScreen is fixed at 1, and the desktop is never
// shallower than 24 bits), so the check ends at once with 1.
std::int32_t CheckColorDepth(const char* settingsName);

// The check for a given setting and desktop, as a build with a window would run it. Returns
// as CheckColorDepth does; switchToFullScreen becomes true when the user chose full screen.
struct ColorDepthSituation {
    std::int32_t fullScreen = 1;
    std::int32_t displayDepth = 16;  // what the program needs
    std::int32_t desktopDepth = 32;
};
std::int32_t CheckColorDepthFor(const char* settingsName, const ColorDepthSituation& situation,
                                bool& switchToFullScreen);

}  // namespace elSystem
