// Pixel kernels behind every surface copy, fill and additive blit: 16-bit pixels, pitches in
// pixels, rectangles already clipped by the caller, source and destination never overlapping.
// Each kernel has a scalar, an SSE2 and an AVX2 body; the public functions pick the best one the
// processor offers on first use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::blit {

// Where the three channels of a 16-bit pixel sit. A channel is 5 bits wide, or 6 bits when its
// maximum is 63; the additive blit works on 5-bit components and drops the lowest bit of a 6-bit
// one.
struct AddFormat {
    int shift[3];    // red, green, blue
    int maximum[3];  // 31 or 63

    static AddFormat Rgb565() { return {{11, 5, 0}, {31, 63, 31}}; }
    static AddFormat Rgb555() { return {{10, 5, 0}, {31, 31, 31}}; }

    int Shift(int c) const { return shift[c]; }
    int Max(int c) const { return maximum[c]; }
    // Position of the 5-bit component in a pixel the additive blit writes.
    int Shift5(int c) const { return shift[c] + (maximum[c] == 63 ? 1 : 0); }
};

void CopyOpaque(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
                std::ptrdiff_t srcPitch, int width, int height);

// Source pixels equal to key leave the destination alone; every other pixel is copied.
void CopyKeyed(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
               std::ptrdiff_t srcPitch, int width, int height, std::uint16_t key);

void Fill(std::uint16_t* dst, std::ptrdiff_t dstPitch, int width, int height, std::uint16_t value);

// Adds the source's 5-bit components, each first lowered by fade (clamped to 0..31) and floored
// at zero, to the destination's, saturating at 31. A source pixel of raw 0 is transparent.
void AddLight(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
              std::ptrdiff_t srcPitch, int width, int height, const AddFormat& format, int fade);

// The translucent and colour-changing blits of one source pixel s over one destination pixel d.
// A source pixel of raw 0 is transparent and leaves d alone. "5-bit components" are read as the
// library's effect tables read them (the top five bits of each channel; in 5-5-5 a pixel with
// bit 15 set is black) and written at the top of their channels; "full precision" reads and
// writes the whole channel.
enum class BlendKind {
    kHalf,         // ((s >> 1) & bits) + ((d >> 1) & bits), bits clearing each channel's top bit
    kMask,         // s & bits
    kCrossFade,    // 5-bit: max(s - fade, 0) + max(d - (31 - fade), 0)
    kDarken,       // 5-bit: max(s - fade, 0)
    kSubtractRed,  // 5-bit: max(d - red of s, 0)
    kGrey,         // 5-bit: (red + green + blue of s) / 3 in every channel
    kScale,        // full precision: trunc(s * factor), the product in double precision
    kAlpha,        // full precision: trunc(s * factor + d * weight), all in double precision
};

struct BlendOp {
    BlendKind kind = BlendKind::kHalf;
    AddFormat format = AddFormat::Rgb565();
    std::uint16_t bits = 0;  // kHalf, kMask
    int fade[3] = {};        // kCrossFade, kDarken: per channel, 0..31
    float factor[3] = {};    // kScale, kAlpha: per channel, 0.0..1.0
    float weight[3] = {};    // kAlpha: per channel, 0.0..1.0
};

// False, with nothing drawn, when the kernels have no exact fast path for this layout (only
// 5-6-5 and 5-5-5 have one) or these values; the caller then draws with a loop of its own.
bool Blend(std::uint16_t* dst, std::ptrdiff_t dstPitch, const std::uint16_t* src,
           std::ptrdiff_t srcPitch, int width, int height, const BlendOp& op);

// A row of a wrapped texture lookup: for each of count (u, v) pairs of map, u + scrollU and
// v + scrollV, less texW or texH once where they reach it, address the texture pixel written to
// dst[k]. A pair that still lies outside 0..texW - 1, 0..texH - 1 leaves dst[k] alone. The
// texture holds texSize pixels from its first (the reads never go past them); scrollU and
// scrollV lie in 0..texW - 1 and 0..texH - 1.
struct WrapGather {
    const std::uint16_t* texture;
    std::ptrdiff_t texPitch;
    std::ptrdiff_t texSize;
    int texW, texH, scrollU, scrollV;
};
void GatherWrapped(std::uint16_t* dst, const std::int16_t* map, int count, const WrapGather& g);

// A row of the rotations' keyed lookup through two tables: for pixel k, with u = u0 + k * du
// and v = v0 + k * dv, x = xs[u / 360 - xBase] and y = ys[v / 360 - yBase] (divisions
// truncating toward zero; every index lies inside its table); where neither is negative, the
// source pixel at x + y, unless it is 0, is written to dst[k]. The source holds `readable`
// pixels from its first; du and dv lie in -360..360.
struct TableGather {
    const std::uint16_t* source;
    std::ptrdiff_t readable;
    const std::int32_t* xs;
    const std::int32_t* ys;
    std::int64_t xBase, yBase;
};
void GatherTabled(std::uint16_t* dst, int count, std::int64_t u0, std::int64_t v0, std::int64_t du,
                  std::int64_t dv, const TableGather& g);

// One instruction-set variant of every kernel. The public functions above call the best
// supported table; tests and benchmarks call each table directly.
struct KernelTable {
    const char* name;
    void (*copyOpaque)(std::uint16_t*, std::ptrdiff_t, const std::uint16_t*, std::ptrdiff_t, int,
                       int);
    void (*copyKeyed)(std::uint16_t*, std::ptrdiff_t, const std::uint16_t*, std::ptrdiff_t, int,
                      int, std::uint16_t);
    void (*fill)(std::uint16_t*, std::ptrdiff_t, int, int, std::uint16_t);
    void (*addLight)(std::uint16_t*, std::ptrdiff_t, const std::uint16_t*, std::ptrdiff_t, int, int,
                     const AddFormat&, int);
    bool (*blend)(std::uint16_t*, std::ptrdiff_t, const std::uint16_t*, std::ptrdiff_t, int, int,
                  const BlendOp&);
    void (*gatherWrapped)(std::uint16_t*, const std::int16_t*, int, const WrapGather&);
    void (*gatherTabled)(std::uint16_t*, int, std::int64_t, std::int64_t, std::int64_t,
                         std::int64_t, const TableGather&);
};

enum class Isa { kScalar, kSse2, kAvx2 };

// Null when this build or this processor lacks the variant.
const KernelTable* KernelsFor(Isa isa);

// The table the public functions use.
const KernelTable& ActiveKernels();

}  // namespace platform::blit
