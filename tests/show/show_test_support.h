// Pictures read out of drawing objects and frames, and the keyed copies the scenes are made of,
// so that expected frames are worked out from the loaded pictures themselves.
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

    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * width + x); }
    std::uint16_t At(int x, int y) const { return pixels[Index(x, y)]; }
    std::uint16_t& At(int x, int y) { return pixels[Index(x, y)]; }
};

Picture BlackScreen();
// `picture` copied keyed at (0, 0) over a black screen.
Picture OverBlack(const Picture& picture);
// Empty when the object has no surface.
Picture ReadObject(std::int32_t object);
Picture ReadBackSurface();
// Writes a picture of the surface's size into an object's surface or the back surface.
void WriteObject(std::int32_t object, const Picture& picture);
void WriteBackSurface(const Picture& picture);
// Random pixels, about a third of them black (0, no light to the additive blit).
Picture Noise(unsigned seed, PixelLayout layout, int width = kWidth, int height = kHeight);
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

// The first pixel where two pictures differ, as "(x, y): a vs b", or "".
std::string FirstDifference(const Picture& a, const Picture& b);

}  // namespace showtest
