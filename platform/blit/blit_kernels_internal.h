// Shared by the kernel variants; not part of the library's interface.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/blit/blit_kernels.h"

// The x86 variants exist on x86-64 only; GREETING_BLIT_PORTABLE_ONLY builds the portable kernels
// alone there too, to check the configuration other machines get.
#if defined(__x86_64__) && !defined(GREETING_BLIT_PORTABLE_ONLY)
#define GREETING_BLIT_X86 1
#else
#define GREETING_BLIT_X86 0
#endif

namespace platform::blit::detail {

extern const KernelTable kScalarKernels;
#if GREETING_BLIT_X86
extern const KernelTable kSse2Kernels;
extern const KernelTable kAvx2Kernels;
#endif

// Row-wise memcpy, one call when both rectangles are contiguous; the C library's copy already
// uses the widest vectors the processor has, so every variant shares it.
void CopyOpaqueRows(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                    std::ptrdiff_t srcPitch, int width, int height);

// The additive blit prepared once per call. Every variant moves each 5-bit component to the top
// of a 16-bit lane (shift left by lift, keep 0xF800), clamps there and shifts it back down.
struct AddPlan {
    int lift[3];          // 11 - Shift5(c)
    int fade;             // 0..31
    std::uint16_t stray;  // bits no channel uses (bit 15 of 5-5-5)
};

// False for a layout the blit cannot honour (a maximum other than 31 or 63, or a component that
// would not fit in 16 bits); callers then draw nothing rather than shift out of range.
inline bool MakeAddPlan(const AddFormat& format, int fade, AddPlan* plan) {
    unsigned used = 0;
    for (int c = 0; c < 3; ++c) {
        const int max = format.Max(c);
        if (max != 31 && max != 63) return false;
        if (format.Shift(c) < 0 || format.Shift5(c) > 11) return false;
        plan->lift[c] = 11 - format.Shift5(c);
        used |= static_cast<unsigned>(max) << format.Shift(c);
    }
    // A pixel with a stray bit reads as black, as the effect tables read it.
    plan->stray = static_cast<std::uint16_t>(~used & 0xFFFFu);
    plan->fade = std::clamp(fade, 0, 31);
    return true;
}

// One pixel of GatherWrapped; the vector variants use it for their last pixels.
inline void GatherWrappedPixel(std::uint16_t* dst, const std::int16_t* pair, const WrapGather& g) {
    int u = g.scrollU + pair[0], v = g.scrollV + pair[1];
    if (u >= g.texW) u -= g.texW;
    if (v >= g.texH) v -= g.texH;
    if (u < 0 || u >= g.texW || v < 0 || v >= g.texH) return;
    *dst = g.texture[v * g.texPitch + u];
}

void GatherWrappedScalar(std::uint16_t* dst, const std::int16_t* map, int count,
                         const WrapGather& g);

// One pixel of GatherTabled at u, v.
inline void GatherTabledPixel(std::uint16_t* dst, std::int64_t u, std::int64_t v,
                              const TableGather& g) {
    const std::int32_t x = g.xs[u / 360 - g.xBase], y = g.ys[v / 360 - g.yBase];
    if ((x | y) < 0) return;
    // Masks rather than a branch: in a picture with holes the branch is a guess.
    const std::uint16_t p = g.source[x + y];
    const auto keep = static_cast<std::uint16_t>((p != 0) - 1);
    *dst = static_cast<std::uint16_t>((p & ~keep) | (*dst & keep));
}

void GatherTabledScalar(std::uint16_t* dst, int count, std::int64_t u0, std::int64_t v0,
                        std::int64_t du, std::int64_t dv, const TableGather& g);

// Writing a key pixel's destination back unchanged keeps the loop free of branches, which
// noisy pictures would mispredict, and lets the compiler vectorize it on any processor.
inline void CopyKeyedScalarRow(std::uint16_t* dst, const std::uint16_t* src, int width,
                               std::uint16_t key) {
    for (int x = 0; x < width; ++x) {
        const std::uint16_t s = src[x];
        dst[x] = s == key ? dst[x] : s;
    }
}

}  // namespace platform::blit::detail
