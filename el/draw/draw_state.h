// elDraw's module state is one struct (draw_state.cpp) with one reset; the headers of this
// folder name its members as references, so callers keep the library's own names.
#pragma once

namespace elDraw {

// Releases every object and surface, then the device, and puts the display settings, the clip
// rectangle, the cursor and the key state back to their values at program start.
void ResetDrawState();

}  // namespace elDraw
