// AVX2 kernels: sixteen pixels a vector. Built without a global -mavx2; every function carries
// the target attribute and runs only after the processor check in blit_kernels.cpp.
#include "platform/blit/blit_kernels_internal.h"

#if GREETING_BLIT_X86

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#define GREETING_AVX2 __attribute__((target("avx2")))

namespace platform::blit::detail {

namespace {

GREETING_AVX2 inline __m256i Load(const std::uint16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
GREETING_AVX2 inline void Store(std::uint16_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

GREETING_AVX2 inline void StoreAligned(std::uint16_t* p, __m256i v) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
}

// Sixteen pixels of a keyed copy: vectors without a key pixel are stored without reading the
// destination, vectors of key pixels only are skipped.
GREETING_AVX2 inline void Keyed16(std::uint16_t* d, const std::uint16_t* s, __m256i key) {
    const __m256i v = Load(s);
    const __m256i k = _mm256_cmpeq_epi16(v, key);
    const unsigned bits = static_cast<unsigned>(_mm256_movemask_epi8(k));
    if (bits == 0) {
        Store(d, v);
    } else if (bits != 0xFFFFFFFFu) {
        Store(d, _mm256_blendv_epi8(v, Load(d), k));
    }
}

GREETING_AVX2 inline void Keyed8(std::uint16_t* d, const std::uint16_t* s, __m128i key) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i k = _mm_cmpeq_epi16(v, key);
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_blendv_epi8(v, old, k));
}

GREETING_AVX2 void KeyedRow(std::uint16_t* dst, const std::uint16_t* src, int width, __m256i key,
                            std::uint16_t key16) {
    if (width < 16) {
        if (width < 8) {
            CopyKeyedScalarRow(dst, src, width, key16);
        } else {
            const __m128i k = _mm256_castsi256_si128(key);
            Keyed8(dst, src, k);
            Keyed8(dst + width - 8, src + width - 8, k);
        }
        return;
    }
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        Keyed16(dst + x, src + x, key);
        Keyed16(dst + x + 16, src + x + 16, key);
    }
    if (x + 16 <= width) {
        Keyed16(dst + x, src + x, key);
        x += 16;
    }
    // Rewriting pixels already copied is harmless, so the tail is one vector ending at the edge.
    if (x < width) Keyed16(dst + width - 16, src + width - 16, key);
}

GREETING_AVX2 void CopyKeyedAvx2(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                 const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                 int height, std::uint16_t key) {
    if (width <= 0 || height <= 0) return;
    const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
    for (int y = 0; y < height; ++y)
        KeyedRow(dst + y * dstPitch, src + y * srcPitch, width, k, key);
}

// Rows of a few hundred pixels, as sprites have, cost a C library call each; copying them here
// avoids that. Long and contiguous runs go to memcpy, which knows the processor's best strategy.
GREETING_AVX2 void CopyRow(std::uint16_t* dst, const std::uint16_t* src, int width) {
    if (width < 16) {
        if (width < 8) {
            for (int x = 0; x < width; ++x) dst[x] = src[x];
        } else {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + width - 8));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), a);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + width - 8), b);
        }
        return;
    }
    // Unaligned head and tail vectors; aligned stores in between.
    Store(dst, Load(src));
    int x = static_cast<int>(((32 - (reinterpret_cast<std::uintptr_t>(dst) & 31)) & 31) / 2);
    for (; x + 64 <= width; x += 64) {
        const __m256i a = Load(src + x);
        const __m256i b = Load(src + x + 16);
        const __m256i c = Load(src + x + 32);
        const __m256i d = Load(src + x + 48);
        StoreAligned(dst + x, a);
        StoreAligned(dst + x + 16, b);
        StoreAligned(dst + x + 32, c);
        StoreAligned(dst + x + 48, d);
    }
    for (; x + 16 <= width; x += 16) StoreAligned(dst + x, Load(src + x));
    if (x < width) Store(dst + width - 16, Load(src + width - 16));
}

GREETING_AVX2 void CopyOpaqueAvx2(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                  const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                  int height) {
    constexpr int kLongRow = 2048;
    if (width <= 0 || height <= 0) return;
    if ((dstPitch == width && srcPitch == width) || width >= kLongRow) {
        CopyOpaqueRows(dst, dstPitch, src, srcPitch, width, height);
        return;
    }
    for (int y = 0; y < height; ++y) CopyRow(dst + y * dstPitch, src + y * srcPitch, width);
}

GREETING_AVX2 void FillRow(std::uint16_t* dst, std::ptrdiff_t width, __m256i v,
                           std::uint16_t value) {
    if (width < 16) {
        if (width < 8) {
            for (std::ptrdiff_t x = 0; x < width; ++x) dst[x] = value;
        } else {
            const __m128i h = _mm256_castsi256_si128(v);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), h);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + width - 8), h);
        }
        return;
    }
    // One unaligned store covers the head; the rest are aligned so that none straddles two
    // cache lines. The tail is one unaligned store ending at the edge.
    Store(dst, v);
    std::ptrdiff_t x = ((32 - (reinterpret_cast<std::uintptr_t>(dst) & 31)) & 31) / 2;
    for (; x + 64 <= width; x += 64) {
        StoreAligned(dst + x, v);
        StoreAligned(dst + x + 16, v);
        StoreAligned(dst + x + 32, v);
        StoreAligned(dst + x + 48, v);
    }
    for (; x + 16 <= width; x += 16) StoreAligned(dst + x, v);
    if (x < width) Store(dst + width - 16, v);
}

GREETING_AVX2 void FillAvx2(std::uint16_t* dst, std::ptrdiff_t dstPitch, int width, int height,
                            std::uint16_t value) {
    if (width <= 0 || height <= 0) return;
    const __m256i v = _mm256_set1_epi16(static_cast<short>(value));
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
GREETING_AVX2 inline __m256i AddChannel(__m256i d, __m256i s, __m256i top, __m256i fade) {
    __m256i sc = s;
    __m256i dc = d;
    if constexpr (kLift != 0) {
        sc = _mm256_slli_epi16(sc, kLift);
        dc = _mm256_slli_epi16(dc, kLift);
    }
    if constexpr (kLift != 11) {
        sc = _mm256_and_si256(sc, top);
        dc = _mm256_and_si256(dc, top);
    }
    if constexpr (kFade) sc = _mm256_subs_epu16(sc, fade);
    const __m256i r = _mm256_adds_epu16(dc, sc);
    if constexpr (kLift == 11) {
        return _mm256_srli_epi16(r, 11);
    } else if constexpr (kLift == 0) {
        return _mm256_and_si256(r, top);
    } else {
        return _mm256_srli_epi16(_mm256_and_si256(r, top), kLift);
    }
}

// A pixel with its top bit set reads as black in 5-5-5, where no channel uses that bit.
GREETING_AVX2 inline __m256i BlackIfTopBit(__m256i v) {
    return _mm256_andnot_si256(_mm256_srai_epi16(v, 15), v);
}

// A pixel with any bit of `stray` set reads as black.
GREETING_AVX2 inline __m256i BlackIfStray(__m256i v, __m256i stray) {
    return _mm256_and_si256(v,
                            _mm256_cmpeq_epi16(_mm256_and_si256(v, stray), _mm256_setzero_si256()));
}

template <int kLift0, int kLift1, int kLift2, bool kFade>
struct FixedAdd {
    __m256i top, fade;
    GREETING_AVX2 __m256i operator()(__m256i d, __m256i s) const {
        __m256i dr = d;
        __m256i sr = s;
        if constexpr (kLift0 == 1) {  // 5-5-5
            dr = BlackIfTopBit(d);
            sr = BlackIfTopBit(s);
        }
        const __m256i out =
            _mm256_or_si256(_mm256_or_si256(AddChannel<kLift0, kFade>(dr, sr, top, fade),
                                            AddChannel<kLift1, kFade>(dr, sr, top, fade)),
                            AddChannel<kLift2, kFade>(dr, sr, top, fade));
        return _mm256_blendv_epi8(out, d, _mm256_cmpeq_epi16(s, _mm256_setzero_si256()));
    }
};

struct AnyAdd {
    __m256i top, fade, stray;
    __m128i lift[3];
    GREETING_AVX2 __m256i operator()(__m256i d, __m256i s) const {
        const __m256i dr = BlackIfStray(d, stray);
        const __m256i sr = BlackIfStray(s, stray);
        __m256i out = _mm256_setzero_si256();
        for (int c = 0; c < 3; ++c) {
            const __m256i sc = _mm256_and_si256(_mm256_sll_epi16(sr, lift[c]), top);
            const __m256i dc = _mm256_and_si256(_mm256_sll_epi16(dr, lift[c]), top);
            const __m256i r = _mm256_adds_epu16(dc, _mm256_subs_epu16(sc, fade));
            out = _mm256_or_si256(out, _mm256_srl_epi16(_mm256_and_si256(r, top), lift[c]));
        }
        return _mm256_blendv_epi8(out, d, _mm256_cmpeq_epi16(s, _mm256_setzero_si256()));
    }
};

// A row narrower than one vector goes through a small buffer; transparent zeros fill the rest.
template <class Add>
GREETING_AVX2 void AddShortRow(std::uint16_t* d, const std::uint16_t* s, int width,
                               const Add& add) {
    alignas(32) std::uint16_t db[16] = {};
    alignas(32) std::uint16_t sb[16] = {};
    std::memcpy(db, d, static_cast<std::size_t>(width) * 2);
    std::memcpy(sb, s, static_cast<std::size_t>(width) * 2);
    Store(db, add(Load(db), Load(sb)));
    std::memcpy(d, db, static_cast<std::size_t>(width) * 2);
}

template <class Add>
GREETING_AVX2 void AddRows(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                           std::ptrdiff_t srcPitch, int width, int height, const Add& add) {
    for (int y = 0; y < height; ++y) {
        std::uint16_t* d = dst + y * dstPitch;
        const std::uint16_t* s = src + y * srcPitch;
        if (width < 16) {
            AddShortRow(d, s, width, add);
            continue;
        }
        // Adding twice is not harmless, so the first and last vectors, which may overlap pixels
        // the loop writes, are worked out from the row as it was and stored after the loop: the
        // overlap then receives the same values again. In between, stores are aligned so that
        // none straddles two cache lines.
        const __m256i first = add(Load(d), Load(s));
        const __m256i last = add(Load(d + width - 16), Load(s + width - 16));
        int x = static_cast<int>(((32 - (reinterpret_cast<std::uintptr_t>(d) & 31)) & 31) / 2);
        for (; x + 32 <= width; x += 32) {
            const __m256i a = add(Load(d + x), Load(s + x));
            const __m256i b = add(Load(d + x + 16), Load(s + x + 16));
            StoreAligned(d + x, a);
            StoreAligned(d + x + 16, b);
        }
        if (x + 16 <= width) StoreAligned(d + x, add(Load(d + x), Load(s + x)));
        Store(d, first);
        Store(d + width - 16, last);
    }
}

template <int kLift0, int kLift1, int kLift2>
GREETING_AVX2 void AddRowsFixed(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                int height, const AddPlan& plan, __m256i top, __m256i fade) {
    if (plan.fade == 0) {
        AddRows(dst, dstPitch, src, srcPitch, width, height,
                FixedAdd<kLift0, kLift1, kLift2, false>{top, fade});
    } else {
        AddRows(dst, dstPitch, src, srcPitch, width, height,
                FixedAdd<kLift0, kLift1, kLift2, true>{top, fade});
    }
}

GREETING_AVX2 void AddLightAvx2(std::uint16_t* dst, std::ptrdiff_t dstPitch,
                                const std::uint16_t* src, std::ptrdiff_t srcPitch, int width,
                                int height, const AddFormat& format, int fade) {
    AddPlan plan;
    if (width <= 0 || height <= 0 || !MakeAddPlan(format, fade, &plan)) return;
    const __m256i top = _mm256_set1_epi16(static_cast<short>(0xF800));
    const __m256i fadeTop = _mm256_set1_epi16(static_cast<short>(plan.fade << 11));
    const int* l = plan.lift;
    if (l[0] == 0 && l[1] == 5 && l[2] == 11) {  // 5-6-5
        AddRowsFixed<0, 5, 11>(dst, dstPitch, src, srcPitch, width, height, plan, top, fadeTop);
    } else if (l[0] == 1 && l[1] == 6 && l[2] == 11) {  // 5-5-5
        AddRowsFixed<1, 6, 11>(dst, dstPitch, src, srcPitch, width, height, plan, top, fadeTop);
    } else {
        AnyAdd add{top, fadeTop, _mm256_set1_epi16(static_cast<short>(plan.stray)), {}};
        for (int c = 0; c < 3; ++c) add.lift[c] = _mm_cvtsi32_si128(l[c]);
        AddRows(dst, dstPitch, src, srcPitch, width, height, add);
    }
}

struct Avx2Lanes {
    using V = __m256i;
    using Pair = __m256i;
    using Count = __m128i;
    static constexpr int kLanes = 16;

    GREETING_AVX2 static V Load(const std::uint16_t* p) { return platform::blit::detail::Load(p); }
    GREETING_AVX2 static void Store(std::uint16_t* p, V v) { platform::blit::detail::Store(p, v); }
    GREETING_AVX2 static V Splat(std::uint16_t v) {
        return _mm256_set1_epi16(static_cast<short>(v));
    }
    GREETING_AVX2 static Pair SplatPair(std::int16_t first, std::int16_t second) {
        return _mm256_set1_epi32(
            static_cast<int>(static_cast<std::uint16_t>(first) |
                             static_cast<std::uint32_t>(static_cast<std::uint16_t>(second)) << 16));
    }
    GREETING_AVX2 static Count MakeCount(int n) { return _mm_cvtsi32_si128(n); }
    GREETING_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
    GREETING_AVX2 static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    GREETING_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    GREETING_AVX2 static V Add(V a, V b) { return _mm256_add_epi16(a, b); }
    GREETING_AVX2 static V Sub(V a, V b) { return _mm256_sub_epi16(a, b); }
    GREETING_AVX2 static V SubsU(V a, V b) { return _mm256_subs_epu16(a, b); }
    GREETING_AVX2 static V SubsU8(V a, V b) { return _mm256_subs_epu8(a, b); }
    GREETING_AVX2 static V MulLo(V a, V b) { return _mm256_mullo_epi16(a, b); }
    GREETING_AVX2 static V MulHiU(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    GREETING_AVX2 static V MulHiS(V a, V b) { return _mm256_mulhi_epi16(a, b); }
    template <int n>
    GREETING_AVX2 static V Shl(V v) {
        return _mm256_slli_epi16(v, n);
    }
    template <int n>
    GREETING_AVX2 static V Shr(V v) {
        return _mm256_srli_epi16(v, n);
    }
    template <int n>
    GREETING_AVX2 static V Sar(V v) {
        return _mm256_srai_epi16(v, n);
    }
    GREETING_AVX2 static V SarBy(V v, Count n) { return _mm256_sra_epi16(v, n); }
    // Each pair of lanes (a, b) times (first, second), summed in 32 bits, shifted and narrowed
    // back; unpacking and packing work within each 128-bit half alike, so the order returns.
    GREETING_AVX2 static V MulAddShift15(V a, V b, Pair p) {
        const __m256i low =
            _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), p), 15);
        const __m256i high =
            _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), p), 15);
        return _mm256_packs_epi32(low, high);
    }
    GREETING_AVX2 static V KeepWhereZero(V out, V d, V s) {
        return _mm256_blendv_epi8(out, d, _mm256_cmpeq_epi16(s, _mm256_setzero_si256()));
    }
};

}  // namespace

}  // namespace platform::blit::detail

#define GREETING_BLEND_TARGET GREETING_AVX2
#include "platform/blit/blend_body.h"
#undef GREETING_BLEND_TARGET

namespace platform::blit::detail {

namespace {

GREETING_AVX2 bool BlendAvx2(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                             std::ptrdiff_t srcPitch, int width, int height, const BlendOp& op) {
    return blend::Run<Avx2Lanes>(dst, dstPitch, src, srcPitch, width, height, op);
}

}  // namespace

// Eight 32-bit lanes' low halves written to dst where take is set; dst keeps the others.
GREETING_AVX2 inline void StoreLowHalves(std::uint16_t* dst, __m256i values, __m256i take) {
    const __m256i old =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst)));
    const __m256i lanes = _mm256_blendv_epi8(old, values, take);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(lanes, lanes), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(packed));
}

// One bit per 32-bit lane whose mask is set.
GREETING_AVX2 inline unsigned LaneBits(__m256i mask) {
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(mask)));
}

// Eight lookups a step with the processor's gather. A gather reads 32 bits for each 16-bit
// pixel, so a lane whose pixel is the texture's last is left to the scalar step rather than
// read past the texture; lanes outside the texture keep the destination.
GREETING_AVX2 void GatherWrappedAvx2(std::uint16_t* dst, const std::int16_t* map, int count,
                                     const WrapGather& g) {
    int k = 0;
    // Indices are 32-bit lanes: a texture too large for them takes the scalar path.
    if (g.texSize <= 0x7FFFFFFF && g.texPitch <= 0x7FFFFFFF) {
        const __m256i texW = _mm256_set1_epi32(g.texW), texH = _mm256_set1_epi32(g.texH);
        const __m256i wrapW = _mm256_set1_epi32(g.texW - 1), wrapH = _mm256_set1_epi32(g.texH - 1);
        const __m256i su = _mm256_set1_epi32(g.scrollU), sv = _mm256_set1_epi32(g.scrollV);
        const __m256i pitch = _mm256_set1_epi32(static_cast<int>(g.texPitch));
        const __m256i last = _mm256_set1_epi32(static_cast<int>(g.texSize - 1));
        const __m256i minusOne = _mm256_set1_epi32(-1), low16 = _mm256_set1_epi32(0xFFFF);
        const auto* texture = reinterpret_cast<const int*>(g.texture);
        for (; k + 8 <= count; k += 8) {
            const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(map + 2 * k));
            __m256i u = _mm256_add_epi32(_mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16), su);
            __m256i v = _mm256_add_epi32(_mm256_srai_epi32(pairs, 16), sv);
            u = _mm256_sub_epi32(u, _mm256_and_si256(_mm256_cmpgt_epi32(u, wrapW), texW));
            v = _mm256_sub_epi32(v, _mm256_and_si256(_mm256_cmpgt_epi32(v, wrapH), texH));
            const __m256i inside = _mm256_and_si256(
                _mm256_and_si256(_mm256_cmpgt_epi32(u, minusOne), _mm256_cmpgt_epi32(texW, u)),
                _mm256_and_si256(_mm256_cmpgt_epi32(v, minusOne), _mm256_cmpgt_epi32(texH, v)));
            const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(v, pitch), u);
            const __m256i atLast = _mm256_and_si256(inside, _mm256_cmpeq_epi32(index, last));
            const __m256i read = _mm256_andnot_si256(atLast, inside);
            const __m256i got =
                _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), texture, index, read, 2);
            // Each lane's pixel is its low half; lanes not read keep the destination's pixel.
            StoreLowHalves(dst + k, _mm256_and_si256(got, low16), read);
            const unsigned lastLanes = LaneBits(atLast);
            for (unsigned bits = lastLanes; bits != 0; bits &= bits - 1) {
                const int lane = __builtin_ctz(bits);
                GatherWrappedPixel(dst + k + lane, map + 2 * (k + lane), g);
            }
        }
    }
    GatherWrappedScalar(dst + k, map + 2 * k, count - k, g);
}

// w / 360 truncated, for |w| < 360 x 2048: the float quotient is within 4e-4 of the true one,
// which is a whole number or at least 1/360 from one, so a nudge of 1e-3 away from zero
// before truncating gives the exact result in every case.
GREETING_AVX2 inline __m256i Div360(__m256i w) {
    const __m256 q = _mm256_mul_ps(_mm256_cvtepi32_ps(w), _mm256_set1_ps(1.0f / 360.0f));
    const __m256 sign = _mm256_and_ps(q, _mm256_set1_ps(-0.0f));
    return _mm256_cvttps_epi32(_mm256_add_ps(q, _mm256_or_ps(sign, _mm256_set1_ps(1e-3f))));
}

// Eight pixels a step where every u and v of the row stays within the float division's
// range; the source's last pixel is read singly, since a gather reads 32 bits.
GREETING_AVX2 void GatherTabledAvx2(std::uint16_t* dst, int count, std::int64_t u0, std::int64_t v0,
                                    std::int64_t du, std::int64_t dv, const TableGather& g) {
    constexpr std::int64_t kRange = 360 * 2048;
    const auto within = [](std::int64_t a) { return a > -kRange && a < kRange; };
    const std::int64_t uEnd = u0 + du * count, vEnd = v0 + dv * count;
    int k = 0;
    if (count >= 8 && within(u0) && within(v0) && within(uEnd) && within(vEnd) && within(g.xBase) &&
        within(g.yBase) && g.readable <= 0x7FFFFFFF) {
        const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        __m256i u =
            _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u0)),
                             _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(du))));
        __m256i v =
            _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v0)),
                             _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(dv))));
        const __m256i du8 = _mm256_set1_epi32(static_cast<int>(8 * du));
        const __m256i dv8 = _mm256_set1_epi32(static_cast<int>(8 * dv));
        const __m256i xBase = _mm256_set1_epi32(static_cast<int>(g.xBase));
        const __m256i yBase = _mm256_set1_epi32(static_cast<int>(g.yBase));
        const __m256i last = _mm256_set1_epi32(static_cast<int>(g.readable - 1));
        const __m256i zero = _mm256_setzero_si256(), low16 = _mm256_set1_epi32(0xFFFF);
        const auto* source = reinterpret_cast<const int*>(g.source);
        for (; k + 8 <= count; k += 8) {
            const __m256i x = _mm256_i32gather_epi32(g.xs, _mm256_sub_epi32(Div360(u), xBase), 4);
            const __m256i y = _mm256_i32gather_epi32(g.ys, _mm256_sub_epi32(Div360(v), yBase), 4);
            const __m256i inside = _mm256_cmpgt_epi32(_mm256_or_si256(x, y), _mm256_set1_epi32(-1));
            const __m256i index = _mm256_add_epi32(x, y);
            const __m256i atLast = _mm256_and_si256(inside, _mm256_cmpeq_epi32(index, last));
            const __m256i read = _mm256_andnot_si256(atLast, inside);
            const __m256i got =
                _mm256_and_si256(_mm256_mask_i32gather_epi32(zero, source, index, read, 2), low16);
            // Lanes not read and transparent pixels keep the destination's pixel.
            StoreLowHalves(dst + k, got, _mm256_andnot_si256(_mm256_cmpeq_epi32(got, zero), read));
            const unsigned lastLanes = LaneBits(atLast);
            for (unsigned bits = lastLanes; bits != 0; bits &= bits - 1) {
                const int at = k + __builtin_ctz(bits);
                GatherTabledPixel(dst + at, u0 + at * du, v0 + at * dv, g);
            }
            u = _mm256_add_epi32(u, du8);
            v = _mm256_add_epi32(v, dv8);
        }
    }
    GatherTabledScalar(dst + k, count - k, u0 + k * du, v0 + k * dv, du, dv, g);
}

const KernelTable kAvx2Kernels = {
    "avx2",       CopyOpaqueAvx2, CopyKeyedAvx2,     FillAvx2,
    AddLightAvx2, BlendAvx2,      GatherWrappedAvx2, GatherTabledAvx2};

}  // namespace platform::blit::detail

#endif
