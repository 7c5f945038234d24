// Run-time choice of the kernel variant.
#include "platform/blit/blit_kernels.h"

#include "platform/blit/blit_kernels_internal.h"

namespace platform::blit {

namespace {

const KernelTable* ChooseKernels() {
#if GREETING_BLIT_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return &detail::kAvx2Kernels;
    return &detail::kSse2Kernels;
#else
    return &detail::kScalarKernels;
#endif
}

}  // namespace

const KernelTable* KernelsFor(Isa isa) {
    switch (isa) {
        case Isa::kScalar:
            return &detail::kScalarKernels;
#if GREETING_BLIT_X86
        case Isa::kSse2:
            return &detail::kSse2Kernels;
        case Isa::kAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2") ? &detail::kAvx2Kernels : nullptr;
#else
        case Isa::kSse2:
        case Isa::kAvx2:
            return nullptr;
#endif
    }
    return nullptr;
}

const KernelTable& ActiveKernels() {
    static const KernelTable* const active = ChooseKernels();
    return *active;
}

void CopyOpaque(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                std::ptrdiff_t srcPitch, int width, int height) {
    ActiveKernels().copyOpaque(dst, dstPitch, src, srcPitch, width, height);
}

void CopyKeyed(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
               std::ptrdiff_t srcPitch, int width, int height, std::uint16_t key) {
    ActiveKernels().copyKeyed(dst, dstPitch, src, srcPitch, width, height, key);
}

void Fill(std::uint16_t* dst, std::ptrdiff_t dstPitch, int width, int height, std::uint16_t value) {
    ActiveKernels().fill(dst, dstPitch, width, height, value);
}

void AddLight(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
              std::ptrdiff_t srcPitch, int width, int height, const AddFormat& format, int fade) {
    ActiveKernels().addLight(dst, dstPitch, src, srcPitch, width, height, format, fade);
}

bool Blend(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
           std::ptrdiff_t srcPitch, int width, int height, const BlendOp& op) {
    return ActiveKernels().blend(dst, dstPitch, src, srcPitch, width, height, op);
}

void GatherWrapped(std::uint16_t* dst, const std::int16_t* map, int count, const WrapGather& g) {
    ActiveKernels().gatherWrapped(dst, map, count, g);
}

void GatherTabled(std::uint16_t* dst, int count, std::int64_t u0, std::int64_t v0, std::int64_t du,
                  std::int64_t dv, const TableGather& g) {
    ActiveKernels().gatherTabled(dst, count, u0, v0, du, dv, g);
}

}  // namespace platform::blit
