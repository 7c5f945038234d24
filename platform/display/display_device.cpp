#include "platform/display/display_device.h"

#include <algorithm>

#include "platform/display/display_faults.h"
#include "platform/host.h"

namespace platform {
namespace {

struct DisplayState {
    PixelLayout layout = PixelLayout::Rgb565;
    std::vector<Surface*> surfaces;
};

// Never destroyed: surfaces that a program still holds when it returns from main unregister
// here during exit, in whatever order the exit destroys them.
DisplayState& State() {
    static DisplayState* const state = new DisplayState();
    return *state;
}

}  // namespace

void SetDisplayLayout(PixelLayout layout) {
    State().layout = layout;
}
PixelLayout DisplayLayout() {
    return State().layout;
}

void RegisterSurface(Surface* surface) {
    State().surfaces.push_back(surface);
}

void UnregisterSurface(Surface* surface) {
    State().surfaces.erase(std::remove(State().surfaces.begin(), State().surfaces.end(), surface),
                           State().surfaces.end());
}

void LoseAllSurfaces() {
    for (Surface* surface : State().surfaces) surface->MarkLost();
}

void DirectDrawEnumerate(DeviceEnumCallback callback, void* context) {
    // One display: the software device, whose driver name is null like the primary driver's.
    if (callback != nullptr) callback(nullptr, "Software display", "display", context);
}

HResult DirectDrawCreate(const char*, std::unique_ptr<DisplayDevice>& device) {
    if (display_faults::ShouldFail(DisplayOp::kCreateDevice)) return DDERR_GENERIC;
    device = std::make_unique<DisplayDevice>();
    return DD_OK;
}

PixelLayout DisplayDevice::layout() const {
    return State().layout;
}

HResult DisplayDevice::SetCooperativeLevel(std::uint32_t level) {
    if (display_faults::ShouldFail(DisplayOp::kSetCooperativeLevel)) return DDERR_GENERIC;
    level_ = level;
    return DD_OK;
}

HResult DisplayDevice::SetDisplayMode(std::int32_t width, std::int32_t height,
                                      std::int32_t bitsPerPixel) {
    if (display_faults::ShouldFail(DisplayOp::kSetDisplayMode)) return DDERR_GENERIC;
    if (bitsPerPixel != 16 || !SurfaceSizeAllowed(width, height)) return DDERR_UNSUPPORTEDMODE;
    modeWidth_ = width;
    modeHeight_ = height;
    return DD_OK;
}

HResult DisplayDevice::RestoreDisplayMode() {
    return DD_OK;
}

HResult DisplayDevice::CreateSurface(const SurfaceDesc& desc, SurfacePtr& surface) {
    surface.reset();
    if (display_faults::ShouldFail(DisplayOp::kCreateSurface)) return DDERR_GENERIC;
    std::int32_t width = desc.width;
    std::int32_t height = desc.height;
    if ((desc.caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        width = modeWidth_;
        height = modeHeight_;
    } else if ((desc.flags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) {
        return DDERR_INVALIDPARAMS;
    }
    if (!SurfaceSizeAllowed(width, height)) return DDERR_INVALIDPARAMS;
    surface = std::make_unique<Surface>(width, height, State().layout, desc.caps);
    return DD_OK;
}

HResult DisplayDevice::GetCaps(DeviceCaps* driver, DeviceCaps* emulation) const {
    // No 3D hardware: the library takes the default device and stretches in software.
    if (driver != nullptr) *driver = DeviceCaps{DDCAPS_BLTSTRETCH, 0};
    if (emulation != nullptr) *emulation = DeviceCaps{DDCAPS_BLTSTRETCH, 0};
    return DD_OK;
}

HResult DisplayDevice::WaitForVerticalBlank(std::uint32_t) {
    if (!HasHost()) return DDERR_GENERIC;
    return CurrentHost().WaitVerticalBlank() ? DD_OK : DDERR_GENERIC;
}

HResult DisplayDevice::FlipToGDISurface() {
    return DD_OK;
}

HResult DisplayDevice::CreateClipper() {
    return display_faults::ShouldFail(DisplayOp::kCreateClipper) ? DDERR_GENERIC : DD_OK;
}

HResult DisplayDevice::SetClipperWindow() {
    return display_faults::ShouldFail(DisplayOp::kSetClipperWindow) ? DDERR_GENERIC : DD_OK;
}

HResult DisplayDevice::SetClipper(Surface&) {
    return display_faults::ShouldFail(DisplayOp::kSetClipper) ? DDERR_GENERIC : DD_OK;
}

void ShowPrimarySurface(const Surface& primary) {
    if (!HasHost()) return;
    FrameView frame;
    frame.pixels = primary.pixels();
    frame.width = primary.width();
    frame.height = primary.height();
    frame.pitch = primary.pitch();
    frame.layout = primary.layout();
    CurrentHost().PresentFrame(frame);
}

}  // namespace platform
