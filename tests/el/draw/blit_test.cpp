// Unscaled and scaled copies: clipping against ClipRect at every edge, and callers' numbers
// that must draw nothing rather than read or write outside a surface.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <csignal>
#include <functional>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

using platform::Rect;

constexpr std::uint16_t kBackground = 0x2104;
constexpr std::int32_t kSourceWidth = 100;
constexpr std::int32_t kSourceHeight = 50;

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

// The back surface a copy must leave: the source pixels that land inside the clip rectangle,
// the background everywhere else.
std::vector<std::uint16_t> ExpectedBack(std::int64_t x, std::int64_t y, const Rect& from,
                                        const Rect& clip) {
    std::vector<std::uint16_t> back(640 * 480, kBackground);
    const std::int64_t w = std::int64_t{from.right} - from.left;
    const std::int64_t h = std::int64_t{from.bottom} - from.top;
    for (std::int64_t by = 0; by < 480; ++by) {
        for (std::int64_t bx = 0; bx < 640; ++bx) {
            if (bx < clip.left || bx >= clip.right || by < clip.top || by >= clip.bottom) continue;
            if (bx < x || bx >= x + w || by < y || by >= y + h) continue;
            const std::int64_t sx = from.left + (bx - x);
            const std::int64_t sy = from.top + (by - y);
            back[static_cast<std::size_t>(by * 640 + bx)] = PatternValue(
                static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy), kSourceWidth);
        }
    }
    return back;
}

struct ClipCase {
    const char* what;
    std::int32_t x, y;
    Rect from;
    Rect clip;
};

const Rect kWhole{0, 0, kSourceWidth, kSourceHeight};
const Rect kScreen{0, 0, 640, 480};

TEST_F(BlitTest, CopiesAreClippedAtEveryEdge) {
    const ClipCase cases[] = {
        {"left edge", -10, 20, kWhole, kScreen},
        {"top edge", 20, -10, kWhole, kScreen},
        {"right edge", 600, 20, kWhole, kScreen},
        {"bottom edge", 20, 450, kWhole, kScreen},
        {"top left corner", -10, -10, kWhole, kScreen},
        {"bottom right corner", 590, 440, kWhole, kScreen},
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
        for (const ClipCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (keyed ? ", keyed" : ", opaque"));
            Clear();
            elDraw::SetClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom);
            auto blit = keyed ? &elDraw::BlitKeyed : &elDraw::BlitOpaque;
            blit(c.x, c.y, source, c.from.left, c.from.top, c.from.right, c.from.bottom);
            ASSERT_EQ(BackPixels(), ExpectedBack(c.x, c.y, c.from, c.clip));
        }
    }
}

TEST_F(BlitTest, LeftEdgeExampleWorkedByHand) {
    elDraw::BlitKeyed(-10, 0, source, 0, 0, 100, 50);
    const std::vector<std::uint16_t> back = BackPixels();
    EXPECT_EQ(back[0], PatternValue(10, 0, kSourceWidth));
    EXPECT_EQ(back[89], PatternValue(99, 0, kSourceWidth));
    EXPECT_EQ(back[90], kBackground);
    EXPECT_EQ(back[49 * 640 + 5], PatternValue(15, 49, kSourceWidth));
    EXPECT_EQ(back[50 * 640 + 5], kBackground);
}

TEST_F(BlitTest, NumbersOutsideTheObjectDrawNothing) {
    const std::int32_t failed = elDraw::LoadObject("NO_SUCH_PICTURE", 2);  // name, no surface
    ASSERT_EQ(failed, 0);
    const std::int32_t noSurface = source + 1;
    ASSERT_EQ(elDraw::ObjectSurface(noSurface), nullptr);
    const std::vector<std::uint16_t> before = BackPixels();
    const std::vector<std::uint16_t> pattern = ObjectPixels(source);
    const Rect sources[] = {
        {0, 0, kSourceWidth + 1, kSourceHeight},
        {0, 0, kSourceWidth, kSourceHeight + 1},
        {-1, 0, 10, 10},
        {0, -1, 10, 10},
        {90, 0, 110, 10},
        {50, 0, 10, 50},
        {0, 40, 10, 10},
        {0, 0, INT_MAX, INT_MAX},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {INT_MAX - 5, 0, INT_MAX, 10},
        {INT_MIN, 0, INT_MIN + 10, 10},
        {0, INT_MIN, 10, INT_MIN + 10},
    };
    for (bool keyed : {false, true}) {
        auto blit = keyed ? &elDraw::BlitKeyed : &elDraw::BlitOpaque;
        for (const Rect& r : sources) {
            SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                         std::to_string(r.right) + "," + std::to_string(r.bottom));
            blit(10, 10, source, r.left, r.top, r.right, r.bottom);
            blit(-20, -20, source, r.left, r.top, r.right, r.bottom);
            ASSERT_EQ(BackPixels(), before);
        }
        const std::int32_t positions[][2] = {
            {INT_MAX, 0},       {INT_MIN, 0},       {0, INT_MAX},       {0, INT_MIN},
            {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX - 50, 10}, {10, INT_MIN + 20}};
        for (const auto& p : positions) {
            SCOPED_TRACE(std::to_string(p[0]) + "," + std::to_string(p[1]));
            blit(p[0], p[1], source, 0, 0, kSourceWidth, kSourceHeight);
            ASSERT_EQ(BackPixels(), before);
        }
        for (std::int32_t object : {-1, 1024, 100000, INT_MIN, INT_MAX, noSurface, 700}) {
            SCOPED_TRACE(object);
            blit(0, 0, object, 0, 0, 10, 10);
            ASSERT_EQ(BackPixels(), before);
        }
    }
    EXPECT_NE(elDraw::BlitObjectKeyed(-1, 0, 0, source, 0, 0, 10, 10), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectOpaque(source, 0, 0, 1024, 0, 0, 10, 10), platform::DD_OK);
    elDraw::CaptureScreen(-7, 0, 0, 640, 480);
    elDraw::CaptureScreen(source, -5, -5, 10, 10);
    elDraw::CaptureScreen(source, 600, 0, 700, 50);
    elDraw::CaptureScreen(1, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(ObjectPixels(source), pattern);
}

TEST_F(BlitTest, AClipRectLargerThanTheSurfaceWritesNothingOutside) {
    elDraw::SetClipRect(-1000, -1000, 100000, 100000);
    const struct {
        std::int32_t x, y;
    } places[] = {{-10, -10}, {600, 450}, {-99, 5}, {639, 479}, {100, 100}};
    for (const auto& place : places) {
        SCOPED_TRACE(std::to_string(place.x) + "," + std::to_string(place.y));
        Clear();
        elDraw::BlitOpaque(place.x, place.y, source, 0, 0, kSourceWidth, kSourceHeight);
        // Whatever is drawn is the right source pixel in the right place.
        const std::vector<std::uint16_t> back = BackPixels();
        const std::vector<std::uint16_t> full = ExpectedBack(place.x, place.y, kWhole, kScreen);
        for (std::size_t i = 0; i < back.size(); ++i) {
            ASSERT_TRUE(back[i] == kBackground || back[i] == full[i]) << i;
        }
    }
}

TEST_F(BlitTest, CopiesBetweenObjectsClipToClipRectNotToTheDestination) {
    const std::int32_t target = elDraw::CreateObject(100, 49, 1);
    ASSERT_GT(target, 0);
    ASSERT_EQ(elDraw::ClearObject(target), platform::DD_OK);
    EXPECT_EQ(elDraw::BlitObjectOpaque(target, -10, 5, source, 0, 0, 30, 20), platform::DD_OK);
    const std::vector<std::uint16_t> pixels = ObjectPixels(target);
    for (std::int32_t y = 0; y < 50; ++y) {
        for (std::int32_t x = 0; x < 100; ++x) {
            const bool inside = x < 20 && y >= 5 && y < 25;
            const std::uint16_t expected = inside ? PatternValue(x + 10, y - 5, kSourceWidth) : 0;
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * 100 + x)], expected) << x << "," << y;
        }
    }
    // A small object is not a clip: a copy bigger than it is refused, never written past it.
    const std::int32_t small = elDraw::CreateObject(10, 9, 1);
    ASSERT_GT(small, 0);
    ASSERT_EQ(elDraw::ClearObject(small), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectKeyed(small, 0, 0, source, 0, 0, 100, 50), platform::DD_OK);
    EXPECT_NE(elDraw::BlitObjectOpaque(small, 5, 5, source, 0, 0, 10, 10), platform::DD_OK);
    EXPECT_EQ(ObjectPixels(small), std::vector<std::uint16_t>(100, 0));
}

TEST_F(BlitTest, ACopyWithinOneObjectReadsTheSourceAsItWas) {
    const std::vector<std::uint16_t> original = ObjectPixels(source);
    // Overlapping rectangles: down and right, then up and left.
    for (const auto& move :
         {std::array<std::int32_t, 2>{5, 3}, std::array<std::int32_t, 2>{-4, -2}}) {
        SCOPED_TRACE(std::to_string(move[0]) + "," + std::to_string(move[1]));
        WritePixels(*elDraw::ObjectSurface(source), original);
        const Rect from{10, 10, 60, 30};
        EXPECT_EQ(elDraw::BlitObjectOpaque(source, from.left + move[0], from.top + move[1], source,
                                           from.left, from.top, from.right, from.bottom),
                  platform::DD_OK);
        const std::vector<std::uint16_t> pixels = ObjectPixels(source);
        for (std::int32_t y = 0; y < kSourceHeight; ++y) {
            for (std::int32_t x = 0; x < kSourceWidth; ++x) {
                const std::int32_t sx = x - move[0];
                const std::int32_t sy = y - move[1];
                const bool moved =
                    sx >= from.left && sx < from.right && sy >= from.top && sy < from.bottom;
                const std::uint16_t expected =
                    moved ? PatternValue(sx, sy, kSourceWidth)
                          : original[static_cast<std::size_t>(y * kSourceWidth + x)];
                ASSERT_EQ(pixels[static_cast<std::size_t>(y * kSourceWidth + x)], expected)
                    << x << "," << y;
            }
        }
    }
}

TEST_F(BlitTest, CaptureCopiesTheBackSurfaceUnclipped) {
    elDraw::BlitOpaque(0, 0, source, 0, 0, kSourceWidth, kSourceHeight);
    elDraw::SetClipRect(0, 0, 1, 1);  // ignored by the capture
    elDraw::CaptureScreen(1, 0, 0, 640, 480);
    EXPECT_EQ(ObjectPixels(1), BackPixels());
}

// ---- Scaled copies, on both paths ----

class StretchTest : public BlitTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        BlitTest::SetUp();
        elDraw::StretchCapable = GetParam();
    }
};

TEST_P(StretchTest, DoublingRepeatsEachPixel) {
    elDraw::StretchBlitOpaque(5, 7, source, 10, 20, 20, 30, 20, 20);
    const std::vector<std::uint16_t> back = BackPixels();
    for (std::int32_t y = 0; y < 40; ++y) {
        for (std::int32_t x = 0; x < 40; ++x) {
            const bool inside = x >= 5 && x < 25 && y >= 7 && y < 27;
            const std::uint16_t expected =
                inside ? PatternValue(10 + (x - 5) / 2, 20 + (y - 7) / 2, kSourceWidth)
                       : kBackground;
            ASSERT_EQ(back[static_cast<std::size_t>(y * 640 + x)], expected) << x << "," << y;
        }
    }
}

TEST_P(StretchTest, OddSizesAndPlacesLeaveTheSourceAlone) {
    const std::vector<std::uint16_t> pattern = ObjectPixels(source);
    const std::int32_t sizes[][2] = {
        {0, 10},      {10, 0},      {-20, 20},          {20, -20},
        {100000, 10}, {10, 100000}, {INT_MIN, INT_MIN}, {INT_MIN, INT_MAX}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        Clear();
        elDraw::StretchBlitKeyed(600, 470, source, 0, 0, 10, 10, size[0], size[1]);
        elDraw::StretchBlitOpaque(-50, -50, source, 0, 0, 10, 10, size[0], size[1]);
        elDraw::StretchBlitOpaque(INT_MAX, INT_MIN, source, 0, 0, 10, 10, size[0], size[1]);
        elDraw::StretchBlitOpaque(0, 0, source, -100, -100, 1000, 1000, size[0], size[1]);
        elDraw::StretchBlitKeyed(0, 0, source, INT_MIN, INT_MIN, INT_MAX, INT_MAX, size[0],
                                 size[1]);
    }
    for (std::int32_t object : {-1, 1024, INT_MIN}) {
        elDraw::StretchBlitKeyed(0, 0, object, 0, 0, 10, 10, 20, 20);
    }
    // Under the sanitizers this also shows that nothing was read or written outside a surface.
    EXPECT_EQ(ObjectPixels(source), pattern);
}

// Runs work in a child process; false when it has not ended after `seconds`.
bool FinishesWithin(int seconds, const std::function<void()>& work) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        work();
        _exit(0);
    }
    for (int waited = 0; waited < seconds * 10; ++waited) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        usleep(100000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

TEST_P(StretchTest, AHugeDestinationCostsNoMoreThanTheSurface) {
    // Only the part that lands on the surfaces is worth visiting; a frame takes milliseconds.
    EXPECT_TRUE(FinishesWithin(20, [this] {
        elDraw::StretchBlitKeyed(0, 0, source, 0, 0, 10, 10, INT_MAX, INT_MAX);
        elDraw::StretchBlitOpaque(-1000000, -1000000, source, 0, 0, 10, 10, 2000000, 2000000);
    }));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, StretchTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& path) {
                             return path.param == 1 ? std::string("Device") : std::string("Gdi");
                         });

}  // namespace
}  // namespace drawtest
