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

Picture Rows(const std::uint16_t* memory, int width, int height, std::ptrdiff_t stride) {
    Picture picture{width, height, {}, {}};
    for (int y = 0; y < height; ++y) {
        picture.pixels.insert(picture.pixels.end(), memory + y * stride,
                              memory + y * stride + width);
    }
    return picture;
}

Picture ReadSurface(platform::Surface* surface) {
    platform::SurfaceDesc desc;
    if (surface == nullptr || surface->Lock(desc) != platform::DD_OK) return {};
    Picture picture = Rows(desc.memory, desc.width, desc.height, desc.pitch / 2);
    surface->Unlock();
    platform::ColorKey key;
    if (surface->GetColorKey(platform::DDCKEY_SRCBLT, key) == platform::DD_OK) {
        picture.key = static_cast<std::uint16_t>(key.low);
    }
    return picture;
}

void WriteSurface(platform::Surface* surface, const Picture& picture) {
    platform::SurfaceDesc desc;
    if (surface == nullptr || surface->width() != picture.width ||
        surface->height() != picture.height || surface->Lock(desc) != platform::DD_OK) {
        return;
    }
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.pixels.begin() + picture.Index(0, y), picture.width,
                    desc.memory + y * (desc.pitch / 2));
    }
    surface->Unlock();
}

}  // namespace

Picture BlackScreen() {
    return Picture{kWidth, kHeight, std::vector<std::uint16_t>(kWidth * kHeight, 0), {}};
}

Picture OverBlack(const Picture& picture) {
    Picture out = BlackScreen();
    Copy(out, 0, 0, picture, 0, 0, picture.width, picture.height, true);
    return out;
}

Picture ReadObject(std::int32_t object) {
    return ReadSurface(elDraw::ObjectSurface(object));
}
Picture ReadBackSurface() {
    return ReadSurface(elDraw::BackSurface.get());
}
void WriteObject(std::int32_t object, const Picture& picture) {
    WriteSurface(elDraw::ObjectSurface(object), picture);
}
void WriteBackSurface(const Picture& picture) {
    WriteSurface(elDraw::BackSurface.get(), picture);
}

Picture Noise(unsigned seed, PixelLayout layout, int width, int height) {
    std::mt19937 random(seed);
    Picture picture{width, height, std::vector<std::uint16_t>(width * height), {}};
    const std::uint32_t top = layout == PixelLayout::Rgb565 ? 0x10000 : 0x8000;
    for (auto& pixel : picture.pixels) {
        pixel = random() % 3 == 0 ? 0 : static_cast<std::uint16_t>(random() % top);
    }
    return picture;
}

Picture FromFrame(const platform::FrameView& frame) {
    return Rows(frame.pixels, frame.width, frame.height, frame.pitch);
}

void Copy(Picture& onto, int x, int y, const Picture& source, int srcLeft, int srcTop, int srcRight,
          int srcBottom, bool keyed) {
    for (int sy = std::max(srcTop, 0); sy < std::min(srcBottom, source.height); ++sy) {
        const int dy = y + sy - srcTop;
        if (dy < 0 || dy >= onto.height) continue;
        for (int sx = std::max(srcLeft, 0); sx < std::min(srcRight, source.width); ++sx) {
            const int dx = x + sx - srcLeft;
            const std::uint16_t pixel = source.At(sx, sy);
            if (dx < 0 || dx >= onto.width || (keyed && source.key == pixel)) continue;
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
    const int red = layout == PixelLayout::Rgb565 ? 11 : 10;
    const int green = layout == PixelLayout::Rgb565 ? 6 : 5;
    return static_cast<std::uint16_t>((c.r << red) | (c.g << green) | c.b);
}

std::string FirstDifference(const Picture& a, const Picture& b) {
    std::ostringstream out;
    if (a.width != b.width || a.height != b.height) {
        out << "sizes " << a.width << "x" << a.height << " vs " << b.width << "x" << b.height;
        return out.str();
    }
    const auto [pa, pb] = std::mismatch(a.pixels.begin(), a.pixels.end(), b.pixels.begin());
    if (pa == a.pixels.end()) return {};
    const auto i = static_cast<int>(pa - a.pixels.begin());
    out << "(" << i % a.width << ", " << i / a.width << "): 0x" << std::hex << *pa << " vs 0x"
        << *pb;
    return out.str();
}

}  // namespace showtest
