#include "app/player_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/player_options.h"
#include "app/shell.h"
#include "app/timeline.h"
#include "el/system/frame_timing.h"
#include "platform/clock.h"
#include "platform/sdl/sdl_host_factory.h"
#include "platform/window.h"
#include "show/scene_state.h"

#ifndef GREETING_VERSION
#define GREETING_VERSION "unknown"
#endif

namespace app {

int PlayerCommand(int argc, char** argv, const show::ShowProgram& program) {
    const char* const name = program.name;
    const PlayerOptions command =
        ParsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!command.error.empty()) {
        std::fprintf(stderr, "%s: %s (see --help)\n", name, command.error.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(PlayerUsage(program).c_str(), stdout);
        return 0;
    }
    if (command.version) {
        std::printf("%s %s\n", name, GREETING_VERSION);
        return 0;
    }
    TimelineWriter timeline;
    if (!command.timelinePath.empty() && !timeline.Open(command.timelinePath)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", name, command.timelinePath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::string whyNot;
    platform::SdlHostOptions hostOptions = command.host;
    hostOptions.program = name;
    auto host = platform::CreateSdlHost(hostOptions, &whyNot);
    if (!host) {
        std::fprintf(stderr, "%s: %s\n", name, whyNot.c_str());
        return 1;
    }
    platform::InstallHost(std::move(host));
    elSystem::StaticStartup();
    UseShow(program);
    const std::uint32_t startMs = platform::timeGetTime();
    std::int32_t sceneAtStart = 0;  // outlives the loop that the hooks are called from
    if (!command.timelinePath.empty()) {
        // The renderer's columns, with the time on the real clock from the start.
        PassHooks hooks;
        hooks.beforePass = [&sceneAtStart](std::uint32_t) {
            sceneAtStart = show::SceneNumber;
            return true;
        };
        hooks.afterPass = [&](std::uint32_t pass) {
            timeline.Write(ShowTimelineRow(pass, elSystem::LastPassTime - startMs, sceneAtStart));
        };
        SetPassHooks(std::move(hooks));
    }
    // The command line belongs to the host; the show is given none, as it reads none.
    const int result = WinMain(platform::SW_SHOWNORMAL, "");
    ResetProgramState();
    platform::InstallHost(nullptr);
    if (!command.timelinePath.empty() && !timeline.Close()) {
        std::fprintf(stderr, "%s: writing %s failed\n", name, command.timelinePath.c_str());
        return 1;
    }
    return result;
}

}  // namespace app
