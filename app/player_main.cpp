// The player: the greeting in a window on the desktop.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/sdl/sdl_host_factory.h"
#include "platform/window.h"

namespace {

void PrintHelp() {
    std::printf(
        "Usage: greeting [--window] [--help]\n"
        "Plays the birthday greeting full screen; Escape ends it.\n"
        "  --window   play in a window instead of full screen\n"
        "  --help     show this help\n");
}

}  // namespace

int main(int argc, char** argv) {
    platform::SdlHostOptions options;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--window") == 0) {
            options.windowed = true;
            continue;
        }
        std::fprintf(stderr, "greeting: unknown option '%s' (see --help)\n", argv[i]);
        return 2;
    }
    std::string whyNot;
    auto host = platform::CreateSdlHost(options, &whyNot);
    if (!host) {
        std::fprintf(stderr, "greeting: %s\n", whyNot.c_str());
        return 1;
    }
    platform::InstallHost(std::move(host));
    elSystem::StaticStartup();
    const int result = app::WinMain(platform::SW_SHOWNORMAL, commandLine.c_str());
    platform::InstallHost(nullptr);
    return result;
}
