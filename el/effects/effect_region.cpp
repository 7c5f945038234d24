#include "el/effects/effect_region.h"

#include <algorithm>

#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"

namespace elDraw {

bool SourceInside(const platform::Surface& surface, std::int32_t left, std::int32_t top,
                  std::int32_t right, std::int32_t bottom) {
    const auto inside = [](std::int32_t v, std::int32_t size) { return v >= 0 && v <= size; };
    return inside(left, surface.width()) && inside(right, surface.width()) &&
           inside(top, surface.height()) && inside(bottom, surface.height());
}

EffectClip ClipEffectRegion(std::int32_t x, std::int32_t y, std::int32_t object,
                            std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                            std::int32_t srcBottom, EffectRegion& region) {
    const platform::Surface* source = ObjectSurface(object);
    if (source == nullptr || !BackSurface) return EffectClip::kRefused;
    if (!SourceInside(*source, srcLeft, srcTop, srcRight, srcBottom)) return EffectClip::kRefused;
    return ClipDestination(x, y, srcLeft, srcTop, static_cast<std::int64_t>(srcRight) - srcLeft,
                           static_cast<std::int64_t>(srcBottom) - srcTop, region);
}

EffectClip ClipDestination(std::int32_t x, std::int32_t y, std::int32_t srcLeft,
                           std::int32_t srcTop, std::int64_t width, std::int64_t height,
                           EffectRegion& region) {
    if (!BackSurface) return EffectClip::kRefused;
    const std::int64_t clipLeft = std::max<std::int64_t>(ClipRect.left, 0);
    const std::int64_t clipTop = std::max<std::int64_t>(ClipRect.top, 0);
    const std::int64_t clipRight = std::min<std::int64_t>(ClipRect.right, BackSurface->width());
    const std::int64_t clipBottom = std::min<std::int64_t>(ClipRect.bottom, BackSurface->height());
    std::int64_t dx = x, dy = y, sx = srcLeft, sy = srcTop;
    if (dx + width > clipRight) width = clipRight - dx;
    if (dy + height > clipBottom) height = clipBottom - dy;
    if (dx < clipLeft) {
        sx += clipLeft - dx;
        width -= clipLeft - dx;
        dx = clipLeft;
    }
    if (dy < clipTop) {
        sy += clipTop - dy;
        height -= clipTop - dy;
        dy = clipTop;
    }
    if (width < 0 || height < 0) return EffectClip::kNothingVisible;
    // A source start moved beyond 32 bits names no pixel of any object.
    if (sx > INT32_MAX || sy > INT32_MAX) return EffectClip::kRefused;
    region = EffectRegion{static_cast<std::int32_t>(dx),    static_cast<std::int32_t>(dy),
                          static_cast<std::int32_t>(sx),    static_cast<std::int32_t>(sy),
                          static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    return EffectClip::kDraw;
}

LockedPair::LockedPair(std::int32_t object, const EffectRegion& region) {
    sourceSurface_ = ObjectSurface(object);
    if (sourceSurface_ == nullptr || !BackSurface) return;
    platform::SurfaceDesc sourceDesc;
    if (sourceSurface_->Lock(sourceDesc) != platform::DD_OK) {
        sourceSurface_ = nullptr;
        return;
    }
    platform::SurfaceDesc destinationDesc;
    if (BackSurface->Lock(destinationDesc) != platform::DD_OK) {
        sourceSurface_->Unlock();
        sourceSurface_ = nullptr;
        return;
    }
    destinationSurface_ = BackSurface.get();
    sourceStride_ = sourceDesc.pitch >> 1;
    destinationStride_ = destinationDesc.pitch >> 1;
    source_ = sourceDesc.memory + region.srcLeft + region.srcTop * sourceStride_;
    destination_ = destinationDesc.memory + region.x + region.y * destinationStride_;
    ok_ = true;
}

LockedPair::~LockedPair() {
    if (sourceSurface_ != nullptr) sourceSurface_->Unlock();
    if (destinationSurface_ != nullptr) destinationSurface_->Unlock();
}

PixelRect CutToBounds(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                      std::int32_t width, std::int32_t height) {
    if (w <= 0 || h <= 0) return {};
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + w, width);
    const std::int64_t bottom = std::min<std::int64_t>(y + h, height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
            static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
}

PixelRect ClipOnBackSurface() {
    if (!BackSurface) return {};
    PixelRect r{std::max(ClipRect.left, 0), std::max(ClipRect.top, 0),
                std::min(ClipRect.right, BackSurface->width()),
                std::min(ClipRect.bottom, BackSurface->height())};
    return r.empty() ? PixelRect{} : r;
}

LockedSurface::LockedSurface(platform::Surface* surface) {
    if (surface == nullptr) return;
    platform::SurfaceDesc desc;
    if (surface->Lock(desc) != platform::DD_OK) return;
    surface_ = surface;
    base_ = desc.memory;
    stride_ = desc.pitch >> 1;
    width_ = surface->width();
    height_ = surface->height();
}

LockedSurface::~LockedSurface() {
    if (surface_ != nullptr) surface_->Unlock();
}

LockedBack::LockedBack() : LockedSurface(BackSurface.get()) {}

}  // namespace elDraw
