#include "platform/sdl/picture_scaler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using platform::FrameView;
using platform::PixelLayout;
using platform::sdl::DirtyRect;
using platform::sdl::ExpandPixel;
using platform::sdl::NativeFormat;
using platform::sdl::PictureScaler;
using platform::sdl::PixelTarget;
using platform::sdl::ScaleFilter;

constexpr NativeFormat kXrgb{};  // 0x00RRGGBB, what a 24-bit X display takes
constexpr NativeFormat kAbgr{4, 0, 8, 16, 0, 0, 0, 0xFF000000u};
constexpr NativeFormat kRgb565{2, 11, 5, 0, 3, 2, 3, 0};

struct Picture {
    int width, height;
    std::vector<std::uint16_t> pixels;
    PixelLayout layout = PixelLayout::Rgb565;
    FrameView view() const { return FrameView{pixels.data(), width, height, width, layout}; }
};

// A picture whose every pixel differs from its neighbours in all three components.
Picture Pattern(int width, int height, unsigned seed = 1) {
    Picture p{width, height, std::vector<std::uint16_t>(static_cast<std::size_t>(width) * height)};
    std::uint32_t state = seed;
    for (auto& pixel : p.pixels) {
        state = state * 1103515245u + 12345u;
        pixel = static_cast<std::uint16_t>(state >> 16);
    }
    return p;
}

struct Canvas {
    int width, height;
    std::vector<std::uint32_t> pixels;
    Canvas(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0x55AA55AAu) {}
    PixelTarget target() { return PixelTarget{pixels.data(), width * 4, width, height}; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::uint32_t Xrgb(std::uint16_t pixel, PixelLayout layout = PixelLayout::Rgb565) {
    std::uint8_t r, g, b;
    ExpandPixel(pixel, layout, r, g, b);
    return (static_cast<std::uint32_t>(r) << 16) | (g << 8) | b;
}

TEST(PictureScaler, ComponentsWidenByBitReplication) {
    std::uint8_t r, g, b;
    ExpandPixel(0xFFFF, PixelLayout::Rgb565, r, g, b);
    EXPECT_EQ(r + g + b, 3 * 255);
    ExpandPixel(0x8410, PixelLayout::Rgb565, r, g, b);  // 10000 100000 10000
    EXPECT_EQ(r, 0x84);
    EXPECT_EQ(g, 0x82);
    EXPECT_EQ(b, 0x84);
    ExpandPixel(0x03E0, PixelLayout::Rgb555, r, g, b);  // pure green in 5-5-5
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 0);
    ExpandPixel(0x7C00, PixelLayout::Rgb555, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
}

TEST(PictureScaler, WholeFactorsAreBlocksOfOnePixelWithBlackBars) {
    for (const PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
        Picture picture = Pattern(8, 6);
        picture.layout = layout;
        Canvas canvas(20, 12);  // 2x is 16 x 12: bars of two columns on each side
        PictureScaler scaler;
        scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kSharp, false);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 20; ++x) {
                const bool bar = x < 2 || x >= 18;
                const std::uint32_t expected =
                    bar ? 0u
                        : Xrgb(picture.pixels[static_cast<std::size_t>(y / 2) * 8 + (x - 2) / 2],
                               layout);
                ASSERT_EQ(canvas.at(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(PictureScaler, OtherNativeFormats) {
    const Picture picture = Pattern(4, 3);
    // Blue first with alpha set, as some displays take it.
    Canvas canvas(4, 3);
    PictureScaler scaler;
    scaler.Draw(picture.view(), canvas.target(), kAbgr, ScaleFilter::kSharp, true);
    for (int i = 0; i < 12; ++i) {
        std::uint8_t r, g, b;
        ExpandPixel(picture.pixels[static_cast<std::size_t>(i)], PixelLayout::Rgb565, r, g, b);
        EXPECT_EQ(canvas.pixels[static_cast<std::size_t>(i)],
                  0xFF000000u | (static_cast<std::uint32_t>(b) << 16) | (g << 8) | r);
    }
    // A 16-bit display of the same layout gets the picture's own pixels back.
    std::vector<std::uint16_t> narrow(4 * 3, 0);
    PictureScaler same;
    same.Draw(picture.view(), PixelTarget{narrow.data(), 8, 4, 3}, kRgb565, ScaleFilter::kSharp,
              true);
    EXPECT_EQ(narrow, picture.pixels);
}

TEST(PictureScaler, OnlyChangedRowsAreRedrawnAndReported) {
    Picture picture = Pattern(8, 6);
    Canvas canvas(16, 12);
    PictureScaler scaler;
    const auto& first =
        scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kSharp, false);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].width * first[0].height, 16 * 12);

    // Nothing changed: nothing drawn (a marked pixel survives), nothing to show.
    canvas.pixels[0] = 0xDEADBEEF;
    EXPECT_TRUE(
        scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kSharp, false).empty());
    EXPECT_EQ(canvas.at(0, 0), 0xDEADBEEFu);

    // Rows 2 and 3 change: output rows 4 to 7, in one rectangle; row 0 still untouched.
    picture.pixels[2 * 8 + 5] ^= 0x0821;
    picture.pixels[3 * 8 + 0] ^= 0xFFFF;
    const auto dirty =
        scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kSharp, false);
    ASSERT_EQ(dirty.size(), 1u);
    EXPECT_EQ(dirty[0].y, 4);
    EXPECT_EQ(dirty[0].height, 4);
    EXPECT_EQ(dirty[0].x, 0);
    EXPECT_EQ(dirty[0].width, 16);
    EXPECT_EQ(canvas.at(10, 5), Xrgb(picture.pixels[2 * 8 + 5]));
    EXPECT_EQ(canvas.at(1, 7), Xrgb(picture.pixels[3 * 8 + 0]));
    EXPECT_EQ(canvas.at(0, 0), 0xDEADBEEFu);

    // Asked to, or at a new size, it draws everything again.
    EXPECT_EQ(scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kSharp, true)
                  .front()
                  .height,
              12);
    EXPECT_EQ(canvas.at(0, 0), Xrgb(picture.pixels[0]));
}

// The sharp fit as a graphics card does it: the picture enlarged `factor` times by repeating
// pixels, then sampled linearly at each output pixel's centre.
std::uint32_t Reference(const Picture& picture, int factor, int outW, int outH, int x, int y) {
    const int bigW = picture.width * factor;
    const int bigH = picture.height * factor;
    auto big = [&](int bx, int by, int channel) {
        bx = std::clamp(bx, 0, bigW - 1);
        by = std::clamp(by, 0, bigH - 1);
        std::uint8_t c[3];
        ExpandPixel(
            picture.pixels[static_cast<std::size_t>(by / factor) * picture.width + bx / factor],
            picture.layout, c[0], c[1], c[2]);
        return static_cast<double>(c[channel]);
    };
    const double sx = (x + 0.5) * bigW / outW - 0.5;
    const double sy = (y + 0.5) * bigH / outH - 0.5;
    const int x0 = static_cast<int>(std::floor(sx));
    const int y0 = static_cast<int>(std::floor(sy));
    const double fx = sx - x0;
    const double fy = sy - y0;
    std::uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const double top = big(x0, y0, channel) * (1 - fx) + big(x0 + 1, y0, channel) * fx;
        const double bottom =
            big(x0, y0 + 1, channel) * (1 - fx) + big(x0 + 1, y0 + 1, channel) * fx;
        const auto value = static_cast<std::uint32_t>(std::lround(top * (1 - fy) + bottom * fy));
        out |= value << (16 - 8 * channel);
    }
    return out;
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int x, int y) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        ASSERT_NEAR(a, e, 2) << "at " << x << "," << y << " channel shift " << shift;
    }
}

TEST(PictureScaler, SharpAndSmoothFitsMatchTheGraphicsCardsWay) {
    const Picture picture = Pattern(16, 12, 7);
    struct Case {
        int width, height;
        ScaleFilter filter;
        int factor;  // of the reference's enlargement
    };
    // 36 x 27 is 2.25 times (sharp goes up to 3); 20 x 15 is 1.25 (up to 2); linear blends
    // even at a whole factor; 12 x 9 is smaller than the picture.
    for (const Case& c :
         {Case{36, 27, ScaleFilter::kSharp, 3}, Case{20, 15, ScaleFilter::kSharp, 2},
          Case{32, 24, ScaleFilter::kLinear, 1}, Case{12, 9, ScaleFilter::kSharp, 1}}) {
        Canvas canvas(c.width, c.height);
        PictureScaler scaler;
        scaler.Draw(picture.view(), canvas.target(), kXrgb, c.filter, false);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                ExpectNear(canvas.at(x, y), Reference(picture, c.factor, c.width, c.height, x, y),
                           x, y);
            }
        }
    }
}

TEST(PictureScaler, NearestTakesThePixelUnderEachCentre) {
    const Picture picture = Pattern(8, 6, 3);
    Canvas canvas(20, 15);  // 2.5 times: columns of two and three output pixels
    PictureScaler scaler;
    scaler.Draw(picture.view(), canvas.target(), kXrgb, ScaleFilter::kNearest, false);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int px = static_cast<int>((x + 0.5) / 2.5);
            const int py = static_cast<int>((y + 0.5) / 2.5);
            ASSERT_EQ(canvas.at(x, y), Xrgb(picture.pixels[static_cast<std::size_t>(py) * 8 + px]))
                << x << "," << y;
        }
    }
    // A change in one picture row redraws exactly the output rows that show it.
    Picture changed = picture;
    changed.pixels[4 * 8 + 1] ^= 0xFFFF;
    const auto dirty =
        scaler.Draw(changed.view(), canvas.target(), kXrgb, ScaleFilter::kNearest, false);
    ASSERT_EQ(dirty.size(), 1u);
    EXPECT_EQ(dirty[0].y, 10);  // rows 10 and 11 have their centres in picture row 4
    EXPECT_EQ(dirty[0].height, 2);
}

TEST(PictureScaler, NothingToDrawOnIsHarmless) {
    const Picture picture = Pattern(8, 6);
    PictureScaler scaler;
    EXPECT_TRUE(
        scaler.Draw(picture.view(), PixelTarget{}, kXrgb, ScaleFilter::kSharp, true).empty());
    std::uint32_t one = 0;
    NativeFormat odd = kXrgb;
    odd.bytesPerPixel = 3;
    EXPECT_TRUE(
        scaler.Draw(picture.view(), PixelTarget{&one, 4, 1, 1}, odd, ScaleFilter::kSharp, true)
            .empty());
    EXPECT_TRUE(
        scaler.Draw(FrameView{}, PixelTarget{&one, 4, 1, 1}, kXrgb, ScaleFilter::kSharp, true)
            .empty());
}

}  // namespace
