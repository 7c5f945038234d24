#include "el/draw/screen_dc.h"

#include "el/draw/display_state.h"

namespace elDraw {

platform::HResult GetScreenDC() {
    if (!BackSurface) return platform::DDERR_GENERIC;
    // A second call would lock the surface again and lose the first context's unlock.
    if (ScreenDeviceContext) return platform::DDERR_SURFACEBUSY;
    return platform::GetDC(*BackSurface, ScreenDeviceContext);
}

platform::HResult ReleaseScreenDC() {
    if (!ScreenDeviceContext || !BackSurface) {
        ScreenDeviceContext.reset();
        return platform::DDERR_GENERIC;
    }
    platform::ReleaseDC(*BackSurface, ScreenDeviceContext);
    return platform::DD_OK;
}

}  // namespace elDraw
