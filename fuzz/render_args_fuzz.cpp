// Arbitrary renderer command lines: understood or refused with a reason, never a render.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/command_line_input.h"
#include "tools/render/render_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const render::ParseResult parsed = render::ParseRenderOptions(SplitArguments(data, size));
    if (!parsed.error.empty()) return 0;
    const render::RenderOptions& options = parsed.options;
    if (options.seed < 0 || options.seed > render::kMaxSeed || options.frames.every == 0)
        std::abort();
    // The selection answers for any pass, the extremes included.
    for (const std::uint32_t pass : {0u, 1u, 2u, 12000u, 0xFFFFFFFFu}) options.frames.Selects(pass);
    return 0;
}
