#include "el/effects/rotate_blits.h"

#include <cmath>
#include <cstdlib>

#include "el/draw/object_table.h"
#include "el/effects/effect_loop.h"
#include "el/effects/effect_region.h"
#include "el/effects/pixel_format.h"

namespace elDraw {
namespace {

struct Source {
    std::int32_t left, top, width, height;
};

// One coordinate of the zoomed forms: the offset divided by the zoom in double precision (a
// float quotient truncates differently), then truncated. False when there is no such value.
bool Zoomed(std::int64_t offset, double zoom, double& value) {
    const double q = static_cast<double>(offset) / zoom;
    if (!std::isfinite(q)) return false;
    value = std::trunc(q);
    return true;
}

bool InRange(double v, std::int32_t size) {
    return v >= 0.0 && v < static_cast<double>(size);
}

// abs(v) mod size, exact for any finite v.
std::int32_t Tiled(double v, std::int32_t size) {
    return static_cast<std::int32_t>(std::fmod(std::fabs(v), static_cast<double>(size)));
}

std::int32_t Tiled(std::int64_t v, std::int32_t size) {
    return static_cast<std::int32_t>(std::llabs(v) % size);
}

// The frame every rotation shares. place(u / 360 - cx, v / 360 - cy, row, sx, sy) gives the
// source position or false; paint(p) gives the pixel written for a non-zero source pixel;
// startRow(row) is called before each drawn row's pixels, counting from the rectangle's top.
template <class Place, class Paint, class StartRow>
int Rotate(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           std::int32_t angle, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
           std::int32_t srcRight, std::int32_t srcBottom, Place place, Paint paint,
           StartRow startRow) {
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

    const std::int32_t a = ((angle % 360) + 360) % 360;
    const std::int64_t cosA = SineTable[static_cast<std::size_t>(a + 90)];
    const std::int64_t sinA = SineTable[static_cast<std::size_t>(a)];
    const std::int64_t hx = W >> 1, hy = H >> 1;
    const std::int64_t cx = (W - source.width) >> 1, cy = (H - source.height) >> 1;
    for (std::int64_t row = rowMin; row < rowEnd; ++row) {
        startRow(row);
        // u, v at (colMin, row): the offsets from the centre turned by the angle, scaled by 360.
        std::int64_t u = 360 * hx + cosA * (colMin - hx) - sinA * (row - hy);
        std::int64_t v = 360 * hy + sinA * (colMin - hx) + cosA * (row - hy);
        std::uint16_t* d =
            back.at(static_cast<std::int32_t>(left + colMin), static_cast<std::int32_t>(top + row));
        for (std::int64_t col = colMin; col < colEnd; ++col, ++d, u += cosA, v += sinA) {
            std::int32_t sx = 0, sy = 0;
            if (!place(u / 360 - cx, v / 360 - cy, source, sx, sy)) continue;
            const std::uint16_t p = *from.at(source.left + sx, source.top + sy);
            if (p != 0) *d = paint(p);
        }
    }
    return 1;
}

constexpr auto kNoRows = [](std::int64_t) {};
constexpr auto kCopy = [](std::uint16_t p) { return p; };

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
    for (std::int32_t j = j0; j < j0 + region.height; ++j) {
        const std::int32_t sy = acrossY ? srcBottom - 1 - j : srcTop + j;
        const std::uint16_t* s = from.at(0, sy);
        std::uint16_t* d = back.at(region.x, region.y + (j - j0));
        for (std::int32_t i = i0; i < i0 + region.width; ++i, ++d) {
            const std::uint16_t p = s[acrossX ? srcRight - 1 - i : srcLeft + i];
            if (p != 0) *d = p;
        }
    }
    return 1;
}

int RotateBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               std::int32_t angle, std::int32_t object, std::int32_t srcLeft, std::int32_t srcTop,
               std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(
        left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
        [](std::int64_t u, std::int64_t v, const Source& s, std::int32_t& sx, std::int32_t& sy) {
            if (u < 0 || u >= s.width || v < 0 || v >= s.height) return false;
            sx = static_cast<std::int32_t>(u);
            sy = static_cast<std::int32_t>(v);
            return true;
        },
        kCopy, kNoRows);
}

int RotateTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    return Rotate(
        left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
        [](std::int64_t u, std::int64_t v, const Source& s, std::int32_t& sx, std::int32_t& sy) {
            sx = Tiled(u, s.width);
            sy = Tiled(v, s.height);
            return true;
        },
        kCopy, kNoRows);
}

int RotateZoomBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                   std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    const double z = zoom;
    return Rotate(
        left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
        [z](std::int64_t u, std::int64_t v, const Source& s, std::int32_t& sx, std::int32_t& sy) {
            double zu = 0, zv = 0;
            if (!Zoomed(u, z, zu) || !Zoomed(v, z, zv)) return false;
            if (!InRange(zu, s.width) || !InRange(zv, s.height)) return false;
            sx = static_cast<std::int32_t>(zu);
            sy = static_cast<std::int32_t>(zv);
            return true;
        },
        kCopy, kNoRows);
}

int RotateZoomTileBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       std::int32_t angle, float zoom, std::int32_t object, std::int32_t srcLeft,
                       std::int32_t srcTop, std::int32_t srcRight, std::int32_t srcBottom) {
    const double z = zoom;
    return Rotate(
        left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
        [z](std::int64_t u, std::int64_t v, const Source& s, std::int32_t& sx, std::int32_t& sy) {
            double zu = 0, zv = 0;
            if (!Zoomed(u, z, zu) || !Zoomed(v, z, zv)) return false;
            sx = Tiled(zu, s.width);
            sy = Tiled(zv, s.height);
            return true;
        },
        kCopy, kNoRows);
}

int FloorBlit(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::int32_t angle, float zoomX, float zoomXStep, float zoomY, float zoomYStep,
              float factorR, float factorG, float factorB, std::int32_t object,
              std::int32_t srcLeft, std::int32_t srcTop, std::int32_t srcRight,
              std::int32_t srcBottom) {
    // The zooms of the current row; the row after each call of next().
    float zx = zoomX, zy = zoomY;
    std::int64_t zoomRow = 0;
    const auto next = [&](std::int64_t row) {
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
    const double f[3] = {UnitInRange(factorR), UnitInRange(factorG), UnitInRange(factorB)};
    return Rotate(
        left, top, right, bottom, angle, object, srcLeft, srcTop, srcRight, srcBottom,
        [&](std::int64_t u, std::int64_t v, const Source& s, std::int32_t& sx, std::int32_t& sy) {
            double zu = 0, zv = 0;
            if (!Zoomed(u, zx, zu) || !Zoomed(v, zy, zv)) return false;
            sx = Tiled(zu, s.width);
            sy = Tiled(zv, s.height);
            return true;
        },
        [&](std::uint16_t p) {
            const auto& rgb = PixelToRgb[p];
            unsigned c[3];
            for (int k = 0; k < 3; ++k) c[k] = static_cast<unsigned>(rgb[k] * f[k]);
            return static_cast<std::uint16_t>(c[0] << PixelFormat.RedShift5 |
                                              c[1] << PixelFormat.GreenShift5 |
                                              c[2] << PixelFormat.BlueShift5);
        },
        next);
}

}  // namespace elDraw
