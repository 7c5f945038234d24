#include "platform/display/gdi.h"

#include <algorithm>
#include <vector>

#include "platform/display/display_faults.h"
#include "platform/file_read.h"
#include "platform/resources.h"

namespace platform {
namespace {

// No picture the decoder accepts is anywhere near this; it bounds what a file can make us read.
constexpr std::uint64_t kMaxBitmapFileBytes = 128 * 1024 * 1024;

std::uint32_t Widen(std::uint32_t value, int bits) {
    // Repeat the bits so that full scale stays full scale: 31 becomes 255, 63 becomes 255.
    return (value << (8 - bits)) | (value >> (2 * bits - 8));
}

}  // namespace

std::uint16_t PackColor(ColorRef color, PixelLayout layout) {
    const std::uint32_t r = color & 0xFF;
    const std::uint32_t g = (color >> 8) & 0xFF;
    const std::uint32_t b = (color >> 16) & 0xFF;
    if (layout == PixelLayout::Rgb565) {
        return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    }
    return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

ColorRef UnpackColor(std::uint16_t pixel, PixelLayout layout) {
    std::uint32_t r, g, b;
    if (layout == PixelLayout::Rgb565) {
        r = Widen((pixel >> 11) & 31, 5);
        g = Widen((pixel >> 5) & 63, 6);
    } else {
        r = Widen((pixel >> 10) & 31, 5);
        g = Widen((pixel >> 5) & 31, 5);
    }
    b = Widen(pixel & 31, 5);
    return r | (g << 8) | (b << 16);
}

std::int32_t DeviceContext::width() const {
    return surface_ ? surface_->width() : bitmap_->width;
}
std::int32_t DeviceContext::height() const {
    return surface_ ? surface_->height() : bitmap_->height;
}

ColorRef DeviceContext::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return CLR_INVALID;
    if (surface_ != nullptr) return UnpackColor(surface_->At(x, y), surface_->layout());
    const std::uint32_t rgb =
        bitmap_->pixels[static_cast<std::size_t>(y) * bitmap_->width + static_cast<std::size_t>(x)];
    return Rgb(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
               static_cast<std::uint8_t>(rgb));
}

ColorRef DeviceContext::SetPixel(std::int32_t x, std::int32_t y, ColorRef color) {
    if (surface_ == nullptr || x < 0 || y < 0 || x >= width() || y >= height()) {
        return CLR_INVALID;
    }
    const std::uint16_t pixel = PackColor(color, surface_->layout());
    surface_->At(x, y) = pixel;
    return UnpackColor(pixel, surface_->layout());
}

HResult GetDC(Surface& surface, std::optional<DeviceContext>& dc) {
    dc.reset();
    if (surface.IsLost()) return DDERR_SURFACELOST;
    if (display_faults::ShouldFail(DisplayOp::kGetDC)) return DDERR_GENERIC;
    SurfaceDesc desc;
    if (const HResult locked = surface.Lock(desc); locked != DD_OK) return locked;
    dc.emplace(surface);
    return DD_OK;
}

void ReleaseDC(Surface& surface, std::optional<DeviceContext>& dc) {
    if (!dc) return;
    dc.reset();
    surface.Unlock();
}

bool StretchBlt(DeviceContext& dst, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, const DeviceContext& src, std::int32_t srcX, std::int32_t srcY,
                std::int32_t srcWidth, std::int32_t srcHeight) {
    Surface* target = dst.surface();
    if (target == nullptr || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) {
        return false;
    }
    const PixelLayout layout = target->layout();
    const Surface* sourceSurface = src.surface();
    const DecodedBitmap* sourceBitmap = src.bitmap();
    const bool sameFormat = sourceSurface != nullptr && sourceSurface->layout() == layout;
    // Only the part of the destination that lands on the target is visited: a caller's huge
    // size costs no more than the surface.
    const std::int64_t firstRow = std::max<std::int64_t>(0, -static_cast<std::int64_t>(y));
    const std::int64_t endRow = std::min<std::int64_t>(height, std::int64_t{target->height()} - y);
    const std::int64_t firstColumn = std::max<std::int64_t>(0, -static_cast<std::int64_t>(x));
    const std::int64_t endColumn = std::min<std::int64_t>(width, std::int64_t{target->width()} - x);
    for (std::int64_t dy = firstRow; dy < endRow; ++dy) {
        const auto ty = static_cast<std::int32_t>(y + dy);
        const std::int64_t sy = srcY + dy * srcHeight / height;
        if (sy < 0 || sy >= src.height()) continue;
        for (std::int64_t dx = firstColumn; dx < endColumn; ++dx) {
            const auto tx = static_cast<std::int32_t>(x + dx);
            const std::int64_t sx = srcX + dx * srcWidth / width;
            if (sx < 0 || sx >= src.width()) continue;
            const auto sourceX = static_cast<std::int32_t>(sx);
            const auto sourceY = static_cast<std::int32_t>(sy);
            if (sameFormat) {
                target->At(tx, ty) = const_cast<Surface*>(sourceSurface)->At(sourceX, sourceY);
            } else if (sourceBitmap != nullptr) {
                const std::uint32_t rgb =
                    sourceBitmap->pixels[static_cast<std::size_t>(sourceY) * sourceBitmap->width +
                                         static_cast<std::size_t>(sourceX)];
                target->At(tx, ty) = PackColor(
                    Rgb(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb)),
                    layout);
            } else {
                target->At(tx, ty) = PackColor(src.GetPixel(sourceX, sourceY), layout);
            }
        }
    }
    return true;
}

std::optional<DecodedBitmap> LoadBitmapResource(std::string_view name) {
    const auto bytes = FindResource(name, RT_BITMAP);
    if (!bytes) return std::nullopt;
    return DecodeBmp(*bytes);
}

std::optional<DecodedBitmap> LoadBitmapFile(const std::string& path, std::string* why) {
    std::vector<std::uint8_t> bytes;
    const FileReadError error = ReadRegularFile(path, kMaxBitmapFileBytes, &bytes);
    if (error != FileReadError::None) {
        if (why != nullptr && error != FileReadError::Missing) *why = FileReadErrorText(error);
        return std::nullopt;
    }
    return DecodeBmp(bytes, why);
}

}  // namespace platform
