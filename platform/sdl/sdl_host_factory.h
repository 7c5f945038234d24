// Making the desktop host, without SDL's headers: the player sets its options here.
#pragma once

#include <memory>
#include <string>

#include "platform/host.h"

namespace platform {

struct SdlHostOptions {
    bool windowed = false;
    bool mute = false;
};

// The host for a real display, or null with the reason in *whyNot.
std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string* whyNot);

}  // namespace platform
