// Portable kernels: the only ones on machines without x86 vectors, and the reference the vector
// variants are measured against.
#include <algorithm>
#include <cstring>

#include "platform/blit/blit_kernels_internal.h"

namespace platform::blit::detail {

void CopyOpaqueRows(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                    std::ptrdiff_t srcPitch, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint16_t);
    if (dstPitch == width && srcPitch == width) {
        std::memcpy(dst, src, rowBytes * static_cast<std::size_t>(height));
        return;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(dst + y * dstPitch, src + y * srcPitch, rowBytes);
    }
}

namespace {

void CopyKeyedScalar(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                     std::ptrdiff_t srcPitch, int width, int height, std::uint16_t key) {
    if (width <= 0 || height <= 0) return;
    for (int y = 0; y < height; ++y) {
        CopyKeyedScalarRow(dst + y * dstPitch, src + y * srcPitch, width, key);
    }
}

void FillScalar(std::uint16_t* dst, std::ptrdiff_t dstPitch, int width, int height,
                std::uint16_t value) {
    if (width <= 0 || height <= 0) return;
    if (dstPitch == width) {
        std::fill_n(dst, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value);
        return;
    }
    for (int y = 0; y < height; ++y) std::fill_n(dst + y * dstPitch, width, value);
}

// The lifting in plain integers, without branches so that compilers can vectorize it.
inline std::uint16_t AddPixel(const AddPlan& plan, std::uint16_t d, std::uint16_t s) {
    const unsigned fade = static_cast<unsigned>(plan.fade) << 11;
    // A pixel with a stray bit reads as black.
    const unsigned sr = (s & plan.stray) == 0 ? s : 0u;
    const unsigned dr = (d & plan.stray) == 0 ? d : 0u;
    unsigned out = 0;
    for (int c = 0; c < 3; ++c) {
        const unsigned sc = (sr << plan.lift[c]) & 0xF800u;
        const unsigned dc = (dr << plan.lift[c]) & 0xF800u;
        const unsigned r = std::min(dc + (sc > fade ? sc - fade : 0u), 0xF800u);
        out |= r >> plan.lift[c];
    }
    return s == 0 ? d : static_cast<std::uint16_t>(out);
}

void AddLightScalar(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                    std::ptrdiff_t srcPitch, int width, int height, const AddFormat& format,
                    int fade) {
    AddPlan plan;
    if (width <= 0 || height <= 0 || !MakeAddPlan(format, fade, &plan)) return;
    for (int y = 0; y < height; ++y) {
        std::uint16_t* d = dst + y * dstPitch;
        const std::uint16_t* s = src + y * srcPitch;
        for (int x = 0; x < width; ++x) d[x] = AddPixel(plan, d[x], s[x]);
    }
}

// One pixel at a time, with the wrap-around and saturation of the vector lanes.
struct ScalarLanes {
    using V = std::uint16_t;
    using Count = int;
    struct Pair {
        std::int16_t first, second;
    };
    static constexpr int kLanes = 1;

    static V Load(const std::uint16_t* p) { return *p; }
    static void Store(std::uint16_t* p, V v) { *p = v; }
    static V Splat(std::uint16_t v) { return v; }
    static Pair SplatPair(std::int16_t first, std::int16_t second) { return {first, second}; }
    static Count MakeCount(int n) { return std::min(n, 15); }
    static V And(V a, V b) { return static_cast<V>(a & b); }
    static V AndNot(V a, V b) { return static_cast<V>(~a & b); }
    static V Or(V a, V b) { return static_cast<V>(a | b); }
    static V Add(V a, V b) { return static_cast<V>(a + b); }
    static V Sub(V a, V b) { return static_cast<V>(a - b); }
    static V SubsU(V a, V b) { return static_cast<V>(a > b ? a - b : 0); }
    static V SubsU8(V a, V b) {
        const int low = std::max((a & 0xFF) - (b & 0xFF), 0);
        const int high = std::max((a >> 8) - (b >> 8), 0);
        return static_cast<V>(high << 8 | low);
    }
    static V MulLo(V a, V b) { return static_cast<V>(static_cast<unsigned>(a) * b); }
    static V MulHiU(V a, V b) { return static_cast<V>((static_cast<unsigned>(a) * b) >> 16); }
    static V MulHiS(V a, V b) {
        return static_cast<V>((static_cast<std::int16_t>(a) * static_cast<std::int16_t>(b)) >> 16);
    }
    template <int n>
    static V Shl(V v) {
        return static_cast<V>(v << n);
    }
    template <int n>
    static V Shr(V v) {
        return static_cast<V>(v >> n);
    }
    template <int n>
    static V Sar(V v) {
        return static_cast<V>(static_cast<std::int16_t>(v) >> n);
    }
    static V SarBy(V v, Count n) { return static_cast<V>(static_cast<std::int16_t>(v) >> n); }
    // (first * a + second * b) >> 15 of the signed lanes a and b.
    static V MulAddShift15(V a, V b, Pair p) {
        const int sum =
            static_cast<std::int16_t>(a) * p.first + static_cast<std::int16_t>(b) * p.second;
        return static_cast<V>(sum >> 15);
    }
    static V KeepWhereZero(V out, V d, V s) { return s == 0 ? d : out; }
};

}  // namespace

}  // namespace platform::blit::detail

#define GREETING_BLEND_TARGET
#include "platform/blit/blend_body.h"
#undef GREETING_BLEND_TARGET

namespace platform::blit::detail {

namespace {

bool BlendScalar(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                 std::ptrdiff_t srcPitch, int width, int height, const BlendOp& op) {
    return blend::Run<ScalarLanes>(dst, dstPitch, src, srcPitch, width, height, op);
}

}  // namespace

void GatherWrappedScalar(std::uint16_t* dst, const std::int16_t* map, int count,
                         const WrapGather& g) {
    for (int k = 0; k < count; ++k) GatherWrappedPixel(dst + k, map + 2 * k, g);
}

void GatherTabledScalar(std::uint16_t* dst, int count, std::int64_t u0, std::int64_t v0,
                        std::int64_t du, std::int64_t dv, const TableGather& g) {
    for (int k = 0; k < count; ++k, u0 += du, v0 += dv) GatherTabledPixel(dst + k, u0, v0, g);
}

const KernelTable kScalarKernels = {
    "scalar",       CopyOpaqueRows, CopyKeyedScalar,     FillScalar,
    AddLightScalar, BlendScalar,    GatherWrappedScalar, GatherTabledScalar};

}  // namespace platform::blit::detail
