// The mirror and rotation blits against plain loops that follow the incremental walk of the
// destination rectangle, in both layouts; identities between them; and angles, zooms, sources
// and rectangles beyond what they can take.
#include "el/effects/rotate_blits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "el/draw/clip_rect.h"
#include "el/effects/pixel_format.h"
#include "tests/el/draw/draw_test_support.h"
#include "tests/el/effects/picture_fixture.h"

namespace {

using namespace drawtest;
using elDraw::PixelFormat;
using elDraw::PixelToRgb;
using Pixels = std::vector<std::uint16_t>;

constexpr int kW = 640, kH = 480;
constexpr int kSw = 37, kSh = 23;  // the object's size
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kNan = std::numeric_limits<float>::quiet_NaN();

enum class Kind { Plain, Tile, Zoom, ZoomTile, Floor };

struct Rotation {
    Kind kind = Kind::Plain;
    int left, top, right, bottom, angle;
    float zx = 1, zxStep = 0, zy = 1, zyStep = 0;
    float f[3] = {1, 1, 1};
    int sl = 0, st = 0, sr = kSw, sb = kSh;
};

class RotateTest : public effecttest::PictureOnScreen<kSw, kSh> {
  protected:
    RotateTest() : PictureOnScreen(5, 5) {}
    bool Visible(std::int64_t x, std::int64_t y) const {
        const auto& c = elDraw::ClipRect;
        return x >= std::max(c.left, 0) && x < std::min(c.right, kW) && y >= std::max(c.top, 0) &&
               y < std::min(c.bottom, kH);
    }

    // The whole destination rectangle walked as drawn, u and v stepping pixel by pixel.
    Pixels Expected(const Rotation& r) const {
        Pixels out = start;
        const std::int64_t W = std::int64_t{r.right} - r.left, H = std::int64_t{r.bottom} - r.top;
        const int sw = r.sr - r.sl, sh = r.sb - r.st;
        const int a = ((r.angle % 360) + 360) % 360;
        const std::int64_t c = elDraw::SineTable[a + 90], s = elDraw::SineTable[a];
        const std::int64_t hx = W >> 1, hy = H >> 1, cx = (W - sw) >> 1, cy = (H - sh) >> 1;
        std::int64_t rowU = 360 * hx + s * hy - c * hx, rowV = 360 * hy - s * hx - c * hy;
        float zx = r.zx, zy = r.zy;
        for (std::int64_t row = 0; row < H; ++row) {
            std::int64_t u = rowU, v = rowV;
            for (std::int64_t col = 0; col < W; ++col, u += c, v += s) {
                const std::int64_t du = u / 360 - cx, dv = v / 360 - cy;
                long double x = static_cast<long double>(du), y = static_cast<long double>(dv);
                const bool zoomed = r.kind != Kind::Plain && r.kind != Kind::Tile;
                if (zoomed) {
                    x = std::trunc(x / zx);
                    y = std::trunc(y / (r.kind == Kind::Floor ? zy : zx));
                    if (!std::isfinite(x) || !std::isfinite(y)) continue;
                }
                const bool tiled =
                    r.kind == Kind::Tile || r.kind == Kind::ZoomTile || r.kind == Kind::Floor;
                if (tiled) {
                    x = std::fmod(std::fabs(x), static_cast<long double>(sw));
                    y = std::fmod(std::fabs(y), static_cast<long double>(sh));
                } else if (x < 0 || x >= sw || y < 0 || y >= sh) {
                    continue;
                }
                if (!Visible(r.left + col, r.top + row)) continue;
                std::uint16_t p = Src(r.sl + static_cast<int>(x), r.st + static_cast<int>(y));
                if (p == 0) continue;
                if (r.kind == Kind::Floor) {
                    int k[3];
                    for (int ch = 0; ch < 3; ++ch) {
                        k[ch] =
                            static_cast<int>(PixelToRgb[p][ch] * static_cast<long double>(r.f[ch]));
                    }
                    p = static_cast<std::uint16_t>(k[0] << PixelFormat.RedShift5 |
                                                   k[1] << PixelFormat.GreenShift5 |
                                                   k[2] << PixelFormat.BlueShift5);
                }
                out[static_cast<std::size_t>((r.top + row) * kW + r.left + col)] = p;
            }
            rowU -= s;
            rowV += c;
            if (r.kind == Kind::Floor) {
                zx = zx + r.zxStep;
                zy = zy + r.zyStep;
            }
        }
        return out;
    }

    int Draw(const Rotation& r) const {
        using namespace elDraw;
        switch (r.kind) {
            case Kind::Plain:
                return RotateBlit(r.left, r.top, r.right, r.bottom, r.angle, object, r.sl, r.st,
                                  r.sr, r.sb);
            case Kind::Tile:
                return RotateTileBlit(r.left, r.top, r.right, r.bottom, r.angle, object, r.sl, r.st,
                                      r.sr, r.sb);
            case Kind::Zoom:
                return RotateZoomBlit(r.left, r.top, r.right, r.bottom, r.angle, r.zx, object, r.sl,
                                      r.st, r.sr, r.sb);
            case Kind::ZoomTile:
                return RotateZoomTileBlit(r.left, r.top, r.right, r.bottom, r.angle, r.zx, object,
                                          r.sl, r.st, r.sr, r.sb);
            case Kind::Floor:
                return FloorBlit(r.left, r.top, r.right, r.bottom, r.angle, r.zx, r.zxStep, r.zy,
                                 r.zyStep, r.f[0], r.f[1], r.f[2], object, r.sl, r.st, r.sr, r.sb);
        }
        return -1;
    }
};

TEST_P(RotateTest, EachMatchesItsWalkOfTheRectangle) {
    std::vector<Rotation> cases;
    for (Kind kind : {Kind::Plain, Kind::Tile, Kind::Zoom, Kind::ZoomTile, Kind::Floor}) {
        for (int angle : {0, 1, 45, 90, 180, 271, 359}) {
            Rotation r{kind, 100, 50, 180, 121, angle};
            r.zx = r.zy = kind == Kind::Floor ? 0.3f : 1.7f;
            r.zxStep = 0.01f;
            r.zyStep = 0.03f;
            r.f[0] = 0.5f;
            r.f[2] = 0.1f;
            cases.push_back(r);
        }
        // Partly off the screen, and a source rectangle inside the object.
        Rotation off{kind, -30, 440, 61, 520, 33, 0.45f, -0.02f, 0.7f, 0.01f};
        off.sl = 3;
        off.st = 4;
        off.sr = 30;
        off.sb = 11;
        cases.push_back(off);
    }
    for (const Rotation& r : cases) {
        WritePixels(*elDraw::BackSurface, start);
        ASSERT_EQ(Draw(r), 1);
        EXPECT_EQ(BackPixels(), Expected(r))
            << static_cast<int>(r.kind) << " angle " << r.angle << " at " << r.left;
    }
}

TEST_P(RotateTest, ClipRectCutsTheRotations) {
    elDraw::SetClipRect(120, 60, 150, 100);
    for (Kind kind : {Kind::Plain, Kind::Tile, Kind::Zoom, Kind::ZoomTile, Kind::Floor}) {
        WritePixels(*elDraw::BackSurface, start);
        const Rotation r{kind, 100, 50, 190, 130, 30, 0.8f, 0.01f, 0.6f, 0.02f};
        ASSERT_EQ(Draw(r), 1);
        EXPECT_EQ(BackPixels(), Expected(r)) << static_cast<int>(kind);
    }
}

TEST_P(RotateTest, IdentitiesBetweenTheForms) {
    // Angle 0 on a rectangle of the source's size is a keyed copy.
    Pixels copy = start;
    for (int y = 0; y < kSh; ++y) {
        for (int x = 0; x < kSw; ++x) {
            if (Src(x, y) != 0) copy[(200 + y) * kW + 300 + x] = Src(x, y);
        }
    }
    elDraw::RotateBlit(300, 200, 300 + kSw, 200 + kSh, 0, object, 0, 0, kSw, kSh);
    EXPECT_EQ(BackPixels(), copy);
    // Zoom 1 is no zoom, whole turns are the same angle, and the tiled form agrees with the
    // plain one wherever the plain one draws.
    const auto after = [&](auto draw) {
        WritePixels(*elDraw::BackSurface, start);
        draw();
        return BackPixels();
    };
    const Pixels turned =
        after([&] { elDraw::RotateBlit(10, 10, 90, 70, 40, object, 0, 0, kSw, kSh); });
    EXPECT_EQ(turned, after([&] {
                  elDraw::RotateZoomBlit(10, 10, 90, 70, 400, 1.0f, object, 0, 0, kSw, kSh);
              }));
    EXPECT_EQ(after([&] { elDraw::RotateBlit(10, 10, 90, 70, -50, object, 0, 0, kSw, kSh); }),
              after([&] { elDraw::RotateBlit(10, 10, 90, 70, 310, object, 0, 0, kSw, kSh); }));
    EXPECT_EQ(after([&] {
                  elDraw::RotateTileBlit(10, 10, 90, 70, 40, object, 0, 0, kSw, kSh);
                  elDraw::RotateBlit(10, 10, 90, 70, 40, object, 0, 0, kSw, kSh);
              }),
              after([&] { elDraw::RotateTileBlit(10, 10, 90, 70, 40, object, 0, 0, kSw, kSh); }));
    EXPECT_EQ(after([&] {
                  elDraw::RotateZoomTileBlit(10, 10, 90, 70, 40, 1.0f, object, 0, 0, kSw, kSh);
              }),
              after([&] { elDraw::RotateTileBlit(10, 10, 90, 70, 40, object, 0, 0, kSw, kSh); }));
}

TEST_P(RotateTest, HalfTurnOfAnEvenRectangleLeavesTheFirstRowAndColumn) {
    elDraw::RotateBlit(0, 0, 36, 22, 180, object, 0, 0, 36, 22);
    const Pixels back = BackPixels();
    for (int x = 0; x < 36; ++x) EXPECT_EQ(back[x], start[x]);
    for (int row = 1; row < 22; ++row) {
        for (int col = 1; col < 36; ++col) {
            const std::uint16_t s = Src(36 - col, 22 - row);
            EXPECT_EQ(back[row * kW + col], s != 0 ? s : start[row * kW + col]);
        }
    }
}

TEST_P(RotateTest, MirrorTakesItsPixelsFromTheWholeSourceRectangle) {
    for (int mode : {0, 1, 2, 3, 7}) {
        elDraw::SetClipRect(0, 0, kW, kH);
        WritePixels(*elDraw::BackSurface, start);
        elDraw::SetClipRect(103, 52, kW, 60);
        ASSERT_EQ(elDraw::MirrorBlit(100, 50, mode, object, 2, 1, 12, 21), 1);
        Pixels expected = start;
        for (int j = 0; j < 20; ++j) {
            for (int i = 0; i < 10; ++i) {
                if (!Visible(100 + i, 50 + j)) continue;
                const int sx = (mode == 1 || mode == 3) ? 11 - i : 2 + i;
                const int sy = (mode == 2 || mode == 3) ? 20 - j : 1 + j;
                if (Src(sx, sy) != 0) expected[(50 + j) * kW + 100 + i] = Src(sx, sy);
            }
        }
        EXPECT_EQ(BackPixels(), expected) << mode;
        if (mode == 1) {
            // The first drawn column, 3 cut on the left, shows column srcRight - 4.
            EXPECT_EQ(BackPixels()[52 * kW + 103], Src(8, 3) ? Src(8, 3) : start[52 * kW + 103]);
        }
    }
}

TEST_P(RotateTest, ArgumentsBeyondTheirRange) {
    // A zoom of 0 or NaN, or a row zoom passing through 0, has no source position there.
    for (float zoom : {0.0f, -0.0f, kNan}) {
        EXPECT_EQ(elDraw::RotateZoomBlit(0, 0, 200, 200, 10, zoom, object, 0, 0, kSw, kSh), 1);
        EXPECT_EQ(elDraw::RotateZoomTileBlit(0, 0, 200, 200, 10, zoom, object, 0, 0, kSw, kSh), 1);
    }
    EXPECT_EQ(BackPixels(), start);
    const Rotation through{Kind::Floor, 0, 0, 300, 200, 20, -0.5f, 0.01f, -1.0f, 0.01f};
    EXPECT_EQ(Draw(through), 1);
    EXPECT_EQ(BackPixels(), Expected(through));
    // A tiny zoom sends the position far away (where precision picks the tile); the tiled
    // forms still find a pixel of the source, and draw only inside their rectangle.
    WritePixels(*elDraw::BackSurface, start);
    EXPECT_EQ(elDraw::RotateZoomTileBlit(0, 0, 50, 50, 5, 1e-30f, object, 0, 0, kSw, kSh), 1);
    const Pixels far = BackPixels();
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const std::uint16_t p = far[y * kW + x];
            if (x >= 50 || y >= 50) {
                ASSERT_EQ(p, start[y * kW + x]);
            } else if (p != start[y * kW + x]) {
                ASSERT_NE(std::find(source.begin(), source.end(), p), source.end());
            }
        }
    }
    // Empty sources draw nothing; sources outside the object are refused.
    WritePixels(*elDraw::BackSurface, start);
    EXPECT_EQ(elDraw::RotateTileBlit(0, 0, 300, 300, 0, object, 5, 5, 5, 10), 1);
    EXPECT_EQ(elDraw::FloorBlit(0, 0, 300, 300, 0, 1, 0, 1, 0, 1, 1, 1, object, 9, 9, 4, 4), 1);
    EXPECT_EQ(elDraw::RotateBlit(0, 0, 300, 300, 0, object, 0, 0, kSw + 1, kSh), 0);
    EXPECT_EQ(elDraw::MirrorBlit(0, 0, 1, object, -1, 0, kSw, kSh), 0);
    EXPECT_EQ(elDraw::RotateBlit(0, 0, 300, 300, 0, 999, 0, 0, 1, 1), 0);
    EXPECT_EQ(BackPixels(), start);
    // Rectangles of any size and place, factors beyond 0..1, rows far above the screen.
    const std::int32_t edges[] = {kMin, -5000, 0, 320, kMax};
    for (std::int32_t a : edges) {
        for (std::int32_t b : edges) {
            EXPECT_EQ(elDraw::RotateBlit(a, a, b, b, a, object, 0, 0, kSw, kSh), 1);
            EXPECT_EQ(elDraw::RotateZoomTileBlit(a, b, b, a, b, 3.0f, object, 0, 0, kSw, kSh), 1);
            EXPECT_EQ(elDraw::FloorBlit(a, a, b, b, a, 0.5f, 1e-7f, 0.5f, 1e-7f, 4.0f, kNan, -1.0f,
                                        object, 0, 0, kSw, kSh),
                      1);
            EXPECT_EQ(elDraw::MirrorBlit(a, b, 3, object, 0, 0, kSw, kSh), 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RotateTest, kBothLayouts, LayoutName);

}  // namespace
