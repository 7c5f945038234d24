// The player: the greeting on the desktop.
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
#include "show/greeting_program.h"
#include "show/scene_state.h"

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
    app::TimelineWriter timeline;
    if (!command.timelinePath.empty() && !timeline.Open(command.timelinePath)) {
        std::fprintf(stderr, "greeting: cannot write %s: %s\n", command.timelinePath.c_str(),
                     std::strerror(errno));
        return 1;
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
    const std::uint32_t startMs = platform::timeGetTime();
    std::int32_t sceneAtStart = 0;  // outlives the loop that the hooks are called from
    if (!command.timelinePath.empty()) {
        // The renderer's columns, with the time on the real clock from the start.
        app::PassHooks hooks;
        hooks.beforePass = [&sceneAtStart](std::uint32_t) {
            sceneAtStart = show::SceneNumber;
            return true;
        };
        hooks.afterPass = [&](std::uint32_t pass) {
            timeline.Write(
                app::ShowTimelineRow(pass, elSystem::LastPassTime - startMs, sceneAtStart));
        };
        app::SetPassHooks(std::move(hooks));
    }
    // The command line belongs to the host; the greeting is given none, as it reads none.
    const int result = app::WinMain(platform::SW_SHOWNORMAL, "");
    app::ResetProgramState();
    platform::InstallHost(nullptr);
    if (!command.timelinePath.empty() && !timeline.Close()) {
        std::fprintf(stderr, "greeting: writing %s failed\n", command.timelinePath.c_str());
        return 1;
    }
    return result;
}
