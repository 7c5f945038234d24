#include "el/effects/clip_wipe.h"

#include "el/draw/clip_rect.h"

namespace elDraw {

std::int32_t WipeState;
platform::Rect WipeRect;

void CancelWipe() {
    if (WipeState <= 0) return;
    ClipRect = WipeRect;
    WipeState = 0;
}

}  // namespace elDraw
