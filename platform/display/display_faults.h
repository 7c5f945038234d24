// Injected failures of the display services, so tests can drive every error path of the
// screen set-up and the drawing calls.
#pragma once

namespace platform {

enum class DisplayOp {
    kCreateDevice,
    kSetCooperativeLevel,
    kSetDisplayMode,
    kCreateSurface,
    kCreateClipper,
    kSetClipperWindow,
    kSetClipper,
    kGetPixelFormat,
    kLock,
    kGetDC,
    kCount
};

namespace display_faults {

// The call of `op` that comes after `skip` successful ones fails, once.
void FailOnce(DisplayOp op, int skip = 0);
// Consumes a pending failure of op; true when this call must fail.
bool ShouldFail(DisplayOp op);
void Clear();

}  // namespace display_faults
}  // namespace platform
