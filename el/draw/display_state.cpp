#include "el/draw/display_state.h"

namespace elDraw {

std::unique_ptr<platform::DisplayDevice> DirectDraw;
platform::SurfacePtr PrimarySurface;
platform::SurfacePtr BackSurface;
bool ClipperExists;
std::int32_t StretchCapable;
std::int32_t HardwareDeviceChosen;
std::int32_t DisplayDepth = 16;
std::int32_t DefaultScreenWidth;
std::int32_t DefaultScreenHeight;
platform::Rect PresentSource;
std::int32_t VSyncWait = 1;

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

void ResetDisplayState() {
    BackSurface.reset();
    PrimarySurface.reset();
    DirectDraw.reset();
    ClipperExists = false;
    StretchCapable = 0;
    HardwareDeviceChosen = 0;
    DisplayDepth = 16;
    DefaultScreenWidth = 0;
    DefaultScreenHeight = 0;
    PresentSource = {};
    VSyncWait = 1;
}

}  // namespace elDraw
