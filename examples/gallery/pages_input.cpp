// Input: the keys' press states, the pointer, the date and time, and both joysticks, live.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "el/draw/fills.h"
#include "el/effects/pixel_format.h"
#include "el/system/input_state.h"
#include "el/system/joystick.h"
#include "el/system/key_state.h"
#include "el/system/system_queries.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/gallery_state.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;
using namespace elSystem;

struct KeyBox {
    std::int32_t virtualKey;
    const char* label;
};
constexpr std::array<KeyBox, 8> kKeys{{{0x25, "LEFT"},
                                       {0x26, "UP"},
                                       {0x27, "RIGHT"},
                                       {0x28, "DOWN"},
                                       {0x20, "SPACE"},
                                       {0x0D, "ENTER"},
                                       {'Z', "Z"},
                                       {'X', "X"}}};
constexpr std::int32_t kSpace = 0x20;
constexpr std::int32_t kEnter = 0x0D;
constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// A colour of 5-bit channels in the back surface's layout.
std::uint32_t Colour(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    const PixelFormatValues& f = PixelFormat;
    return (r << f.RedShift5) | (g << f.GreenShift5) | (b << f.BlueShift5);
}

// Up, just pressed, just released, held.
std::uint32_t StateColour(std::int32_t state) {
    switch (state) {
        case 1:
            return Colour(31, 31, 31);
        case 2:
            return Colour(31, 4, 4);
        case 3:
            return Colour(4, 28, 4);
        default:
            return Colour(6, 6, 8);
    }
}

std::string Text(const char* pattern, int a, int b = 0, int c = 0) {
    char text[80];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string KeyName(std::int32_t code) {
    if (code == kLeftButtonCode) return "left button";
    if (code == kRightButtonCode) return "right button";
    for (const KeyBox& key : kKeys) {
        if (key.virtualKey == code) return key.label;
    }
    return code == 0 ? "-" : Text("key %d", code);
}

void DrawKeys(GalleryState& state) {
    DrawText(16, 40, "Keys (KeyState)");
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        KeyState(kKeys[i].virtualKey, &state.keyStates[i]);
        const int x = 16 + static_cast<int>(i % 4) * 74;
        const int y = 64 + static_cast<int>(i / 4) * 32;
        FillRect(x, y, x + 68, y + 26, StateColour(state.keyStates[i]));
        DrawText(x + 4, y + 4, kKeys[i].label);
    }
    if (const std::int32_t code = PollKeyRelease(kEnter, kSpace, kLeftButtonCode, kRightButtonCode);
        code != 0) {
        state.lastReleased = code;
    }
    DrawText(16, 136, "released: " + KeyName(state.lastReleased));
    DrawText(16, 158, Text("space released %d times", GetWatchCount()));
    DrawText(16, 180, Text("last key %d, held %d", LastKey, KeyHeld));
}

void DrawPointer() {
    DrawText(16, 220, "Mouse");
    DrawText(16, 242, Text("at %d,%d", MouseX, MouseY));
    FillRect(16, 266, 76, 290, LeftHeld ? StateColour(3) : StateColour(0));
    DrawText(20, 270, "LEFT");
    FillRect(84, 266, 144, 290, RightHeld ? StateColour(3) : StateColour(0));
    DrawText(88, 270, "RIGHT");
}

void DrawClock() {
    std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char weekday[kWeekdayNameSize] = {};
    GetDate(&year, &month, &day, weekday);
    GetTime(&hour, &minute, &second);
    const char* name = "?";
    for (int d = 0; d < 7; ++d) {
        if (WeekdayName(d) == weekday) name = kWeekdays[static_cast<std::size_t>(d)];
    }
    DrawText(16, 420, "GetDate / GetTime");
    DrawText(16, 442,
             Text("%04d-%02d-%02d ", year, month, day) + name +
                 Text(" %02d:%02d:%02d", hour, minute, second));
}

void DrawJoystick(std::int32_t joy, int top) {
    std::int32_t centreX = 0, centreY = 0;
    GetJoyCentre(joy, &centreX, &centreY);
    std::int32_t x = 0, y = 0, dx = 0, dy = 0, analogX = 0, analogY = 0;
    JoyPosition(joy, &x, &y);
    JoyDirection(joy, &dx, &dy);
    JoyAnalog(joy, &analogX, &analogY);
    std::array<std::int32_t, kJoyButtonCount> states{};
    std::array<std::int32_t, kJoyButtonCount> holds{};
    JoyButtonStates(joy, states);
    JoyButtonsHold(joy, holds);
    const bool present = centreX != 0 || centreY != 0;
    DrawText(330, top, Text("Joystick %d", joy) + (present ? "" : ": none"));

    // The stick's square, with the middle third marked where it reads as centred.
    constexpr int kSize = 96;
    const int left = 330;
    const int boxTop = top + 24;
    FillRect(left, boxTop, left + kSize, boxTop + kSize, Colour(4, 4, 6));
    FillRect(left + kSize / 4, boxTop + kSize / 4, left + kSize * 3 / 4, boxTop + kSize * 3 / 4,
             Colour(7, 7, 10));
    const int markX = left + static_cast<int>(static_cast<std::int64_t>(x) * (kSize - 1) / 65535);
    const int markY = boxTop + static_cast<int>(static_cast<std::int64_t>(y) * (kSize - 1) / 65535);
    if (present) FillRect(markX - 3, markY - 3, markX + 4, markY + 4, Colour(31, 31, 0));

    DrawText(440, top + 24, Text("pos %d,%d", x, y));
    DrawText(440, top + 46, Text("dir %d,%d pad %d", dx, dy, JoyNumpad(joy)));
    DrawText(440, top + 68, Text("analog %d,%d", analogX, analogY));
    // The analog values as bars from the middle, 100 = 80 pixels.
    FillRect(520, top + 92, 521, top + 112, Colour(16, 16, 16));
    const int barX = analogX * 80 / 100;
    FillRect(barX < 0 ? 520 + barX : 521, top + 92, barX < 0 ? 520 : 521 + barX, top + 100,
             Colour(0, 20, 31));
    const int barY = analogY * 80 / 100;
    FillRect(barY < 0 ? 520 + barY : 521, top + 104, barY < 0 ? 520 : 521 + barY, top + 112,
             Colour(31, 16, 0));

    for (int b = 0; b < kJoyButtonCount; ++b) {
        const int bx = 440 + b * 46;
        const int by = top + 124;
        FillRect(bx, by, bx + 40, by + 24, StateColour(states[static_cast<std::size_t>(b)]));
        DrawText(bx + 10, by + 3, Text("%d", b + 1));
        // The hold value as a bar under the button, 100 = 40 pixels.
        FillRect(bx, by + 28, bx + holds[static_cast<std::size_t>(b)] * 40 / 100, by + 34,
                 Colour(20, 31, 20));
    }
}

void InputPage() {
    GalleryState& state = State();
    if (state.pageTicks == 0) {
        state.keyStates.fill(0);
        state.lastReleased = 0;
        WatchKey(kSpace);
        for (std::int32_t joy = 0; joy < kJoystickCount; ++joy) SetJoySpeed(joy, 200.0f, 50.0f);
        ResetJoyRepeat();
    }
    DrawKeys(state);
    DrawPointer();
    DrawClock();
    DrawJoystick(0, 40);
    DrawJoystick(1, 250);
    // The pointer last, over everything: a cross where the program sees it, cut at the edges
    // (a fill must lie on the picture).
    const int x = std::min(MouseX, 639);
    const int y = std::min(MouseY, 479);
    FillRect(std::max(x - 6, 0), y, std::min(x + 7, 640), y + 1, Colour(31, 31, 31));
    FillRect(x, std::max(y - 6, 0), x + 1, std::min(y + 7, 480), Colour(31, 31, 31));
    DrawCaption("KeyState / PollKeyRelease / Joy*");
}

constexpr std::array<Page, 1> kPages{{{&InputPage}}};

}  // namespace

std::span<const Page> InputPages() {
    return kPages;
}

}  // namespace gallery
