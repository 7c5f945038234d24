// What SDL does not tell about an X11 window: its real size, and the end of the display.
#pragma once

#include <SDL.h>

namespace platform::sdl {

// Replaces Xlib's handling of a lost display connection (the X server ended): one line on
// standard error and the process ends at once with `status`, running no exit handlers, since
// anything that still talks to the dead connection (SDL's shutdown among them) never returns.
// False when the video driver is not X11.
bool EndOnDisplayLoss(int status);

// The window's size as the X server has it. Without a window manager a full-screen request is
// never carried out and SDL keeps believing in the desktop's size. False when not on X11.
bool X11WindowSize(SDL_Window* window, int& width, int& height);

}  // namespace platform::sdl
