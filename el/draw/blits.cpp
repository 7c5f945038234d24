#include "el/draw/blits.h"

#include <optional>

#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "platform/display/gdi.h"

namespace elDraw {
namespace {

using platform::HResult;
using platform::Rect;

// The result of a copy that found nothing to copy from or to.
constexpr HResult kNothingToCopy = platform::DDERR_INVALIDPARAMS;

// Clips the copy to ClipRect and hands it to the destination; a lost surface restores all.
HResult ClippedCopy(platform::Surface* destination, std::int32_t x, std::int32_t y,
                    std::int32_t object, Rect source, std::uint32_t flags) {
    platform::Surface* from = ObjectSurface(object);
    if (destination == nullptr || from == nullptr) return kNothingToCopy;
    // The sums are formed wide: callers may pass any 32-bit numbers.
    const std::int64_t w = static_cast<std::int64_t>(source.right) - source.left;
    const std::int64_t h = static_cast<std::int64_t>(source.bottom) - source.top;
    std::int64_t left = source.left, top = source.top, right = source.right, bottom = source.bottom,
                 dx = x, dy = y;
    if (dx + w > ClipRect.right) right -= dx + w - ClipRect.right;
    if (dy + h > ClipRect.bottom) bottom -= dy + h - ClipRect.bottom;
    if (dx < ClipRect.left) {
        left += ClipRect.left - dx;
        dx = ClipRect.left;
    }
    if (dy < ClipRect.top) {
        top += ClipRect.top - dy;
        dy = ClipRect.top;
    }
    if (right < left || bottom < top) return platform::DD_OK;
    auto fits = [](std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!fits(left) || !fits(top) || !fits(right) || !fits(bottom)) {
        return platform::DDERR_INVALIDRECT;
    }
    const Rect clipped{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                       static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    const HResult result =
        destination->BltFast(static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy), *from,
                             clipped, flags | platform::DDBLTFAST_WAIT);
    if (result == platform::DDERR_SURFACELOST) RestoreSurfaces();
    return result;
}

// The two ways of scaling: the device scales itself, or GDI scales into object 0 first.
void StretchCopy(std::int32_t x, std::int32_t y, std::int32_t object, const Rect& source,
                 std::int32_t width, std::int32_t height, bool keyed) {
    platform::Surface* from = ObjectSurface(object);
    if (!BackSurface || from == nullptr) return;
    if (StretchCapable == 1) {
        const Rect to{x, y, static_cast<std::int32_t>(static_cast<std::int64_t>(x) + width),
                      static_cast<std::int32_t>(static_cast<std::int64_t>(y) + height)};
        const HResult result = BackSurface->Blt(
            &to, *from, &source, (keyed ? platform::DDBLT_KEYSRC : 0u) | platform::DDBLT_WAIT);
        if (result == platform::DDERR_SURFACELOST) RestoreSurfaces();
        return;
    }
    platform::Surface* buffer = ObjectSurface(0);
    if (buffer == nullptr) return;
    std::optional<platform::DeviceContext> bufferDc;
    std::optional<platform::DeviceContext> objectDc;
    platform::GetDC(*buffer, bufferDc);
    platform::GetDC(*from, objectDc);
    const std::int64_t sourceWidth = static_cast<std::int64_t>(source.right) - source.left;
    const std::int64_t sourceHeight = static_cast<std::int64_t>(source.bottom) - source.top;
    const bool fits = sourceWidth <= INT32_MAX && sourceHeight <= INT32_MAX;
    if (bufferDc && objectDc && fits) {
        platform::StretchBlt(*bufferDc, 0, 0, width, height, *objectDc, source.left, source.top,
                             static_cast<std::int32_t>(sourceWidth),
                             static_cast<std::int32_t>(sourceHeight));
    }
    platform::ReleaseDC(*buffer, bufferDc);
    platform::ReleaseDC(*from, objectDc);
    if (keyed) {
        BlitKeyed(x, y, 0, 0, 0, width, height);
    } else {
        BlitOpaque(x, y, 0, 0, 0, width, height);
    }
}

}  // namespace

void BlitKeyed(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
               std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    ClippedCopy(BackSurface.get(), x, y, object, Rect{srcLeft, srcTop, srcRight, srcBottom},
                platform::DDBLTFAST_SRCCOLORKEY);
}

void BlitOpaque(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    ClippedCopy(BackSurface.get(), x, y, object, Rect{srcLeft, srcTop, srcRight, srcBottom}, 0);
}

platform::HResult BlitObjectKeyed(std::int32_t destination, std::int32_t x, std::int32_t y,
                                  std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                                  std::int32_t srcRight, std::int32_t srcBottom) {
    return ClippedCopy(ObjectSurface(destination), x, y, object,
                       Rect{srcLeft, srcTop, srcRight, srcBottom}, platform::DDBLTFAST_SRCCOLORKEY);
}

platform::HResult BlitObjectOpaque(std::int32_t destination, std::int32_t x, std::int32_t y,
                                   std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                                   std::int32_t srcRight, std::int32_t srcBottom) {
    return ClippedCopy(ObjectSurface(destination), x, y, object,
                       Rect{srcLeft, srcTop, srcRight, srcBottom}, 0);
}

void CaptureScreen(std::int32_t object, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) {
    platform::Surface* to = ObjectSurface(object);
    if (to == nullptr || !BackSurface) return;
    const HResult result =
        to->BltFast(0, 0, *BackSurface, Rect{left, top, right, bottom}, platform::DDBLTFAST_WAIT);
    if (result == platform::DDERR_SURFACELOST) RestoreSurfaces();
}

void StretchBlitKeyed(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                      std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                      std::int32_t width, std::int32_t height) {
    StretchCopy(x, y, object, Rect{srcLeft, srcTop, srcRight, srcBottom}, width, height, true);
}

void StretchBlitOpaque(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                       std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                       std::int32_t width, std::int32_t height) {
    StretchCopy(x, y, object, Rect{srcLeft, srcTop, srcRight, srcBottom}, width, height, false);
}

}  // namespace elDraw
