// The display device, standing in for the DirectDraw object: device enumeration, cooperative
// level and display mode (16 bits per pixel, 5-6-5 by default or 5-5-5; any other depth is
// refused), surfaces, capabilities, the vertical-blank wait and the presentation of the
// primary surface through the host. Surfaces live in ordinary memory; "video memory" is only a
// placement hint that is recorded.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display/display_types.h"
#include "platform/display/surface.h"

namespace platform {

class DisplayDevice {
  public:
    HResult SetCooperativeLevel(std::uint32_t level);
    HResult SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
    HResult RestoreDisplayMode();
    HResult CreateSurface(const SurfaceDesc& desc, SurfacePtr& surface);
    HResult GetCaps(DeviceCaps* driver, DeviceCaps* emulation) const;
    HResult WaitForVerticalBlank(std::uint32_t flags);
    HResult FlipToGDISurface();
    // A clipper only records its window here: presentation copies never leave the picture.
    HResult CreateClipper();
    HResult SetClipperWindow();
    HResult SetClipper(Surface& primary);

    std::int32_t modeWidth() const { return modeWidth_; }
    std::int32_t modeHeight() const { return modeHeight_; }
    PixelLayout layout() const;

  private:
    std::int32_t modeWidth_ = 640;
    std::int32_t modeHeight_ = 480;
    std::uint32_t level_ = 0;
};

// Hands the primary surface's picture to the host; called after every copy onto it.
void ShowPrimarySurface(const Surface& primary);

// Devices are enumerated once each; the callback returns false to stop.
using DeviceEnumCallback = bool (*)(const char* guid, const char* description,
                                    const char* driverName, void* context);
void DirectDrawEnumerate(DeviceEnumCallback callback, void* context);
HResult DirectDrawCreate(const char* guid, std::unique_ptr<DisplayDevice>& device);

// The pixel layout new display modes use; tests run both.
void SetDisplayLayout(PixelLayout layout);
PixelLayout DisplayLayout();
// Every surface made from now on, and every surface alive, is declared lost.
void LoseAllSurfaces();
// Surfaces register themselves so that a loss can reach all of them.
void RegisterSurface(Surface* surface);
void UnregisterSurface(Surface* surface);

}  // namespace platform
