// The player: the greeting on the desktop.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/player_options.h"
#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/sdl/sdl_host_factory.h"
#include "platform/window.h"
#include "show/greeting_program.h"

#ifndef GREETING_VERSION
#define GREETING_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    const app::PlayerCommand command =
        app::ParsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!command.error.empty()) {
        std::fprintf(stderr, "greeting: %s (see --help)\n", command.error.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(app::PlayerUsage(), stdout);
        return 0;
    }
    if (command.version) {
        std::printf("greeting %s\n", GREETING_VERSION);
        return 0;
    }
    std::string whyNot;
    auto host = platform::CreateSdlHost(command.host, &whyNot);
    if (!host) {
        std::fprintf(stderr, "greeting: %s\n", whyNot.c_str());
        return 1;
    }
    platform::InstallHost(std::move(host));
    elSystem::StaticStartup();
    app::UseShow(show::GreetingProgram());
    // The command line belongs to the host; the greeting is given none, as it reads none.
    const int result = app::WinMain(platform::SW_SHOWNORMAL, "");
    app::ResetProgramState();
    platform::InstallHost(nullptr);
    return result;
}
