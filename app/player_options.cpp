#include "app/player_options.h"

#include "app/command_line.h"

namespace app {

std::string PlayerUsage(const show::ShowProgram& program) {
    const std::string name = program.name;
    return "Usage: " + name + " [options]\n" + program.about +
           "  --window           play in a window instead of full screen\n"
           "  --scale N          the window's size as N times 640 x 480 (default: the largest\n"
           "                     that fits the desktop)\n"
           "  --filter F         sharp (default), nearest or linear scaling\n"
           "  --mute             play without sound\n"
           "  --volume V         sound volume from 0 to 100 (default 100)\n"
           "  --timeline FILE    write one CSV row per pass (the renderer's columns), to check\n"
           "                     the pace against " +
           name +
           "-render --timeline\n"
           "  --help             show this help\n"
           "  --version          show the version\n"
           "Keys: Escape ends the " +
           name +
           "; Alt+Enter or F11 switches between full screen and a\n"
           "window; PrintScreen saves the picture in ./screenshots/.\n";
}

PlayerOptions ParsePlayerOptions(const std::vector<std::string>& args) {
    PlayerOptions command;
    auto fail = [&command](std::string message) {
        command.error = std::move(message);
        return command;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            command.help = true;
        } else if (arg == "--version") {
            command.version = true;
        } else if (arg == "--window") {
            command.host.windowed = true;
        } else if (arg == "--mute") {
            command.host.mute = true;
        } else if (arg == "--scale") {
            if (!value(text) || !ParseNumber(text, command.host.scale) || command.host.scale < 1 ||
                command.host.scale > 16) {
                return fail("--scale needs a whole number from 1 to 16");
            }
            command.host.windowed = true;
        } else if (arg == "--filter") {
            if (!value(text) ||
                !platform::sdl::ParseScaleFilter(text.c_str(), command.host.filter)) {
                return fail("--filter needs sharp, nearest or linear");
            }
        } else if (arg == "--volume") {
            if (!value(text) || !ParseNumber(text, command.host.volume) ||
                command.host.volume < 0 || command.host.volume > 100) {
                return fail("--volume needs a whole number from 0 to 100");
            }
        } else if (arg == "--timeline") {
            if (!value(command.timelinePath) || command.timelinePath.empty()) {
                return fail("--timeline needs a file name");
            }
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }
    return command;
}

}  // namespace app
