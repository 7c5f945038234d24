// The player's command line: options for the host, never read by the greeting itself.
#pragma once

#include <string>
#include <vector>

#include "platform/sdl/sdl_host_factory.h"

namespace app {

struct PlayerCommand {
    platform::SdlHostOptions host;
    bool help = false;
    bool version = false;
    std::string timelinePath;  // one CSV row per pass, as the renderer writes it
    std::string error;         // empty when the command line was understood
};

PlayerCommand ParsePlayerOptions(const std::vector<std::string>& args);
const char* PlayerUsage();

}  // namespace app
