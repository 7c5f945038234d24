#include "platform/display/surface.h"

#include <algorithm>

#include "platform/blit/blit_kernels.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"

namespace platform {

bool SurfaceSizeAllowed(std::int32_t width, std::int32_t height) {
    return width > 0 && height > 0 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
           static_cast<std::int64_t>(width) * height <= kMaxSurfacePixels;
}

Surface::Surface(std::int32_t width, std::int32_t height, PixelLayout layout, std::uint32_t caps)
    : width_(width),
      height_(height),
      layout_(layout),
      caps_(caps),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {
    RegisterSurface(this);
}

Surface::~Surface() {
    UnregisterSurface(this);
}

bool Surface::Contains(const Rect& rect) const {
    return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom &&
           rect.right <= width_ && rect.bottom <= height_;
}

HResult Surface::CheckUsable(const Surface& other) const {
    if (lost_ || other.lost_) return DDERR_SURFACELOST;
    if (lockCount_ > 0 || other.lockCount_ > 0) return DDERR_SURFACEBUSY;
    return DD_OK;
}

HResult Surface::Lock(SurfaceDesc& desc) {
    if (lost_) return DDERR_SURFACELOST;
    if (display_faults::ShouldFail(DisplayOp::kLock)) return DDERR_GENERIC;
    ++lockCount_;
    desc.width = width_;
    desc.height = height_;
    desc.caps = caps_;
    desc.pitch = width_ * 2;
    desc.memory = pixels_.data();
    return DD_OK;
}

HResult Surface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
    return DD_OK;
}

HResult Surface::BltFast(std::int32_t x, std::int32_t y, Surface& source, const Rect& sourceRect,
                         std::uint32_t flags) {
    if (const HResult usable = CheckUsable(source); usable != DD_OK) return usable;
    if (!source.Contains(sourceRect)) return DDERR_INVALIDRECT;
    const std::int32_t w = sourceRect.right - sourceRect.left;
    const std::int32_t h = sourceRect.bottom - sourceRect.top;
    if (!Contains(Rect{x, y, x + w, y + h})) return DDERR_INVALIDRECT;
    if (w == 0 || h == 0) return DD_OK;
    const std::uint16_t* from = &source.At(sourceRect.left, sourceRect.top);
    std::ptrdiff_t fromPitch = source.pitch();
    // A copy within one surface reads the source as it was before the copy began.
    std::vector<std::uint16_t> snapshot;
    if (&source == this) {
        snapshot.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        blit::CopyOpaque(snapshot.data(), w, from, fromPitch, w, h);
        from = snapshot.data();
        fromPitch = w;
    }
    std::uint16_t* to = &At(x, y);
    if ((flags & DDBLTFAST_SRCCOLORKEY) != 0 && source.key_) {
        blit::CopyKeyed(to, pitch(), from, fromPitch, w, h, *source.key_);
    } else {
        blit::CopyOpaque(to, pitch(), from, fromPitch, w, h);
    }
    if (primary()) ShowPrimarySurface(*this);
    return DD_OK;
}

HResult Surface::Blt(const Rect* destRect, Surface& source, const Rect* sourceRect,
                     std::uint32_t flags) {
    if (const HResult usable = CheckUsable(source); usable != DD_OK) return usable;
    const Rect to = destRect ? *destRect : Rect{0, 0, width_, height_};
    const Rect from = sourceRect ? *sourceRect : Rect{0, 0, source.width_, source.height_};
    if (!Contains(to) || !source.Contains(from)) return DDERR_INVALIDRECT;
    const std::int32_t dw = to.right - to.left;
    const std::int32_t dh = to.bottom - to.top;
    const std::int32_t sw = from.right - from.left;
    const std::int32_t sh = from.bottom - from.top;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return DD_OK;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0 && source.key_;
    if (dw == sw && dh == sh) {
        return BltFast(to.left, to.top, source, from, keyed ? DDBLTFAST_SRCCOLORKEY : 0);
    }
    const std::uint16_t key = keyed ? *source.key_ : 0;
    for (std::int32_t dy = 0; dy < dh; ++dy) {
        const std::int32_t sy =
            from.top + static_cast<std::int32_t>(static_cast<std::int64_t>(dy) * sh / dh);
        std::uint16_t* row = &At(to.left, to.top + dy);
        const std::uint16_t* sourceRow = &source.At(from.left, sy);
        for (std::int32_t dx = 0; dx < dw; ++dx) {
            const std::uint16_t pixel = sourceRow[static_cast<std::int64_t>(dx) * sw / dw];
            if (!keyed || pixel != key) row[dx] = pixel;
        }
    }
    if (primary()) ShowPrimarySurface(*this);
    return DD_OK;
}

HResult Surface::ColorFill(const Rect* destRect, std::uint32_t value) {
    if (lost_) return DDERR_SURFACELOST;
    if (lockCount_ > 0) return DDERR_SURFACEBUSY;
    const Rect to = destRect ? *destRect : Rect{0, 0, width_, height_};
    if (!Contains(to)) return DDERR_INVALIDRECT;
    blit::Fill(&At(to.left, to.top), pitch(), to.right - to.left, to.bottom - to.top,
               static_cast<std::uint16_t>(value));
    return DD_OK;
}

HResult Surface::SetColorKey(std::uint32_t flags, const ColorKey& key) {
    if ((flags & DDCKEY_SRCBLT) == 0) return DDERR_INVALIDPARAMS;
    key_ = static_cast<std::uint16_t>(key.low);
    return DD_OK;
}

HResult Surface::GetColorKey(std::uint32_t flags, ColorKey& key) const {
    if ((flags & DDCKEY_SRCBLT) == 0 || !key_) return DDERR_NOCOLORKEY;
    key = {*key_, *key_};
    return DD_OK;
}

HResult Surface::GetPixelFormat(PixelFormatDesc& format) const {
    if (display_faults::ShouldFail(DisplayOp::kGetPixelFormat)) return DDERR_GENERIC;
    format.bitCount = 16;
    if (layout_ == PixelLayout::Rgb565) {
        format.redMask = 0xF800;
        format.greenMask = 0x07E0;
    } else {
        format.redMask = 0x7C00;
        format.greenMask = 0x03E0;
    }
    format.blueMask = 0x001F;
    return DD_OK;
}

HResult Surface::GetSurfaceDesc(SurfaceDesc& desc) const {
    desc.width = width_;
    desc.height = height_;
    desc.caps = caps_;
    desc.pitch = width_ * 2;
    return DD_OK;
}

HResult Surface::Restore() {
    if (lost_) std::fill(pixels_.begin(), pixels_.end(), std::uint16_t{0});
    lost_ = false;
    return DD_OK;
}

}  // namespace platform
