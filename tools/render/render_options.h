// The command line of greeting-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace render {

struct ScriptedKey {
    std::uint32_t pass = 0;  // the key goes down and up just before this pass would run
    std::uint32_t virtualKey = 0;
};

struct RenderOptions {
    std::optional<std::uint32_t> maxPasses;
    std::int64_t seed = 946684800;  // 2000-01-01 00:00:00 UTC
    std::vector<ScriptedKey> keys;
    std::string timelinePath;
    bool help = false;
};

struct ParseResult {
    RenderOptions options;
    std::string error;  // empty when the command line was understood
};

ParseResult ParseRenderOptions(const std::vector<std::string>& args);
const char* RenderUsage();

}  // namespace render
