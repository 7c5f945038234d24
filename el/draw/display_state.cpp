#include "el/draw/display_state.h"

namespace elDraw {

bool IsDisplayOpen() {
    return DirectDraw != nullptr;
}

void FlipToGdiSurface() {
    if (DirectDraw) DirectDraw->FlipToGDISurface();
}

void UseDepth32() {
    DisplayDepth = 32;
}

void SetVSyncWait(std::int32_t flag) {
    VSyncWait = flag;
}

}  // namespace elDraw
