// The translucent and colour effects against plain loops over the effect tables, in both pixel
// layouts: pictures wherever they lie, every 16-bit value as source and destination, known
// pixels, the precision of the floating-point mixes, the gradients' walk, and what the effects
// refuse or hold to range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "el/draw/clip_rect.h"
#include "el/effects/colour_blits.h"
#include "el/effects/pixel_format.h"
#include "el/effects/translucent_blits.h"
#include "tests/el/draw/draw_test_support.h"

namespace {

using namespace drawtest;
using elDraw::PixelFormat;
using elDraw::PixelToRgb;
using Pixels = std::vector<std::uint16_t>;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// --- The effects as plain loops read them from the tables, one pixel at a time. ---

int Full(std::uint16_t p, int c) {
    return static_cast<int>((p >> PixelFormat.Shift(c)) & PixelFormat.Max(c));
}
std::uint16_t Pack5(int r, int g, int b) {
    return static_cast<std::uint16_t>(r << PixelFormat.RedShift5 | g << PixelFormat.GreenShift5 |
                                      b << PixelFormat.BlueShift5);
}
std::uint16_t Sub(int c, int a, int b) {
    return elDraw::SubtractTable[static_cast<std::size_t>(c * 1024 + a * 32 + b)];
}
std::uint16_t CrossFade(std::uint16_t s, std::uint16_t d, const int fade[3]) {
    unsigned out = 0;
    for (int c = 0; c < 3; ++c) {
        out |= elDraw::CrossFadeTable[elDraw::FadeIndex(c, fade[c], PixelToRgb[s][c],
                                                        PixelToRgb[d][c])];
    }
    return static_cast<std::uint16_t>(out);
}
// The full-precision mixes in extended precision, as the effects were designed.
std::uint16_t Alpha(std::uint16_t s, std::uint16_t d, const float a[3], const float w[3]) {
    unsigned out = 0;
    for (int c = 0; c < 3; ++c) {
        const long double r = static_cast<long double>(Full(s, c)) * a[c] +
                              static_cast<long double>(Full(d, c)) * w[c];
        out |= static_cast<unsigned>(r) << PixelFormat.Shift(c);
    }
    return static_cast<std::uint16_t>(out);
}
float OneLess(float v) {
    return static_cast<float>(1.0L - v);
}

// A pixel's new value, given the source, the destination and the position counted from the
// first drawn column and row.
using Reference = std::function<std::uint16_t(std::uint16_t, std::uint16_t, int, int)>;
using Call = std::function<int(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                               std::int32_t, std::int32_t)>;
struct Effect {
    std::string name;
    Call call;
    Reference reference;
};

// An effect whose own arguments, between y and the object, are `args`.
template <class F, class... Args>
Call With(F f, Args... args) {
    return [=](std::int32_t x, std::int32_t y, std::int32_t object, std::int32_t left,
               std::int32_t top, std::int32_t right,
               std::int32_t bottom) { return f(x, y, args..., object, left, top, right, bottom); };
}

template <class F>
Reference Anywhere(F reference) {
    return [reference](std::uint16_t s, std::uint16_t d, int, int) {
        return static_cast<std::uint16_t>(reference(s, d));
    };
}
Reference AlphaOf(float r, float g, float b) {
    return Anywhere([=](std::uint16_t s, std::uint16_t d) {
        const float a[3] = {r, g, b}, w[3] = {OneLess(r), OneLess(g), OneLess(b)};
        return Alpha(s, d, a, w);
    });
}
Reference CrossFadeOf(int r, int g, int b) {
    return Anywhere([=](std::uint16_t s, std::uint16_t d) {
        const int fade[3] = {31 - r, 31 - g, 31 - b};
        return CrossFade(s, d, fade);
    });
}

// Steps a gradient has taken by position i: one every `interval` positions past `start`.
int Steps(int i, unsigned start, int interval) {
    if (static_cast<unsigned>(i) <= start) return 0;
    return interval <= 1 ? i - static_cast<int>(start) : (i - static_cast<int>(start)) / interval;
}

Effect AlphaGradient(float r, float g, float b, int vertical, unsigned start, int interval) {
    return {"AlphaGradient", With(elDraw::AlphaGradientBlit, r, g, b, vertical, start, interval),
            [=](std::uint16_t s, std::uint16_t d, int column, int row) {
                float w[3] = {OneLess(r), OneLess(g), OneLess(b)};
                for (int n = std::min(Steps(vertical ? row : column, start, interval), 40); n > 0;
                     --n) {
                    for (float& v : w) v = std::max(v - 0.03125f, 0.0f);
                }
                const float a[3] = {OneLess(w[0]), OneLess(w[1]), OneLess(w[2])};
                return Alpha(s, d, a, w);
            }};
}

Effect CrossFadeGradient(int r, int g, int b, int vertical, unsigned start, int interval) {
    return {"CrossFadeGradient",
            With(elDraw::CrossFadeGradientBlit, r, g, b, vertical, start, interval),
            [=](std::uint16_t s, std::uint16_t d, int column, int row) {
                const int n = Steps(vertical ? row : column, start, interval);
                const int fade[3] = {std::max(31 - r - n, 0), std::max(31 - g - n, 0),
                                     std::max(31 - b - n, 0)};
                return CrossFade(s, d, fade);
            }};
}

std::vector<Effect> Effects() {
    using namespace elDraw;
    return {
        {"Half", HalfBlit, Anywhere([](std::uint16_t s, std::uint16_t d) {
             return ((s >> 1) & PixelFormat.HalfMask) + ((d >> 1) & PixelFormat.HalfMask);
         })},
        // 1 - 0.3 is a float, 1 - 0.1 is not; 1e-30 leaves the kernels for the loop.
        {"Alpha 0.3", With(AlphaBlit, 0.3f), AlphaOf(0.3f, 0.3f, 0.3f)},
        {"Alpha 0.1", With(AlphaBlit, 0.1f), AlphaOf(0.1f, 0.1f, 0.1f)},
        {"AlphaRGB", With(AlphaBlitRGB, 0.75f, 0.2f, 1e-30f), AlphaOf(0.75f, 0.2f, 1e-30f)},
        {"CrossFade", With(CrossFadeBlit, 16), CrossFadeOf(16, 16, 16)},
        {"CrossFadeRGB", With(CrossFadeBlitRGB, 31, 5, 0), CrossFadeOf(31, 5, 0)},
        {"Sub", SubBlit, Anywhere([](std::uint16_t s, std::uint16_t d) {
             const auto& dc = PixelToRgb[d];
             const int red = PixelToRgb[s][0];
             return Sub(0, dc[0], red) | Sub(1, dc[1], red) | Sub(2, dc[2], red);
         })},
        {"ChannelMask", With(ChannelMaskBlit, 7, 0, -1), Anywhere([](std::uint16_t s, auto) {
             return s & (PixelFormat.RedMask | PixelFormat.BlueMask);
         })},
        {"BrightRGB", With(BrightBlitRGB, 1.0f, 0.04f, 0.6f), Anywhere([](std::uint16_t s, auto) {
             const float f[3] = {1.0f, 0.04f, 0.6f}, none[3] = {};
             return Alpha(s, 0, f, none);
         })},
        {"DarkRGB", With(DarkBlitRGB, 31, 0, 9), Anywhere([](std::uint16_t s, auto) {
             const auto& sc = PixelToRgb[s];
             return Sub(0, sc[0], 0) | Sub(1, sc[1], 31) | Sub(2, sc[2], 22);
         })},
        {"Grey", GreyBlit, Anywhere([](std::uint16_t s, auto) {
             const auto& sc = PixelToRgb[s];
             const int g = AverageTable[static_cast<std::size_t>(sc[0] + sc[1] + sc[2])];
             return Pack5(g, g, g);
         })},
        AlphaGradient(0.2f, 0.5f, 0.9f, 0, 10, 2),
        AlphaGradient(0.0f, 0.1f, 1.0f, 1, 3, 1),
        CrossFadeGradient(0, 16, 31, 0, 5, 3),
        CrossFadeGradient(20, 1, 9, 1, 0, -4),
    };
}

// --- Pictures and the expected back surface. ---

class BlendBlitTest : public LayoutTest {
  protected:
    // An object holding `pixels`, `width` wide.
    std::int32_t Object(int width, const Pixels& pixels) {
        const int height = static_cast<int>(pixels.size()) / width;
        const std::int32_t object = elDraw::CreateObject(width, height - 1, 2);
        WritePixels(*elDraw::ObjectSurface(object), pixels);
        return object;
    }
    static Pixels Noise(std::size_t count, unsigned seed) {
        std::mt19937 rng(seed);
        Pixels p(count);
        for (auto& v : p) v = rng() % 4 == 0 ? 0 : static_cast<std::uint16_t>(rng());
        return p;
    }
    void WriteBack(const Pixels& pixels) { WritePixels(*elDraw::BackSurface, pixels); }
};

struct Placement {
    int x, y, left, top, right, bottom;
};

// The back surface after `effect` draws `source` (sourceWidth wide) at p, clipped to ClipRect
// and the screen.
Pixels Expected(Pixels back, const Pixels& source, int sourceWidth, const Placement& p,
                const Reference& reference) {
    const platform::Rect& clip = elDraw::ClipRect;
    const int left = std::max(clip.left, 0), top = std::max(clip.top, 0);
    const int right = std::min(clip.right, 640), bottom = std::min(clip.bottom, 480);
    const int firstX = std::max(p.x, left), firstY = std::max(p.y, top);
    for (int sy = p.top; sy < p.bottom; ++sy) {
        for (int sx = p.left; sx < p.right; ++sx) {
            const int dx = p.x + sx - p.left, dy = p.y + sy - p.top;
            const std::uint16_t s = source[static_cast<std::size_t>(sy * sourceWidth + sx)];
            if (s == 0 || dx < left || dx >= right || dy < top || dy >= bottom) continue;
            std::uint16_t& d = back[static_cast<std::size_t>(dy * 640 + dx)];
            d = reference(s, d, dx - firstX, dy - firstY);
        }
    }
    return back;
}

TEST_P(BlendBlitTest, EachMatchesItsTableLoopWhereverItLies) {
    const Pixels picture = Noise(200 * 150, 7);
    const std::int32_t object = Object(200, picture);
    const Pixels back = Noise(640 * 480, 9);
    const Placement places[] = {
        {100, 50, 0, 0, 200, 150},  {300, 200, 17, 9, 123, 101},  {-37, -11, 0, 0, 200, 150},
        {560, 420, 0, 0, 200, 150}, {-199, -149, 0, 0, 200, 150},  // one pixel left on screen
    };
    for (const platform::Rect clip : {platform::Rect{0, 0, 640, 480}, {37, 21, 600, 450}}) {
        elDraw::SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
        for (const Effect& e : Effects()) {
            for (const Placement& p : places) {
                WriteBack(back);
                ASSERT_EQ(e.call(p.x, p.y, object, p.left, p.top, p.right, p.bottom), 1);
                ASSERT_EQ(BackPixels(), Expected(back, picture, 200, p, e.reference))
                    << e.name << " at " << p.x << "," << p.y << " clip " << clip.left;
            }
        }
    }
}

// Every value as a source over another order of every value; in 5-5-5 the values with bit 15
// set are black to the tables, though not to the full-precision mixes.
TEST_P(BlendBlitTest, EverySourceAndDestinationValueFollowsItsTableLoop) {
    Pixels all(65536);
    for (std::uint32_t v = 0; v < all.size(); ++v) all[v] = static_cast<std::uint16_t>(v);
    const std::int32_t object = Object(256, all);
    Pixels back = Noise(640 * 480, 21);
    for (std::uint32_t v = 0; v < 65536; ++v) {
        back[(v / 256) * 640 + v % 256] = static_cast<std::uint16_t>(v * 40503u + 12345u);
    }
    for (const Effect& e : Effects()) {
        WriteBack(back);
        ASSERT_EQ(e.call(0, 0, object, 0, 0, 256, 256), 1);
        EXPECT_EQ(BackPixels(), Expected(back, all, 256, {0, 0, 0, 0, 256, 256}, e.reference))
            << e.name;
    }
}

// A layout without a vector kernel (blue on top) draws through the loops over the tables.
TEST_P(BlendBlitTest, AnyOtherLayoutGoesThroughTheTables) {
    if (GetParam() == PixelLayout::Rgb555) GTEST_SKIP() << "one other layout is enough";
    PixelFormat = elDraw::ComputePixelFormat(0x001F, 0x07E0, 0xF800);
    elDraw::FillEffectTables();
    const Pixels picture = Noise(64 * 64, 3);
    const std::int32_t object = Object(64, picture);
    const Pixels back = Noise(640 * 480, 4);
    for (const Effect& e : Effects()) {
        WriteBack(back);
        ASSERT_EQ(e.call(-5, 7, object, 0, 0, 64, 64), 1);
        EXPECT_EQ(BackPixels(), Expected(back, picture, 64, {-5, 7, 0, 0, 64, 64}, e.reference))
            << e.name;
    }
}

// Values worked out by hand from the effects' definitions, so the loops above are checked too.
TEST_P(BlendBlitTest, KnownPixels) {
    const bool wide = GetParam() == PixelLayout::Rgb565;
    const auto white = static_cast<std::uint16_t>(PixelFormat.WhiteColor);
    const std::uint16_t white5 = Pack5(31, 31, 31), grey16 = Pack5(16, 16, 16);
    const std::uint16_t red31 = Pack5(31, 0, 0);
    const auto green = static_cast<std::uint16_t>(PixelFormat.GreenMask);
    const std::uint16_t odd = wide ? 0x8A6B : 0x4A6B;  // 17, 19 (odd), 11 in 5-6-5
    const std::uint16_t odd5 = wide ? Pack5(17, 9, 11) : odd;
    // Pixel 0 is transparent.
    const std::int32_t object = Object(6, {0, white, odd, grey16, green, red31});
    struct Known {
        Call call;
        std::uint16_t destination;
        std::vector<std::pair<int, std::uint16_t>> want;  // pixel, value
    };
    const std::uint16_t d = odd;
    const Known cases[] = {
        {elDraw::HalfBlit, 0, {{1, wide ? 0x7BEF : 0x3DEF}}},
        {With(elDraw::AlphaBlit, 1.0f), d, {{1, white}, {2, odd}, {4, green}, {5, red31}}},
        {With(elDraw::AlphaBlit, 0.0f), 0x1234, {{1, 0x1234}, {3, 0x1234}, {5, 0x1234}}},
        {With(elDraw::CrossFadeBlit, 31), d, {{1, white5}, {2, odd5}, {3, grey16}}},
        {With(elDraw::CrossFadeBlit, 0), d, {{1, odd5}, {2, odd5}, {5, odd5}}},
        {With(elDraw::CrossFadeBlit, 16), grey16, {{3, Pack5(1, 1, 1)}}},
        {elDraw::SubBlit, white, {{1, 0}, {3, Pack5(15, 15, 15)}, {4, white5}}},
        {With(elDraw::ChannelMaskBlit, 0, 0, 0), d, {{1, 0}, {2, 0}, {5, 0}}},
        {With(elDraw::BrightBlit, 1.0f), d, {{1, white}, {2, odd}, {3, grey16}, {4, green}}},
        {With(elDraw::BrightBlit, 0.5f), d, {{5, wide ? 0x7800 : 0x3C00}}},
        {With(elDraw::DarkBlit, 31), d, {{1, white5}, {2, odd5}}},
        {With(elDraw::DarkBlit, 0), d, {{1, 0}, {2, 0}, {3, 0}}},
        {elDraw::GreyBlit, d, {{1, white5}, {5, Pack5(10, 10, 10)}}},
    };
    for (const Known& k : cases) {
        WriteBack(Filled(k.destination));
        ASSERT_EQ(k.call(10, 0, object, 0, 0, 6, 1), 1);
        const Pixels got = BackPixels();
        const int n = static_cast<int>(&k - cases);
        EXPECT_EQ(got[10], k.destination) << "case " << n << ": transparent";
        EXPECT_EQ(got[16], k.destination) << "case " << n << ": past the rectangle";
        for (const auto& [i, value] : k.want) EXPECT_EQ(got[10 + i], value) << n << " " << i;
    }
}

// The gradients' positions, worked out by hand. A white source over black at level 0 writes
// n in every component after n steps. With start 10 and interval 2 the first step is at the
// 13th drawn pixel (position 12), the next at position 14; a transparent pixel is a position
// too, and a left edge clipped off does not count.
TEST_P(BlendBlitTest, GradientsStepFromTheFirstDrawnPosition) {
    Pixels row(40, static_cast<std::uint16_t>(PixelFormat.WhiteColor));
    row[11] = 0;
    const std::int32_t object = Object(40, row);
    const auto draw = [&](int x, unsigned start, int interval) {
        WriteBack(Filled(0));
        elDraw::CrossFadeGradientBlit(x, 0, 0, 0, 0, 0, start, interval, object, 0, 0, 40, 1);
        return BackPixels();
    };
    const auto steps = [](int n) { return Pack5(n, n, n); };
    Pixels got = draw(0, 10, 2);
    EXPECT_EQ(got[10], steps(0));
    EXPECT_EQ(got[12], steps(1));  // 13 if the transparent pixel 11 were no position
    EXPECT_EQ(got[13], steps(1));
    EXPECT_EQ(got[14], steps(2));
    EXPECT_EQ(got[39], steps(14));
    got = draw(-5, 10, 2);  // source column 5 is position 0
    EXPECT_EQ(got[11], steps(0));
    EXPECT_EQ(got[12], steps(1));
    // An interval below 1 steps at every position past start; the level stops at the source.
    got = draw(0, 3, -7);
    EXPECT_EQ(got[4], steps(1));
    EXPECT_EQ(got[34], steps(31));
    EXPECT_EQ(got[39], steps(31));
    got = draw(0, 0xFFFFFFFFu, 1);  // no position lies past it
    EXPECT_EQ(got[39], steps(0));
}

TEST_P(BlendBlitTest, VerticalGradientsStepOncePerDrawnRow) {
    const std::int32_t object =
        Object(3, Pixels(3 * 40, static_cast<std::uint16_t>(PixelFormat.WhiteColor)));
    WriteBack(Filled(0));
    elDraw::CrossFadeGradientBlit(0, -2, 0, 0, 0, 1, 0, 1, object, 0, 0, 3, 40);
    const Pixels got = BackPixels();
    for (int y = 0; y < 38; ++y) {  // source row 2 is position 0
        const int n = std::min(y, 31);
        EXPECT_EQ(got[static_cast<std::size_t>(y * 640)], Pack5(n, n, n)) << "row " << y;
        EXPECT_EQ(got[static_cast<std::size_t>(y * 640 + 2)], Pack5(n, n, n)) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BlendBlitTest, kBothLayouts, LayoutName);

// One pixel drawn over one destination pixel in 5-6-5.
class BlendBlitPrecision : public OpenScreenTest {
  protected:
    std::uint16_t Over(std::uint16_t destination, std::uint16_t source, const Call& call) {
        const std::int32_t object = elDraw::CreateObject(1, 0, 2);
        WritePixels(*elDraw::ObjectSurface(object), {source});
        WritePixels(*elDraw::BackSurface, Filled(destination));
        EXPECT_EQ(call(5, 5, object, 0, 0, 1, 1), 1);
        return BackPixels()[5 * 640 + 5];
    }
};

// In extended or double precision, 0.1 and its weight 1 - 0.1 rounded to a float add up to just
// under 1, so a pixel mixed with an equal one loses one step in every channel: (20, 40, 20)
// becomes (19, 39, 19). In float arithmetic the sums round back up and it stays.
TEST_F(BlendBlitPrecision, AlphaBlitLosesAStepWhereItsWeightsFallShortOfOne) {
    const std::uint16_t pixel = 20 << 11 | 40 << 5 | 20;
    EXPECT_EQ(Over(pixel, pixel, With(elDraw::AlphaBlit, 0.1f)), 19 << 11 | 39 << 5 | 19);
    EXPECT_EQ(Over(pixel, pixel, With(elDraw::AlphaBlit, 0.5f)), pixel);  // 1 - 0.5 is exact
    // The gradient's source weight is 1 - w itself, so the weights add up to 1 exactly.
    const Call gradient =
        With(elDraw::AlphaGradientBlit, 0.1f, 0.1f, 0.1f, 0, 0xFFFFFFFFu, 1);  // no step
    EXPECT_EQ(Over(pixel, pixel, gradient), pixel);
}

// 0.04 as a float is 0.0399999991: 25 times it is just under 1 and 50 times just under 2, which a
// float product rounds up to 1 and 2.
TEST_F(BlendBlitPrecision, BrightBlitTruncatesTheExactProduct) {
    EXPECT_EQ(Over(0x1234, 25 << 11 | 50 << 5 | 25, With(elDraw::BrightBlit, 0.04f)),
              0 << 11 | 1 << 5 | 0);
}

// Every effect with arguments that make it draw.
std::vector<std::pair<std::string, Call>> AllEffects() {
    std::vector<std::pair<std::string, Call>> out;
    for (const Effect& e : Effects()) out.emplace_back(e.name, e.call);
    out.emplace_back("Bright", With(elDraw::BrightBlit, 0.5f));
    out.emplace_back("Dark", With(elDraw::DarkBlit, 12));
    return out;
}

class BlendBlitRefusals : public OpenScreenTest {};

// Nothing visible is done (1); no object or a source rectangle reaching outside it is refused
// (0); neither draws anything.
TEST_F(BlendBlitRefusals, EveryEffectFollowsTheRuleOfThePixelEffects) {
    const std::int32_t object = elDraw::CreateObject(64, 63, 2);
    WritePixels(*elDraw::ObjectSurface(object), Pixels(64 * 64, 0xFFFF));
    const std::int32_t released = elDraw::CreateObject(64, 63, 2);
    elDraw::ReleaseObject(released);
    elDraw::SetClipRect(37, 21, 600, 450);
    const Pixels back = Filled(0x1234);
    const std::pair<Placement, int> calls[] = {
        {{601, 100, 0, 0, 64, 64}, 1},   {{600, 100, 0, 0, 64, 64}, 1},
        {{100, 450, 0, 0, 64, 64}, 1},   {{-27, 100, 0, 0, 64, 64}, 1},
        {{kMin, kMin, 0, 0, 64, 64}, 1}, {{kMax, kMax, 0, 0, 64, 64}, 1},
        {{100, 100, 10, 10, 10, 64}, 1}, {{100, 100, 50, 60, 10, 5}, 1},
        {{100, 100, 0, 0, 65, 64}, 0},   {{100, 100, 0, 0, 64, 65}, 0},
        {{100, 100, -1, 0, 64, 64}, 0},  {{100, 100, kMin, 0, 64, 64}, 0},
        {{100, 100, 0, 0, kMax, 64}, 0}, {{kMax, kMax, 0, kMin, kMax, 64}, 0},
    };
    for (const auto& [name, call] : AllEffects()) {
        for (const auto& [p, result] : calls) {
            WritePixels(*elDraw::BackSurface, back);
            EXPECT_EQ(call(p.x, p.y, object, p.left, p.top, p.right, p.bottom), result)
                << name << " at " << p.x << "," << p.y << " " << p.left << "," << p.top << ","
                << p.right << "," << p.bottom;
            for (std::int32_t none : {-1, 1024, kMin, 900, released}) {
                EXPECT_EQ(call(100, 100, none, 0, 0, 64, 64), 0) << name << " object " << none;
            }
            ASSERT_EQ(BackPixels(), back) << name;
        }
    }
}

class BlendBlitBadInput : public OpenScreenTest {};

// Levels beyond 0..31 and opacities or factors beyond 0..1 (infinities included) act as the
// nearest end, NaN as 0; none reads outside a table or spills into another channel.
TEST_F(BlendBlitBadInput, ArgumentsOutOfRangeActAsTheNearestEnd) {
    std::mt19937 rng(11);
    Pixels picture(64 * 64), back(640 * 480);
    for (auto& p : picture) p = static_cast<std::uint16_t>(rng());
    for (auto& p : back) p = static_cast<std::uint16_t>(rng());
    const std::int32_t object = elDraw::CreateObject(64, 63, 2);
    WritePixels(*elDraw::ObjectSurface(object), picture);
    const auto drawn = [&](const std::function<int(std::int32_t)>& call) {
        WritePixels(*elDraw::BackSurface, back);
        EXPECT_EQ(call(object), 1);
        return BackPixels();
    };
    using elDraw::AlphaBlit, elDraw::AlphaBlitRGB, elDraw::AlphaGradientBlit, elDraw::BrightBlit,
        elDraw::BrightBlitRGB, elDraw::CrossFadeBlit, elDraw::CrossFadeBlitRGB,
        elDraw::CrossFadeGradientBlit, elDraw::DarkBlit, elDraw::DarkBlitRGB;
    const std::pair<std::int32_t, std::int32_t> levels[] = {
        {32, 31}, {kMax, 31}, {-1, 0}, {kMin, 0}};
    for (const auto& [bad, good] : levels) {
        const auto same = [&](auto f) {
            EXPECT_EQ(drawn([&](auto o) { return f(bad, o); }),
                      drawn([&](auto o) { return f(good, o); }))
                << "level " << bad;
        };
        same([](int l, int o) { return CrossFadeBlit(3, 4, l, o, 0, 0, 64, 64); });
        same([](int l, int o) { return CrossFadeBlitRGB(3, 4, 7, l, l, o, 0, 0, 64, 64); });
        same([](int l, int o) { return DarkBlit(3, 4, l, o, 0, 0, 64, 64); });
        same([](int l, int o) { return DarkBlitRGB(3, 4, l, 7, l, o, 0, 0, 64, 64); });
        same([](int l, int o) {
            return CrossFadeGradientBlit(3, 4, l, 3, l, 1, 5, kMin, o, 0, 0, 64, 64);
        });
    }
    const std::pair<float, float> units[] = {{kNan, 0.0f}, {kInf, 1.0f},  {-kInf, 0.0f},
                                             {2.5f, 1.0f}, {-0.5f, 0.0f}, {1e30f, 1.0f},
                                             {-0.0f, 0.0f}};
    for (const auto& [bad, good] : units) {
        const auto same = [&](auto f) {
            EXPECT_EQ(drawn([&](auto o) { return f(bad, o); }),
                      drawn([&](auto o) { return f(good, o); }))
                << "value " << bad;
        };
        same([](float v, int o) { return AlphaBlit(3, 4, v, o, 0, 0, 64, 64); });
        same([](float v, int o) { return AlphaBlitRGB(3, 4, 0.3f, v, v, o, 0, 0, 64, 64); });
        same([](float v, int o) { return BrightBlit(3, 4, v, o, 0, 0, 64, 64); });
        same([](float v, int o) { return BrightBlitRGB(3, 4, v, v, 0.7f, o, 0, 0, 64, 64); });
        same([](float v, int o) {
            return AlphaGradientBlit(3, 4, v, 0.5f, v, 0, 0xFFFFFFF0u, 1, o, 0, 0, 64, 64);
        });
    }
    // Held to 1, an opacity copies the source: no channel spills into the next.
    Pixels copied = back;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint16_t p = picture[static_cast<std::size_t>(y * 64 + x)];
            if (p != 0) copied[static_cast<std::size_t>(y * 640 + x)] = p;
        }
    }
    EXPECT_EQ(drawn([](auto o) { return AlphaBlit(0, 0, 3.0f, o, 0, 0, 64, 64); }), copied);
}

}  // namespace
