#include "tests/show/show_test_support.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "platform/display/surface.h"

namespace showtest {
namespace {

Picture ReadSurface(platform::Surface& surface) {
    Picture picture;
    platform::SurfaceDesc desc;
    if (surface.Lock(desc) != platform::DD_OK) return picture;
    picture.width = desc.width;
    picture.height = desc.height;
    const std::ptrdiff_t stride = desc.pitch / 2;
    for (int y = 0; y < desc.height; ++y) {
        const std::uint16_t* row = desc.memory + y * stride;
        picture.pixels.insert(picture.pixels.end(), row, row + desc.width);
    }
    surface.Unlock();
    platform::ColorKey key;
    if (surface.GetColorKey(platform::DDCKEY_SRCBLT, key) == platform::DD_OK) {
        picture.key = static_cast<std::uint16_t>(key.low);
    }
    return picture;
}

void WriteSurface(platform::Surface* surface, const Picture& picture) {
    if (surface == nullptr || surface->width() != picture.width ||
        surface->height() != picture.height) {
        return;
    }
    platform::SurfaceDesc desc;
    if (surface->Lock(desc) != platform::DD_OK) return;
    const std::ptrdiff_t stride = desc.pitch / 2;
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width,
                    picture.width, desc.memory + y * stride);
    }
    surface->Unlock();
}

}  // namespace

Picture BlackScreen() {
    Picture picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.pixels.assign(static_cast<std::size_t>(kWidth) * kHeight, 0);
    return picture;
}

Picture ReadObject(std::int32_t object) {
    platform::Surface* surface = elDraw::ObjectSurface(object);
    return surface != nullptr ? ReadSurface(*surface) : Picture{};
}

Picture ReadBackSurface() {
    return elDraw::BackSurface ? ReadSurface(*elDraw::BackSurface) : Picture{};
}

void WriteObject(std::int32_t object, const Picture& picture) {
    WriteSurface(elDraw::ObjectSurface(object), picture);
}

void WriteBackSurface(const Picture& picture) {
    WriteSurface(elDraw::BackSurface.get(), picture);
}

Picture Noise(unsigned seed, PixelLayout layout) {
    std::mt19937 random(seed);
    Picture picture = BlackScreen();
    const std::uint32_t mask = layout == PixelLayout::Rgb565 ? 0xFFFF : 0x7FFF;
    for (auto& pixel : picture.pixels) {
        pixel = static_cast<std::uint16_t>(random() % mask + 1);
    }
    return picture;
}

Picture FromFrame(const platform::FrameView& frame) {
    Picture picture;
    picture.width = frame.width;
    picture.height = frame.height;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint16_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        picture.pixels.insert(picture.pixels.end(), row, row + frame.width);
    }
    return picture;
}

void Copy(Picture& onto, int x, int y, const Picture& source, int srcLeft, int srcTop, int srcRight,
          int srcBottom, bool keyed) {
    for (int sy = srcTop; sy < srcBottom; ++sy) {
        const int dy = y + sy - srcTop;
        if (dy < 0 || dy >= onto.height || sy < 0 || sy >= source.height) continue;
        for (int sx = srcLeft; sx < srcRight; ++sx) {
            const int dx = x + sx - srcLeft;
            if (dx < 0 || dx >= onto.width || sx < 0 || sx >= source.width) continue;
            const std::uint16_t pixel = source.At(sx, sy);
            if (keyed && source.key && pixel == *source.key) continue;
            onto.At(dx, dy) = pixel;
        }
    }
}

Rgb5 Components(std::uint16_t pixel, PixelLayout layout) {
    if (layout == PixelLayout::Rgb565) {
        return {(pixel >> 11) & 31, ((pixel >> 5) & 63) >> 1, pixel & 31};
    }
    return {(pixel >> 10) & 31, (pixel >> 5) & 31, pixel & 31};
}

std::uint16_t Pack(Rgb5 c, PixelLayout layout) {
    if (layout == PixelLayout::Rgb565) {
        return static_cast<std::uint16_t>((c.r << 11) | (c.g << 6) | c.b);
    }
    return static_cast<std::uint16_t>((c.r << 10) | (c.g << 5) | c.b);
}

std::uint16_t AddLightPixel(std::uint16_t destination, std::uint16_t source, int fade,
                            PixelLayout layout) {
    if (source == 0) return destination;
    const Rgb5 s = Components(source, layout);
    const Rgb5 d = Components(destination, layout);
    auto add = [fade](int dc, int sc) { return std::min(dc + std::max(sc - fade, 0), 31); };
    return Pack({add(d.r, s.r), add(d.g, s.g), add(d.b, s.b)}, layout);
}

std::string FirstDifference(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) {
        std::ostringstream out;
        out << "sizes " << a.width << "x" << a.height << " vs " << b.width << "x" << b.height;
        return out.str();
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                std::ostringstream out;
                out << "(" << x << ", " << y << "): 0x" << std::hex << a.At(x, y) << " vs 0x"
                    << b.At(x, y);
                return out.str();
            }
        }
    }
    return {};
}

}  // namespace showtest
