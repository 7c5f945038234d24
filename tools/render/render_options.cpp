#include "tools/render/render_options.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string>

#include "app/command_line.h"
#include "app/shell.h"
#include "platform/host.h"

namespace render {
namespace {

using app::ParseNumber;

// "all", "none", or passes and ranges such as 1,100,200-210.
bool ParseFrameList(const std::string& text, FrameSelection& selection) {
    selection.all = false;
    selection.ranges.clear();
    if (text == "all") {
        selection.all = true;
        return true;
    }
    if (text == "none") return true;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        if (dash == std::string::npos) {
            if (!ParseNumber(item, first)) return false;
            last = first;
        } else if (!ParseNumber(item.substr(0, dash), first) ||
                   !ParseNumber(item.substr(dash + 1), last)) {
            return false;
        }
        if (first == 0 || last < first) return false;
        selection.ranges.emplace_back(first, last);
        start = comma + 1;
    }
    return true;
}

// Comma-separated yes, no, ok or cancel, appended to answers.
bool ParseAnswers(const std::string& text, std::vector<int>& answers) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string word = text.substr(start, comma - start);
        if (word == "yes") {
            answers.push_back(platform::IDYES);
        } else if (word == "no") {
            answers.push_back(platform::IDNO);
        } else if (word == "ok") {
            answers.push_back(platform::IDOK);
        } else if (word == "cancel") {
            answers.push_back(platform::IDCANCEL);
        } else {
            return false;
        }
        start = comma + 1;
    }
    return true;
}

bool SamePath(const std::string& a, const std::string& b) {
    const auto normal = [](const std::string& path) {
        return std::filesystem::path(path).lexically_normal().string();
    };
    return normal(a) == normal(b);
}

}  // namespace

bool ParseScriptedJoystick(const std::string& text, ScriptedJoystick& joystick) {
    joystick = ScriptedJoystick{};
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return false;
    std::uint32_t slot = 0;
    if (!ParseNumber(text.substr(0, first), joystick.pass) || joystick.pass == 0 ||
        !ParseNumber(text.substr(first + 1, second - first - 1), slot) ||
        slot >= static_cast<std::uint32_t>(platform::kJoystickSlots)) {
        return false;
    }
    joystick.slot = static_cast<int>(slot);
    const std::string changes = text.substr(second + 1);
    if (changes == "unplug") {
        joystick.unplug = true;
        return true;
    }
    std::size_t start = 0;
    while (start <= changes.size()) {
        const std::size_t comma = std::min(changes.find(',', start), changes.size());
        const std::string change = changes.substr(start, comma - start);
        const std::size_t equals = change.find('=');
        if (equals == std::string::npos) return false;
        const std::string name = change.substr(0, equals);
        std::uint32_t value = 0;
        if (!ParseNumber(change.substr(equals + 1), value)) return false;
        if (name == "x" || name == "y") {
            if (value > 65535) return false;
            (name == "x" ? joystick.x : joystick.y) = value;
        } else if (name.size() == 2 && name[0] == 'b' && name[1] >= '1' && name[1] <= '4' &&
                   value <= 1) {
            const std::uint32_t bit = 1u << (name[1] - '1');
            (value == 1 ? joystick.buttonsDown : joystick.buttonsUp) |= bit;
        } else {
            return false;
        }
        start = comma + 1;
    }
    return true;
}

bool FrameSelection::Selects(std::uint32_t pass) const {
    if ((pass - 1) % every != 0) return false;
    if (all) return true;
    for (const auto& [first, last] : ranges) {
        if (pass >= first && pass <= last) return true;
    }
    return false;
}

std::string ProgramName() {
    return std::string(app::CurrentShow().name) + "-render";
}

std::string RenderUsage() {
    const std::string show = app::CurrentShow().name;
    return "Usage: " + ProgramName() + " [options]\n" + "Runs the " + show +
           " on a virtual clock, without a display, and records what it shows.\n"
           "  --max-passes N     stop after N passes (exit status 3)\n"
           "  --seed S           start the virtual clock at epoch second S, 0 to 253402300799\n"
           "                     (reproducible runs)\n"
           "  --key PASS:VK[:N]  press virtual key VK just before pass PASS and release it at\n"
           "                     once, or N passes later (repeatable; 27 is Escape)\n"
           "  --joy PASS:J:CHANGES\n"
           "                     just before pass PASS, change joystick J (0 or 1); CHANGES\n"
           "                     are x=V, y=V (0 to 65535, 32768 at rest) and b1=1 to b4=0\n"
           "                     (button down or up), separated by commas, or unplug. The\n"
           "                     first change plugs the joystick in, at rest; changes for\n"
           "                     pass 1 are in place from the start (repeatable)\n"
           "  --answer LIST      answer the message boxes that ask, in turn: yes, no, ok or\n"
           "                     cancel, separated by commas (repeatable); a box left without\n"
           "                     an answer gets no or cancel\n"
           "  --timeline FILE    write one CSV row per pass\n"
           "  --out DIR          where frames go (default ./render)\n"
           "  --frames LIST      frames to write as DIR/frame-NNNNNN.png: all, none, or passes\n"
           "                     and ranges such as 1,100,200-210 (default none)\n"
           "  --every N          of those, only every Nth pass (1, N+1, ...); alone it means\n"
           "                     every Nth pass of the whole run\n"
           "  --audio FILE.wav   write the whole mix (44100 Hz, 16-bit stereo)\n"
           "  --video FILE.mp4   write the run as a video: one frame per pass at 60 per second,\n"
           "                     1280 x 960 H.264 with the sound as AAC (needs ffmpeg)\n"
           "  --contact-sheet FILE.png\n"
           "                     write one picture with a thumbnail of each scene, one second\n"
           "                     after it begins\n"
           "  --frame-hashes FILE\n"
           "                     write a line per pass: the pass and a 64-bit hash (XXH64) of\n"
           "                     the frame it presented, or - when it presented none\n"
           "  --overrides DIR    take replacement pictures, music and TITLE from DIR instead\n"
           "                     of the folder the renderer is in\n"
           "  --help             show this help\n"
           "Files are written under NAME.part and renamed when the run ends well; a progress\n"
           "line appears on standard error when it is a terminal.\n"
           "Exit status: 0 the " +
           show +
           " ended (by itself or by Escape), 3 stopped by\n"
           "--max-passes, 2 bad arguments, 1 an output could not be written,\n"
           "130 or 143 interrupted (nothing unfinished is left behind).\n";
}

ParseResult ParseRenderOptions(const std::vector<std::string>& args) {
    ParseResult result;
    RenderOptions& options = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };
    bool framesGiven = false;
    bool everyGiven = false;
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
            if (!value(text) || !ParseNumber(text, seed) || seed < 0 || seed > kMaxSeed) {
                return fail("--seed needs a whole number of seconds from 0 to " +
                            std::to_string(kMaxSeed) + " (the end of the year 9999)");
            }
            options.seed = seed;
        } else if (arg == "--key") {
            if (!value(text)) return fail("--key needs PASS:VK, for example 30:27");
            const std::size_t colon = text.find(':');
            const std::size_t hold = colon == std::string::npos ? colon : text.find(':', colon + 1);
            ScriptedKey key;
            if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), key.pass) ||
                !ParseNumber(text.substr(colon + 1, hold - colon - 1), key.virtualKey) ||
                (hold != std::string::npos &&
                 !ParseNumber(text.substr(hold + 1), key.holdPasses)) ||
                key.pass == 0 || key.virtualKey == 0 || key.virtualKey > 255) {
                return fail(
                    "--key needs PASS:VK or PASS:VK:N with PASS from 1 and VK from 1 to 255, got "
                    "'" +
                    text + "'");
            }
            options.keys.push_back(key);
        } else if (arg == "--joy") {
            ScriptedJoystick joystick;
            if (!value(text) || !ParseScriptedJoystick(text, joystick)) {
                return fail(
                    "--joy needs PASS:J:CHANGES with PASS from 1, J 0 or 1, and changes such as "
                    "x=65535,b1=1 or unplug, got '" +
                    text + "'");
            }
            options.joysticks.push_back(joystick);
        } else if (arg == "--answer") {
            if (!value(text) || !ParseAnswers(text, options.answers)) {
                return fail("--answer needs yes, no, ok or cancel, separated by commas, got '" +
                            text + "'");
            }
        } else if (arg == "--out") {
            if (!value(options.outDir) || options.outDir.empty()) {
                return fail("--out needs a folder name");
            }
        } else if (arg == "--frames") {
            if (!value(text) || !ParseFrameList(text, options.frames)) {
                return fail("--frames needs all, none, or passes and ranges such as 1,100,200-210");
            }
            framesGiven = true;
        } else if (arg == "--every") {
            if (!value(text) || !ParseNumber(text, options.frames.every) ||
                options.frames.every == 0) {
                return fail("--every needs a whole number of passes from 1");
            }
            everyGiven = true;
        } else if (arg == "--audio") {
            if (!value(options.audioPath) || options.audioPath.empty()) {
                return fail("--audio needs a file name");
            }
        } else if (arg == "--timeline") {
            if (!value(options.timelinePath) || options.timelinePath.empty()) {
                return fail("--timeline needs a file name");
            }
        } else if (arg == "--video") {
            if (!value(options.videoPath) || options.videoPath.empty()) {
                return fail("--video needs a file name");
            }
        } else if (arg == "--contact-sheet") {
            if (!value(options.contactSheetPath) || options.contactSheetPath.empty()) {
                return fail("--contact-sheet needs a file name");
            }
        } else if (arg == "--frame-hashes") {
            if (!value(options.frameHashesPath) || options.frameHashesPath.empty()) {
                return fail("--frame-hashes needs a file name");
            }
        } else if (arg == "--overrides") {
            if (!value(options.overridesDir) || options.overridesDir.empty()) {
                return fail("--overrides needs a folder name");
            }
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }
    if (everyGiven && !framesGiven) options.frames.all = true;
    // Two outputs under one name would overwrite each other.
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--timeline", &options.timelinePath},
        {"--audio", &options.audioPath},
        {"--video", &options.videoPath},
        {"--contact-sheet", &options.contactSheetPath},
        {"--frame-hashes", &options.frameHashesPath}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            const std::string& a = *outputs[i].second;
            const std::string& b = *outputs[j].second;
            if (!a.empty() && !b.empty() && SamePath(a, b)) {
                return fail(std::string(outputs[i].first) + " and " + outputs[j].first +
                            " name the same file '" + a + "'");
            }
        }
    }
    return result;
}

}  // namespace render
