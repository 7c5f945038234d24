// The frame of the effects that lay a rectangle of an object over the back surface: the clip and
// the lock, one loop over the pixels, the choice of a vector kernel where one gives the same
// pixels, and the holding of out-of-range arguments to what the tables can take.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "el/effects/effect_region.h"
#include "el/effects/pixel_format.h"
#include "platform/blit/blit_kernels.h"

namespace elDraw {

// The locked rectangles: the source in the object, the destination on the back surface.
struct EffectPixels {
    std::uint16_t* destination = nullptr;
    std::ptrdiff_t destinationStride = 0;
    const std::uint16_t* source = nullptr;
    std::ptrdiff_t sourceStride = 0;
    int width = 0, height = 0;
};

// Clips the destination, locks both surfaces and hands the pixels to draw. Returns what every
// such effect returns: 0 for a refused call or a failed lock, otherwise 1.
template <class Draw>
int DrawOverBackSurface(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                        std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom,
                        Draw&& draw) {
    EffectRegion region;
    const EffectClip clip =
        ClipEffectRegion(x, y, object, srcLeft, srcTop, srcRight, srcBottom, region);
    if (clip != EffectClip::kDraw) return EffectResultWithoutDrawing(clip);
    const LockedPair locked(object, region);
    if (!locked.ok()) return 0;
    std::forward<Draw>(draw)(EffectPixels{locked.destination(), locked.destinationStride(),
                                          locked.source(), locked.sourceStride(), region.width,
                                          region.height});
    return 1;
}

// The one pixel loop: rows top to bottom, pixels left to right, and every source pixel s that is
// not raw 0 turns its destination pixel d into op(s, d). An op that follows positions (the
// gradients) also has StartRow(row) called before each row's pixels and AtColumn(column) before
// each pixel, transparent ones included; both count from the first drawn row and column.
template <class Op>
void ForEachPixel(const EffectPixels& p, Op& op) {
    for (int y = 0; y < p.height; ++y) {
        if constexpr (requires { op.StartRow(y); }) op.StartRow(y);
        const std::uint16_t* s = p.source + y * p.sourceStride;
        std::uint16_t* d = p.destination + y * p.destinationStride;
        for (int x = 0; x < p.width; ++x) {
            if constexpr (requires { op.AtColumn(x); }) op.AtColumn(x);
            if (s[x] != 0) d[x] = op(s[x], d[x]);
        }
    }
}

// The layout as the kernels of platform/blit take it.
inline platform::blit::AddFormat KernelFormat() {
    platform::blit::AddFormat format;
    for (int c = 0; c < 3; ++c) {
        format.shift[c] = static_cast<int>(PixelFormat.Shift(c));
        format.maximum[c] = static_cast<int>(PixelFormat.Max(c));
    }
    return format;
}

// The kernel when it has an exact fast path for this layout and these values; otherwise the
// loop over the tables, which is what the kernel reproduces.
template <class Op>
void BlendOrLoop(const EffectPixels& p, platform::blit::BlendOp blend, Op& op) {
    blend.format = KernelFormat();
    if (platform::blit::Blend(p.destination, p.destinationStride, p.source, p.sourceStride, p.width,
                              p.height, blend)) {
        return;
    }
    ForEachPixel(p, op);
}

// A level beyond 0..31 would index past the tables; it is held to the nearest end.
inline int LevelInRange(std::int32_t level) {
    return std::clamp(level, 0, 31);
}

// An opacity or factor beyond 0.0..1.0 would spill into the neighbouring channel and an infinite
// or undefined one has no integer value; they are held to the range, NaN to 0.
inline float UnitInRange(float value) {
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

// 1 - v as the effects compute it: exactly, then rounded to a float.
inline float Complement(float v) {
    return static_cast<float>(1.0 - static_cast<double>(v));
}

}  // namespace elDraw
