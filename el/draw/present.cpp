#include "el/draw/present.h"

#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/system/input_state.h"

namespace elDraw {

void PresentFrame() {
    if (!DirectDraw || !PrimarySurface || !BackSurface) return;
    // A failed wait leaves the previous frame on the screen; the next pass draws a new one.
    if (VSyncWait == 1 &&
        DirectDraw->WaitForVerticalBlank(platform::DDWAITVB_BLOCKBEGIN) != platform::DD_OK) {
        return;
    }
    const platform::HResult result = PrimarySurface->Blt(&elSystem::PresentRect, *BackSurface,
                                                         &PresentSource, platform::DDBLT_WAIT);
    if (result == platform::DDERR_SURFACELOST) RestoreSurfaces();
}

}  // namespace elDraw
