// The player's command line: options for the host, never read by the greeting itself.
#pragma once

#include <string>
#include <vector>

#include "platform/sdl/sdl_host_factory.h"
#include "show/show_program.h"

namespace app {

struct PlayerOptions {
    platform::SdlHostOptions host;
    bool help = false;
    bool version = false;
    std::string timelinePath;  // one CSV row per pass, as the renderer writes it
    std::string error;         // empty when the command line was understood
};

PlayerOptions ParsePlayerOptions(const std::vector<std::string>& args);
std::string PlayerUsage(const show::ShowProgram& program);

}  // namespace app
