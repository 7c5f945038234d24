// The animated row-by-row blits: rows placed where hand-worked cases and the row formulas put
// them, the phases they keep between calls, and callers' numbers that must draw nothing, use
// no rand() and leave every phase in its range.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/composite_blits.h"
#include "el/draw/draw_state.h"
#include "el/draw/fills.h"
#include "el/system/c_runtime.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

using namespace elDraw;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::uint16_t kBackground = 0x2104;

struct Picture {
    std::int32_t object = 0, width = 0;
    std::vector<std::uint16_t> pixels;
    std::uint16_t at(std::int64_t x, std::int64_t y) const { return pixels[y * width + x]; }
};

// The back surface as the row copies should leave it, pixel by pixel.
struct Canvas {
    std::vector<std::uint16_t> pixels = Filled(kBackground);
    void Row(const Picture& p, std::int64_t x, std::int64_t y, std::int64_t row,
             bool keyed = true) {
        for (std::int64_t c = 0; c < p.width; ++c) {
            const std::int64_t dx = x + c;
            if (dx < std::max(ClipRect.left, 0) || dx >= std::min(ClipRect.right, 640) ||
                y < std::max(ClipRect.top, 0) || y >= std::min(ClipRect.bottom, 480) ||
                (keyed && p.at(c, row) == 0)) {
                continue;
            }
            pixels[y * 640 + dx] = p.at(c, row);
        }
    }
};

class CompositeBlit : public LayoutTest {
  protected:
    void SetUp() override {
        LayoutTest::SetUp();
        Clear();
    }
    void Clear() { ASSERT_EQ(FillRect(0, 0, 640, 480, kBackground), platform::DD_OK); }
    // Distinct pixels; with keyed, every seventh is the key (black) and column 0 never is.
    Picture Make(std::int32_t width, std::int32_t height, bool keyed = true) {
        Picture p{CreateObject(width, height - 1, 1), width, {}};
        for (std::int32_t i = 0; i < width * height; ++i) {
            p.pixels.push_back(keyed && i % 7 == 3 && i % width != 0 ? 0 : PatternValue(i, 0, 0));
        }
        WritePixels(*ObjectSurface(p.object), p.pixels);
        return p;
    }
    // What the next rand() would give after n calls from seed.
    static int RandAfter(std::uint32_t seed, int n) {
        elSystem::srand(seed);
        for (int i = 0; i < n; ++i) elSystem::rand();
        return elSystem::rand();
    }
};

TEST_P(CompositeBlit, WaveBlitPlacesRowsByTheCosineAndKeepsItsPhaseAndSign) {
    const Picture p = Make(6, 121);
    WaveBlit(100, 50, 0, 0, 0, p.object, 0, 0, 6, 121, 0);  // amplitude 0: the plain picture
    const std::vector<std::uint16_t> waved = BackPixels();
    Clear();
    BlitKeyed(100, 50, p.object, 0, 0, 6, 121);
    EXPECT_EQ(waved, BackPixels());
    // Rows go out a row at a time as far as pixels tell: under a clip larger than the surface,
    // the rows that fall on it are drawn though the picture runs off the top or bottom.
    Clear();
    SetClipRect(-1000, -1000, 100000, 100000);
    WaveBlit(100, 470, 0, 0, 0, p.object, 0, 0, 6, 121, 0);
    WaveBlit(100, -5, 0, 0, 0, p.object, 0, 0, 6, 121, 0);
    Canvas bottom;
    for (int r = 0; r < 10; ++r) bottom.Row(p, 100, 470 + r, r);
    for (int r = 5; r < 121; ++r) bottom.Row(p, 100, r - 5, r);
    EXPECT_EQ(BackPixels(), bottom.pixels);
    SetClipRect(0, 0, 640, 480);

    // Hand-worked: 10 cos 0° = 10, 10 cos 1° = 9.998; divisor 4 turns once every four rows.
    Clear();
    WaveBlit(100, 50, 10, 4, 0, p.object, 0, 2, 6, 6, 0);
    Canvas c;
    for (int r : {2, 3}) c.Row(p, 110, 48 + r, r);
    for (int r : {4, 5}) c.Row(p, 109, 48 + r, r);
    EXPECT_EQ(BackPixels(), c.pixels);

    // Alternate mode: +5, -4, +4 over three rows leaves the sign flipped for the next call.
    // Then extended precision from the double π: A 10 at 300° gives 4 (plain double gives 5)
    // and at 420° gives 5 (double gives 4).
    Clear();
    WaveBlit(20, 30, 5, 0, 0, p.object, 0, 0, 6, 3, 1);
    EXPECT_EQ(WaveSign, -1);
    WaveBlit(20, 40, 5, 0, 0, p.object, 0, 0, 6, 1, 1);
    EXPECT_EQ(WaveSign, 1);
    WavePhase = 300;
    WaveBlit(100, 50, 10, 0, 0, p.object, 0, 0, 6, 1, 0);
    WaveBlit(100, 60, 10, 0, 0, p.object, 0, 120, 6, 121, 0);
    Canvas a;
    for (auto [dx, r] : {std::pair{25, 0}, {16, 1}, {24, 2}}) a.Row(p, dx, 30 + r, r);
    a.Row(p, 15, 40, 0);
    a.Row(p, 104, 50, 0);
    a.Row(p, 105, 60, 120);
    EXPECT_EQ(BackPixels(), a.pixels);

    elSystem::FrameDelta = 0.5f;
    WavePhase = 350;
    WaveBlit(0, 0, 0, 0, 100, p.object, 0, 0, 6, 1, 0);
    EXPECT_EQ(WavePhase, 40);  // one turn less past 360
    WaveBlit(0, 0, 0, 0, -100, p.object, 0, 0, 6, 1, 0);
    EXPECT_EQ(WavePhase, -10);  // a negative phase runs on below 0
}

TEST_P(CompositeBlit, TileScrollCoversTheScreenAtEveryOffset) {
    const Picture p = Make(37, 23, false);
    elSystem::FrameDelta = 0.1f;
    TileScrollBlit(50, -50, p.object, 0, 0, 37, 23);
    EXPECT_TRUE(TileOffsetX == -32 && TileOffsetY == -5);  // 5 is past 0: one tile back
    const float deltas[] = {0.016f, 0.017f, 0.05f, 0.2f, 3.0f, 1e9f};
    for (int frame = 0; frame < 24; ++frame) {
        elSystem::FrameDelta = deltas[frame % 6];
        if (frame == 20) TileOffsetX = 1e6f;  // as a call with a wider picture might leave it
        const auto left = static_cast<std::int64_t>(std::fmod(TileOffsetX, 37.0f));
        const auto top = static_cast<std::int64_t>(TileOffsetY);
        Clear();
        TileScrollBlit(123.7f, -77.3f, p.object, 0, 0, 37, 23);
        const std::vector<std::uint16_t> back = BackPixels();
        for (std::int64_t i = 0; i < 640 * 480; i += 7) {
            const std::int64_t x = (i % 640 - left + 37) % 37, y = (i / 640 - top) % 23;
            ASSERT_EQ(back[i], p.at(x, y)) << "frame " << frame << ", pixel " << i;
        }
        ASSERT_TRUE(TileOffsetX >= -37 && TileOffsetX <= 0 && TileOffsetY >= -23 &&
                    TileOffsetY <= 0);
    }
}

TEST_P(CompositeBlit, WaveScrollAndBandWrapTheirRowsInsideTheRectangle) {
    const Picture p = Make(3, 8);
    elSystem::FrameDelta = 0.1f;
    WaveScrollBlit(10, 20, 0, 0, 0, 30, p.object, 0, 1, 3, 6);
    EXPECT_EQ(WaveScrollOffset, 2);  // 0 - 3 rows, wrapped by the height 5
    Clear();
    WaveScrollBlit(10, 20, 0, 0, 0, 0, p.object, 0, 1, 3, 6);
    Canvas c;  // rows 1..5 land on y + r; the wrapped part starts one below the top
    for (auto [r, s] : {std::pair{1, 3}, {2, 4}, {3, 5}, {4, 2}, {5, 3}}) c.Row(p, 10, 20 + r, s);
    EXPECT_EQ(BackPixels(), c.pixels);
    WaveScrollOffset = 42;  // left by a taller rectangle: whole periods of 5 rows back to 2
    Clear();
    WaveScrollBlit(10, 20, 0, 0, 0, 0, p.object, 0, 1, 3, 6);
    EXPECT_EQ(BackPixels(), c.pixels);

    // Band: rows i % 4 + 1 (wrapped), 640 / 3 + 2 tiles across from trunc(5 cos i°) - 5. Row
    // 300, the only one the clip lets through, carries the pinned 10 cos 300° = 4.
    Clear();
    BandOffset = 1;
    WaveBandBlit(10, 13, 5, 0, 0, 0, p.object, 0, 0, 3, 4);
    SetClipRect(0, 300, 640, 301);
    WaveBandBlit(0, 480, 10, 0, 0, 0, p.object, 0, 0, 3, 4);
    Canvas b;
    for (int x = -6; x < 640 - 3; x += 3) b.Row(p, x, 300, 1);  // 640 / 3 + 2 tiles: one short
    SetClipRect(0, 0, 640, 480);
    for (auto [dy, shift] : {std::pair{10, 0}, {11, -1}, {12, -1}}) {
        for (int x = shift; x < 640; x += 3) b.Row(p, x, dy, dy - 9);
    }
    EXPECT_EQ(BackPixels(), b.pixels);
}

TEST_P(CompositeBlit, RowRepeatScanlineAndJitterPickRows) {
    const Picture p = Make(5, 11);
    RowRepeatBlit(10, 20, 3, p.object, 0, 0, 5, 7);
    ScanlineBlit(100, 20, 2, p.object, 0, 0, 5, 10);
    Canvas c;
    for (int q = 0; q < 9; ++q) c.Row(p, 10, 20 + q, q / 3 * 3);  // the last group overruns
    for (int r : {2, 4, 6, 8}) c.Row(p, 100, 20 + r, r);
    EXPECT_EQ(BackPixels(), c.pixels);

    Clear();
    RowRepeatBlit(10, 20, 1, p.object, 0, 0, 5, 11);
    const std::vector<std::uint16_t> repeated = BackPixels();
    Clear();
    BlitKeyed(10, 20, p.object, 0, 0, 5, 11);
    EXPECT_EQ(repeated, BackPixels());

    // Random gaps of 1..3 rows, one rand() a gap; rows shaken by -3..2, one rand() a row.
    Clear();
    elSystem::srand(7);
    ScanlineBlit(200, 20, -3, p.object, 0, 1, 5, 11);
    JitterBlit(300, 20, 3, p.object, 0, 0, 5, 11);
    const int next = elSystem::rand();
    elSystem::srand(7);
    Canvas r;
    int calls = 1;
    for (int s = 1 + elSystem::rand() % 3 + 1; s < 11; s += elSystem::rand() % 3 + 1, ++calls) {
        r.Row(p, 200, 19 + s, s);
    }
    for (int row = 0; row < 11; ++row, ++calls)
        r.Row(p, 300 + elSystem::rand() % 6 - 3, 20 + row, row);
    EXPECT_EQ(BackPixels(), r.pixels);
    EXPECT_EQ(next, RandAfter(7, calls));

    Clear();
    elSystem::srand(9);
    JitterBlit(10, 20, 0, p.object, 0, 0, 5, 11);  // amount 0: the plain picture, no rand()
    const int first = elSystem::rand();
    EXPECT_EQ(first, RandAfter(9, 0));
    EXPECT_EQ(BackPixels(), repeated);
}

TEST_P(CompositeBlit, RollBlitDrawsObjectRowsFromTheTopOpaque) {
    const Picture p = Make(6, 8);
    // Phase 0, H 4: row 0 fills 0..4 (cos 0 = 1, bottom 2 + 2). At 120° the cosine is just over
    // -0.5 (bottom 1, behind), at 240° just under (bottom 0), as the double π lies below π;
    // row 3 at 360° then fills 1..4. srcTop 2 only sets the height.
    RollBlit(10, 20, 0, 0, p.object, 0, 2, 6, 6);
    Canvas c;
    c.Row(p, 10, 20, 0, false);
    for (int q = 1; q <= 4; ++q) c.Row(p, 10, 20 + q, 3, false);
    EXPECT_EQ(BackPixels(), c.pixels);

    // 0 - 1 and 3 + 1.5 wrapped by 4; 0.5 + 4.5 runs past 4, back by a whole turn of 3 rows.
    elSystem::FrameDelta = 0.1f;
    for (auto [direction, speed, phase] : {std::tuple{0, 10.0f, 3.0f}, {1, 15, 0.5}, {0, -45, 2}}) {
        RollBlit(10, 20, direction, speed, p.object, 0, 0, 6, 4);
        EXPECT_EQ(RollPhase, phase);
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, CompositeBlit, kBothLayouts, LayoutName);

using CompositeBlitInput = CompositeBlit;

// Every operation once, phases and speeds aside.
void EveryOperation(std::int32_t object, std::int32_t l, std::int32_t t, std::int32_t r,
                    std::int32_t b, float speed = 0) {
    WaveBlit(0, 0, 9, 0, speed, object, l, t, r, b, 0);
    TileScrollBlit(speed, -speed, object, l, t, r, b);
    WaveScrollBlit(0, 0, 9, 0, speed, speed, object, l, t, r, b);
    WaveBandBlit(kMin, kMax, 9, 0, speed, speed, object, l, t, r, b);
    RowRepeatBlit(0, 0, 1, object, l, t, r, b);
    ScanlineBlit(0, 0, -3, object, l, t, r, b);
    JitterBlit(0, 0, 3, object, l, t, r, b);
    RollBlit(0, 0, 0, speed, object, l, t, r, b);
}

TEST_P(CompositeBlitInput, RefusedSourcesDrawNothingQuicklyWithoutRand) {
    const Picture p = Make(4, 5);
    ASSERT_EQ(LoadObject("NO_SUCH_PICTURE", 2), 0);  // an entry without a surface
    const auto start = std::chrono::steady_clock::now();
    elSystem::srand(3);
    for (std::int32_t object : {-1, 1024, kMin, p.object + 1}) EveryOperation(object, 0, 0, 4, 5);
    const std::int32_t outside[][4] = {
        {0, 0, 5, 5}, {0, 0, 4, 6}, {-1, 0, 4, 5}, {0, 0, 4, kMax}, {kMin, kMin, kMax, kMax}};
    for (const auto& [l, t, r, b] : outside) EveryOperation(p.object, l, t, r, b);
    // No width or height to tile by, no step, one row to roll, rows beyond 32 bits.
    TileScrollBlit(1, 1, p.object, 2, 0, 2, 5);
    WaveBandBlit(0, 480, 1, 0, 0, 0, p.object, 0, 3, 4, 3);
    for (std::int32_t step : {0, -7, kMin}) RowRepeatBlit(0, 0, step, p.object, 0, 0, 4, 5);
    ScanlineBlit(0, 0, 0, p.object, 0, 0, 4, 5);
    ScanlineBlit(0, 0, kMax, p.object, 0, 0, 4, 5);
    RollBlit(0, 0, 0, 0, p.object, 0, 0, 4, 1);
    RollBlit(kMin, kMax, 1, 0, p.object, 0, 0, 4, 5);
    WaveBlit(kMax, kMax, kMin, -1, 0, p.object, 0, 0, 4, 5, 0);
    EXPECT_EQ(BackPixels(), Filled(kBackground));
    const int unused = elSystem::rand();
    EXPECT_EQ(unused, RandAfter(3, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Wide arithmetic: twice INT32_MAX shakes every row off the screen, one rand() each; a step
    // of INT32_MIN makes gaps of rand() + 1.
    elSystem::srand(11);
    JitterBlit(0, 0, kMax, p.object, 0, 0, 4, 5);
    ScanlineBlit(50, 100, kMin, p.object, 0, 0, 4, 5);
    const int after = elSystem::rand();
    Canvas c;
    elSystem::srand(11);
    int calls = 6;
    for (int i = 0; i < 5; ++i) elSystem::rand();
    for (std::int64_t r = elSystem::rand() + 1; r < 5; r += elSystem::rand() + 1, ++calls) {
        c.Row(p, 50, 100 + r, r);
    }
    EXPECT_EQ(BackPixels(), c.pixels);
    EXPECT_EQ(after, RandAfter(11, calls));
}

TEST_P(CompositeBlitInput, PhasesMoveOnAndStayInRangeWhateverTheStep) {
    const Picture p = Make(4, 5);
    // A refused call still moves the phases and, in alternate mode, the sign once a row.
    elSystem::FrameDelta = 0.1f;
    WaveBlit(0, 0, 1, 0, 100, -1, 0, 0, 4, 3, 1);
    EXPECT_EQ(WavePhase, 10);
    EXPECT_EQ(WaveSign, -1);
    const float huge = std::numeric_limits<float>::max(), inf = INFINITY;
    for (float delta : {0.017f, 1e30f, huge}) {
        for (float speed : {huge, -huge, 1e-30f, -123.4f, inf, -inf, NAN}) {
            elSystem::FrameDelta = delta;
            EveryOperation(p.object, 0, 0, 4, 5, speed);
            RollBlit(0, 0, 1, speed, p.object, 0, 0, 4, 5);
            for (float angle : {WavePhase, WaveScrollPhase, BandPhase}) {
                ASSERT_TRUE(angle >= -360 && angle <= 360) << delta << " " << speed;
            }
            ASSERT_TRUE(TileOffsetX >= -4 && TileOffsetX <= 0 && TileOffsetY >= -5 &&
                        TileOffsetY <= 0);
            for (float rows : {WaveScrollOffset, BandOffset, RollPhase}) {
                ASSERT_TRUE(rows >= 0 && rows < 5) << delta << " " << speed;
            }
        }
    }
    // Values set from outside: used within bounds, and brought back by the next step.
    for (float* v : {&WavePhase, &TileOffsetX, &WaveScrollPhase, &WaveScrollOffset, &BandPhase,
                     &BandOffset, &RollPhase}) {
        *v = NAN;
    }
    TileOffsetY = 1e30f;
    elSystem::FrameDelta = 0.1f;
    EveryOperation(p.object, 0, 0, 4, 5, 1);
    EXPECT_TRUE(WavePhase == 0 && TileOffsetX == 0 && RollPhase == 0 && BandOffset == 0);
    EXPECT_TRUE(TileOffsetY >= -5 && TileOffsetY <= 0);

    ResetDrawState();
    EXPECT_TRUE(WavePhase == 0 && WaveSign == 1 && TileOffsetX == 0 && TileOffsetY == 0 &&
                WaveScrollPhase == 0 && WaveScrollOffset == 0 && BandPhase == 0 &&
                BandOffset == 0 && RollPhase == 0);
}

INSTANTIATE_TEST_SUITE_P(Rgb565, CompositeBlitInput, ::testing::Values(PixelLayout::Rgb565),
                         LayoutName);

}  // namespace
}  // namespace drawtest
