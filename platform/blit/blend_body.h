// The blend kernels written once over a set of 16-bit lanes. Each variant's source defines its
// lanes (a struct of types and static functions: T::V, T::Pair, T::Count, T::kLanes, loads,
// stores and the lane arithmetic used below) and GREETING_BLEND_TARGET, the target attribute every
// function here carries, and then includes this file. The anonymous namespace gives each variant
// its own copies, so no function compiled for one instruction set can stand in for another's at
// link time.
//
// Components are worked on in one of three places: at the top of the lane (the 5-bit components
// of the effect tables, where unsigned saturation clamps them), at the bottom (full-precision
// channels and sums), or doubled (the scale's multiply). Channel c's lift moves its top five bits
// to bits 11..15.

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
    static constexpr int kLift[3] = {kWide ? 0 : 1, kWide ? 5 : 6, 11};
};

// The channel's 5-bit component at bits 11..15, zeros below.
template <class T, int kLift>
GREETING_BLEND_TARGET inline typename T::V Top(typename T::V v) {
    if constexpr (kLift == 11) {
        return T::template Shl<11>(v);
    } else if constexpr (kLift == 0) {
        return T::And(v, T::Splat(0xF800));
    } else {
        return T::And(T::template Shl<kLift>(v), T::Splat(0xF800));
    }
}

// The channel's 5-bit component at bits 0..4.
template <class T, int kLift>
GREETING_BLEND_TARGET inline typename T::V Low5(typename T::V v) {
    if constexpr (kLift == 0) {
        return T::template Shr<11>(v);
    } else if constexpr (kLift == 11) {
        return T::And(v, T::Splat(31));
    } else {
        return T::And(T::template Shr<11 - kLift>(v), T::Splat(31));
    }
}

// A value at the top of the lane put back where channel c writes its 5-bit component.
template <class T, int kLift>
GREETING_BLEND_TARGET inline typename T::V Down(typename T::V v) {
    if constexpr (kLift == 0) {
        return v;
    } else {
        return T::template Shr<kLift>(v);
    }
}

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

template <class T, bool kWide>
struct CrossFade {
    typename T::V fadeSource[3], fadeDestination[3];  // at the top of the lane
    template <int c>
    GREETING_BLEND_TARGET typename T::V Channel(typename T::V d, typename T::V s) const {
        constexpr int kLift = Layout<kWide>::kLift[c];
        return Down<T, kLift>(T::Add(T::SubsU(Top<T, kLift>(s), fadeSource[c]),
                                     T::SubsU(Top<T, kLift>(d), fadeDestination[c])));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V dr = AsTablesRead<T, kWide>(d);
        const typename T::V sr = AsTablesRead<T, kWide>(s);
        const typename T::V out =
            T::Or(T::Or(Channel<0>(dr, sr), Channel<1>(dr, sr)), Channel<2>(dr, sr));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Darken {
    typename T::V fade[3];  // at the top of the lane
    template <int c>
    GREETING_BLEND_TARGET typename T::V Channel(typename T::V s) const {
        constexpr int kLift = Layout<kWide>::kLift[c];
        return Down<T, kLift>(T::SubsU(Top<T, kLift>(s), fade[c]));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V sr = AsTablesRead<T, kWide>(s);
        const typename T::V out = T::Or(T::Or(Channel<0>(sr), Channel<1>(sr)), Channel<2>(sr));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct SubtractRed {
    template <int c>
    GREETING_BLEND_TARGET static typename T::V Channel(typename T::V d, typename T::V red) {
        constexpr int kLift = Layout<kWide>::kLift[c];
        return Down<T, kLift>(T::SubsU(Top<T, kLift>(d), red));
    }
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        const typename T::V dr = AsTablesRead<T, kWide>(d);
        const typename T::V red = Top<T, Layout<kWide>::kLift[0]>(AsTablesRead<T, kWide>(s));
        const typename T::V out =
            T::Or(T::Or(Channel<0>(dr, red), Channel<1>(dr, red)), Channel<2>(dr, red));
        return T::KeepWhereZero(out, d, s);
    }
};

template <class T, bool kWide>
struct Grey {
    GREETING_BLEND_TARGET typename T::V operator()(typename T::V d, typename T::V s) const {
        using L = Layout<kWide>;
        const typename T::V sr = AsTablesRead<T, kWide>(s);
        const typename T::V sum = T::Add(T::Add(Low5<T, L::kLift[0]>(sr), Low5<T, L::kLift[1]>(sr)),
                                         Low5<T, L::kLift[2]>(sr));
        // sum * 21846 / 65536 is sum / 3 plus less than 0.001 for sums up to 93.
        const typename T::V g = T::MulHiU(sum, T::Splat(21846));
        const typename T::V out = T::Or(
            T::Or(T::template Shl<11 - L::kLift[0]>(g), T::template Shl<11 - L::kLift[1]>(g)), g);
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

// Rows of any width. Blending twice is not harmless, so the last vector of a row, which may
// overlap pixels the loop writes, is worked out from the row as it was and stored after the
// loop: the overlap then receives the same values again. A row narrower than one vector goes
// through a small buffer whose other pixels are transparent.
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
        const typename T::V last = op(T::Load(d + width - kLanes), T::Load(s + width - kLanes));
        int x = 0;
        for (; x + 2 * kLanes <= width; x += 2 * kLanes) {
            const typename T::V a = op(T::Load(d + x), T::Load(s + x));
            const typename T::V b = op(T::Load(d + x + kLanes), T::Load(s + x + kLanes));
            T::Store(d + x, a);
            T::Store(d + x + kLanes, b);
        }
        if (x + kLanes <= width) T::Store(d + x, op(T::Load(d + x), T::Load(s + x)));
        T::Store(d + width - kLanes, last);
    }
}

template <class T>
GREETING_BLEND_TARGET inline typename T::V AtTop(int fade) {
    return T::Splat(static_cast<std::uint16_t>(fade << 11));
}

template <class T, bool kWide>
GREETING_BLEND_TARGET void RunLayout(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                     const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                     int height, const BlendPlan& plan) {
    switch (plan.kind) {
        case BlendKind::kCrossFade: {
            CrossFade<T, kWide> op;
            for (int c = 0; c < 3; ++c) {
                op.fadeSource[c] = AtTop<T>(plan.fade[c]);
                op.fadeDestination[c] = AtTop<T>(31 - plan.fade[c]);
            }
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, op);
            return;
        }
        case BlendKind::kDarken: {
            Darken<T, kWide> op;
            for (int c = 0; c < 3; ++c) op.fade[c] = AtTop<T>(plan.fade[c]);
            Rows<T>(dst, dstPitch, src, srcPitch, width, height, op);
            return;
        }
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
