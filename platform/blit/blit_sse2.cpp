// SSE2 kernels: eight pixels a vector, the baseline of every x86-64 processor.
#include "platform/blit/blit_kernels_internal.h"

#if GREETING_BLIT_X86

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace platform::blit::detail {

namespace {

inline __m128i Load(const std::uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(std::uint16_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

inline void StoreAligned(std::uint16_t* p, __m128i v) {
    _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
}

// Eight pixels of a keyed copy. Vectors of no key pixel are stored without reading the
// destination and vectors of key pixels only are skipped, which is most of them on real pictures.
inline void Keyed8(std::uint16_t* d, const std::uint16_t* s, __m128i key) {
    const __m128i v = Load(s);
    const __m128i k = _mm_cmpeq_epi16(v, key);
    const int bits = _mm_movemask_epi8(k);
    if (bits == 0) {
        Store(d, v);
    } else if (bits != 0xFFFF) {
        Store(d, _mm_or_si128(_mm_and_si128(k, Load(d)), _mm_andnot_si128(k, v)));
    }
}

void KeyedRow(std::uint16_t* dst, const std::uint16_t* src, int width, __m128i key,
              std::uint16_t key16) {
    if (width < 8) {
        CopyKeyedScalarRow(dst, src, width, key16);
        return;
    }
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        Keyed8(dst + x, src + x, key);
        Keyed8(dst + x + 8, src + x + 8, key);
    }
    if (x + 8 <= width) {
        Keyed8(dst + x, src + x, key);
        x += 8;
    }
    // Rewriting pixels already copied is harmless, so the tail is one vector ending at the edge.
    if (x < width) Keyed8(dst + width - 8, src + width - 8, key);
}

void CopyKeyedSse2(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                   std::ptrdiff_t srcPitch, int width, int height, std::uint16_t key) {
    if (width <= 0 || height <= 0) return;
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    for (int y = 0; y < height; ++y)
        KeyedRow(dst + y * dstPitch, src + y * srcPitch, width, k, key);
}

void FillRow(std::uint16_t* dst, std::ptrdiff_t width, __m128i v, std::uint16_t value) {
    if (width < 8) {
        for (std::ptrdiff_t x = 0; x < width; ++x) dst[x] = value;
        return;
    }
    // One unaligned store covers the head; the rest are aligned so that none straddles two
    // cache lines. The tail is one unaligned store ending at the edge.
    Store(dst, v);
    std::ptrdiff_t x = ((16 - (reinterpret_cast<std::uintptr_t>(dst) & 15)) & 15) / 2;
    for (; x + 32 <= width; x += 32) {
        StoreAligned(dst + x, v);
        StoreAligned(dst + x + 8, v);
        StoreAligned(dst + x + 16, v);
        StoreAligned(dst + x + 24, v);
    }
    for (; x + 8 <= width; x += 8) StoreAligned(dst + x, v);
    if (x < width) Store(dst + width - 8, v);
}

void FillSse2(std::uint16_t* dst, std::ptrdiff_t dstPitch, int width, int height,
              std::uint16_t value) {
    if (width <= 0 || height <= 0) return;
    const __m128i v = _mm_set1_epi16(static_cast<short>(value));
    if (dstPitch == width) {
        FillRow(dst, static_cast<std::ptrdiff_t>(width) * height, v, value);
        return;
    }
    for (int y = 0; y < height; ++y) FillRow(dst + y * dstPitch, width, v, value);
}

// The additive blit moves each 5-bit component to the top of a 16-bit lane (shift left by its
// lift, keep 0xF800), where unsigned saturating subtract and add do the clamping, and back down.
// The two common layouts get their lifts as constants, so that shifts take immediates and masks
// a shift already does drop out; any other layout shifts by counts held in registers.
template <int kLift, bool kFade>
inline __m128i AddChannel(__m128i d, __m128i s, __m128i top, __m128i fade) {
    __m128i sc = s;
    __m128i dc = d;
    if constexpr (kLift != 0) {
        sc = _mm_slli_epi16(sc, kLift);
        dc = _mm_slli_epi16(dc, kLift);
    }
    if constexpr (kLift != 11) {
        sc = _mm_and_si128(sc, top);
        dc = _mm_and_si128(dc, top);
    }
    if constexpr (kFade) sc = _mm_subs_epu16(sc, fade);
    const __m128i r = _mm_adds_epu16(dc, sc);
    if constexpr (kLift == 11) {
        return _mm_srli_epi16(r, 11);
    } else if constexpr (kLift == 0) {
        return _mm_and_si128(r, top);
    } else {
        return _mm_srli_epi16(_mm_and_si128(r, top), kLift);
    }
}

// Keeps the destination where the source is raw 0.
inline __m128i KeepTransparent(__m128i out, __m128i d, __m128i s) {
    const __m128i transparent = _mm_cmpeq_epi16(s, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, out));
}

// A pixel with its top bit set reads as black in 5-5-5, where no channel uses that bit.
inline __m128i BlackIfTopBit(__m128i v) {
    return _mm_andnot_si128(_mm_srai_epi16(v, 15), v);
}

// A pixel with any bit of `stray` set reads as black.
inline __m128i BlackIfStray(__m128i v, __m128i stray) {
    return _mm_and_si128(v, _mm_cmpeq_epi16(_mm_and_si128(v, stray), _mm_setzero_si128()));
}

template <int kLift0, int kLift1, int kLift2, bool kFade>
struct FixedAdd {
    __m128i top, fade;
    __m128i operator()(__m128i d, __m128i s) const {
        __m128i dr = d;
        __m128i sr = s;
        if constexpr (kLift0 == 1) {  // 5-5-5
            dr = BlackIfTopBit(d);
            sr = BlackIfTopBit(s);
        }
        const __m128i out = _mm_or_si128(_mm_or_si128(AddChannel<kLift0, kFade>(dr, sr, top, fade),
                                                      AddChannel<kLift1, kFade>(dr, sr, top, fade)),
                                         AddChannel<kLift2, kFade>(dr, sr, top, fade));
        return KeepTransparent(out, d, s);
    }
};

struct AnyAdd {
    __m128i top, fade, stray;
    __m128i lift[3];
    __m128i operator()(__m128i d, __m128i s) const {
        const __m128i dr = BlackIfStray(d, stray);
        const __m128i sr = BlackIfStray(s, stray);
        __m128i out = _mm_setzero_si128();
        for (int c = 0; c < 3; ++c) {
            const __m128i sc = _mm_and_si128(_mm_sll_epi16(sr, lift[c]), top);
            const __m128i dc = _mm_and_si128(_mm_sll_epi16(dr, lift[c]), top);
            const __m128i r = _mm_adds_epu16(dc, _mm_subs_epu16(sc, fade));
            out = _mm_or_si128(out, _mm_srl_epi16(_mm_and_si128(r, top), lift[c]));
        }
        return KeepTransparent(out, d, s);
    }
};

// A row narrower than one vector goes through a small buffer; transparent zeros fill the rest.
template <class Add>
void AddShortRow(std::uint16_t* d, const std::uint16_t* s, int width, const Add& add) {
    alignas(32) std::uint16_t db[8] = {};
    alignas(32) std::uint16_t sb[8] = {};
    std::memcpy(db, d, static_cast<std::size_t>(width) * 2);
    std::memcpy(sb, s, static_cast<std::size_t>(width) * 2);
    Store(db, add(Load(db), Load(sb)));
    std::memcpy(d, db, static_cast<std::size_t>(width) * 2);
}

template <class Add>
void AddRows(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
             std::ptrdiff_t srcPitch, int width, int height, const Add& add) {
    for (int y = 0; y < height; ++y) {
        std::uint16_t* d = dst + y * dstPitch;
        const std::uint16_t* s = src + y * srcPitch;
        if (width < 8) {
            AddShortRow(d, s, width, add);
            continue;
        }
        // Adding twice is not harmless, so the last vector, which may overlap pixels the loop
        // writes, is worked out from the row as it was and stored after the loop: the overlap
        // then receives the same values again.
        const __m128i last = add(Load(d + width - 8), Load(s + width - 8));
        int x = 0;
        for (; x + 16 <= width; x += 16) {
            const __m128i a = add(Load(d + x), Load(s + x));
            const __m128i b = add(Load(d + x + 8), Load(s + x + 8));
            Store(d + x, a);
            Store(d + x + 8, b);
        }
        if (x + 8 <= width) Store(d + x, add(Load(d + x), Load(s + x)));
        Store(d + width - 8, last);
    }
}

template <int kLift0, int kLift1, int kLift2>
void AddRowsFixed(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                  std::ptrdiff_t srcPitch, int width, int height, const AddPlan& plan, __m128i top,
                  __m128i fade) {
    if (plan.fade == 0) {
        AddRows(dst, dstPitch, src, srcPitch, width, height,
                FixedAdd<kLift0, kLift1, kLift2, false>{top, fade});
    } else {
        AddRows(dst, dstPitch, src, srcPitch, width, height,
                FixedAdd<kLift0, kLift1, kLift2, true>{top, fade});
    }
}

void AddLightSse2(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                  std::ptrdiff_t srcPitch, int width, int height, const AddFormat& format,
                  int fade) {
    AddPlan plan;
    if (width <= 0 || height <= 0 || !MakeAddPlan(format, fade, &plan)) return;
    const __m128i top = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i fadeTop = _mm_set1_epi16(static_cast<short>(plan.fade << 11));
    const int* l = plan.lift;
    if (l[0] == 0 && l[1] == 5 && l[2] == 11) {  // 5-6-5
        AddRowsFixed<0, 5, 11>(dst, dstPitch, src, srcPitch, width, height, plan, top, fadeTop);
    } else if (l[0] == 1 && l[1] == 6 && l[2] == 11) {  // 5-5-5
        AddRowsFixed<1, 6, 11>(dst, dstPitch, src, srcPitch, width, height, plan, top, fadeTop);
    } else {
        AnyAdd add{top, fadeTop, _mm_set1_epi16(static_cast<short>(plan.stray)), {}};
        for (int c = 0; c < 3; ++c) add.lift[c] = _mm_cvtsi32_si128(l[c]);
        AddRows(dst, dstPitch, src, srcPitch, width, height, add);
    }
}

struct Sse2Lanes {
    using V = __m128i;
    using Pair = __m128i;
    using Count = __m128i;
    static constexpr int kLanes = 8;

    static V Load(const std::uint16_t* p) { return platform::blit::detail::Load(p); }
    static void Store(std::uint16_t* p, V v) { platform::blit::detail::Store(p, v); }
    static V Splat(std::uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static Pair SplatPair(std::int16_t first, std::int16_t second) {
        return _mm_set1_epi32(
            static_cast<int>(static_cast<std::uint16_t>(first) |
                             static_cast<std::uint32_t>(static_cast<std::uint16_t>(second)) << 16));
    }
    static Count MakeCount(int n) { return _mm_cvtsi32_si128(n); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Add(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub(V a, V b) { return _mm_sub_epi16(a, b); }
    static V SubsU(V a, V b) { return _mm_subs_epu16(a, b); }
    static V SubsU8(V a, V b) { return _mm_subs_epu8(a, b); }
    static V MulLo(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHiU(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V MulHiS(V a, V b) { return _mm_mulhi_epi16(a, b); }
    template <int n>
    static V Shl(V v) {
        return _mm_slli_epi16(v, n);
    }
    template <int n>
    static V Shr(V v) {
        return _mm_srli_epi16(v, n);
    }
    template <int n>
    static V Sar(V v) {
        return _mm_srai_epi16(v, n);
    }
    static V SarBy(V v, Count n) { return _mm_sra_epi16(v, n); }
    // Each pair of lanes (a, b) times (first, second), summed in 32 bits, shifted and narrowed
    // back; the sums are small enough after the shift for the narrowing not to saturate.
    static V MulAddShift15(V a, V b, Pair p) {
        const __m128i low = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(a, b), p), 15);
        const __m128i high = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(a, b), p), 15);
        return _mm_packs_epi32(low, high);
    }
    static V KeepWhereZero(V out, V d, V s) { return KeepTransparent(out, d, s); }
};

}  // namespace

}  // namespace platform::blit::detail

#define GREETING_BLEND_TARGET
#include "platform/blit/blend_body.h"
#undef GREETING_BLEND_TARGET

namespace platform::blit::detail {

namespace {

bool BlendSse2(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
               std::ptrdiff_t srcPitch, int width, int height, const BlendOp& op) {
    return blend::Run<Sse2Lanes>(dst, dstPitch, src, srcPitch, width, height, op);
}

}  // namespace

// SSE2 has no gather: its table shares the scalar lookups.
const KernelTable kSse2Kernels = {
    "sse2",       CopyOpaqueRows, CopyKeyedSse2,       FillSse2,
    AddLightSse2, BlendSse2,      GatherWrappedScalar, GatherTabledScalar};

}  // namespace platform::blit::detail

#endif
