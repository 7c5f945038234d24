#include "platform/display/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/blit/blit_kernels.h"

namespace platform::raster {
namespace {

// Products of two 32-bit spans reach 2^65; the first step of a clipped line or edge needs them
// exact, the steps after it do not.
__extension__ using Int128 = __int128;

constexpr int kMaxBezierDepth = 10;
constexpr double kFlatness = 0.25;

// floor(numerator / denominator) for a positive denominator.
Int128 FloorDiv(Int128 numerator, Int128 denominator) {
    Int128 q = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) --q;
    return q;
}

struct Edge {
    std::int64_t top = 0, bottom = 0;  // rows [top, bottom)
    std::int64_t x = 0;                // x at the top row
    std::int64_t dx = 0, dy = 0;       // dy > 0
    // The crossing at the current row is x + ceil(run / dy), with run = q * dy + r.
    std::int64_t q = 0, r = 0;
    std::int64_t stepQ = 0, stepR = 0;
};

double DistanceToChord(const PointD& p, const PointD& a, const PointD& b) {
    const double cx = b.x - a.x, cy = b.y - a.y;
    const double length = std::hypot(cx, cy);
    if (length == 0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::abs((p.x - a.x) * cy - (p.y - a.y) * cx) / length;
}

void Flatten(const PointD& p0, const PointD& p1, const PointD& p2, const PointD& p3, int depth,
             std::vector<PointD>& out) {
    if (depth >= kMaxBezierDepth ||
        std::max(DistanceToChord(p1, p0, p3), DistanceToChord(p2, p0, p3)) <= kFlatness) {
        out.push_back(p3);
        return;
    }
    const auto mid = [](const PointD& a, const PointD& b) {
        return PointD{(a.x + b.x) / 2, (a.y + b.y) / 2};
    };
    const PointD a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
    const PointD d = mid(a, b), e = mid(b, c);
    const PointD m = mid(d, e);
    Flatten(p0, a, d, m, depth + 1, out);
    Flatten(m, e, c, p3, depth + 1, out);
}

std::int32_t ToInt32(double value) {
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llround(std::clamp(value, kLow, kHigh)));
}

}  // namespace

bool IsHatchPixel(std::int32_t x, std::int32_t y) {
    const std::int64_t wx = x, wy = y;
    return ((wx - wy) & 7) == 0 || ((wx + wy) & 7) == 7;
}

Canvas::Canvas(Surface& surface) : Canvas(surface, Rect{0, 0, surface.width(), surface.height()}) {}

Canvas::Canvas(Surface& surface, const Rect& clip)
    : surface_(surface),
      clipLeft_(std::max(clip.left, 0)),
      clipTop_(std::max(clip.top, 0)),
      clipRight_(std::min(clip.right, surface.width())),
      clipBottom_(std::min(clip.bottom, surface.height())) {}

void Canvas::SetPixel(std::int32_t x, std::int32_t y, std::uint16_t colour) {
    if (x < clipLeft_ || y < clipTop_ || x >= clipRight_ || y >= clipBottom_) return;
    surface_.At(x, y) = colour;
}

void Canvas::Span(std::int64_t y, std::int64_t left, std::int64_t right, const Brush& brush) {
    left = std::max(left, clipLeft_);
    right = std::min(right, clipRight_);
    if (left >= right || y < clipTop_ || y >= clipBottom_) return;
    std::uint16_t* row = &surface_.At(0, static_cast<std::int32_t>(y));
    if (brush.kind == Brush::Kind::kSolid) {
        blit::Fill(row + left, surface_.pitch(), static_cast<int>(right - left), 1, brush.colour);
        return;
    }
    if (brush.kind != Brush::Kind::kHatch) return;
    if (brush.gaps) {
        std::memcpy(row + left, HatchRow(y, brush) + left,
                    static_cast<std::size_t>(right - left) * sizeof(std::uint16_t));
        return;
    }
    // The two diagonals cross this row at x = y and x = 7 - y, modulo 8.
    for (const std::int64_t phase : {y & 7, (7 - y) & 7}) {
        for (std::int64_t x = left + ((phase - left) & 7); x < right; x += 8) row[x] = brush.colour;
    }
}

const std::uint16_t* Canvas::HatchRow(std::int64_t y, const Brush& brush) {
    const auto width = static_cast<std::size_t>(surface_.width());
    if (hatchRows_.empty() || hatchInk_ != brush.colour || hatchGaps_ != *brush.gaps) {
        hatchInk_ = brush.colour;
        hatchGaps_ = *brush.gaps;
        hatchRows_.assign(8 * width, hatchGaps_);
        for (std::int32_t phase = 0; phase < 8; ++phase) {
            for (std::size_t x = 0; x < width; ++x) {
                if (IsHatchPixel(static_cast<std::int32_t>(x), phase)) {
                    hatchRows_[static_cast<std::size_t>(phase) * width + x] = hatchInk_;
                }
            }
        }
    }
    return &hatchRows_[static_cast<std::size_t>(y & 7) * width];
}

void Canvas::FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                      const Brush& brush) {
    top = std::max(top, clipTop_);
    bottom = std::min(bottom, clipBottom_);
    if (brush.kind == Brush::Kind::kSolid) {
        // One call for the whole block: the fill kernel runs best over many rows.
        left = std::max(left, clipLeft_);
        right = std::min(right, clipRight_);
        if (left >= right || top >= bottom) return;
        blit::Fill(&surface_.At(static_cast<std::int32_t>(left), static_cast<std::int32_t>(top)),
                   surface_.pitch(), static_cast<int>(right - left), static_cast<int>(bottom - top),
                   brush.colour);
        return;
    }
    for (std::int64_t y = top; y < bottom; ++y) Span(y, left, right, brush);
}

void Canvas::FillPolygon(std::span<const Point> points, const Brush& brush) {
    if (points.size() < 3 || brush.kind == Brush::Kind::kNone) return;
    std::vector<Edge> edges;
    edges.reserve(points.size());
    std::int64_t firstRow = std::numeric_limits<std::int64_t>::max();
    std::int64_t endRow = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = 0; i < points.size(); ++i) {
        Point a = points[i];
        Point b = points[(i + 1) % points.size()];
        if (a.y == b.y) continue;  // a level edge crosses no row's centre line
        if (a.y > b.y) std::swap(a, b);
        Edge edge;
        edge.top = std::max<std::int64_t>(a.y, clipTop_);
        edge.bottom = std::min<std::int64_t>(b.y, clipBottom_);
        if (edge.top >= edge.bottom) continue;
        edge.x = a.x;
        edge.dx = std::int64_t{b.x} - a.x;
        edge.dy = std::int64_t{b.y} - a.y;
        const Int128 run = static_cast<Int128>(edge.top - a.y) * edge.dx;
        const Int128 q = FloorDiv(run, edge.dy);
        edge.q = static_cast<std::int64_t>(q);
        edge.r = static_cast<std::int64_t>(run - q * edge.dy);
        edge.stepQ = static_cast<std::int64_t>(FloorDiv(edge.dx, edge.dy));
        edge.stepR = edge.dx - edge.stepQ * edge.dy;
        firstRow = std::min(firstRow, edge.top);
        endRow = std::max(endRow, edge.bottom);
        edges.push_back(edge);
    }
    for (std::int64_t y = firstRow; y < endRow; ++y) {
        crossings_.clear();
        for (Edge& edge : edges) {
            if (y < edge.top || y >= edge.bottom) continue;
            crossings_.push_back(edge.x + edge.q + (edge.r != 0 ? 1 : 0));
            edge.q += edge.stepQ;
            edge.r += edge.stepR;
            if (edge.r >= edge.dy) {
                edge.q += 1;
                edge.r -= edge.dy;
            }
        }
        std::sort(crossings_.begin(), crossings_.end());
        for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
            Span(y, crossings_[i], crossings_[i + 1], brush);
        }
    }
}

void Canvas::Line(Point from, Point to, const Pen& pen) {
    if (pen.width > 1) {
        WideSegment({double(from.x), double(from.y)}, {double(to.x), double(to.y)},
                    static_cast<double>(pen.width), pen.colour);
        return;
    }
    const std::int64_t dx = std::int64_t{to.x} - from.x;
    const std::int64_t dy = std::int64_t{to.y} - from.y;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t n = xMajor ? std::abs(dx) : std::abs(dy);  // pixels drawn
    const std::int64_t m = xMajor ? std::abs(dy) : std::abs(dx);
    if (n == 0) return;
    const std::int64_t majorStart = xMajor ? from.x : from.y;
    const std::int64_t minorStart = xMajor ? from.y : from.x;
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorLow = xMajor ? clipLeft_ : clipTop_;
    const std::int64_t majorHigh = xMajor ? clipRight_ : clipBottom_;
    const std::int64_t minorLow = xMajor ? clipTop_ : clipLeft_;
    const std::int64_t minorHigh = xMajor ? clipBottom_ : clipRight_;
    // Only the steps whose major coordinate lands inside the clip.
    std::int64_t first = majorStep > 0 ? majorLow - majorStart : majorStart - majorHigh + 1;
    std::int64_t end = majorStep > 0 ? majorHigh - majorStart : majorStart - majorLow + 1;
    first = std::max<std::int64_t>(first, 0);
    end = std::min(end, n);
    if (first >= end) return;
    // Step i's minor offset is floor((2 m i + n) / 2n): the nearest, ties away from the start.
    const Int128 numerator = static_cast<Int128>(2 * m) * first + n;
    std::int64_t offset = static_cast<std::int64_t>(numerator / (2 * n));
    std::int64_t rest = static_cast<std::int64_t>(numerator % (2 * n));
    for (std::int64_t i = first; i < end; ++i) {
        const std::int64_t major = majorStart + majorStep * i;
        const std::int64_t minor = minorStart + minorStep * offset;
        if (minor >= minorLow && minor < minorHigh) {
            if (xMajor) {
                surface_.At(static_cast<std::int32_t>(major), static_cast<std::int32_t>(minor)) =
                    pen.colour;
            } else {
                surface_.At(static_cast<std::int32_t>(minor), static_cast<std::int32_t>(major)) =
                    pen.colour;
            }
        }
        rest += 2 * m;
        if (rest >= 2 * n) {
            ++offset;
            rest -= 2 * n;
        }
    }
}

void Canvas::WideSegment(PointD from, PointD to, double width, std::uint16_t colour) {
    if (!(width > 0)) return;
    const double r = width / 2;
    // Even widths sample half a pixel off the centres; moving the segment the other way is the
    // same thing.
    const double shift = std::fmod(width, 2.0) == 0 ? 0.5 : 0.0;
    const PointD a{from.x - shift, from.y - shift};
    const PointD b{to.x - shift, to.y - shift};
    const double topRow = std::max<double>(clipTop_, std::ceil(std::min(a.y, b.y) - r));
    const double bottomRow = std::min<double>(clipBottom_ - 1, std::floor(std::max(a.y, b.y) + r));
    if (topRow > bottomRow) return;

    // The capsule is the union of the two end discs and the band between them; it is convex, so
    // each row crosses it in one run, from the leftmost to the rightmost of the three pieces.
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    PointD quad[4];
    if (length > 0) {
        const double nx = -(b.y - a.y) / length * r, ny = (b.x - a.x) / length * r;
        quad[0] = {a.x + nx, a.y + ny};
        quad[1] = {b.x + nx, b.y + ny};
        quad[2] = {b.x - nx, b.y - ny};
        quad[3] = {a.x - nx, a.y - ny};
    }
    const double rr = r * r;
    for (double y = topRow; y <= bottomRow; y += 1) {
        double left = std::numeric_limits<double>::infinity();
        double right = -left;
        const auto take = [&](double x) {
            left = std::min(left, x);
            right = std::max(right, x);
        };
        for (const PointD& c : {a, b}) {
            const double dy = y - c.y;
            if (dy * dy > rr) continue;
            const double half = std::sqrt(rr - dy * dy);
            take(c.x - half);
            take(c.x + half);
        }
        for (int i = 0; i < 4 && length > 0; ++i) {
            const PointD& p = quad[i];
            const PointD& q = quad[(i + 1) % 4];
            if ((y < p.y && y < q.y) || (y > p.y && y > q.y)) continue;
            if (p.y == q.y) {
                take(p.x);
                take(q.x);
            } else {
                take(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
            }
        }
        if (left > right) continue;
        const double x0 = std::max<double>(clipLeft_, std::ceil(left));
        const double x1 = std::min<double>(clipRight_ - 1, std::floor(right));
        if (x0 > x1) continue;
        std::uint16_t* row = &surface_.At(0, static_cast<std::int32_t>(y));
        std::fill(row + static_cast<std::int64_t>(x0), row + static_cast<std::int64_t>(x1) + 1,
                  colour);
    }
}

void Canvas::Stroke(std::span<const PointD> path, bool closed, const Pen& pen) {
    if (path.empty()) return;
    if (pen.width > 1) {
        const auto width = static_cast<double>(pen.width);
        if (path.size() == 1) WideSegment(path[0], path[0], width, pen.colour);
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            WideSegment(path[i], path[i + 1], width, pen.colour);
        }
        if (closed && path.size() > 2) WideSegment(path.back(), path.front(), width, pen.colour);
        return;
    }
    const auto at = [&](std::size_t i) { return Point{ToInt32(path[i].x), ToInt32(path[i].y)}; };
    for (std::size_t i = 0; i + 1 < path.size(); ++i) Line(at(i), at(i + 1), pen);
    if (closed && path.size() > 1) Line(at(path.size() - 1), at(0), pen);
}

void DrawRectangle(Canvas& canvas, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom, const Brush& brush, const std::optional<Pen>& pen) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return;
    canvas.FillRect(left, top, right, bottom, brush);
    if (!pen) return;
    if (pen->width <= 1) {
        const Brush ink{Brush::Kind::kSolid, pen->colour, std::nullopt};
        canvas.FillRect(left, top, right, std::int64_t{top} + 1, ink);
        canvas.FillRect(left, std::int64_t{bottom} - 1, right, bottom, ink);
        canvas.FillRect(left, top, std::int64_t{left} + 1, bottom, ink);
        canvas.FillRect(std::int64_t{right} - 1, top, right, bottom, ink);
        return;
    }
    const double l = left, t = top, r = right - 1.0, b = bottom - 1.0;
    const PointD frame[] = {{l, t}, {r, t}, {r, b}, {l, b}};
    canvas.Stroke(frame, true, *pen);
}

std::vector<PointD> FlattenBeziers(std::span<const Point> points) {
    std::vector<PointD> out;
    if (points.size() < 4 || (points.size() - 1) % 3 != 0) return out;
    const auto at = [&](std::size_t i) { return PointD{double(points[i].x), double(points[i].y)}; };
    out.push_back(at(0));
    for (std::size_t i = 0; i + 3 < points.size(); i += 3) {
        Flatten(at(i), at(i + 1), at(i + 2), at(i + 3), 0, out);
    }
    return out;
}

}  // namespace platform::raster
