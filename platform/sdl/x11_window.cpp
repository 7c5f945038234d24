#include "platform/sdl/x11_window.h"

#include <SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace platform::sdl {
namespace {

using IoErrorHandler = int (*)(Display*);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
using GetWindowAttributes = Status (*)(Display*, Window, XWindowAttributes*);

int exitStatus = 1;

// SDL loads Xlib itself; take the functions from the copy it loaded rather than linking a
// second idea of the library into the program.
void* Xlib(const char* name) {
    static void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    return library == nullptr ? nullptr : dlsym(library, name);
}

bool OnX11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::string_view(driver) == "x11";
}

[[noreturn]] int DisplayLost(Display*) {
    // The program's own files (a timeline being written) keep what they have.
    std::fflush(nullptr);
    static const char message[] = ": the display has gone away; ending\n";
    const char* program = program_invocation_short_name;
    ssize_t ignored = write(STDERR_FILENO, program, std::strlen(program));
    ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    _exit(exitStatus);
}

}  // namespace

bool EndOnDisplayLoss(int status) {
    if (!OnX11()) return false;
    const auto set = reinterpret_cast<SetIoErrorHandler>(Xlib("XSetIOErrorHandler"));
    if (set == nullptr) return false;
    exitStatus = status;
    set(&DisplayLost);
    return true;
}

bool X11WindowSize(SDL_Window* window, int& width, int& height) {
    if (window == nullptr || !OnX11()) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    const auto get = reinterpret_cast<GetWindowAttributes>(Xlib("XGetWindowAttributes"));
    if (get == nullptr) return false;
    XWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    if (get(info.info.x11.display, info.info.x11.window, &attributes) == 0) return false;
    if (attributes.width <= 0 || attributes.height <= 0) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

}  // namespace platform::sdl
