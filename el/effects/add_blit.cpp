#include "el/effects/add_blit.h"

#include <algorithm>
#include <cmath>

#include "el/effects/effect_region.h"
#include "el/effects/pixel_format.h"
#include "platform/blit/blit_kernels.h"

namespace elDraw {
namespace {

// The kernel computes min(d + max(s - P, 0), 31) per 5-bit component, exactly what the
// PixelToRgb and FadeAddTable lookups give, without touching the tables.
int AddWithFade(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
                std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom, int fade) {
    EffectRegion region;
    const EffectClip clip =
        ClipEffectRegion(x, y, object, srcLeft, srcTop, srcRight, srcBottom, region);
    if (clip != EffectClip::kDraw) return EffectResultWithoutDrawing(clip);
    const LockedPair locked(object, region);
    if (!locked.ok()) return 0;
    platform::blit::AddFormat format;
    for (int c = 0; c < 3; ++c) {
        format.shift[c] = static_cast<int>(PixelFormat.Shift(c));
        format.maximum[c] = static_cast<int>(PixelFormat.Max(c));
    }
    platform::blit::AddLight(locked.destination(), locked.destinationStride(), locked.source(),
                             locked.sourceStride(), region.width, region.height, format, fade);
    return 1;
}

}  // namespace

int AddBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
            std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return AddWithFade(x, y, object, srcLeft, srcTop, srcRight, srcBottom, 0);
}

int AddBlitLevel(std::int32_t x, std::int32_t y, float level, std::int32_t object,
                 std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                 std::int32_t srcBottom) {
    const long double p = 31.0L - static_cast<long double>(level) * 31.0f;
    // Outside 0.0..1.0 the level gives a fade outside the tables; it is held to them.
    const int fade = std::isnan(static_cast<double>(p))
                         ? 31
                         : static_cast<int>(std::clamp<long double>(p, 0.0L, 31.0L));
    return AddWithFade(x, y, object, srcLeft, srcTop, srcRight, srcBottom, fade);
}

}  // namespace elDraw
