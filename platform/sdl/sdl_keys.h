// Translation of SDL key codes into the virtual-key codes the library knows.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform::sdl {

// The virtual-key code of a key, or 0 for a key the library has no code for.
std::uint32_t VirtualKeyFor(SDL_Keycode key);

}  // namespace platform::sdl
