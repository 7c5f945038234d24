// A whole run of the real program on the headless host, recording what the options ask for.
#pragma once

#include "tools/render/render_options.h"

namespace render {

inline constexpr int kExitEnded = 0;
inline constexpr int kExitOutputFailed = 1;
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitMaxPasses = 3;

// Runs the greeting once; returns the exit status.
int RunRender(const RenderOptions& options);

}  // namespace render
