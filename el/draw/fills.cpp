#include "el/draw/fills.h"

#include <algorithm>

#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/pixel_format.h"

namespace elDraw {
namespace {

using platform::HResult;
using platform::Rect;

HResult Fill(platform::Surface* surface, const Rect& rect, std::uint32_t value) {
    if (surface == nullptr) return platform::DDERR_INVALIDPARAMS;
    return surface->ColorFill(&rect, value);
}

Rect BackRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return Rect{left, top, right, bottom};
}

// One edge further in, held at the ends of the 32-bit range (the fill then refuses it).
std::int32_t Step(std::int32_t edge, int by) {
    const std::int64_t moved = static_cast<std::int64_t>(edge) + by;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
}

}  // namespace

HResult ClearScreen() {
    return Fill(BackSurface.get(), Rect{0, 0, ScreenWidth, ScreenHeight}, 0);
}

HResult ClearObject(std::int32_t object) {
    const ObjectRecord* record = FindObject(object);
    if (record == nullptr) return platform::DDERR_INVALIDPARAMS;
    return Fill(record->surface.get(), Rect{0, 0, record->width, record->height}, 0);
}

HResult ClearRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return Fill(BackSurface.get(), BackRect(left, top, right, bottom), 0);
}

HResult FrameRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Fill(BackSurface.get(), BackRect(left, top, right, Step(top, 1)), 0);
    Fill(BackSurface.get(), BackRect(left, Step(bottom, -1), right, bottom), 0);
    Fill(BackSurface.get(), BackRect(left, top, Step(left, 1), bottom), 0);
    return Fill(BackSurface.get(), BackRect(Step(right, -1), top, right, bottom), 0);
}

HResult FillScreenWhite() {
    return Fill(BackSurface.get(), Rect{0, 0, ScreenWidth, ScreenHeight}, PixelFormat.WhiteColor);
}

HResult FillRectWhite(std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom) {
    return Fill(BackSurface.get(), BackRect(left, top, right, bottom), PixelFormat.WhiteColor);
}

HResult FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::uint32_t colour) {
    return Fill(BackSurface.get(), BackRect(left, top, right, bottom), colour & 0xFFFF);
}

int HalfFillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::uint32_t colour) {
    if (!BackSurface) return 0;
    // ClipRect is not checked when it is set, so the surface's own bounds are applied too.
    right = std::min({right, ClipRect.right, BackSurface->width()});
    bottom = std::min({bottom, ClipRect.bottom, BackSurface->height()});
    left = std::max({left, ClipRect.left, 0});
    top = std::max({top, ClipRect.top, 0});
    if (right < left || bottom < top) return 1;
    platform::SurfaceDesc desc;
    if (BackSurface->Lock(desc) != platform::DD_OK) return 0;
    const std::ptrdiff_t stride = desc.pitch >> 1;
    const auto halfMask = static_cast<std::uint16_t>(PixelFormat.HalfMask);
    const auto half = static_cast<std::uint16_t>(((colour & 0xFFFF) >> 1) & halfMask);
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint16_t* row = desc.memory + y * stride;
        for (std::int32_t x = left; x < right; ++x) {
            row[x] = static_cast<std::uint16_t>(((row[x] >> 1) & halfMask) + half);
        }
    }
    BackSurface->Unlock();
    return 1;
}

}  // namespace elDraw
