// Drawing through device contexts on surfaces and on loaded bitmaps, standing in for GDI:
// scaled copies, single pixels with conversion between colour references and the surface's
// 16-bit format, and bitmap loading from a resource or a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/bitmap/bmp_decoder.h"
#include "platform/display/display_types.h"
#include "platform/display/surface.h"

namespace platform {

// A colour reference in a 16-bit layout: each component's top bits.
std::uint16_t PackColor(ColorRef color, PixelLayout layout);
// A 16-bit pixel as a colour reference: each component widened by repeating its bits.
ColorRef UnpackColor(std::uint16_t pixel, PixelLayout layout);

class DeviceContext {
  public:
    explicit DeviceContext(Surface& surface) : surface_(&surface) {}
    explicit DeviceContext(const DecodedBitmap& bitmap) : bitmap_(&bitmap) {}

    std::int32_t width() const;
    std::int32_t height() const;
    // CLR_INVALID outside the picture.
    ColorRef GetPixel(std::int32_t x, std::int32_t y) const;
    // Returns the colour actually set, or CLR_INVALID outside the picture or on a bitmap.
    ColorRef SetPixel(std::int32_t x, std::int32_t y, ColorRef color);

    Surface* surface() const { return surface_; }
    const DecodedBitmap* bitmap() const { return bitmap_; }

  private:
    Surface* surface_ = nullptr;
    const DecodedBitmap* bitmap_ = nullptr;
};

// A device context for a surface; the surface counts as locked until it is released.
HResult GetDC(Surface& surface, std::optional<DeviceContext>& dc);
void ReleaseDC(Surface& surface, std::optional<DeviceContext>& dc);

// Copies the source rectangle scaled into the destination rectangle (nearest pixel); the parts
// that fall outside either picture are left out. False when nothing could be drawn.
bool StretchBlt(DeviceContext& dst, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, const DeviceContext& src, std::int32_t srcX, std::int32_t srcY,
                std::int32_t srcWidth, std::int32_t srcHeight);

// The bitmap resource of that name, or the bitmap file at that path; nullopt when it is not
// there or is not a picture that can be read safely. For a file, *why (when given) gets the
// reason it was refused, and stays empty when there is no file at the path.
std::optional<DecodedBitmap> LoadBitmapResource(std::string_view name);
std::optional<DecodedBitmap> LoadBitmapFile(const std::string& path, std::string* why = nullptr);

}  // namespace platform
