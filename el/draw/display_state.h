// The drawing core's hold on the display: the device, the primary and back surfaces, and the
// settings the set-up reads and records.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/display/display_device.h"
#include "platform/display/surface.h"
#include "platform/rect.h"

namespace elDraw {

extern std::unique_ptr<platform::DisplayDevice>& DirectDraw;
extern platform::SurfacePtr& PrimarySurface;
extern platform::SurfacePtr& BackSurface;
extern bool& ClipperExists;
extern std::int32_t& StretchCapable;
extern std::int32_t& HardwareDeviceChosen;
extern std::int32_t& DisplayDepth;  // 16 as built
extern std::int32_t& DefaultScreenWidth;
extern std::int32_t& DefaultScreenHeight;
extern platform::Rect& PresentSource;
extern std::int32_t& VSyncWait;  // 1 as built

bool IsDisplayOpen();
// Makes the desktop's drawing surface visible so that a message box shows over the picture.
void FlipToGdiSurface();
void UseDepth32();
void SetVSyncWait(std::int32_t flag);

}  // namespace elDraw
