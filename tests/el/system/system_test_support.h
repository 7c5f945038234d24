// Shared ground of the elSystem drawing tests: the back surface read as pixels, and the box of
// the pixels of one value in it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/display/gdi.h"
#include "platform/rect.h"
#include "tests/el/draw/draw_test_support.h"

namespace systemtest {

using drawtest::BackPixels;
using drawtest::PixelLayout;

inline std::uint16_t Packed(platform::ColorRef colour, PixelLayout layout) {
    return platform::PackColor(colour, layout);
}

inline int CountOf(const std::vector<std::uint16_t>& pixels, std::uint16_t value) {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), value));
}

// The smallest rectangle holding every pixel of that value on the 640 x 480 back surface;
// right and bottom exclusive, all zero when there is none.
inline platform::Rect BoxOf(const std::vector<std::uint16_t>& pixels, std::uint16_t value) {
    platform::Rect box{640, 480, 0, 0};
    bool any = false;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (pixels[static_cast<std::size_t>(y * 640 + x)] != value) continue;
            any = true;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    return any ? box : platform::Rect{};
}

inline std::uint16_t At(const std::vector<std::uint16_t>& pixels, int x, int y) {
    return pixels[static_cast<std::size_t>(y * 640 + x)];
}

}  // namespace systemtest
