// The command line of greeting-render.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
class HeadlessHost;
}

namespace render {

struct ScriptedKey {
    std::uint32_t pass = 0;  // the key goes down and up just before this pass would run
    std::uint32_t virtualKey = 0;
};

// Which passes' frames are written: every pass when `all`, else the listed passes and ranges;
// `every` keeps one pass in N of those (passes 1, N + 1, 2N + 1, ...).
struct FrameSelection {
    bool all = false;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;  // inclusive
    std::uint32_t every = 1;

    bool Selects(std::uint32_t pass) const;
    bool Empty() const { return !all && ranges.empty(); }
};

// The last second of the year 9999: a wall clock the show can run on for centuries without any
// sum of seconds coming near the end of the 64-bit range.
inline constexpr std::int64_t kMaxSeed = 253402300799;

struct RenderOptions {
    std::optional<std::uint32_t> maxPasses;
    std::string outDir = "render";
    FrameSelection frames;
    std::string audioPath;
    std::int64_t seed = 946684800;  // 2000-01-01 00:00:00 UTC
    std::vector<ScriptedKey> keys;
    std::string timelinePath;
    std::string videoPath;
    std::string contactSheetPath;
    std::string frameHashesPath;
    bool help = false;

    // Not on the command line: lets a test act on the host just before each pass (make a
    // vertical blank fail, raise a signal).
    std::function<void(platform::HeadlessHost& host, std::uint32_t pass)> beforePassForTest;
};

struct ParseResult {
    RenderOptions options;
    std::string error;  // empty when the command line was understood
};

ParseResult ParseRenderOptions(const std::vector<std::string>& args);
// The renderer's name in messages: the show's name and "-render" ("greeting-render").
std::string ProgramName();
std::string RenderUsage();

}  // namespace render
