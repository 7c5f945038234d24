// Arbitrary player command lines: understood or refused with a reason, nothing started.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/player_options.h"
#include "fuzz/command_line_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const app::PlayerOptions options = app::ParsePlayerOptions(SplitArguments(data, size));
    if (!options.error.empty()) return 0;
    // What was understood is within the ranges the host takes.
    if (options.host.scale < 0 || options.host.scale > 16 || options.host.volume < 0 ||
        options.host.volume > 100)
        std::abort();
    return 0;
}
