// The blend kernels written once over a set of 16-bit lanes. Each variant's source defines its
// lanes (a struct of types and static functions: T::V, T::Pair, T::Count, T::kLanes, loads,
// stores and the lane arithmetic used below) and GREETING_BLEND_TARGET, the target attribute every
// function here carries, and then includes this file. The anonymous namespace gives each variant
// its own copies, so no function compiled for one instruction set can stand in for another's at
// link time.
//
// The 5-bit components of the effect tables are worked on where they lie: red and blue each
// fill part of one byte, so one bytewise saturating subtraction floors both at zero, and green,
// across the two bytes, takes a 16-bit one. Full-precision channels are shifted down to bits
// 0..max.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/blit/blend_plan.h"

namespace platform::blit::detail {
namespace {
namespace blend {

template <bool kWide>
struct Layout {
    static constexpr int kShift[3] = {kWide ? 11 : 10, 5, 0};
    static constexpr int kMax[3] = {31, kWide ? 63 : 31, 31};
    static constexpr int kShift5[3] = {kWide ? 11 : 10, kWide ? 6 : 5, 0};
    // The bits of the 5-bit components of red and blue, and of green.
    static constexpr std::uint16_t kRedBlue = kWide ? 0xF81F : 0x7C1F;
    static constexpr std::uint16_t kGreen = kWide ? 0x07C0 : 0x03E0;
};

// The whole channel at bits 0..max.
template <class T, int kShift, int kMax>
GREETING_BLEND_TARGET inline typename T::V Full(typename T::V v) {
    if constexpr (kShift + (kMax == 63 ? 6 : 5) == 16) {
        return T::template Shr<kShift>(v);
    } else if constexpr (kShift == 0) {
        return T::And(v, T::Splat(kMax));
    } else {
        return T::And(T::template Shr<kShift>(v), T::Splat(kMax));
    }
}

// The whole channel times four.
template <class T, int kShift, int kMax>
GREETING_BLEND_TARGET inline typename T::V Four(typename T::V v) {
    if constexpr (kShift >= 2) {
        return T::And(T::template Shr<kShift - 2>(v), T::Splat(kMax << 2));
    } else {
        return T::And(T::template Shl<2 - kShift>(v), T::Splat(kMax << 2));
    }
}

template <class T, int kShift>
GREETING_BLEND_TARGET inline typename T::V Place(typename T::V v) {
    if constexpr (kShift == 0) {
        return v;
    } else {
        return T::template Shl<kShift>(v);
    }
}

// In 5-5-5 the tables read a pixel with bit 15 set as black.
template <class T, bool kWide>
GREETING_BLEND_TARGET inline typename T::V AsTablesRead(typename T::V v) {
    if constexpr (kWide) {
        return v;
    } else {
        return T::AndNot(T::template Sar<15>(v), v);
    }
}

template <class T>
struct Half {
    typename T::V bits;
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V out =
            T::Add(T::And(T::template Shr<1>(s), bits), T::And(T::template Shr<1>(d), bits));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T>
struct Mask {
    typename T::V bits;
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        return T::KeepWhereZero(T::And(s, bits), d, s);
    }
};

// Per-channel amounts where the 5-bit components lie, for the bytewise (red and blue) and the
// 16-bit (green) subtraction.
template <class T, bool kWide>
struct Amounts {
    typename T::V redBlue, green;
    GREETING_BLEND_TARGET static Amounts Of(const int fade[3]) {
        using L = Layout<kWide>;
        return {T::Splat(static_cast<std::uint16_t>(fade[0] << L::kShift5[0] | fade[2])),
                T::Splat(static_cast<std::uint16_t>(fade[1] << L::kShift5[1]))};
    }
    // The 5-bit components of v, each less its amount and not below 0, in place.
    GREETING_BLEND_TARGET static typename T::V Less(typename T::V v, typename T::V redBlue,
                                                    typename T::V green) {
        using L = Layout<kWide>;
        return T::Or(T::SubsU8(T::And(v, T::Splat(L::kRedBlue)), redBlue),
                     T::SubsU(T::And(v, T::Splat(L::kGreen)), green));
    }
};

template <class T, bool kWide>
struct CrossFade {
    Amounts<T, kWide> source, destination;  // fade and 31 - fade
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        using A = Amounts<T, kWide>;
        // No component of the sum exceeds 31, so none carries into the next.
        const typename T::V out =
            T::Add(A::Less(AsTablesRead<T, kWide>(s), source.redBlue, source.green),
                   A::Less(AsTablesRead<T, kWide>(d), destination.redBlue, destination.green));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Darken {
    Amounts<T, kWide> fade;
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V out =
            Amounts<T, kWide>::Less(AsTablesRead<T, kWide>(s), fade.redBlue, fade.green);
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct SubtractRed {
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        using L = Layout<kWide>;
        // Nothing lies above red once bit 15 of 5-5-5 reads as black.
        const typename T::V red = T::template Shr<L::kShift5[0]>(AsTablesRead<T, kWide>(s));
        const typename T::V out = Amounts<T, kWide>::Less(
            AsTablesRead<T, kWide>(d), T::Or(T::template Shl<L::kShift5[0]>(red), red),
            T::template Shl<L::kShift5[1]>(red));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Grey {
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        using L = Layout<kWide>;
        const typename T::V sr = AsTablesRead<T, kWide>(s);
        const typename T::V sum =
            T::Add(T::Add(T::template Shr<L::kShift5[0]>(sr),
                          T::And(T::template Shr<L::kShift5[1]>(sr), T::Splat(31))),
                   T::And(sr, T::Splat(31)));
        // sum * 21846 / 65536 is sum / 3 plus less than 0.001 for sums up to 93.
        const typename T::V g = T::MulHiU(sum, T::Splat(21846));
        const typename T::V out =
            T::Or(T::Or(T::template Shl<L::kShift5[0]>(g), T::template Shl<L::kShift5[1]>(g)), g);
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Scale {
    typename T::V scale[3];
    template <int c>
    GREETING_BLEND_TARGET typename T::V Channel(typename T::V s) const {
        constexpr int kShift = Layout<kWide>::kShift[c];
        constexpr int kMax = Layout<kWide>::kMax[c];
        // The channel doubled, so that the high half of the 32-bit product is (c * scale) >> 15.
        typename T::V twice;
        if constexpr (kShift == 0) {
            twice = T::And(T::template Shl<1>(s), T::Splat(kMax << 1));
        } else {
            twice = T::And(T::template Shr<kShift - 1>(s), T::Splat(kMax << 1));
        }
        return Place<T, kShift>(T::MulHiU(twice, scale[c]));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V out = T::Or(T::Or(Channel<0>(s), Channel<1>(s)), Channel<2>(s));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Alpha {
    typename T::V high[3];
    typename T::Pair pair[3];  // alphaLow and alphaSlack, multiplied with t and d
    typename T::Count shift[3];
    template <int c>
    GREETING_BLEND_TARGET typename T::V Channel(typename T::V d, typename T::V s) const {
        constexpr int kShift = Layout<kWide>::kShift[c];
        constexpr int kMax = Layout<kWide>::kMax[c];
        const typename T::V dc = Full<T, kShift, kMax>(d);
        const typename T::V t = T::Sub(Full<T, kShift, kMax>(s), dc);
        const typename T::V z = T::Add(T::MulLo(t, high[c]), T::MulAddShift15(t, dc, pair[c]));
        return Place<T, kShift>(T::Add(dc, T::SarBy(z, shift[c])));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V out =
            T::Or(T::Or(Channel<0>(d, s), Channel<1>(d, s)), Channel<2>(d, s));
        return T::KeepWhereZero(out, d, s);
    }
};

// The mix when every weight is exactly 1 - factor: each channel is d + floor(t * factor), and
// as the results stay within their channels the three are added to d whole.
template <class T, bool kWide>
struct AlphaExact {
    typename T::V near[3];
    template <int c>
    GREETING_BLEND_TARGET typename T::V Channel(typename T::V d, typename T::V s) const {
        constexpr int kShift = Layout<kWide>::kShift[c];
        constexpr int kMax = Layout<kWide>::kMax[c];
        const typename T::V four = T::Sub(Four<T, kShift, kMax>(s), Four<T, kShift, kMax>(d));
        return Place<T, kShift>(T::MulHiS(four, near[c]));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        // Full precision has no bit 15 in 5-5-5.
        const typename T::V base = kWide ? d : T::And(d, T::Splat(0x7FFF));
        const typename T::V out =
            T::Add(T::Add(base, Channel<0>(d, s)), T::Add(Channel<1>(d, s), Channel<2>(d, s)));
        return T::KeepWhereZero(out, d, s);
    }
};

// Rows of any width. Blending twice is not harmless, so the last vector of a row that is not a
// whole number of vectors, which overlaps pixels the loop writes, is worked out from the row as it
// was and stored after the loop: the overlap then receives the same values again. A row narrower
// than one vector goes through a small buffer whose other pixels are transparent.
template <class T, class Op>
GREETING_BLEND_TARGET void Rows(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                int height, const Op& op) {
    constexpr int kLanes = T::kLanes;
    for (int y = 0; y < height; ++y) {
        std::uint16_t* d = dst + y * dstPitch;
        const std::uint16_t* s = src + y * srcPitch;
        if (width < kLanes) {
            std::uint16_t db[kLanes] = {};
            std::uint16_t sb[kLanes] = {};
            std::memcpy(db, d, static_cast<std::size_t>(width) * 2);
            std::memcpy(sb, s, static_cast<std::size_t>(width) * 2);
            T::Store(db, op(T::Load(db), T::Load(sb)));
            std::memcpy(d, db, static_cast<std::size_t>(width) * 2);
            continue;
        }
        const bool tail = width % kLanes != 0;
        const typename T::V last =
            tail ? op(T::Load(d + width - kLanes), T::Load(s + width - kLanes)) : T::Splat(0);
        int x = 0;
        for (; x + 2 * kLanes <= width; x += 2 * kLanes) {
            const typename T::V a = op(T::Load(d + x), T::Load(s + x));
            const typename T::V b = op(T::Load(d + x + kLanes), T::Load(s + x + kLanes));
            T::Store(d + x, a);
            T::Store(d + x + kLanes, b);
        }
        if (x + kLanes <= width) T::Store(d + x, op(T::Load(d + x), T::Load(s + x)));
        if (tail) T::Store(d + width - kLanes, last);
    }
}

template <class T, bool kWide>
GREETING_BLEND_TARGET void RunLayout(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                     const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                     int height, const BlendPlan& plan) {
    switch (plan.kind) {
        case BlendKind::kCrossFade: {
            int rest[3];
            for (int c = 0; c < 3; ++c) rest[c] = 31 - plan.fade[c];
            const CrossFade<T, kWide> op{Amounts<T, kWide>::Of(plan.fade),
                                         Amounts<T, kWide>::Of(rest)};
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, op);
            return;
        }
        case BlendKind::kDarken:
            Rows<T>(dst, dstPitch, src, srcPitch, width, height,
                    Darken<T, kWide>{Amounts<T, kWide>::Of(plan.fade)});
            return;
        case BlendKind::kSubtractRed:
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, SubtractRed<T, kWide>{});
            return;
        case BlendKind::kGrey:
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, Grey<T, kWide>{});
            return;
        case BlendKind::kScale: {
            Scale<T, kWide> op;
            for (int c = 0; c < 3; ++c) op.scale[c] = T::Splat(plan.scale[c]);
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, op);
            return;
        }
        case BlendKind::kAlpha: {
            if (plan.alphaExact) {
                AlphaExact<T, kWide> exact;
                for (int c = 0; c < 3; ++c) {
                    exact.near[c] = T::Splat(static_cast<std::uint16_t>(plan.alphaNear[c]));
                }
                Rows<T>(dst, dstPitch, src, srcPitch, width, height, exact);
                return;
            }
            Alpha<T, kWide> op;
            for (int c = 0; c < 3; ++c) {
                op.high[c] = T::Splat(static_cast<std::uint16_t>(plan.alphaHigh[c]));
                op.pair[c] = T::SplatPair(plan.alphaLow[c], plan.alphaSlack[c]);
                op.shift[c] = T::MakeCount(plan.alphaShift[c]);
            }
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, op);
            return;
        }
        case BlendKind::kHalf:
        case BlendKind::kMask:
            return;
    }
}

template <class T>
GREETING_BLEND_TARGET bool Run(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                               const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                               int height, const BlendOp& op) {
    BlendPlan plan;
    if (!MakeBlendPlan(op, &plan)) return false;
    if (width <= 0 || height <= 0) return true;
    if (plan.kind == BlendKind::kHalf) {
        Rows<T>(dst, dstPitch, src, srcPitch, width, height, Half<T>{T::Splat(plan.bits)});
    } else if (plan.kind == BlendKind::kMask) {
        Rows<T>(dst, dstPitch, src, srcPitch, width, height, Mask<T>{T::Splat(plan.bits)});
    } else if (plan.wide) {
        RunLayout<T, true>(dst, dstPitch, src, srcPitch, width, height, plan);
    } else {
        RunLayout<T, false>(dst, dstPitch, src, srcPitch, width, height, plan);
    }
    return true;
}

}  // namespace blend
}  // namespace
}  // namespace platform::blit::detail
