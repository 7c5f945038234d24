#include "el/effects/warp_blits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/effects/effect_region.h"
#include "platform/blit/blit_kernels.h"

namespace elDraw {
namespace {

// v brought into 0..size - 1 as "add size while negative, then the remainder" does; 0 for a
// value that has none.
std::int32_t Wrap(double v, std::int32_t size) {
    if (!std::isfinite(v)) return 0;
    double r = std::fmod(v, static_cast<double>(size));
    if (r < 0) r += size;
    return std::min(static_cast<std::int32_t>(r), size - 1);
}

}  // namespace

int WarpBlit(std::int32_t x, std::int32_t y, std::int32_t amplitude, std::int32_t frequency,
             std::int32_t step, float scale, float shear, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    EffectRegion region;
    const EffectClip clip =
        ClipEffectRegion(x, y, object, srcLeft, srcTop, srcRight, srcBottom, region);
    if (clip != EffectClip::kDraw) return EffectResultWithoutDrawing(clip);
    const LockedSurface from(ObjectSurface(object));
    if (!from.ok()) return 0;
    const LockedBack back;
    if (!back.ok()) return 0;
    // A step below 1 would never leave the first sample.
    const std::int32_t stride = std::max(step, 1);
    // The sizes from the moved source start to the unmoved far edges.
    const float W = static_cast<float>(srcRight - region.srcLeft);
    const float H = static_cast<float>(srcBottom - region.srcTop);
    const PixelRect area = ClipOnBackSurface();
    for (std::int32_t j = 0; j < region.height; j += stride) {
        const float ny = 2.0f / H * static_cast<float>(j) - 1.0f;
        const std::uint16_t* s = from.at(region.srcLeft, region.srcTop + j);
        for (std::int32_t i = 0; i < region.width; i += stride) {
            const float nx = 2.0f / W * static_cast<float>(i) - 1.0f;
            const double nx2 = static_cast<double>(nx) * nx, ny2 = static_cast<double>(ny) * ny;
            const double envelope = std::exp(ny2 - nx2);
            const double ripple = std::cos(std::sqrt(nx2 + ny2) * frequency);
            const float rowPos =
                static_cast<float>((ripple * envelope + 1.0) * amplitude / 2.0 + j);
            const double dx = std::trunc((i + j * static_cast<double>(shear)) * scale);
            const double dy = std::trunc(static_cast<double>(scale) * rowPos);
            // Compared before any conversion: a far or undefined position draws nothing.
            const double tx = region.x + dx, ty = region.y + dy;
            if (!(tx >= area.left && tx < area.right && ty >= area.top && ty < area.bottom)) {
                continue;
            }
            *back.at(static_cast<std::int32_t>(tx), static_cast<std::int32_t>(ty)) = s[i];
        }
    }
    return 1;
}

int SmearBlit(std::int32_t x, std::int32_t y, std::int32_t mode, std::int32_t pos,
              std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom) {
    const platform::Surface* surface = ObjectSurface(object);
    if (surface == nullptr) return 0;
    if (mode < 0 || mode > 3) return 1;
    std::int64_t width = static_cast<std::int64_t>(srcRight) - srcLeft;
    std::int64_t height = static_cast<std::int64_t>(srcBottom) - srcTop;
    if (mode == 0) width = static_cast<std::int64_t>(ScreenWidth) - 2 * std::int64_t{srcLeft};
    if (mode == 2) height = static_cast<std::int64_t>(ScreenHeight) - 2 * std::int64_t{srcTop};
    EffectRegion region;
    const EffectClip clip = ClipDestination(x, y, srcLeft, srcTop, width, height, region);
    if (clip != EffectClip::kDraw) return EffectResultWithoutDrawing(clip);
    if (region.width == 0 || region.height == 0) return 1;
    const bool columns = mode <= 1;
    // pos is compared unsigned, so a negative one lies beyond every column; the column or row
    // read never lies beyond the rectangle.
    const std::int64_t last = (columns ? region.width : region.height) - 1;
    const std::int64_t p = std::min<std::int64_t>(static_cast<std::uint32_t>(pos), last);
    // Only what is read must lie in the object.
    const std::int64_t readRight = columns && mode == 0 ? p + 1 : region.width;
    const std::int64_t readBottom = !columns && mode == 2 ? p + 1 : region.height;
    const std::int64_t readLeft = mode == 1 ? p : 0, readTop = mode == 3 ? p : 0;
    if (!SourceInside(*surface, static_cast<std::int32_t>(region.srcLeft + readLeft),
                      static_cast<std::int32_t>(region.srcTop + readTop),
                      static_cast<std::int32_t>(region.srcLeft + readRight),
                      static_cast<std::int32_t>(region.srcTop + readBottom)) ||
        region.srcLeft + readRight > surface->width() ||
        region.srcTop + readBottom > surface->height()) {
        return 0;
    }
    const LockedSurface from(ObjectSurface(object));
    if (!from.ok()) return 0;
    const LockedBack back;
    if (!back.ok()) return 0;
    const std::int32_t w = region.width, h = region.height;
    const std::int32_t at = static_cast<std::int32_t>(p);
    if (mode == 3) {
        // The rows above the rectangle, up to the surface's top, take row pos as it is.
        const std::uint16_t* s = from.at(region.srcLeft, region.srcTop + at);
        for (std::int32_t row = 0; row < region.y; ++row) {
            std::copy_n(s, w, back.at(region.x, row));
        }
    }
    for (std::int32_t r = 0; r < h; ++r) {
        std::int32_t sr = r;
        if (mode == 2) sr = std::min(r, at);
        if (mode == 3) sr = std::max(r, at);
        const std::uint16_t* s = from.at(region.srcLeft, region.srcTop + sr);
        std::uint16_t* d = back.at(region.x, region.y + r);
        for (std::int32_t c = 0; c < w; ++c) {
            std::int32_t sc = c;
            if (mode == 0) sc = std::min(c, at);
            if (mode == 1) sc = std::max(c, at);
            if (s[sc] != 0) d[c] = s[sc];
        }
        if (mode == 1) std::fill_n(back.at(0, region.y + r), region.x, s[at]);
    }
    return 1;
}

void BuildTunnelMap(std::int32_t texW, std::int32_t texH, std::int32_t mapW, std::int32_t mapH,
                    std::int32_t centreX, std::int32_t centreY, std::int32_t fov,
                    std::int32_t motion, std::int32_t metric, std::int32_t depthMode) {
    // Beyond these the map would overrun, the wrap never end, or an entry not fit 16 bits.
    if (texW <= 0 || texH <= 0 || texW > 32767 || texH > 32767 || mapW <= 0 || mapH <= 0 ||
        static_cast<std::int64_t>(mapW) * mapH > kTunnelMapSize) {
        return;
    }
    TunnelTexW = texW;
    TunnelTexH = texH;
    TunnelMapW = mapW;
    TunnelMapH = mapH;
    std::int64_t cx = centreX == -1 ? mapW / 2 : centreX;
    std::int64_t cy = centreY == -1 ? mapH / 2 : centreY;
    const std::int32_t view = fov == -1 ? 8 : std::max(fov, 2);
    if (motion == 1) cy = mapH;
    if (motion == 3) cx = mapW;
    if (motion == 4) cx = 0;
    const double k = texH / (2.0 * std::tan(std::numbers::pi / view / 2.0));
    float dist = 0.0f;
    double depth = 0.0;
    for (std::int64_t y = 0; y < mapH; ++y) {
        if (motion == 1) --cy;
        if (motion == 2) cx = mapW;
        if (motion == 3) cx = std::max<std::int64_t>(cx - 1, 0);
        if (motion == 4) cx = std::min<std::int64_t>(cx + 1, mapW);
        for (std::int64_t x = 0; x < mapW; ++x) {
            if (motion == 2) --cx;
            const std::int64_t dx = x - cx, dy = y - cy;
            const std::int64_t ax = std::llabs(dx), ay = std::llabs(dy);
            switch (metric) {
                case 0:
                    dist = std::sqrt(static_cast<float>(static_cast<double>(dx) * dx +
                                                        static_cast<double>(dy) * dy));
                    break;
                case 1:
                    dist = static_cast<float>(std::max(ax, ay));
                    break;
                case 2:
                    dist = static_cast<float>((ax + ay) / 2);
                    break;
                case 3:
                    dist = static_cast<float>(std::min(ax, ay));
                    break;
                case 4:
                    dist = static_cast<float>(ax);
                    break;
                case 5:
                    dist = static_cast<float>(ay);
                    break;
                case 6:
                    dist = static_cast<float>(cx);
                    break;
                default:
                    break;
            }
            // The divisors are whole numbers, as the modes were written; 0 gives no depth.
            const auto over = [k](std::int64_t d) { return k / static_cast<double>(d); };
            switch (depthMode) {
                case 0:
                    depth = k / 32.0;
                    break;
                case 1:
                    depth = over((ay + 1) / 10);
                    break;
                case 2:
                    depth = over((ax + 1) / 10);
                    break;
                case 3:
                    depth = over(std::max(ax, ay));
                    break;
                case 4:
                    depth = over((ax + ay) / 2);
                    break;
                case 5:
                    depth = over(std::min(ax, ay));
                    break;
                default:
                    break;
            }
            depth = std::fabs(depth);
            const double u =
                std::trunc(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * texW /
                           (2.0 * std::numbers::pi));
            const double radius =
                std::sqrt(static_cast<double>(cx) * cx + static_cast<double>(cy) * cy);
            const double v = std::trunc((radius - dist) * depth / dist);
            auto& entry = TunnelMap[static_cast<std::size_t>(y * mapW + x)];
            entry[0] = static_cast<std::int16_t>(Wrap(u, texW));
            entry[1] = static_cast<std::int16_t>(Wrap(v, texH));
        }
    }
}

int TunnelBlit(std::int32_t x, std::int32_t y, std::int32_t scrollU, std::int32_t scrollV,
               std::int32_t object) {
    const platform::Surface* surface = ObjectSurface(object);
    if (surface == nullptr || surface->width() < TunnelTexW || surface->height() < TunnelTexH) {
        return 0;
    }
    const LockedSurface texture(ObjectSurface(object));
    if (!texture.ok()) return 0;
    const LockedBack back;
    if (!back.ok()) return 0;
    if (TunnelTexW <= 0 || TunnelTexH <= 0) return 1;
    // Sizes changed by hand since the map was built must still stay inside it.
    if (TunnelMapW < 0 || TunnelMapH < 0 ||
        std::int64_t{TunnelMapW} * TunnelMapH > kTunnelMapSize) {
        return 1;
    }
    const std::int32_t su = Wrap(scrollU, TunnelTexW), sv = Wrap(scrollV, TunnelTexH);
    // The map's part on the back surface.
    const PixelRect r = CutToBounds(x, y, TunnelMapW, TunnelMapH, back.width(), back.height());
    const platform::blit::WrapGather gather{
        texture.base(),
        texture.stride(),
        (texture.height() - 1) * texture.stride() + texture.width(),
        TunnelTexW,
        TunnelTexH,
        su,
        sv};
    for (std::int32_t row = r.top; row < r.bottom; ++row) {
        const auto& first = TunnelMap[static_cast<std::size_t>(
            (row - std::int64_t{y}) * TunnelMapW + (r.left - std::int64_t{x}))];
        platform::blit::GatherWrapped(back.at(r.left, row), first.data(), r.right - r.left, gather);
    }
    return 1;
}

}  // namespace elDraw
