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
    std::uint32_t pass = 0;  // the key goes down just before this pass would run
    std::uint32_t virtualKey = 0;
    std::uint32_t holdPasses = 0;  // it goes up that many passes later; 0: at once
};

// A change of a scripted joystick just before a pass: the first change of a slot plugs a
// joystick in there, at rest (32768, 32768, no button down).
struct ScriptedJoystick {
    std::uint32_t pass = 0;
    int slot = 0;
    bool unplug = false;
    std::optional<std::uint32_t> x, y;  // 0..65535
    std::uint32_t buttonsDown = 0;      // bits of buttons 1..4 that go down
    std::uint32_t buttonsUp = 0;        // and that go up
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
    std::vector<ScriptedJoystick> joysticks;
    std::vector<int> answers;  // IDYES, IDNO, IDOK or IDCANCEL, for the boxes that ask
    std::string timelinePath;
    std::string videoPath;
    std::string contactSheetPath;
    std::string frameHashesPath;
    // Where files that replace the built-in pictures, music and title are looked for, in place
    // of the renderer's own folder; empty: its own folder, as the player does.
    std::string overridesDir;
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
// One --joy value, PASS:J:CHANGES; false when it is not one.
bool ParseScriptedJoystick(const std::string& text, ScriptedJoystick& joystick);
// The renderer's name in messages: the show's name and "-render" ("greeting-render").
std::string ProgramName();
std::string RenderUsage();

}  // namespace render
