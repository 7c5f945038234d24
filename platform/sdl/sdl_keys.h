// Translation of SDL keys into the virtual-key codes the library knows.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform::sdl {

// The virtual-key code of a key code alone, or 0 for a key the library has no code for.
std::uint32_t VirtualKeyFor(SDL_Keycode key);

// The virtual-key code of a key press, as the original system gives it on any layout: the
// digit row is always '0'..'9', letters follow the layout where it types Latin letters, and
// keys whose character has no code of its own (accented letters, other scripts, symbols on
// the digit row) fall back to the code of the key in the same place on a US keyboard. 0 only
// for keys no keyboard layout gives a code.
std::uint32_t VirtualKeyFor(SDL_Keycode key, SDL_Scancode scancode);

// Whether any key down in SDL's keyboard state (one byte a scancode) gives the virtual key.
bool AnyKeyDownFor(std::uint32_t virtualKey, const Uint8* keys, int count);

}  // namespace platform::sdl
