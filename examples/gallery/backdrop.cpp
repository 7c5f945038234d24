#include "examples/gallery/backdrop.h"

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "examples/gallery/gallery_state.h"

namespace gallery {

void DimBackdrop(std::int32_t picture, int halvings) {
    const std::int32_t dimmed = Objects().dimmed;
    if (FirstPass() || dimmed == 0) {
        elDraw::BlitOpaque(0, 0, picture, 0, 0, 640, 480);
        for (int k = 0; k < halvings; ++k) elDraw::HalfFillRect(0, 0, 640, 480, 0);
        if (dimmed != 0) elDraw::CaptureScreen(dimmed, 0, 0, 640, 480);
        return;
    }
    elDraw::BlitOpaque(0, 0, dimmed, 0, 0, 640, 480);
}

void DrawBeach() {
    elDraw::BlitOpaque(0, 0, Objects().seagirl, 0, 0, 640, 480);
}

void DrawRaceField() {
    elDraw::BlitOpaque(0, 0, Objects().race, 0, 0, 640, 480);
}

}  // namespace gallery
