// The shapes of the device context on small surfaces, pixel by pixel.
#include "platform/display/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>

namespace {

using namespace platform::raster;
using platform::PixelLayout;
using platform::Surface;

constexpr std::uint16_t kBack = 0x1111, kInk = 0xF800, kFill = 0x07E0, kGap = 0x001F;

using Cells = std::set<std::pair<int, int>>;

// A 16 x 12 surface in one colour to draw on.
struct Board {
    Board() : surface(16, 12, PixelLayout::Rgb565, 0), canvas(surface) {
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) surface.At(x, y) = kBack;
        }
    }
    Cells Having(std::uint16_t value) {
        Cells cells;
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                if (surface.At(x, y) == value) cells.insert({x, y});
            }
        }
        return cells;
    }
    Surface surface;
    Canvas canvas;
};

Cells Box(int left, int top, int right, int bottom) {
    Cells cells;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) cells.insert({x, y});
    }
    return cells;
}
Cells Minus(Cells a, const Cells& b) {
    for (const auto& cell : b) a.erase(cell);
    return a;
}

const Pen thin{1, kInk};
const Brush solid{Brush::Kind::kSolid, kFill, std::nullopt};

TEST(Raster, OnePixelLinesLeaveTheirEndPointDark) {
    Board board;
    board.canvas.Line({0, 0}, {3, 0}, thin);
    EXPECT_EQ(board.Having(kInk), (Cells{{0, 0}, {1, 0}, {2, 0}}));
    board.canvas.Line({5, 9}, {5, 6}, thin);  // upwards
    board.canvas.Line({9, 1}, {9, 1}, thin);  // no length: nothing
    EXPECT_EQ(board.Having(kInk), (Cells{{0, 0}, {1, 0}, {2, 0}, {5, 9}, {5, 8}, {5, 7}}));
}

TEST(Raster, OnePixelLinesTakeTheNearestPixelAndBreakTiesAwayFromTheStart) {
    Board board;
    // Halfway down at x = 2 the line is exactly between rows 0 and 1.
    board.canvas.Line({0, 0}, {4, 1}, thin);
    EXPECT_EQ(board.Having(kInk), (Cells{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    Board other;
    other.canvas.Line({4, 1}, {0, 0}, thin);
    EXPECT_EQ(other.Having(kInk), (Cells{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
    Board steep;
    steep.canvas.Line({1, 1}, {3, 7}, thin);  // one pixel a row: x = 1 + round(i / 3)
    EXPECT_EQ(steep.Having(kInk), (Cells{{1, 1}, {1, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 6}}));
}

TEST(Raster, LinesFarOutsideAreClippedExactly) {
    Board board;
    // The diagonal of the whole 32-bit plane crosses the surface on its own diagonal.
    board.canvas.Line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, thin);
    Cells diagonal;
    for (int i = 0; i < 12; ++i) diagonal.insert({i, i});
    EXPECT_EQ(board.Having(kInk), diagonal);
    Board outside;
    outside.canvas.Line({-5, 20}, {INT_MAX, 20}, thin);
    outside.canvas.Line({INT_MIN, -1}, {INT_MAX, -1}, thin);
    EXPECT_TRUE(outside.Having(kInk).empty());
    // A wide pen as wide as the plane covers everything, without visiting the plane.
    outside.canvas.Line({INT_MIN, 0}, {INT_MAX, 0}, Pen{INT_MAX, kInk});
    EXPECT_EQ(outside.Having(kInk), Box(0, 0, 16, 12));
}

TEST(Raster, WidePensAreAsWideAsTheirWidthWithRoundEnds) {
    Board board;
    // Width 3 reaches 1.5 pixels: rows 4..6, and the caps one column past both ends.
    board.canvas.Line({2, 5}, {8, 5}, Pen{3, kInk});
    EXPECT_EQ(board.Having(kInk), Box(1, 4, 10, 7));
    // Width 2 has no middle row: it takes the row above and the column to the left.
    Board even;
    even.canvas.Line({2, 5}, {8, 5}, Pen{2, kInk});
    EXPECT_EQ(even.Having(kInk), Box(1, 4, 9, 6));
    // Width 5 from a point is a disc: rows 3..7, the outer ones shorter.
    Board dot;
    dot.canvas.Line({5, 5}, {5, 5}, Pen{5, kInk});
    EXPECT_EQ(dot.Having(kInk).size(), 21u);  // 3 + 5 + 5 + 5 + 3
    EXPECT_TRUE(dot.Having(kInk).count({3, 3}) == 0 && dot.Having(kInk).count({4, 3}) == 1);
}

TEST(Raster, RectanglesHaveTheirBorderInThePenAndTheRestInTheBrush) {
    Board board;
    DrawRectangle(board.canvas, 2, 2, 10, 8, solid, thin);
    const Cells all = Box(2, 2, 10, 8);
    EXPECT_EQ(board.Having(kFill), Box(3, 3, 9, 7));
    EXPECT_EQ(board.Having(kInk), Minus(all, Box(3, 3, 9, 7)));
    // Corners in any order draw the same; no width or height draws nothing.
    Board swapped;
    DrawRectangle(swapped.canvas, 10, 8, 2, 2, solid, thin);
    EXPECT_EQ(swapped.Having(kInk), board.Having(kInk));
    Board empty;
    DrawRectangle(empty.canvas, 4, 4, 4, 9, solid, thin);
    EXPECT_EQ(empty.Having(kBack).size(), 16u * 12u);
    // A pen of width 3 centred on the border pixels (2..9, 2..7) reaches one pixel each way.
    Board wide;
    DrawRectangle(wide.canvas, 2, 2, 10, 8, solid, Pen{3, kInk});
    EXPECT_EQ(wide.Having(kFill), Box(4, 4, 8, 6));
    EXPECT_EQ(wide.Having(kInk), Minus(Box(1, 1, 11, 9), Box(4, 4, 8, 6)));
}

TEST(Raster, PolygonsFillPixelCentresInsideByTheEvenOddRule) {
    Board board;
    // Left and top edges belong to the inside, right and bottom ones do not.
    const Point square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    board.canvas.FillPolygon(square, solid);
    EXPECT_EQ(board.Having(kFill), Box(2, 2, 6, 6));
    // A triangle: row y holds x = 0 .. 7 - y.
    Board triangle;
    const Point corners[] = {{0, 0}, {8, 0}, {0, 8}};
    triangle.canvas.FillPolygon(corners, solid);
    Cells expected;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8 - y; ++x) expected.insert({x, y});
    }
    EXPECT_EQ(triangle.Having(kFill), expected);
    // A square inside a square, both drawn the same way round, joined by a bridge walked there
    // and back: the even-odd rule leaves the inner one empty.
    Board ring;
    const Point path[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},
                          {2, 2}, {8, 2},  {8, 8},   {2, 8},  {2, 2}};
    ring.canvas.FillPolygon(path, solid);
    EXPECT_EQ(ring.Having(kFill), Minus(Box(0, 0, 10, 10), Box(2, 2, 8, 8)));
}

TEST(Raster, HatchIsTwoDiagonalsFixedToTheSurface) {
    Board board;
    const Point whole[] = {{0, 0}, {16, 0}, {16, 12}, {0, 12}};
    board.canvas.FillPolygon(whole, Brush{Brush::Kind::kHatch, kInk, kGap});
    // Row 0: x = 0 and 8 on one diagonal, 7 and 15 on the other; row 3: 3, 11 and 4, 12.
    EXPECT_EQ(board.surface.At(0, 0), kInk);
    EXPECT_EQ(board.surface.At(7, 0), kInk);
    EXPECT_EQ(board.surface.At(8, 0), kInk);
    EXPECT_EQ(board.surface.At(1, 0), kGap);
    EXPECT_EQ(board.surface.At(3, 3), kInk);
    EXPECT_EQ(board.surface.At(4, 3), kInk);
    EXPECT_EQ(board.surface.At(5, 3), kGap);
    EXPECT_EQ(board.Having(kInk).size(), 16u * 12u / 4);  // two pixels in every eight
    EXPECT_EQ(board.Having(kGap).size(), 16u * 12u * 3 / 4);
    // A shape that starts elsewhere shows the same hatch where it covers: it does not move.
    const Point triangle[] = {{3, 1}, {15, 1}, {3, 11}};
    Board inside, part;
    inside.canvas.FillPolygon(triangle, solid);
    part.canvas.FillPolygon(triangle, Brush{Brush::Kind::kHatch, kInk, std::nullopt});
    Cells expected;
    for (const auto& [x, y] : inside.Having(kFill)) {
        if (IsHatchPixel(x, y)) expected.insert({x, y});
    }
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(part.Having(kInk), expected);
    EXPECT_EQ(part.Having(kBack).size(), 16u * 12u - expected.size());
}

TEST(Raster, HugePolygonsCostNoMoreThanTheSurface) {
    Board board;
    const Point huge[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
    board.canvas.FillPolygon(huge, solid);
    // The diagonal from corner to corner of the plane: pixels on and above it are inside.
    for (const auto& [x, y] : board.Having(kFill)) EXPECT_GE(x, y);
    EXPECT_EQ(board.Having(kFill).size(), 16u * 12u - 66u);  // 0 + 1 + ... + 11 below it
}

TEST(Raster, ACanvasClippedToARectangleDrawsOnlyInsideIt) {
    Board board;
    Canvas clipped(board.surface, platform::Rect{4, 3, 10, 8});
    clipped.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, solid);
    clipped.Line({0, 5}, {16, 5}, Pen{1, kInk});
    clipped.Line({7, -20}, {7, 40}, Pen{3, kInk});
    clipped.SetPixel(2, 2, kInk);
    const Point everywhere[] = {{-50, -50}, {60, -50}, {60, 60}, {-50, 60}};
    clipped.FillPolygon(everywhere, Brush{Brush::Kind::kHatch, kInk, kGap});
    EXPECT_EQ(Minus(Box(0, 0, 16, 12), Box(4, 3, 10, 8)), board.Having(kBack));
}

TEST(Bezier, CountsOtherThanOnePlusThreeKGiveNothing) {
    const Point p[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}};
    for (std::size_t n : {0u, 1u, 2u, 3u, 5u, 6u}) {
        EXPECT_TRUE(FlattenBeziers(std::span(p, n)).empty()) << n;
    }
    EXPECT_FALSE(FlattenBeziers(std::span(p, 4)).empty());
    EXPECT_FALSE(FlattenBeziers(std::span(p, 7)).empty());
}

TEST(Bezier, CurvesRunFromEndToEndWithinAQuarterPixel) {
    // A straight curve is one line; an arch is many, symmetric, through its ends.
    const Point straight[] = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};
    EXPECT_EQ(FlattenBeziers(straight).size(), 2u);
    const Point arch[] = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    const std::vector<PointD> line = FlattenBeziers(arch);
    ASSERT_GT(line.size(), 8u);
    EXPECT_DOUBLE_EQ(line.front().x, 0);
    EXPECT_DOUBLE_EQ(line.back().x, 100);
    EXPECT_DOUBLE_EQ(line.back().y, 0);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const PointD& p = line[i];
        const PointD& mirror = line[line.size() - 1 - i];
        EXPECT_NEAR(p.x, 100 - mirror.x, 1e-9);
        EXPECT_NEAR(p.y, mirror.y, 1e-9);
        // The arch's height at t is 300 t (1 - t) * ...: never above 75.
        EXPECT_LE(p.y, 75.0);
    }
}

}  // namespace
