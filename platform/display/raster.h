// The shapes a device context draws, on 16-bit pixels: one-pixel and wide lines, rectangles,
// even-odd polygons with a solid or cross-hatched inside, and Bézier curves made into lines.
//
// Coordinates name pixels: point (x, y) is the centre of pixel (x, y).
// - A one-pixel line lights, in each column (each row when it is steep), the pixel nearest the
//   ideal line, a tie going away from the start; its end point stays dark, as GDI's LineTo.
// - A wide pen of width w covers every pixel whose centre lies within w / 2 of the line, ends
//   and joins rounded. An even width has no middle pixel, so its samples sit half a pixel right
//   of and below the pixel centres: the extra row and column fall on the top and left.
// - A polygon's inside is the set of pixels whose centre is inside by the even-odd rule, a
//   centre on an edge counting as inside on the left and top edges only.
// - The hatch is two diagonals every 8 pixels, fixed to the surface's origin: pixel (x, y) is
//   ink when (x - y) mod 8 = 0 or (x + y) mod 8 = 7.
// Everything is clipped to the surface before a pixel is visited, so a coordinate or a width
// anywhere in the 32-bit range costs no more than the surface.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/display/surface.h"
#include "platform/rect.h"

namespace platform::raster {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct PointD {
    double x = 0;
    double y = 0;
};

struct Brush {
    enum class Kind { kNone, kSolid, kHatch };
    Kind kind = Kind::kNone;
    std::uint16_t colour = 0;
    // The hatch's gaps; none leaves them as they were.
    std::optional<std::uint16_t> gaps;
};

struct Pen {
    std::int64_t width = 1;  // 1 or less: the one-pixel line
    std::uint16_t colour = 0;
};

bool IsHatchPixel(std::int32_t x, std::int32_t y);

// Drawing on one surface, clipped to it and to a rectangle of it.
class Canvas {
  public:
    explicit Canvas(Surface& surface);
    Canvas(Surface& surface, const Rect& clip);

    void SetPixel(std::int32_t x, std::int32_t y, std::uint16_t colour);
    // Right and bottom exclusive.
    void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                  const Brush& brush);
    void FillPolygon(std::span<const Point> points, const Brush& brush);

    void Line(Point from, Point to, const Pen& pen);
    // The lines from each point to the next and, when closed, back to the first. One-pixel
    // lines leave each end point to the next line, so a closed path lights every corner once.
    void Stroke(std::span<const PointD> path, bool closed, const Pen& pen);
    // Every pixel within width / 2 of the segment (see the rules above).
    void WideSegment(PointD from, PointD to, double width, std::uint16_t colour);

  private:
    void Span(std::int64_t y, std::int64_t left, std::int64_t right, const Brush& brush);
    // Row y of the hatch over its gaps, across the whole surface: spans are copied out of it.
    const std::uint16_t* HatchRow(std::int64_t y, const Brush& brush);

    Surface& surface_;
    std::int64_t clipLeft_, clipTop_, clipRight_, clipBottom_;
    std::vector<std::int64_t> crossings_;
    std::vector<std::uint16_t> hatchRows_;  // the eight rows of the pattern
    std::uint16_t hatchInk_ = 0, hatchGaps_ = 0;
};

// The rectangle's shape as GDI's Rectangle draws it: the brush over [left, right) x [top,
// bottom), the pen on the border pixels (a wide pen centred on them). Corners in any order.
void DrawRectangle(Canvas& canvas, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom, const Brush& brush, const std::optional<Pen>& pen);

// The polyline through the cubic curves of points[0..count), count = 1 + 3k: each curve's
// control polygon is halved until it lies within a quarter pixel of its chord (at most 1024
// pieces a curve). Empty for any other count.
std::vector<PointD> FlattenBeziers(std::span<const Point> points);

}  // namespace platform::raster
