#include "tools/render/render_options.h"

#include <charconv>
#include <limits>

namespace render {
namespace {

template <typename Number>
bool ParseNumber(const std::string& text, Number& out) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && stop == end;
}

}  // namespace

const char* RenderUsage() {
    return "Usage: greeting-render [options]\n"
           "Runs the greeting on a virtual clock, without a display, and records what it shows.\n"
           "  --max-passes N     stop after N passes (exit status 3)\n"
           "  --seed S           start the virtual clock at epoch second S (reproducible runs)\n"
           "  --key PASS:VK      press and release virtual key VK just before pass PASS\n"
           "                     (repeatable; 27 is Escape)\n"
           "  --timeline FILE    write one CSV row per pass\n"
           "  --help             show this help\n"
           "Exit status: 0 the greeting ended (by itself or by Escape), 3 stopped by\n"
           "--max-passes, 2 bad arguments, 1 an output could not be written.\n";
}

ParseResult ParseRenderOptions(const std::vector<std::string>& args) {
    ParseResult result;
    RenderOptions& options = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
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
            options.help = true;
        } else if (arg == "--max-passes") {
            std::uint32_t passes = 0;
            if (!value(text) || !ParseNumber(text, passes)) {
                return fail("--max-passes needs a whole number of passes");
            }
            options.maxPasses = passes;
        } else if (arg == "--seed") {
            std::int64_t seed = 0;
            if (!value(text) || !ParseNumber(text, seed) || seed < 0) {
                return fail("--seed needs a non-negative whole number of seconds");
            }
            options.seed = seed;
        } else if (arg == "--key") {
            if (!value(text)) return fail("--key needs PASS:VK, for example 30:27");
            const std::size_t colon = text.find(':');
            ScriptedKey key;
            if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), key.pass) ||
                !ParseNumber(text.substr(colon + 1), key.virtualKey) || key.pass == 0 ||
                key.virtualKey == 0 || key.virtualKey > 255) {
                return fail("--key needs PASS:VK with PASS from 1 and VK from 1 to 255, got '" +
                            text + "'");
            }
            options.keys.push_back(key);
        } else if (arg == "--timeline") {
            if (!value(options.timelinePath) || options.timelinePath.empty()) {
                return fail("--timeline needs a file name");
            }
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }
    return result;
}

}  // namespace render
