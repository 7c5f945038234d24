#include "el/effects/rotate_blits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "el/draw/object_table.h"
#include "el/effects/effect_loop.h"
#include "el/effects/effect_region.h"
#include "el/effects/exact_math.h"
#include "el/effects/pixel_format.h"
#include "platform/blit/blit_kernels.h"

namespace elDraw {
namespace {

struct Source {
    std::int32_t left, top, width, height;
};

// The source column (or row) for each whole offset o = u / 360 - cx (or v / 360 - cy) that a
// call meets, worked out once: the forms are separable, one axis's position never depends on
// the other's, so a table over the offsets replaces the per-pixel division by the zoom and the
// remainder of the tiled forms. -1 marks an offset with no source pixel; a valid entry holds
// the position times the axis's scale (1 for columns, the stride for rows), which the caller
// keeps below 2^31.
class AxisTable {
  public:
    template <class Map>
    void Fill(std::int64_t first, std::int64_t last, std::int64_t scale, Map map) {
        first_ = first;
        entries_.resize(static_cast<std::size_t>(last - first + 1));
        for (std::size_t k = 0; k < entries_.size(); ++k) {
            const std::int64_t p = map(first + static_cast<std::int64_t>(k));
            entries_[k] = p < 0 ? -1 : static_cast<std::int32_t>(p * scale);
        }
    }
    const std::int32_t* data() const { return entries_.data(); }
    std::int64_t first() const { return first_; }

  private:
    std::vector<std::int32_t> entries_;
    std::int64_t first_ = 0;
};

// The maps from an offset to a source position, or -1.
auto Inside(std::int32_t size) {
    return [size](std::int64_t o) { return o >= 0 && o < size ? o : -1; };
}

// abs(v) mod size, exact for any v.
class Tiling {
  public:
    explicit Tiling(std::int32_t size)
        : size_(size), remainder_(static_cast<std::uint32_t>(size)) {}
    std::int64_t of(std::int64_t v) const {
        const std::uint64_t a =
            v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        if (a <= 0xFFFFFFFFu) return remainder_.of(static_cast<std::uint32_t>(a));
        return static_cast<std::int64_t>(a % static_cast<std::uint64_t>(size_));
    }
    std::int64_t of(double v) const {
        return static_cast<std::int64_t>(std::fmod(std::fabs(v), static_cast<double>(size_)));
    }

  private:
    std::int32_t size_;
    Remainder remainder_;
};

auto Tiled(std::int32_t size) {
    return [tiling = Tiling(size)](std::int64_t o) { return tiling.of(o); };
}

// The zoomed forms divide the offset by the zoom in double precision (a float quotient
// truncates differently) and truncate it; an offset whose quotient is not finite has no
// source pixel.
auto ZoomedInside(double zoom, std::int32_t size) {
    return [quotient = TruncatedQuotient(zoom), size](std::int64_t o) -> std::int64_t {
        std::int64_t whole = 0;
        double large = 0;
        // A quotient beyond 2^62 lies outside any source.
        if (quotient.of(o, whole, large) != TruncatedQuotient::Kind::kWhole) return -1;
        return whole >= 0 && whole < size ? whole : -1;
    };
}
auto ZoomedTiled(double zoom, std::int32_t size) {
    return [quotient = TruncatedQuotient(zoom), tiling = Tiling(size)](std::int64_t o) {
        std::int64_t whole = 0;
        double large = 0;
        switch (quotient.of(o, whole, large)) {
            case TruncatedQuotient::Kind::kNone:
                return std::int64_t{-1};
            case TruncatedQuotient::Kind::kWhole:
                return tiling.of(whole);
            case TruncatedQuotient::Kind::kLarge:
                break;
        }
        return tiling.of(large);
    };
}

// The plain copy, which the gather kernel draws.
struct Copy {
    std::uint16_t operator()(std::uint16_t p) const { return p; }
};
constexpr Copy kCopy;

// The frame every rotation shares. fill(source, row, xs, ys, lowU, highU, lowV, highV) fills
// the two axis tables for the offsets given; it is called once per call, or before every row
// when perRow is set (the floor's zooms change from row to row; row counts from the
// destination rectangle's top). paint(p) gives the pixel written for a non-zero source pixel.
template <class Fill, class Paint>
int Rotate(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           std::int32_t angle, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
           std::int32_t srcRight, std::int32_t srcBottom, bool perRow, Fill fill, Paint paint) {
    const platform::Surface* surface = ObjectSurface(object);
    if (surface == nullptr || !SourceInside(*surface, srcLeft, srcTop, srcRight, srcBottom)) {
        return 0;
    }
    const Source source{srcLeft, srcTop, srcRight - srcLeft, srcBottom - srcTop};
    // An empty source has nothing to show, nor a pattern to repeat.
    if (source.width <= 0 || source.height <= 0) return 1;
    const std::int64_t W = static_cast<std::int64_t>(right) - left;
    const std::int64_t H = static_cast<std::int64_t>(bottom) - top;
    const PixelRect clip = ClipOnBackSurface();
    const std::int64_t colMin = std::max<std::int64_t>(clip.left - std::int64_t{left}, 0);
    const std::int64_t colEnd = std::min<std::int64_t>(clip.right - std::int64_t{left}, W);
    const std::int64_t rowMin = std::max<std::int64_t>(clip.top - std::int64_t{top}, 0);
    const std::int64_t rowEnd = std::min<std::int64_t>(clip.bottom - std::int64_t{top}, H);
    if (clip.empty() || colEnd <= colMin || rowEnd <= rowMin) return 1;

    const LockedSurface from(ObjectSurface(object));
    if (!from.ok()) return 0;
    const LockedBack back;
    if (!back.ok()) return 0;
    // Source positions are 32-bit offsets from the source's first pixel.
    if (from.stride() * std::int64_t{from.height()} > 0x7FFFFFFF) return 0;

    const std::int32_t a = ((angle % 360) + 360) % 360;
    const std::int64_t cosA = SineTable[static_cast<std::size_t>(a + 90)];
    const std::int64_t sinA = SineTable[static_cast<std::size_t>(a)];
    const std::int64_t hx = W >> 1, hy = H >> 1;
    const std::int64_t cx = (W - source.width) >> 1, cy = (H - source.height) >> 1;
    // u, v at (col, row): the offsets from the centre turned by the angle, scaled by 360.
    const auto uAt = [&](std::int64_t col, std::int64_t row) {
        return 360 * hx + cosA * (col - hx) - sinA * (row - hy);
    };
    const auto vAt = [&](std::int64_t col, std::int64_t row) {
        return 360 * hy + sinA * (col - hx) + cosA * (row - hy);
    };
    // The offsets a set of rows meets: u and v are linear in the column and the row, and
    // u / 360 never falls as u grows, so the corners bound them.
    const auto range = [&](auto at, std::int64_t c, std::int64_t firstRow, std::int64_t lastRow,
                           std::int64_t& low, std::int64_t& high) {
        const std::int64_t corners[4] = {at(colMin, firstRow), at(colEnd - 1, firstRow),
                                         at(colMin, lastRow), at(colEnd - 1, lastRow)};
        low = *std::min_element(corners, corners + 4) / 360 - c;
        high = *std::max_element(corners, corners + 4) / 360 - c;
    };
    AxisTable xs, ys;
    const auto fillFor = [&](std::int64_t firstRow, std::int64_t lastRow) {
        std::int64_t lowU = 0, highU = 0, lowV = 0, highV = 0;
        range(uAt, cx, firstRow, lastRow, lowU, highU);
        range(vAt, cy, firstRow, lastRow, lowV, highV);
        fill(source, from.stride(), firstRow, xs, ys, lowU, highU, lowV, highV);
    };
    if (!perRow) fillFor(rowMin, rowEnd - 1);
    std::vector<std::uint16_t> gathered;
    const std::uint16_t* origin = from.at(source.left, source.top);
    platform::blit::TableGather gather{
        origin,  (from.height() - 1 - source.top) * from.stride() + (from.width() - source.left),
        nullptr, nullptr,
        0,       0};
    for (std::int64_t row = rowMin; row < rowEnd; ++row) {
        if (perRow) fillFor(row, row);
        gather.xs = xs.data();
        gather.ys = ys.data();
        gather.xBase = cx + xs.first();
        gather.yBase = cy + ys.first();
        const std::int64_t u = uAt(colMin, row), v = vAt(colMin, row);
        std::uint16_t* d =
            back.at(static_cast<std::int32_t>(left + colMin), static_cast<std::int32_t>(top + row));
        const auto count = static_cast<int>(colEnd - colMin);
        if constexpr (std::is_same_v<Paint, Copy>) {
            platform::blit::GatherTabled(d, count, u, v, cosA, sinA, gather);
        } else {
            // The source pixels gathered into a row of zeros (none stays 0), then painted.
            gathered.assign(static_cast<std::size_t>(count), 0);
            platform::blit::GatherTabled(gathered.data(), count, u, v, cosA, sinA, gather);
            for (int k = 0; k < count; ++k) {
                const std::uint16_t p = gathered[static_cast<std::size_t>(k)];
                // Masks rather than a branch: in a picture with holes the branch is a guess.
                const auto keep = static_cast<std::uint16_t>((p != 0) - 1);
                d[k] = static_cast<std::uint16_t>((paint(p) & ~keep) | (d[k] & keep));
            }
        }
    }
    return 1;
}

// Every form but the floor's has one map for the whole call, made for the source's width
// and height.
template <class MakeMap>
auto Axes(MakeMap make) {
    return
        [make](const Source& s, std::ptrdiff_t stride, std::int64_t, AxisTable& xs, AxisTable& ys,
               std::int64_t lowU, std::int64_t highU, std::int64_t lowV, std::int64_t highV) {
            xs.Fill(lowU, highU, 1, make(s.width));
            ys.Fill(lowV, highV, stride, make(s.height));
        };
}

}  // namespace

int MirrorBlit(std::int32_t x, std::int32_t y, std::int32_t mode, std::int32_t object,
               std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
               std::int32_t srcBottom) {
    EffectRegion region;
    const EffectClip clip =
        ClipEffectRegion(x, y, object, srcLeft, srcTop, srcRight, srcBottom, region);
    if (clip != EffectClip::kDraw) return EffectResultWithoutDrawing(clip);
    const LockedSurface from(ObjectSurface(object));
    if (!from.ok()) return 0;
    const LockedBack back;
    if (!back.ok()) return 0;
    const bool acrossX = mode == 1 || mode == 3, acrossY = mode == 2 || mode == 3;
    // Positions in the whole source rectangle: clipping removes the destination's far end,
    // which in a mirrored mode is the source's near end.
    const std::int32_t i0 = region.x - x, j0 = region.y - y;
    // Each row goes through the keyed copy kernel, a mirrored row first reversed into a
    // buffer (the source is an object, never the back surface, so the two cannot overlap).
    std::vector<std::uint16_t> reversed(acrossX ? static_cast<std::size_t>(region.width) : 0);
    for (std::int32_t j = j0; j < j0 + region.height; ++j) {
        const std::int32_t sy = acrossY ? srcBottom - 1 - j : srcTop + j;
        const std::uint16_t* s = from.at(srcLeft + i0, sy);
        if (acrossX) {
            const std::uint16_t* last = from.at(srcRight - 1 - i0, sy);
            std::reverse_copy(last - (region.width - 1), last + 1, reversed.begin());
            s = reversed.data();
        }
        platform::blit::CopyKeyed(back.at(region.x, region.y + (j - j0)), back.stride(), s,
                                  from.stride(), region.width, 1, 0);
    }
    return 1;
}

int RotateBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               std::int32_t angle, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
               std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
                  false, Axes(Inside), kCopy);
}

int RotateTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
                  false, Axes(Tiled), kCopy);
}

int RotateZoomBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
                  false, Axes([zoom](std::int32_t size) { return ZoomedInside(zoom, size); }),
                  kCopy);
}

int RotateZoomTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                       std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
                  false, Axes([zoom](std::int32_t size) { return ZoomedTiled(zoom, size); }),
                  kCopy);
}

int FloorBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::int32_t angle, float zoomX, float zoomXStep, float zoomY, float zoomYStep,
              float factorR, float factorG, float factorB, std::int32_t object,
              std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom) {
    // The zooms of the current row; the row after each step.
    float zx = zoomX, zy = zoomY;
    std::int64_t zoomRow = 0;
    const auto zoomsAt = [&](std::int64_t row) {
        while (zoomRow < row) {
            const float nx = zx + zoomXStep, ny = zy + zoomYStep;
            const auto same = [](float a, float b) { return a == b || (a != a && b != b); };
            ++zoomRow;
            // Once the sums stop changing every later row has the same zooms, however far
            // below the first drawn row begins.
            if (same(nx, zx) && same(ny, zy)) zoomRow = row;
            zx = nx;
            zy = ny;
        }
    };
    const auto fill = [&](const Source& s, std::ptrdiff_t stride, std::int64_t row, AxisTable& xs,
                          AxisTable& ys, std::int64_t lowU, std::int64_t highU, std::int64_t lowV,
                          std::int64_t highV) {
        zoomsAt(row);
        xs.Fill(lowU, highU, 1, ZoomedTiled(zx, s.width));
        ys.Fill(lowV, highV, stride, ZoomedTiled(zy, s.height));
    };
    // trunc(c x factor) for each of the 32 values of each channel, in double precision.
    const double f[3] = {UnitInRange(factorR), UnitInRange(factorG), UnitInRange(factorB)};
    const unsigned shifts[3] = {PixelFormat.RedShift5, PixelFormat.GreenShift5,
                                PixelFormat.BlueShift5};
    std::uint16_t scaled[3][32];
    for (int k = 0; k < 3; ++k) {
        for (unsigned c = 0; c < 32; ++c) {
            scaled[k][c] = static_cast<std::uint16_t>(static_cast<unsigned>(c * f[k]) << shifts[k]);
        }
    }
    return Rotate(left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
                  true, fill, [&](std::uint16_t p) {
                      const auto& rgb = PixelToRgb[p];
                      return static_cast<std::uint16_t>(scaled[0][rgb[0]] | scaled[1][rgb[1]] |
                                                        scaled[2][rgb[2]]);
                  });
}

}  // namespace elDraw
