// What every pixel effect from an object onto the back surface shares: the clipping of the
// destination to ClipRect and the locking of both surfaces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/display/surface.h"

namespace elDraw {

struct EffectRegion {
    std::int32_t x = 0, y = 0;             // destination on the back surface
    std::int32_t srcLeft = 0, srcTop = 0;  // source in the object
    std::int32_t width = 0, height = 0;
};

enum class EffectClip {
    kDraw,            // region holds what to draw
    kNothingVisible,  // nothing of it lies inside the clip: the effect is done (returns 1)
    kRefused,         // no such object, or a source rectangle not inside it (returns 0)
};

// The one rule of the pixel effects for what they are given. An object number without a
// surface, or a source rectangle with an edge outside the object, is refused: the effect draws
// nothing and returns 0, as a failed lock does, rather than read outside the picture. Otherwise
// the destination is clipped to ClipRect (and to the back surface, whose bounds ClipRect is
// never checked against); nothing visible, an inverted rectangle included, is no error.
EffectClip ClipEffectRegion(std::int32_t x, std::int32_t y, std::int32_t object,
                            std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                            std::int32_t srcBottom, EffectRegion& region);

// The destination clip of ClipEffectRegion alone, for effects that check what they read
// themselves: the source start moves with the cut, the size is width x height.
EffectClip ClipDestination(std::int32_t x, std::int32_t y, std::int32_t srcLeft,
                           std::int32_t srcTop, std::int64_t width, std::int64_t height,
                           EffectRegion& region);

// Whether the rectangle's edges all lie inside the surface (an inverted rectangle may).
bool SourceInside(const platform::Surface& surface, std::int32_t left, std::int32_t top,
                  std::int32_t right, std::int32_t bottom);

// What an effect returns when ClipEffectRegion gives it nothing to draw.
inline int EffectResultWithoutDrawing(EffectClip clip) {
    return clip == EffectClip::kRefused ? 0 : 1;
}

// Both surfaces locked for the lifetime of the object: the object's first, then the back
// surface; unlocked in that order.
class LockedPair {
  public:
    LockedPair(std::int32_t object, const EffectRegion& region);
    ~LockedPair();
    LockedPair(const LockedPair&) = delete;
    LockedPair& operator=(const LockedPair&) = delete;

    bool ok() const { return ok_; }
    const std::uint16_t* source() const { return source_; }
    std::uint16_t* destination() const { return destination_; }
    std::ptrdiff_t sourceStride() const { return sourceStride_; }
    std::ptrdiff_t destinationStride() const { return destinationStride_; }

  private:
    platform::Surface* sourceSurface_ = nullptr;
    platform::Surface* destinationSurface_ = nullptr;
    const std::uint16_t* source_ = nullptr;
    std::uint16_t* destination_ = nullptr;
    std::ptrdiff_t sourceStride_ = 0;
    std::ptrdiff_t destinationStride_ = 0;
    bool ok_ = false;
};

// A rectangle of whole pixels, right and bottom exclusive; empty when right <= left or
// bottom <= top.
struct PixelRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

// The rectangle x, y, w, h cut to 0, 0, width, height, worked in 64 bits so that no sum
// overflows; a negative w or h is an empty rectangle.
PixelRect CutToBounds(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                      std::int32_t width, std::int32_t height);

// ClipRect cut to the back surface: where any effect may draw.
PixelRect ClipOnBackSurface();

// One surface locked for the lifetime of the object, with its base pointer, stride in pixels
// and size: the back surface alone (the screen filters), or an object's.
class LockedSurface {
  public:
    explicit LockedSurface(platform::Surface* surface);
    ~LockedSurface();
    LockedSurface(const LockedSurface&) = delete;
    LockedSurface& operator=(const LockedSurface&) = delete;

    bool ok() const { return surface_ != nullptr; }
    std::uint16_t* base() const { return base_; }
    std::ptrdiff_t stride() const { return stride_; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::uint16_t* at(std::int32_t x, std::int32_t y) const { return base_ + x + y * stride_; }

  private:
    platform::Surface* surface_ = nullptr;
    std::uint16_t* base_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    std::int32_t width_ = 0, height_ = 0;
};

// The back surface locked alone.
class LockedBack : public LockedSurface {
  public:
    LockedBack();
};

}  // namespace elDraw
