#include "tools/render/render_options.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string>

#include "app/command_line.h"
#include "app/shell.h"

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

bool SamePath(const std::string& a, const std::string& b) {
    const auto normal = [](const std::string& path) {
        return std::filesystem::path(path).lexically_normal().string();
    };
    return normal(a) == normal(b);
}

}  // namespace

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
           "  --key PASS:VK      press and release virtual key VK just before pass PASS\n"
           "                     (repeatable; 27 is Escape)\n"
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
            ScriptedKey key;
            if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), key.pass) ||
                !ParseNumber(text.substr(colon + 1), key.virtualKey) || key.pass == 0 ||
                key.virtualKey == 0 || key.virtualKey > 255) {
                return fail("--key needs PASS:VK with PASS from 1 and VK from 1 to 255, got '" +
                            text + "'");
            }
            options.keys.push_back(key);
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
