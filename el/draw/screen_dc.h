// The back surface as a device context, for drawing on the picture with the device-context
// calls; between GetScreenDC and ReleaseScreenDC the back surface stays locked for them.
#pragma once

#include <optional>

#include "platform/display/display_types.h"
#include "platform/display/gdi.h"

namespace elDraw {

// Empty unless GetScreenDC succeeded and ReleaseScreenDC has not run since.
extern std::optional<platform::DeviceContext>& ScreenDeviceContext;

// DD_OK, or the failure of the lock (DDERR_SURFACEBUSY while the context is already held,
// DDERR_SURFACELOST, DDERR_GENERIC without a back surface).
platform::HResult GetScreenDC();
// DD_OK; DDERR_GENERIC when no context is held.
platform::HResult ReleaseScreenDC();

}  // namespace elDraw
