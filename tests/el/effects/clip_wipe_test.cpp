// Clip wipes: the nine shapes opening and closing, the closed clip, and hostile arguments.
#include "el/effects/clip_wipe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "el/draw/clip_rect.h"
#include "el/effects/effects_state.h"
#include "el/system/frame_timing.h"
#include "platform/crt.h"

namespace {

using elDraw::ClipRect;
using elDraw::StartWipe;
using elDraw::StepWipe;
using elDraw::WipeRect;
using elDraw::WipeState;
using platform::Rect;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
// Odd sizes, so the two halves about the middle differ: 101 x 61, middle (53, 35).
constexpr Rect kClip{3, 5, 104, 66};

testing::AssertionResult IsRect(const Rect& got, const Rect& want) {
    if (got.left == want.left && got.top == want.top && got.right == want.right &&
        got.bottom == want.bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "{" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom
           << "} instead of {" << want.left << ", " << want.top << ", " << want.right << ", "
           << want.bottom << "}";
}

class ClipWipe : public ::testing::Test {
  protected:
    void SetUp() override {
        elDraw::ResetEffectsState();
        ClipRect = kClip;
        elSystem::FrameDelta = 0.0625f;  // exact, so speed (d - 1) x 16 steps d pixels
    }
    void TearDown() override {
        elDraw::ResetEffectsState();
        ClipRect = {};
        elSystem::FrameDelta = 0;
    }
    static float SpeedFor(int d) { return static_cast<float>((d - 1) * 16); }
    // Steps until the wipe stops (or the cap), checking that the clip never leaves the saved one.
    static int Run(int cap = 1000, bool checkInside = true) {
        int frames = 0;
        while (WipeState >= 1 && frames < cap) {
            EXPECT_EQ(StepWipe(), 1);
            ++frames;
            if (!checkInside) continue;
            EXPECT_TRUE(ClipRect.left >= WipeRect.left && ClipRect.right <= WipeRect.right &&
                        ClipRect.top >= WipeRect.top && ClipRect.bottom <= WipeRect.bottom)
                << "frame " << frames;
        }
        return frames;
    }
};

TEST_F(ClipWipe, RefusalsChangeNothing) {
    ASSERT_EQ(StartWipe(0, 4, 0.0f, 7), 1);
    StepWipe();
    const Rect clip = ClipRect;
    EXPECT_EQ(StartWipe(1, 2, 50.0f, 9), 0);  // a wipe is running
    EXPECT_TRUE(IsRect(ClipRect, clip));
    EXPECT_TRUE(IsRect(WipeRect, kClip));
    EXPECT_EQ(WipeState, 1);
    EXPECT_EQ(elDraw::WipeType, 4);
    EXPECT_EQ(elDraw::WipeSpeed, 0.0f);
    EXPECT_EQ(elDraw::WipeBand, 7);

    elDraw::ResetEffectsState();
    ClipRect = kClip;
    for (int type : {10, -1, kMin, kMax}) {
        EXPECT_EQ(StartWipe(0, type, 1.0f, 0), 0) << type;
        EXPECT_EQ(WipeState, 0);
        EXPECT_TRUE(IsRect(ClipRect, kClip));
    }
    elDraw::CollapseClip();
    EXPECT_EQ(StartWipe(1, 10, 1.0f, 0), 0);  // a closed clip stays closed
    EXPECT_EQ(WipeState, -1);
    EXPECT_TRUE(IsRect(ClipRect, Rect{3, 5, 3, 5}));
    EXPECT_EQ(StepWipe(), 0);
    EXPECT_TRUE(IsRect(ClipRect, Rect{3, 5, 3, 5}));
}

TEST_F(ClipWipe, TypeZeroPicksWithRand) {
    crt::srand(1);  // the generator's first number after seed 1 is 41: 41 % 9 + 1 = 6
    ASSERT_EQ(StartWipe(0, 0, 0.0f, 0), 1);
    EXPECT_EQ(elDraw::WipeType, 6);
    EXPECT_TRUE(IsRect(ClipRect, Rect{53, 5, 53, 66}));
}

TEST_F(ClipWipe, StepLengthFollowsFrameTime) {
    // Speed 0: one pixel a frame, ending exactly on the saved top.
    ASSERT_EQ(StartWipe(0, 1, 0.0f, 0), 1);
    for (int frame = 1; frame < 61; ++frame) {
        StepWipe();
        ASSERT_EQ(ClipRect.top, 66 - frame);
    }
    StepWipe();
    EXPECT_TRUE(IsRect(ClipRect, kClip));
    EXPECT_EQ(WipeState, 0);
    EXPECT_EQ(elDraw::WipeOpened, 1);
    EXPECT_EQ(StepWipe(), 0);

    // 0.05 s at 400 pixels a second: 20 (truncated) + 1.
    elSystem::FrameDelta = 0.05f;
    ClipRect = {0, 0, 640, 480};
    ASSERT_EQ(StartWipe(0, 2, 400.0f, 0), 1);
    StepWipe();
    EXPECT_EQ(ClipRect.bottom, 21);
    StepWipe();
    EXPECT_EQ(ClipRect.bottom, 42);
}

TEST_F(ClipWipe, ClosingCentreLineMeetsInTheMiddle) {
    ClipRect = {0, 0, 640, 480};
    ASSERT_EQ(StartWipe(1, 5, SpeedFor(10), 0), 1);
    for (int frame = 0; frame < 23; ++frame) StepWipe();
    EXPECT_TRUE(IsRect(ClipRect, Rect{0, 230, 640, 250}));
    EXPECT_EQ(WipeState, 2);
    StepWipe();
    EXPECT_TRUE(IsRect(ClipRect, Rect{0, 240, 640, 240}));
    EXPECT_EQ(WipeState, -1);
    EXPECT_EQ(elDraw::WipeClosed, 1);
}

TEST_F(ClipWipe, ClosedClipStaysShutUntilTheNextWipe) {
    ASSERT_EQ(StartWipe(1, 3, SpeedFor(200), 0), 1);
    EXPECT_EQ(Run(), 1);
    const Rect shut = ClipRect;
    EXPECT_GE(shut.left, shut.right);
    elDraw::CancelWipe();  // a scene change does not undo a finished close
    EXPECT_EQ(StepWipe(), 0);
    EXPECT_TRUE(IsRect(ClipRect, shut));
    ASSERT_EQ(StartWipe(1, 1, 0.0f, 0), 1);
    EXPECT_TRUE(IsRect(ClipRect, kClip));
    EXPECT_EQ(elDraw::WipeClosed, 0);
    elDraw::CancelWipe();  // a running wipe is abandoned to the full clip
    EXPECT_EQ(WipeState, 0);
    EXPECT_TRUE(IsRect(ClipRect, kClip));
}

TEST_F(ClipWipe, CollapseKeepsTheFullClip) {
    elDraw::CollapseClip();
    elDraw::CollapseClip();  // twice must not save the empty clip over the full one
    EXPECT_EQ(WipeState, -1);
    ASSERT_EQ(StartWipe(0, 7, 0.0f, 0), 1);
    EXPECT_TRUE(IsRect(WipeRect, kClip));
    EXPECT_TRUE(IsRect(ClipRect, Rect{53, 35, 53, 35}));
    StepWipe();
    elDraw::CollapseClip();  // mid-wipe, too
    EXPECT_TRUE(IsRect(WipeRect, kClip));
    StartWipe(0, 1, 1e9f, 0);
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(IsRect(ClipRect, kClip));
}

struct Shape {
    int type;
    Rect start;                // the opening's collapsed clip
    int framesAt1, framesAt7;  // opening
    int closeFrames;           // closing at d = 1
    Rect closed;               // where the closing edges stop
};

// Band 20 for the slits. Frame counts: distances from the middle are 30/31 vertically and
// 50/51 horizontally; a pair stops when its nearer edge arrives; slits open one pair then the
// other (8: 30 + 40 frames, 9: 50 + 20) and close narrowing first (8: 40 + 31, 9: 20 + 51).
const Shape kShapes[] = {
    {1, {3, 66, 104, 66}, 61, 9, 61, {3, 66, 104, 66}},
    {2, {3, 5, 104, 5}, 61, 9, 61, {3, 5, 104, 5}},
    {3, {104, 5, 104, 66}, 101, 15, 101, {104, 5, 104, 66}},
    {4, {3, 5, 3, 66}, 101, 15, 101, {3, 5, 3, 66}},
    {5, {3, 35, 104, 35}, 30, 5, 31, {3, 36, 104, 35}},
    {6, {53, 5, 53, 66}, 50, 8, 51, {54, 5, 53, 66}},
    {7, {53, 35, 53, 35}, 50, 8, 51, {53, 35, 53, 35}},
    {8, {43, 35, 63, 35}, 70, 11, 71, {43, 36, 63, 35}},
    {9, {53, 25, 53, 45}, 70, 11, 71, {54, 25, 53, 45}},
};

TEST_F(ClipWipe, EveryShapeOpensOntoTheSavedClip) {
    for (const Shape& s : kShapes) {
        for (int d : {1, 7}) {
            SCOPED_TRACE(testing::Message() << "type " << s.type << " d " << d);
            ClipRect = kClip;
            ASSERT_EQ(StartWipe(0, s.type, SpeedFor(d), 20), 1);
            EXPECT_TRUE(IsRect(ClipRect, s.start));
            EXPECT_EQ(Run(), d == 1 ? s.framesAt1 : s.framesAt7);
            EXPECT_TRUE(IsRect(ClipRect, kClip));
            EXPECT_EQ(elDraw::WipeOpened, 1);
        }
    }
}

TEST_F(ClipWipe, EveryShapeCloses) {
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(testing::Message() << "type " << s.type);
        elDraw::ResetEffectsState();
        ClipRect = kClip;
        ASSERT_EQ(StartWipe(1, s.type, 0.0f, 20), 1);
        EXPECT_EQ(Run(), s.closeFrames);
        EXPECT_EQ(WipeState, -1);
        EXPECT_TRUE(IsRect(ClipRect, s.closed));
    }
}

TEST_F(ClipWipe, SlitBandsOutOfRange) {
    // A negative band is a zero-wide slit.
    ASSERT_EQ(StartWipe(0, 8, 0.0f, -50), 1);
    EXPECT_TRUE(IsRect(ClipRect, Rect{53, 35, 53, 35}));
    EXPECT_EQ(Run(), 30 + 50);
    ClipRect = kClip;
    ASSERT_EQ(StartWipe(1, 9, 0.0f, -50), 1);
    EXPECT_EQ(Run(), 30 + 51);  // top reaches 35 first, then left and right pinch
    EXPECT_TRUE(IsRect(ClipRect, Rect{54, 35, 53, 35}));

    // A band wider than the clip is the whole width: only the height moves.
    for (std::int32_t band : {500, kMax}) {
        elDraw::ResetEffectsState();
        ClipRect = kClip;
        ASSERT_EQ(StartWipe(0, 8, 0.0f, band), 1);
        EXPECT_TRUE(IsRect(ClipRect, Rect{3, 35, 104, 35}));
        EXPECT_EQ(Run(), 30);
        ASSERT_EQ(StartWipe(1, 8, 0.0f, band), 1);
        EXPECT_EQ(Run(), 31);
        EXPECT_TRUE(IsRect(ClipRect, Rect{3, 36, 104, 35}));
    }

    // Only the left edge already on the slit (0..4 of 0..5): the right one still comes in.
    elDraw::ResetEffectsState();
    ClipRect = {0, 0, 5, 6};
    ASSERT_EQ(StartWipe(1, 8, 0.0f, 4), 1);
    EXPECT_EQ(Run(), 1 + 3);
    EXPECT_TRUE(IsRect(ClipRect, Rect{0, 3, 4, 3}));
}

TEST_F(ClipWipe, HostileSpeedsAndFrameTimes) {
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    // NaN or negative products step the minimum pixel.
    for (auto [delta, speed] : {std::pair{0.0625f, nan},
                                {0.0625f, -400.0f},
                                {0.0625f, -inf},
                                {nan, 400.0f},
                                {-1.0f, 400.0f}}) {
        SCOPED_TRACE(testing::Message() << delta << " x " << speed);
        elDraw::ResetEffectsState();
        ClipRect = kClip;
        elSystem::FrameDelta = delta;
        ASSERT_EQ(StartWipe(1, 1, speed, 0), 1);
        StepWipe();
        EXPECT_EQ(ClipRect.top, 6);
    }
    // Enormous products step width + height + 1 = 163 pixels.
    for (auto [delta, speed] : {std::pair{0.0625f, 1e30f}, {0.0625f, inf}, {1e30f, 400.0f}}) {
        SCOPED_TRACE(testing::Message() << delta << " x " << speed);
        elDraw::ResetEffectsState();
        ClipRect = kClip;
        elSystem::FrameDelta = delta;
        ASSERT_EQ(StartWipe(1, 1, speed, 0), 1);
        EXPECT_EQ(Run(), 1);
        EXPECT_EQ(ClipRect.top, 5 + 163);
    }
}

TEST_F(ClipWipe, ExtremeAndInvertedClipsFinish) {
    // The widest clip at an unbounded speed: no edge may wrap round. Slits take two frames.
    const Rect widest{kMin, kMin, kMax, kMax};
    const float inf = std::numeric_limits<float>::infinity();
    for (int type = 1; type <= 9; ++type) {
        SCOPED_TRACE(testing::Message() << "type " << type);
        elDraw::ResetEffectsState();
        ClipRect = widest;
        ASSERT_EQ(StartWipe(0, type, inf, kMax), 1);
        if (type == 7) {
            EXPECT_TRUE(IsRect(ClipRect, Rect{-1, -1, -1, -1}));
        }
        EXPECT_EQ(Run(), type >= 8 ? 2 : 1);
        EXPECT_TRUE(IsRect(ClipRect, widest));
        ASSERT_EQ(StartWipe(1, type, inf, kMax), 1);
        EXPECT_EQ(Run(), type >= 8 ? 2 : 1);
        EXPECT_EQ(WipeState, -1);
        EXPECT_TRUE(ClipRect.right <= ClipRect.left || ClipRect.bottom <= ClipRect.top);
    }
    // An inverted clip is already both open and shut: every shape ends on its first frame.
    const Rect inverted{100, 100, 0, 0};
    for (int type = 1; type <= 9; ++type) {
        for (int closing : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " closing " << closing);
            elDraw::ResetEffectsState();
            ClipRect = inverted;
            ASSERT_EQ(StartWipe(closing, type, 0.0f, 20), 1);
            EXPECT_EQ(Run(1000, false), 1);
            EXPECT_EQ(WipeState, closing ? -1 : 0);
            if (!closing) {
                EXPECT_TRUE(IsRect(ClipRect, inverted));
            }
        }
    }
}

}  // namespace
