#include "platform/sdl/sdl_keys.h"

#include <array>
#include <utility>

namespace platform::sdl {
namespace {

// Keys whose code is not simply their letter or digit. Several of them (Delete, the arrows,
// Page Up) have virtual-key codes that equal the ASCII codes of punctuation, which is why
// nothing here is derived from the character a key types.
constexpr std::array<std::pair<SDL_Keycode, std::uint32_t>, 66> kKeys{{
    {SDLK_BACKSPACE, 0x08},    {SDLK_TAB, 0x09},         {SDLK_RETURN, 0x0D},
    {SDLK_KP_ENTER, 0x0D},     {SDLK_LSHIFT, 0x10},      {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},       {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12},         {SDLK_PAUSE, 0x13},       {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, 0x1B},       {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},     {SDLK_END, 0x23},         {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},          {SDLK_RIGHT, 0x27},
    {SDLK_DOWN, 0x28},         {SDLK_INSERT, 0x2D},      {SDLK_DELETE, 0x2E},
    {SDLK_KP_0, 0x60},         {SDLK_KP_1, 0x61},        {SDLK_KP_2, 0x62},
    {SDLK_KP_3, 0x63},         {SDLK_KP_4, 0x64},        {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66},         {SDLK_KP_7, 0x67},        {SDLK_KP_8, 0x68},
    {SDLK_KP_9, 0x69},         {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},     {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_F1, 0x70},           {SDLK_F2, 0x71},          {SDLK_F3, 0x72},
    {SDLK_F4, 0x73},           {SDLK_F5, 0x74},          {SDLK_F6, 0x75},
    {SDLK_F7, 0x76},           {SDLK_F8, 0x77},          {SDLK_F9, 0x78},
    {SDLK_F10, 0x79},          {SDLK_F11, 0x7A},         {SDLK_F12, 0x7B},
    {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},  {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},       {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},       {SDLK_SLASH, 0xBF},       {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB},  {SDLK_BACKSLASH, 0xDC},   {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},        {SDLK_PRINTSCREEN, 0x2C}, {SDLK_APPLICATION, 0x5D},
}};

// Keys by their place on the keyboard, for presses whose key code says nothing: the codes of
// the US layout's punctuation, the ISO and Japanese keyboards' extra keys, the system keys.
constexpr std::array<std::pair<SDL_Scancode, std::uint32_t>, 23> kPlaces{{
    {SDL_SCANCODE_MINUS, 0xBD},          {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_BACKSLASH, 0xDC},      {SDL_SCANCODE_NONUSHASH, 0xDE},
    {SDL_SCANCODE_SEMICOLON, 0xBA},      {SDL_SCANCODE_APOSTROPHE, 0xDE},
    {SDL_SCANCODE_GRAVE, 0xC0},          {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_PERIOD, 0xBE},         {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2}, {SDL_SCANCODE_INTERNATIONAL1, 0xE2},
    {SDL_SCANCODE_INTERNATIONAL2, 0xF2}, {SDL_SCANCODE_INTERNATIONAL3, 0xDC},
    {SDL_SCANCODE_INTERNATIONAL4, 0x1C}, {SDL_SCANCODE_INTERNATIONAL5, 0x1D},
    {SDL_SCANCODE_LANG5, 0xF3},          {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},           {SDL_SCANCODE_LANG1, 0x15},
    {SDL_SCANCODE_LANG2, 0x19},
}};

}  // namespace

std::uint32_t VirtualKeyFor(SDL_Keycode key, SDL_Scancode scancode) {
    // The digit row gives its digits whatever it types (symbols or accented letters).
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return static_cast<std::uint32_t>('1' + (scancode - SDL_SCANCODE_1));
    }
    if (scancode == SDL_SCANCODE_0) return '0';
    if (const std::uint32_t code = VirtualKeyFor(key); code != 0) return code;
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return static_cast<std::uint32_t>('A' + (scancode - SDL_SCANCODE_A));
    }
    for (const auto& [place, virtualKey] : kPlaces) {
        if (place == scancode) return virtualKey;
    }
    return 0;
}

std::uint32_t VirtualKeyFor(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    for (const auto& [sdlKey, virtualKey] : kKeys) {
        if (sdlKey == key) return virtualKey;
    }
    return 0;
}

bool AnyKeyDownFor(std::uint32_t virtualKey, const Uint8* keys, int count) {
    if (keys == nullptr || virtualKey == 0) return false;
    for (int scancode = 0; scancode < count; ++scancode) {
        if (keys[scancode] == 0) continue;
        const auto place = static_cast<SDL_Scancode>(scancode);
        if (VirtualKeyFor(SDL_GetKeyFromScancode(place), place) == virtualKey) return true;
    }
    return false;
}

}  // namespace platform::sdl
