#include "el/effects/translucent_blits.h"

#include <algorithm>

#include "el/effects/effect_loop.h"
#include "el/effects/pixel_format.h"

namespace elDraw {
namespace {

using platform::blit::BlendKind;
using platform::blit::BlendOp;

// Each channel at full precision becomes trunc(s * a + d * w). The products and their sum are
// worked out in double precision, which gives what the extended precision the effect was
// designed with gives, and not what a float would: with a = 0.1 and w = 1 - 0.1 rounded to a
// float, a + w falls short of 1, so s over an equal d gives s - 1.
struct AlphaMix {
    float a[3] = {}, w[3] = {};
    std::uint32_t shift[3] = {}, max[3] = {};

    AlphaMix() {
        for (int c = 0; c < 3; ++c) {
            shift[c] = PixelFormat.Shift(c);
            max[c] = PixelFormat.Max(c);
        }
    }
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const {
        std::uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t sc = (s >> shift[c]) & max[c];
            const std::uint32_t dc = (d >> shift[c]) & max[c];
            const double mixed = static_cast<double>(sc) * static_cast<double>(a[c]) +
                                 static_cast<double>(dc) * static_cast<double>(w[c]);
            out |= static_cast<std::uint32_t>(mixed) << shift[c];
        }
        return static_cast<std::uint16_t>(out);
    }
};

// Each 5-bit component becomes max(s - fade, 0) + max(d - (31 - fade), 0), read from the tables.
struct CrossFadeMix {
    int fade[3] = {};
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const {
        const auto& sc = PixelToRgb[s];
        const auto& dc = PixelToRgb[d];
        return static_cast<std::uint16_t>(CrossFadeTable[FadeIndex(0, fade[0], sc[0], dc[0])] |
                                          CrossFadeTable[FadeIndex(1, fade[1], sc[1], dc[1])] |
                                          CrossFadeTable[FadeIndex(2, fade[2], sc[2], dc[2])]);
    }
};

// The positions of a gradient: past `start`, every `interval`-th one takes a step. Horizontal
// gradients start again on every row, vertical ones run once down the rows.
class GradientWalk {
  public:
    GradientWalk(std::int32_t vertical, std::uint32_t start, std::int32_t interval)
        : vertical_(vertical != 0), start_(start), interval_(interval) {}

    bool vertical() const { return vertical_; }
    void Restart() { count_ = 0; }
    // Whether position i takes a step; the comparison with start is unsigned, so a start of
    // 0xFFFFFFFF never steps.
    bool Step(int i) {
        if (static_cast<std::uint32_t>(i) <= start_) return false;
        if (++count_ < interval_) return false;
        count_ = 0;
        return true;
    }

  private:
    bool vertical_;
    std::uint32_t start_;
    std::int32_t interval_;
    std::int32_t count_ = 0;
};

// The destination's weights drop by 1/32 a step, not below 0; the source's are 1 - weight.
struct AlphaGradient {
    GradientWalk walk;
    float first[3] = {};
    AlphaMix mix;

    AlphaGradient(const float opacity[3], GradientWalk gradient) : walk(gradient) {
        for (int c = 0; c < 3; ++c) first[c] = Complement(UnitInRange(opacity[c]));
        Restart();
    }
    void Restart() {
        walk.Restart();
        for (int c = 0; c < 3; ++c) Weigh(c, first[c]);
    }
    void Weigh(int c, float w) {
        mix.w[c] = w;
        mix.a[c] = Complement(w);
    }
    void Advance(int i) {
        if (!walk.Step(i)) return;
        for (int c = 0; c < 3; ++c) Weigh(c, std::max(mix.w[c] - 0.03125f, 0.0f));
    }
    void StartRow(int y) {
        if (walk.vertical()) {
            Advance(y);
        } else {
            Restart();
        }
    }
    void AtColumn(int x) {
        if (!walk.vertical()) Advance(x);
    }
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const { return mix(s, d); }
};

// The fade levels drop by 1 a step, not below 0.
struct CrossFadeGradient {
    GradientWalk walk;
    int first[3] = {};
    CrossFadeMix mix;

    CrossFadeGradient(const std::int32_t level[3], GradientWalk gradient) : walk(gradient) {
        for (int c = 0; c < 3; ++c) first[c] = 31 - LevelInRange(level[c]);
        Restart();
    }
    void Restart() {
        walk.Restart();
        std::copy_n(first, 3, mix.fade);
    }
    void Advance(int i) {
        if (!walk.Step(i)) return;
        for (int& fade : mix.fade) fade = std::max(fade - 1, 0);
    }
    void StartRow(int y) {
        if (walk.vertical()) {
            Advance(y);
        } else {
            Restart();
        }
    }
    void AtColumn(int x) {
        if (!walk.vertical()) Advance(x);
    }
    std::uint16_t operator()(std::uint16_t s, std::uint16_t d) const { return mix(s, d); }
};

}  // namespace

int HalfBlit(std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t srcLeft,
             std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return DrawOverBackSurface(
        x, y, object, srcLeft, srcTop, srcRight, srcBottom, [](const EffectPixels& p) {
            BlendOp half;
            half.kind = BlendKind::kHalf;
            half.bits = static_cast<std::uint16_t>(PixelFormat.HalfMask);
            // Plain bit arithmetic: the kernels take it in any layout.
            platform::blit::Blend(p.destination, p.destinationStride, p.source, p.sourceStride,
                                  p.width, p.height, half);
        });
}

int AlphaBlit(std::int32_t x, std::int32_t y, float opacity, std::int32_t object,
              std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom) {
    return AlphaBlitRGB(x, y, opacity, opacity, opacity, object, srcLeft, srcTop, srcRight,
                        srcBottom);
}

int AlphaBlitRGB(std::int32_t x, std::int32_t y, float opacityR, float opacityG, float opacityB,
                 std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
                 std::int32_t srcRight, std::int32_t srcBottom) {
    AlphaMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kAlpha;
    const float opacity[3] = {opacityR, opacityG, opacityB};
    for (int c = 0; c < 3; ++c) {
        mix.a[c] = blend.factor[c] = UnitInRange(opacity[c]);
        mix.w[c] = blend.weight[c] = Complement(mix.a[c]);
    }
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

int CrossFadeBlit(std::int32_t x, std::int32_t y, std::int32_t level, std::int32_t object,
                  std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
                  std::int32_t srcBottom) {
    return CrossFadeBlitRGB(x, y, level, level, level, object, srcLeft, srcTop, srcRight,
                            srcBottom);
}

int CrossFadeBlitRGB(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                     std::int32_t levelB, std::int32_t object, std::int32_t srcLeft,
                     std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    CrossFadeMix mix;
    BlendOp blend;
    blend.kind = BlendKind::kCrossFade;
    const std::int32_t level[3] = {levelR, levelG, levelB};
    for (int c = 0; c < 3; ++c) mix.fade[c] = blend.fade[c] = 31 - LevelInRange(level[c]);
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { BlendOrLoop(p, blend, mix); });
}

int AlphaGradientBlit(std::int32_t x, std::int32_t y, float opacityR, float opacityG,
                      float opacityB, std::int32_t vertical, std::uint32_t start,
                      std::int32_t interval, std::int32_t object, std::int32_t srcLeft,
                      std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    const float opacity[3] = {opacityR, opacityG, opacityB};
    AlphaGradient gradient(opacity, GradientWalk(vertical, start, interval));
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { ForEachPixel(p, gradient); });
}

int CrossFadeGradientBlit(std::int32_t x, std::int32_t y, std::int32_t levelR, std::int32_t levelG,
                          std::int32_t levelB, std::int32_t vertical, std::uint32_t start,
                          std::int32_t interval, std::int32_t object, std::int32_t srcLeft,
                          std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    const std::int32_t level[3] = {levelR, levelG, levelB};
    CrossFadeGradient gradient(level, GradientWalk(vertical, start, interval));
    return DrawOverBackSurface(x, y, object, srcLeft, srcTop, srcRight, srcBottom,
                               [&](const EffectPixels& p) { ForEachPixel(p, gradient); });
}

}  // namespace elDraw
