// Unscaled and scaled copies: clipping against ClipRect at every edge, and callers' numbers
// that must draw nothing rather than read or write outside a surface.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

using platform::Rect;

constexpr std::uint16_t kBackground = 0x2104;
constexpr std::int32_t kSourceWidth = 100;
constexpr std::int32_t kSourceHeight = 50;
const Rect kWhole{0, 0, kSourceWidth, kSourceHeight};
const Rect kScreen{0, 0, 640, 480};

class BlitTest : public OpenScreenTest {
  protected:
    void SetUp() override {
        OpenScreenTest::SetUp();
        source = elDraw::CreateObject(kSourceWidth, kSourceHeight - 1, 1);
        ASSERT_GT(source, 0);
        ASSERT_NO_FATAL_FAILURE(FillPattern(source));
        Clear();
    }
    void Clear() { ASSERT_EQ(elDraw::FillRect(0, 0, 640, 480, kBackground), platform::DD_OK); }

    std::int32_t source = 0;
};

// `dest` (rows of `width`) after a copy of `from` to x, y: the source pattern wherever it lands
// inside both the clip rectangle and the destination.
std::vector<std::uint16_t> AfterCopy(std::vector<std::uint16_t> dest, std::int64_t width,
                                     std::int64_t x, std::int64_t y, const Rect& from,
                                     const Rect& clip = kScreen) {
    const std::int64_t height = static_cast<std::int64_t>(dest.size()) / width;
    const std::int64_t bottom =
        std::min<std::int64_t>({height, clip.bottom, y + from.bottom - from.top});
    const std::int64_t right =
        std::min<std::int64_t>({width, clip.right, x + from.right - from.left});
    for (std::int64_t by = std::max<std::int64_t>({0, clip.top, y}); by < bottom; ++by) {
        for (std::int64_t bx = std::max<std::int64_t>({0, clip.left, x}); bx < right; ++bx) {
            dest[static_cast<std::size_t>(by * width + bx)] =
                PatternValue(static_cast<std::int32_t>(from.left + bx - x),
                             static_cast<std::int32_t>(from.top + by - y), kSourceWidth);
        }
    }
    return dest;
}
const std::vector<std::uint16_t> kClearBack = Filled(kBackground);

TEST_F(BlitTest, CopiesAreClippedAtEveryEdge) {
    const struct {
        const char* what;
        std::int32_t x, y;
        Rect from, clip;
    } cases[] = {
        {"left edge", -10, 20, kWhole, kScreen},
        {"top edge", 20, -10, kWhole, kScreen},
        {"right edge", 600, 20, kWhole, kScreen},
        {"bottom edge", 20, 450, kWhole, kScreen},
        {"one pixel in the corner", 639, 479, kWhole, kScreen},
        {"part of the source at the left", -5, 7, Rect{20, 5, 60, 25}, kScreen},
        {"inside", 300, 200, Rect{3, 4, 97, 45}, kScreen},
        {"clip cuts both sides", 20, 5, kWhole, Rect{30, 10, 60, 40}},
        {"clip inside the source", 0, 0, kWhole, Rect{10, 10, 50, 30}},
        {"wholly right", 700, 20, kWhole, kScreen},
        {"starting at the right edge", 640, 20, kWhole, kScreen},
        {"ending at the left edge", -100, 20, kWhole, kScreen},
        {"wholly left", -200, 20, kWhole, kScreen},
        {"starting at the bottom edge", 20, 480, kWhole, kScreen},
        {"ending at the top edge", 20, -50, kWhole, kScreen},
        {"wholly above", 20, -60, kWhole, kScreen},
    };
    for (bool keyed : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (keyed ? ", keyed" : ", opaque"));
            Clear();
            elDraw::SetClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom);
            auto blit = keyed ? &elDraw::BlitKeyed : &elDraw::BlitOpaque;
            blit(c.x, c.y, source, c.from.left, c.from.top, c.from.right, c.from.bottom);
            ASSERT_EQ(BackPixels(), AfterCopy(kClearBack, 640, c.x, c.y, c.from, c.clip));
        }
    }
}

TEST_F(BlitTest, NumbersOutsideTheObjectDrawNothing) {
    ASSERT_EQ(elDraw::LoadObject("NO_SUCH_PICTURE", 2), 0);  // an entry with a name, no surface
    const std::int32_t noSurface = source + 1;
    ASSERT_EQ(elDraw::ObjectSurface(noSurface), nullptr);
    const std::vector<std::uint16_t> before = BackPixels();
    const std::vector<std::uint16_t> pattern = ObjectPixels(source);
    const std::int32_t sources[][4] = {
        {0, 0, 101, 50},          {0, 0, 100, 51},         {-1, 0, 10, 10},
        {0, -1, 10, 10},          {50, 0, 10, 50},         {0, 40, 10, 10},
        {kMin, kMin, kMax, kMax}, {kMax - 5, 0, kMax, 10}, {0, kMin, 10, kMin + 10}};
    const std::int32_t positions[][2] = {{kMax, 0}, {kMin, 0},       {0, kMax},
                                         {0, kMin}, {kMax - 50, 10}, {10, kMin + 20}};
    for (auto blit : {&elDraw::BlitOpaque, &elDraw::BlitKeyed}) {
        for (const auto& [l, t, r, b] : sources) {
            blit(10, 10, source, l, t, r, b);
            blit(-20, -20, source, l, t, r, b);
            ASSERT_EQ(BackPixels(), before) << l << "," << t << "," << r << "," << b;
        }
        for (const auto& p : positions) {
            blit(p[0], p[1], source, 0, 0, kSourceWidth, kSourceHeight);
            ASSERT_EQ(BackPixels(), before) << p[0] << "," << p[1];
        }
        for (std::int32_t object : {-1, 1024, kMin, kMax, noSurface}) {
            blit(0, 0, object, 0, 0, 10, 10);
            ASSERT_EQ(BackPixels(), before) << object;
        }
    }
    EXPECT_NE(elDraw::BlitObjectKeyed(-1, 0, 0, source, 0, 0, 10, 10), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectOpaque(source, 0, 0, 1024, 0, 0, 10, 10), platform::DD_OK);
    elDraw::CaptureScreen(-7, 0, 0, 640, 480);
    elDraw::CaptureScreen(source, -5, -5, 10, 10);
    elDraw::CaptureScreen(source, 600, 0, 700, 50);
    elDraw::CaptureScreen(1, kMin, kMin, kMax, kMax);
    EXPECT_EQ(ObjectPixels(source), pattern);
}

TEST_F(BlitTest, AClipRectLargerThanTheSurfaceWritesNothingOutside) {
    elDraw::SetClipRect(-1000, -1000, 100000, 100000);
    const std::int32_t places[][2] = {{-10, -10}, {600, 450}, {-99, 5}, {639, 479}};
    for (const auto& [x, y] : places) {
        Clear();
        elDraw::BlitOpaque(x, y, source, 0, 0, kSourceWidth, kSourceHeight);
        const std::vector<std::uint16_t> back = BackPixels();
        const std::vector<std::uint16_t> full = AfterCopy(kClearBack, 640, x, y, kWhole);
        for (std::size_t i = 0; i < back.size(); ++i) {
            ASSERT_TRUE(back[i] == kBackground || back[i] == full[i]) << x << "," << y << ": " << i;
        }
    }
}

TEST_F(BlitTest, ACopyThatDoesNotFitTheDestinationObjectIsRefused) {
    // ClipRect, not the destination object, bounds the copy; past the object it is refused.
    const std::int32_t small = elDraw::CreateObject(10, 9, 1);
    ASSERT_GT(small, 0);
    ASSERT_EQ(elDraw::ClearObject(small), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectKeyed(small, 0, 0, source, 0, 0, 100, 50), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectOpaque(small, 5, 5, source, 0, 0, 10, 10), platform::DD_OK);
    EXPECT_EQ(ObjectPixels(small), std::vector<std::uint16_t>(100, 0));
}

TEST_F(BlitTest, ACopyWithinOneObjectReadsTheSourceAsItWas) {
    const std::vector<std::uint16_t> original = ObjectPixels(source);
    const Rect from{10, 10, 60, 30};
    const std::int32_t moves[][2] = {{5, 3}, {-4, -2}};  // overlapping both ways
    for (const auto& [mx, my] : moves) {
        WritePixels(*elDraw::ObjectSurface(source), original);
        EXPECT_EQ(elDraw::BlitObjectOpaque(source, from.left + mx, from.top + my, source, from.left,
                                           from.top, from.right, from.bottom),
                  platform::DD_OK);
        EXPECT_EQ(ObjectPixels(source),
                  AfterCopy(original, kSourceWidth, from.left + mx, from.top + my, from))
            << mx << "," << my;
    }
}

TEST_F(BlitTest, CaptureCopiesTheBackSurfaceUnclipped) {
    elDraw::BlitOpaque(0, 0, source, 0, 0, kSourceWidth, kSourceHeight);
    elDraw::SetClipRect(0, 0, 1, 1);
    elDraw::CaptureScreen(1, 0, 0, 640, 480);
    EXPECT_EQ(ObjectPixels(1), BackPixels());
}

// Scaled copies, by the device (1) and through GDI and object 0 (0).
class StretchTest : public BlitTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        BlitTest::SetUp();
        elDraw::StretchCapable = GetParam();
    }
};

TEST_P(StretchTest, DoublingRepeatsEachPixel) {
    elDraw::StretchBlitOpaque(5, 7, source, 10, 20, 20, 30, 20, 20);
    std::vector<std::uint16_t> expected = kClearBack;
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 20; ++x) {
            expected[static_cast<std::size_t>((7 + y) * 640 + 5 + x)] =
                PatternValue(10 + x / 2, 20 + y / 2, kSourceWidth);
        }
    }
    EXPECT_EQ(BackPixels(), expected);
}

TEST_P(StretchTest, OddSizesAndPlacesLeaveTheSourceAlone) {
    const std::vector<std::uint16_t> pattern = ObjectPixels(source);
    const std::int32_t sizes[][2] = {{0, 10},      {10, 0},      {-20, 20},    {20, -20},
                                     {100000, 10}, {10, 100000}, {kMin, kMin}, {kMin, kMax}};
    // Under the sanitizers this also shows that nothing is read or written outside a surface.
    for (const auto& [w, h] : sizes) {
        elDraw::StretchBlitKeyed(600, 470, source, 0, 0, 10, 10, w, h);
        elDraw::StretchBlitOpaque(-50, -50, source, 0, 0, 10, 10, w, h);
        elDraw::StretchBlitOpaque(kMax, kMin, source, 0, 0, 10, 10, w, h);
        elDraw::StretchBlitOpaque(0, 0, source, -100, -100, 1000, 1000, w, h);
        elDraw::StretchBlitKeyed(0, 0, source, kMin, kMin, kMax, kMax, w, h);
    }
    for (std::int32_t object : {-1, 1024, kMin}) {
        elDraw::StretchBlitKeyed(0, 0, object, 0, 0, 10, 10, 20, 20);
    }
    EXPECT_EQ(ObjectPixels(source), pattern);
}

// Runs work in a child process, which an alarm ends if it takes longer than `seconds`.
bool FinishesWithin(unsigned seconds, const std::function<void()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        work();
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_P(StretchTest, AHugeDestinationCostsNoMoreThanTheSurface) {
    EXPECT_TRUE(FinishesWithin(20, [this] {
        elDraw::StretchBlitKeyed(0, 0, source, 0, 0, 10, 10, kMax, kMax);
        elDraw::StretchBlitOpaque(-1000000, -1000000, source, 0, 0, 10, 10, 2000000, 2000000);
    }));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, StretchTest, ::testing::Values(0, 1),
                         [](const auto& path) { return path.param ? "Device" : "Gdi"; });

}  // namespace
}  // namespace drawtest
