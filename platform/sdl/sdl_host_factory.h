// Making the desktop host, without SDL's headers: the player sets its options here.
#pragma once

#include <memory>
#include <string>

#include "platform/host.h"
#include "platform/sdl/viewport.h"

namespace platform {

struct SdlHostOptions {
    std::string program = "greeting";  // the program's name in messages and screenshot names
    bool windowed = false;             // start in a window instead of full screen
    int scale = 0;  // window size as a multiple of the picture; 0: the largest that fits
    sdl::ScaleFilter filter = sdl::ScaleFilter::kSharp;
    bool mute = false;
    int volume = 100;  // 0..100, applied to the mix on its way out
    std::string screenshotDir = "screenshots";
};

// The host for a real display, or null with the reason in *whyNot.
std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string* whyNot);

}  // namespace platform
