#include "el/effects/colour_blits.h"

#include <cstddef>

#include "el/effects/effect_loop.h"
#include "el/effects/pixel_format.h"

namespace elDraw {
namespace {

using platform::blit::BlendKind;
using platform::blit::BlendOp;

std::size_t SubtractIndex(int channel, int a, int b) {
    return static_cast<std::size_t>(channel * 1024 + a * 32 + b);
}

// Each 5-bit component of the destination less the source's red component, from the tables.
struct SubtractMix {
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const {
        const int red = PixelToRgb[s][0];
        const auto& dc = PixelToRgb[d];
        return static_cast<std::uint16_t>(SubtractTable[SubtractIndex(0, dc[0], red)] |
                                          SubtractTable[SubtractIndex(1, dc[1], red)] |
                                          SubtractTable[SubtractIndex(2, dc[2], red)]);
    }
};

// Each 5-bit component of the source less its fade, from the tables.
struct DarkMix {
    int fade[3] = {};
    std::uint16_t operator()(std::uint16_t s, std::uint16_t) const {
        const auto& sc = PixelToRgb[s];
        return static_cast<std::uint16_t>(SubtractTable[SubtractIndex(0, sc[0], fade[0])] |
                                          SubtractTable[SubtractIndex(1, sc[1], fade[1])] |
                                          SubtractTable[SubtractIndex(2, sc[2], fade[2])]);
    }
};

struct GreyMix {
    std::uint16_t operator()(std::uint16_t s, std::uint16_t) const {
        const auto& sc = PixelToRgb[s];
        const std::uint32_t grey = AverageTable[static_cast<std::size_t>(sc[0] + sc[1] + sc[2])];
        return static_cast<std::uint16_t>(grey << PixelFormat.RedShift5 |
                                          grey << PixelFormat.GreenShift5 |
                                          grey << PixelFormat.BlueShift5);
    }
};

// Each channel at full precision becomes trunc(s * factor), the product in double precision as
// in the extended precision the effect was designed with: a float product can round up to the
// next whole number (25 * 0.04 gives 1 in a float, 0 exactly).
struct ScaleMix {
    float factor[3] = {};
    std::uint32_t shift[3] = {}, max[3] = {};

    ScaleMix() {
        for (int c = 0; c < 3; ++c) {
            shift[c] = PixelFormat.Shift(c);
            max[c] = PixelFormat.Max(c);
        }
    }
    std::uint16_t operator()(std::uint16_t s, std::uint16_t) const {
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t sc = (s >> shift[c]) & max[c];
            const double scaled = static_cast<double>(sc) * static_cast<double>(factor[c]);
            out |= static_cast<std::uint32_t>(scaled) << shift[c];
        }
        return static_cast<std::uint16_t>(out);
    }
};

}  // namespace

int SubBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
            std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    SubtractMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kSubtractRed;
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

int ChannelMaskBlit(std::int32_t x, std::int32_t y, std::int32_t keepR, std::int32_t keepG,
                    std::int32_t keepB, std::int32_t object, std::int32_t srcLeft,
                    std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    BlendOp mask;
    mask.kind = BlendKind::kMask;
    mask.bits = static_cast<std::uint16_t>((keepR != 0 ? PixelFormat.RedMask : 0) |
                                           (keepG != 0 ? PixelFormat.GreenMask : 0) |
                                           (keepB != 0 ? PixelFormat.BlueMask : 0));
    return DrawOverBackSurface(
        x, y, object, srcLeft, srcTop, srcRight, srcBottom, [&](const EffectPixels& p) {
            // Plain bit arithmetic: the kernels take it in any layout.
            platform::blit::Blend(p.destination, p.destinationStride, p.source, p.sourceStride,
                                  p.width, p.height, mask);
        });
}

int BrightBlit(std::int32_t x, std::int32_t y, float factor, std::int32_t object,
               std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
               std::int32_t srcBottom) {
    return BrightBlitRGB(x, y, factor, factor, factor, object, srcLeft, srcTop, srcRight,
                         srcBottom);
}

int BrightBlitRGB(std::int32_t x, std::int32_t y, float factorR, float factorG, float factorB,
                  std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                  std::int32_t srcRight, std::int32_t srcBottom) {
    ScaleMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kScale;
    const float factor[3] = {factorR, factorG, factorB};
    for (int c = 0; c < 3; ++c) mix.factor[c] = blend.factor[c] = UnitInRange(factor[c]);
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

int DarkBlit(std::int32_t x, std::int32_t y, std::int32_t level, std::int32_t object,
             std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
             std::int32_t srcBottom) {
    return DarkBlitRGB(x, y, level, level, level, object, srcLeft, srcTop, srcRight, srcBottom);
}

int DarkBlitRGB(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                std::int32_t levelB, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                std::int32_t srcRight, std::int32_t srcBottom) {
    DarkMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kDarken;
    const std::int32_t level[3] = {levelR, levelG, levelB};
    for (int c = 0; c < 3; ++c) mix.fade[c] = blend.fade[c] = 31 - LevelInRange(level[c]);
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

int GreyBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    GreyMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kGrey;
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

}  // namespace elDraw
