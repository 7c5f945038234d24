// A 16-bit surface in ordinary memory, standing in for a DirectDraw surface: lock with pitch,
// unscaled and scaled rectangle copies with or without the source colour key, colour fills,
// the colour key, and loss and restore. Rectangles are checked: a source rectangle that does not
// lie inside the source, or a destination that does not lie inside this surface, is refused
// with DDERR_INVALIDRECT and nothing is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/display/display_types.h"
#include "platform/host.h"
#include "platform/rect.h"

namespace platform {

// Largest surface the display makes: bounds every allocation a caller's size can cause.
inline constexpr std::int32_t kMaxSurfaceSide = 16384;
inline constexpr std::int64_t kMaxSurfacePixels = std::int64_t{1} << 26;

class Surface {
  public:
    Surface(std::int32_t width, std::int32_t height, PixelLayout layout, std::uint32_t caps);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    PixelLayout layout() const { return layout_; }
    std::uint32_t caps() const { return caps_; }
    bool primary() const { return (caps_ & DDSCAPS_PRIMARYSURFACE) != 0; }

    HResult Lock(SurfaceDesc& desc);
    HResult Unlock();
    bool locked() const { return lockCount_ > 0; }

    HResult BltFast(std::int32_t x, std::int32_t y, Surface& source, const Rect& sourceRect,
                    std::uint32_t flags);
    // Scaled copy of sourceRect into destRect (nearest neighbour); null rectangles mean the whole
    // surface. DDBLT_KEYSRC leaves the source's key out.
    HResult Blt(const Rect* destRect, Surface& source, const Rect* sourceRect, std::uint32_t flags);
    HResult ColorFill(const Rect* destRect, std::uint32_t value);

    HResult SetColorKey(std::uint32_t flags, const ColorKey& key);
    HResult GetColorKey(std::uint32_t flags, ColorKey& key) const;
    HResult GetPixelFormat(PixelFormatDesc& format) const;
    HResult GetSurfaceDesc(SurfaceDesc& desc) const;

    bool IsLost() const { return lost_; }
    // Memory comes back with undefined contents; here it comes back black.
    HResult Restore();
    void MarkLost() { lost_ = true; }

    // Direct access for the display's own services (presentation, device contexts).
    std::uint16_t* pixels() { return pixels_.data(); }
    const std::uint16_t* pixels() const { return pixels_.data(); }
    std::int32_t pitch() const { return width_; }  // in pixels
    std::uint16_t& At(std::int32_t x, std::int32_t y) {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }

  private:
    bool Contains(const Rect& rect) const;
    HResult CheckUsable(const Surface& other) const;

    std::int32_t width_;
    std::int32_t height_;
    PixelLayout layout_;
    std::uint32_t caps_;
    std::vector<std::uint16_t> pixels_;
    std::optional<std::uint16_t> key_;
    int lockCount_ = 0;
    bool lost_ = false;
};

using SurfacePtr = std::unique_ptr<Surface>;

// Whether a size can be made at all (positive, within the bounds above).
bool SurfaceSizeAllowed(std::int32_t width, std::int32_t height);

}  // namespace platform
