// The warp, smear and tunnel against plain loops and known pictures, in both layouts; and steps,
// positions, maps and textures beyond what they can take.
#include "el/effects/warp_blits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "el/draw/clip_rect.h"
#include "el/effects/pixel_format.h"
#include "tests/el/draw/draw_test_support.h"
#include "tests/el/effects/picture_fixture.h"

namespace {

using namespace drawtest;
using Pixels = std::vector<std::uint16_t>;

constexpr int kW = 640, kH = 480, kSw = 64, kSh = 48;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kNan = std::numeric_limits<float>::quiet_NaN();

class WarpTest : public effecttest::PictureOnScreen<kSw, kSh> {
  protected:
    WarpTest() : PictureOnScreen(11, 4) {}
    void Reset() const { WritePixels(*elDraw::BackSurface, start); }
};

TEST_P(WarpTest, WarpMatchesItsSampleLoop) {
    // No ripple, shear or scale: a raw copy, transparent pixels included.
    EXPECT_EQ(elDraw::WarpBlit(100, 50, 0, 5, 1, 1.0f, 0.0f, object, 0, 0, kSw, kSh), 1);
    Pixels want = start;
    for (int y = 0; y < kSh; ++y) {
        for (int x = 0; x < kSw; ++x) want[(50 + y) * kW + 100 + x] = Src(x, y);
    }
    EXPECT_EQ(BackPixels(), want);

    struct Case {
        int x, y, amplitude, frequency, step;
        float scale, shear;
    };
    for (const Case c : {Case{200, 100, 20, 7, 1, 1.3f, 0.2f}, Case{-10, -6, 35, 3, 2, 2.1f, -0.4f},
                         Case{600, 440, 10, 12, 3, 0.7f, 1.5f}}) {
        Reset();
        // The sample loop, clipped at the top-left as drawn: the sizes from the moved start.
        const int cl = std::max(-c.x, 0), ct = std::max(-c.y, 0);
        const int x0 = c.x + cl, y0 = c.y + ct;
        const int w = std::min(kSw - cl, kW - x0), h = std::min(kSh - ct, kH - y0);
        const float W = static_cast<float>(kSw - cl), H = static_cast<float>(kSh - ct);
        want = start;
        for (int j = 0; j < h; j += c.step) {
            const float ny = 2.0f / H * j - 1.0f;
            for (int i = 0; i < w; i += c.step) {
                const float nx = 2.0f / W * i - 1.0f;
                const double e = std::exp(double(ny) * ny - double(nx) * nx);
                const double r =
                    std::cos(std::sqrt(double(nx) * nx + double(ny) * ny) * c.frequency);
                const float rowPos = static_cast<float>((r * e + 1.0) * c.amplitude / 2.0 + j);
                const long long dx = static_cast<long long>((i + j * double(c.shear)) * c.scale);
                const long long dy = static_cast<long long>(double(c.scale) * rowPos);
                const long long tx = x0 + dx, ty = y0 + dy;
                if (tx < 0 || tx >= kW || ty < 0 || ty >= kH) continue;
                want[ty * kW + tx] = Src(cl + i, ct + j);
            }
        }
        EXPECT_EQ(elDraw::WarpBlit(c.x, c.y, c.amplitude, c.frequency, c.step, c.scale, c.shear,
                                   object, 0, 0, kSw, kSh),
                  1);
        EXPECT_EQ(BackPixels(), want) << c.x;
    }
}

TEST_P(WarpTest, WarpStepsScalesAndSheersBeyondRange) {
    Reset();
    elDraw::WarpBlit(10, 10, 9, 4, 1, 1.0f, 0.3f, object, 0, 0, kSw, kSh);
    const Pixels one = BackPixels();
    for (int step : {0, -7, kMin}) {
        Reset();
        EXPECT_EQ(elDraw::WarpBlit(10, 10, 9, 4, step, 1.0f, 0.3f, object, 0, 0, kSw, kSh), 1);
        EXPECT_EQ(BackPixels(), one);
    }
    Reset();
    EXPECT_EQ(elDraw::WarpBlit(10, 10, 9, 4, 1, kNan, 0.3f, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(elDraw::WarpBlit(10, 10, kMax, kMax, 1, 1e30f, kNan, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(elDraw::WarpBlit(10, 10, kMin, 1, 1, -1e30f, 1e30f, object, 0, 0, kSw, kSh), 1);
    EXPECT_EQ(BackPixels()[0], start[0]);
    EXPECT_EQ(elDraw::WarpBlit(0, 0, 0, 0, 1, 1, 0, object, 0, 0, kSw + 1, kSh), 0);
}

TEST_P(WarpTest, SmearRepeatsItsColumnOrRow) {
    // Mode 0 reads past the rectangle's own right edge (to the screen's width) on purpose.
    for (int mode = 0; mode < 4; ++mode) {
        for (int pos : {0, 5, 30, -1}) {
            Reset();
            const int x = 200, y = 100, w = mode == 0 ? kW - 200 : 30;
            const int h = mode == 2 ? kH - 100 : 20;
            const int last = (mode <= 1 ? w : h) - 1;
            const int p = pos < 0 ? last : std::min(pos, last);
            const bool readsOutside = (mode == 0 && p >= kSw) || (mode == 2 && p >= kSh);
            const int result = elDraw::SmearBlit(x, y, mode, pos, object, 0, 0, 30, 20);
            if (readsOutside) {
                EXPECT_EQ(result, 0) << mode << " " << pos;
                EXPECT_EQ(BackPixels(), start);
                continue;
            }
            Pixels want = start;
            if (mode == 3) {
                for (int row = 0; row < y; ++row) {
                    for (int c = 0; c < w; ++c) want[row * kW + x + c] = Src(c, p);
                }
            }
            for (int r = 0; r < h; ++r) {
                for (int c = 0; c < w; ++c) {
                    int sc = c, sr = r;
                    if (mode == 0 && c > p) sc = p;
                    if (mode == 1 && c <= p) sc = p;
                    if (mode == 2 && r > p) sr = p;
                    if (mode == 3 && r <= p) sr = p;
                    if (Src(sc, sr) != 0) want[(y + r) * kW + x + c] = Src(sc, sr);
                }
                if (mode == 1) {
                    for (int c = 0; c < x; ++c) want[(y + r) * kW + c] = Src(p, r);
                }
            }
            EXPECT_EQ(result, 1);
            EXPECT_EQ(BackPixels(), want) << mode << " " << pos;
        }
    }
}

TEST_P(WarpTest, SmearArgumentsBeyondRange) {
    const std::int32_t edges[] = {kMin, -100, 0, 300, kMax};
    for (std::int32_t a : edges) {
        for (std::int32_t b : edges) {
            for (int mode : {0, 1, 2, 3, 9}) {
                const int r = elDraw::SmearBlit(a, b, mode, a, object, b < 0 ? 0 : 3, 2, 30, 20);
                EXPECT_TRUE(r == 0 || r == 1);
            }
            elDraw::SmearBlit(a, b, 1, b, object, kMax, kMax, kMin, kMin);
        }
    }
    Reset();
    EXPECT_EQ(elDraw::SmearBlit(10, 10, 9, 0, object, 0, 0, 30, 20), 1);
    EXPECT_EQ(elDraw::SmearBlit(10, 10, 0, 0, 999, 0, 0, 30, 20), 0);
    EXPECT_EQ(BackPixels(), start);
}

TEST_P(WarpTest, TunnelMapAndBlit) {
    const int texW = kSw, texH = kSh, mapW = 8, mapH = 8;
    elDraw::BuildTunnelMap(texW, texH, mapW, mapH, -1, -1, -1, 0, 0, 0);
    const double k = texH / (2.0 * std::tan(std::numbers::pi / 8 / 2.0));
    const double R = std::sqrt(4.0 * 4 + 4.0 * 4);
    const auto wrap = [](long long v, int size) {
        return static_cast<int>(((v % size) + size) % size);
    };
    for (int y = 0; y < mapH; ++y) {
        for (int x = 0; x < mapW; ++x) {
            if (x == 4 && y == 4) continue;  // the centre has no row
            const int dx = x - 4, dy = y - 4;
            const float dist = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            const long long u =
                static_cast<long long>(std::atan2(dy, dx) * texW / (2 * std::numbers::pi));
            const long long v = static_cast<long long>((R - dist) * (k / 32) / dist);
            const auto& e = elDraw::TunnelMap[y * mapW + x];
            EXPECT_EQ(e[0], wrap(u, texW)) << x << " " << y;
            EXPECT_EQ(e[1], wrap(v, texH)) << x << " " << y;
        }
    }
    for (int scroll : {0, texW - 1, -1, 1000}) {
        Reset();
        EXPECT_EQ(elDraw::TunnelBlit(630, 475, scroll, 2 * scroll, object), 1);
        Pixels want = start;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 8 && 630 + x < kW; ++x) {
                const auto& e = elDraw::TunnelMap[y * mapW + x];
                want[(475 + y) * kW + 630 + x] =
                    Src(wrap(scroll + e[0], texW), wrap(2LL * scroll + e[1], texH));
            }
        }
        EXPECT_EQ(BackPixels(), want) << scroll;
    }
}

TEST_P(WarpTest, TunnelMapsAndTexturesBeyondRange) {
    elDraw::BuildTunnelMap(kSw, kSh, 640, 480, -1, -1, 3, 2, 6, 1);
    const auto before = elDraw::TunnelMap;
    for (auto bad :
         {std::array{0, 10, 8, 8}, std::array{10, -1, 8, 8}, std::array{10, 10, 641, 480},
          std::array{40000, 10, 8, 8}, std::array{10, 10, kMax, kMax}}) {
        elDraw::BuildTunnelMap(bad[0], bad[1], bad[2], bad[3], -1, -1, 8, 0, 0, 0);
    }
    EXPECT_TRUE(elDraw::TunnelMap == before);
    EXPECT_EQ(elDraw::TunnelMapW, 640);
    // Every metric, depth and motion keeps each entry inside the texture.
    for (int metric = 0; metric <= 7; ++metric) {
        for (int depth = 0; depth <= 6; ++depth) {
            elDraw::BuildTunnelMap(kSw, kSh, 64, 48, kMin, kMax, kMin, metric % 5, metric, depth);
            for (int i = 0; i < 64 * 48; ++i) {
                ASSERT_TRUE(elDraw::TunnelMap[i][0] >= 0 && elDraw::TunnelMap[i][0] < kSw);
                ASSERT_TRUE(elDraw::TunnelMap[i][1] >= 0 && elDraw::TunnelMap[i][1] < kSh);
            }
        }
    }
    // A texture larger than the object is refused; maps anywhere are cut to the surface.
    elDraw::BuildTunnelMap(kSw + 1, kSh, 64, 48, -1, -1, 8, 0, 0, 0);
    EXPECT_EQ(elDraw::TunnelBlit(0, 0, 0, 0, object), 0);
    elDraw::BuildTunnelMap(kSw, kSh, 640, 480, -1, -1, 8, 0, 0, 0);
    for (std::int32_t p : {kMin, -639, 0, 639, kMax}) {
        EXPECT_EQ(elDraw::TunnelBlit(p, p == kMin ? kMax : -p, kMin, kMax, object), 1);
    }
    // The map and its sizes are the caller's to change: entries outside the texture leave
    // their pixels alone, and sizes beyond the map draw nothing.
    elDraw::BuildTunnelMap(kSw, kSh, 8, 1, -1, -1, 8, 0, 0, 0);
    // One wrap brings u = texW back to 0; twice the texture's size it does not.
    const std::int16_t outside[8][2] = {{-1, 0},          {0, -1},           {2 * kSw, 0},
                                        {0, 2 * kSh},     {-32768, 32767},   {2 * kSw + 5, 1},
                                        {3, 2 * kSh + 1}, {kSw + 1, kSh + 1}};
    for (int i = 0; i < 8; ++i) elDraw::TunnelMap[i] = {outside[i][0], outside[i][1]};
    WritePixels(*elDraw::BackSurface, std::vector<std::uint16_t>(640 * 480, 0x1234));
    ASSERT_EQ(elDraw::TunnelBlit(0, 0, 0, 0, object), 1);
    const auto after = BackPixels();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(after[i], 0x1234) << "entry " << i;
    EXPECT_EQ(after[7], Src(1, 1));
    elDraw::TunnelMapW = 640 * 480;
    elDraw::TunnelMapH = 2;
    EXPECT_EQ(elDraw::TunnelBlit(0, 0, 0, 0, object), 1);
    elDraw::TunnelMapH = -1;
    EXPECT_EQ(elDraw::TunnelBlit(0, 0, 0, 0, object), 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WarpTest, kBothLayouts, LayoutName);

}  // namespace
