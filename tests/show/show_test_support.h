// Shared ground of the presentation tests: pictures read out of drawing objects and frames,
// the 5-bit colour rule of the additive blit, and the keyed copies that the scenes are made of,
// so that expected frames are worked out from the pictures themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

namespace showtest {

using platform::PixelLayout;

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;

// A 16-bit picture, rows top to bottom, with the source key it carries (if any).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> pixels;
    std::optional<std::uint16_t> key;

    std::uint16_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    std::uint16_t& At(int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    bool empty() const { return pixels.empty(); }
};

// A black screen-sized picture.
Picture BlackScreen();
// The object's surface read through a lock; empty when the object has no surface.
Picture ReadObject(std::int32_t object);
// The back surface read through a lock.
Picture ReadBackSurface();
// Writes a picture of the surface's size into an object's surface or the back surface.
void WriteObject(std::int32_t object, const Picture& picture);
void WriteBackSurface(const Picture& picture);
// A screen-sized picture of random pixels, none of them black (0).
Picture Noise(unsigned seed, PixelLayout layout);
Picture FromFrame(const platform::FrameView& frame);

// The part (srcLeft, srcTop)-(srcRight, srcBottom) of `source` at (x, y) on `onto`, clipped to
// `onto`; source pixels equal to the source's key are left out when keyed.
void Copy(Picture& onto, int x, int y, const Picture& source, int srcLeft, int srcTop, int srcRight,
          int srcBottom, bool keyed);

struct Rgb5 {
    int r, g, b;
};
Rgb5 Components(std::uint16_t pixel, PixelLayout layout);
std::uint16_t Pack(Rgb5 c, PixelLayout layout);
// One pixel of light: each component min(d + max(s - fade, 0), 31); a raw 0 source is no light.
std::uint16_t AddLightPixel(std::uint16_t destination, std::uint16_t source, int fade,
                            PixelLayout layout);

// The first pixel where two pictures of the same size differ, as "(x, y): a vs b", or "".
std::string FirstDifference(const Picture& a, const Picture& b);

}  // namespace showtest
