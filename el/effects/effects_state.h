// The pixel effects' module state is one struct (effects_state.cpp) with one reset; the headers
// of this folder name its members as references, so callers keep the library's own names.
#pragma once

namespace elDraw {

// The pixel format, every effect table and the wipe back to their values at program start.
void ResetEffectsState();

}  // namespace elDraw
