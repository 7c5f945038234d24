// elSystem's module state is one struct (system_state.cpp) with one reset; the headers of this
// folder name its members as references, so callers keep the library's own names.
#pragma once

namespace elSystem {

// Input, timing, waits, the scroll-page layer, the font block, the text run and frame-rate line,
// the held device context, the transition counter, paths and settings, the key helpers and the
// joysticks back to their values at program start.
void ResetSystemState();

}  // namespace elSystem
