// Screen set-up and its failures, the pixel format and effect tables it fills, and shutdown.
#include "el/draw/screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/present.h"
#include "el/draw/shutdown.h"
#include "el/effects/pixel_format.h"
#include "el/system/input_state.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"
#include "platform/messages.h"
#include "tests/el/draw/draw_test_support.h"

namespace drawtest {
namespace {

using platform::DisplayOp;
namespace faults = platform::display_faults;

using ScreenSetup = DrawFixture;

struct SetupFailure {
    DisplayOp op;
    int skip;
    const char* message;
};

TEST_F(ScreenSetup, EachFailingStepShowsItsMessageAndReturnsZero) {
    // The enumeration creates (and drops) a device before the default driver is opened, so the
    // default driver's creation is the second one. Surfaces: primary, back, object 0, object 1.
    const SetupFailure failures[] = {
        {DisplayOp::kCreateDevice, 1, "DirectDrawが使用できません"},
        {DisplayOp::kSetCooperativeLevel, 0, "フルスクリーン化できません"},
        {DisplayOp::kSetDisplayMode, 0, "解像度が変更できません"},
        {DisplayOp::kCreateSurface, 0, "表画面が生成できません"},
        {DisplayOp::kCreateSurface, 1, "裏画面が生成できません"},
        {DisplayOp::kCreateSurface, 2, "Bufferスプライトが生成できません"},
        {DisplayOp::kCreateSurface, 3, "Screenスプライトが生成できません"},
        {DisplayOp::kGetPixelFormat, 0, "ピクセル情報が取得できません"},
    };
    for (const SetupFailure& failure : failures) {
        SCOPED_TRACE(failure.message);
        const std::size_t before = boxCount();
        faults::Clear();
        faults::FailOnce(failure.op, failure.skip);
        EXPECT_EQ(elDraw::Screen(640, 480, 1), 0);
        ASSERT_EQ(boxCount(), before + 1);
        EXPECT_EQ(boxText(before), std::string("elDraw::Screen : ") + failure.message);
        EXPECT_EQ(boxCaption(before), "エラー発生");
        // Whatever was made before the failure is released by the next ReleaseScreen.
        elDraw::ReleaseScreen();
        EXPECT_FALSE(elDraw::IsDisplayOpen());
        EXPECT_EQ(elDraw::ObjectSurface(0), nullptr);
        EXPECT_EQ(elDraw::ObjectSurface(1), nullptr);
    }
    // With no failure pending the same set-up succeeds quietly.
    faults::Clear();
    const std::size_t before = boxCount();
    EXPECT_EQ(elDraw::Screen(640, 480, 1), 1);
    EXPECT_EQ(boxCount(), before);
}

TEST_F(ScreenSetup, AFailingDeviceDuringEnumerationIsSkippedSilently) {
    faults::FailOnce(DisplayOp::kCreateDevice, 0);
    EXPECT_EQ(elDraw::Screen(640, 480, 1), 1);
    EXPECT_EQ(boxCount(), 0u);
    EXPECT_TRUE(elDraw::IsDisplayOpen());
    EXPECT_EQ(elDraw::HardwareDeviceChosen, 0);
}

TEST_F(ScreenSetup, ARefusedDepthOf32IsTriedOnceMoreAt24) {
    elDraw::UseDepth32();
    // The display takes 16 bits only, so both tries fail and the second depth is kept.
    EXPECT_EQ(elDraw::Screen(640, 480, 1), 0);
    EXPECT_EQ(elDraw::DisplayDepth, 24);
    ASSERT_EQ(boxCount(), 1u);
    EXPECT_EQ(boxText(0), "elDraw::Screen : 解像度が変更できません");
}

TEST_F(ScreenSetup, OpenScreenHasTheReservedObjectsAndAClearTable) {
    // Leftovers from an earlier run must not survive a set-up.
    elDraw::Objects[7].name = {'O', 'L', 'D'};
    elDraw::Objects[7].width = 9;
    OpenScreen();
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        const elDraw::ObjectRecord& record = elDraw::Objects[static_cast<std::size_t>(n)];
        ASSERT_NE(record.surface, nullptr);
        EXPECT_EQ(record.surface->width(), 640);
        EXPECT_EQ(record.surface->height(), 480);
        EXPECT_EQ(record.width, 640);
        EXPECT_EQ(record.height, 480);
        EXPECT_EQ(record.key, 0u);
        EXPECT_EQ(record.name[0], '\0');
    }
    EXPECT_EQ(elDraw::Objects[7].name[0], '\0');
    EXPECT_EQ(elDraw::Objects[7].width, 0);
    ASSERT_NE(elDraw::BackSurface, nullptr);
    EXPECT_EQ(elDraw::BackSurface->width(), 640);
    EXPECT_EQ(elDraw::BackSurface->height(), 480);
}

TEST_F(ScreenSetup, MemoryModesPlaceTheSurfaces) {
    constexpr std::uint32_t kSystem = platform::DDSCAPS_SYSTEMMEMORY;
    struct Placement {
        std::int32_t mode;
        bool screenInSystem;   // primary and back
        bool objectsInSystem;  // objects 0 and 1
    };
    for (const Placement& p : {Placement{1, false, false}, Placement{3, false, true},
                               Placement{0, true, true}, Placement{2, true, true}}) {
        SCOPED_TRACE(p.mode);
        ASSERT_EQ(elDraw::Screen(640, 480, p.mode), 1);
        EXPECT_EQ((elDraw::PrimarySurface->caps() & kSystem) != 0, p.screenInSystem);
        EXPECT_EQ((elDraw::BackSurface->caps() & kSystem) != 0, p.screenInSystem);
        EXPECT_EQ((elDraw::ObjectSurface(0)->caps() & kSystem) != 0, p.objectsInSystem);
        EXPECT_EQ((elDraw::ObjectSurface(1)->caps() & kSystem) != 0, p.objectsInSystem);
        // Pictures read the mode the other way round: only 2 leaves the placement open.
        const std::int32_t two = elDraw::CreateObject(4, 4, 2);
        const std::int32_t one = elDraw::CreateObject(4, 4, 1);
        ASSERT_GT(two, 0);
        ASSERT_GT(one, 0);
        EXPECT_EQ(elDraw::ObjectSurface(two)->caps() & kSystem, 0u);
        EXPECT_NE(elDraw::ObjectSurface(one)->caps() & kSystem, 0u);
        elDraw::ReleaseScreen();
    }
    EXPECT_EQ(boxCount(), 0u);
}

// ---- Pixel format and effect tables ----

using PixelFormatTest = LayoutTest;

TEST_P(PixelFormatTest, ValuesFollowTheLayout) {
    const elDraw::PixelFormatValues& f = elDraw::PixelFormat;
    if (GetParam() == PixelLayout::Rgb565) {
        EXPECT_EQ(f.RedMask, 0xF800u);
        EXPECT_EQ(f.GreenMask, 0x07E0u);
        EXPECT_EQ(f.RedShift, 11u);
        EXPECT_EQ(f.GreenMax, 63u);
        EXPECT_EQ(f.RedShift5, 11u);
        EXPECT_EQ(f.GreenShift5, 6u);
        EXPECT_EQ(f.HalfMask, 0x7BEFu);
        EXPECT_EQ(f.WhiteColor, 0xFFFFu);
    } else {
        EXPECT_EQ(f.RedMask, 0x7C00u);
        EXPECT_EQ(f.GreenMask, 0x03E0u);
        EXPECT_EQ(f.RedShift, 10u);
        EXPECT_EQ(f.GreenMax, 31u);
        EXPECT_EQ(f.RedShift5, 10u);
        EXPECT_EQ(f.GreenShift5, 5u);
        EXPECT_EQ(f.HalfMask, 0x3DEFu);
        EXPECT_EQ(f.WhiteColor, 0x7FFFu);
    }
    EXPECT_EQ(f.BlueMask, 0x001Fu);
    EXPECT_EQ(f.GreenShift, 5u);
    EXPECT_EQ(f.BlueShift, 0u);
    EXPECT_EQ(f.RedMax, 31u);
    EXPECT_EQ(f.BlueMax, 31u);
    EXPECT_EQ(f.BlueShift5, 0u);
}

TEST_P(PixelFormatTest, PixelToRgbGivesFiveBitComponents) {
    const bool wide = GetParam() == PixelLayout::Rgb565;
    const std::uint16_t white = wide ? 0xFFFF : 0x7FFF;
    EXPECT_EQ(elDraw::PixelToRgb[white], (std::array<std::uint8_t, 3>{31, 31, 31}));
    EXPECT_EQ(elDraw::PixelToRgb[0], (std::array<std::uint8_t, 3>{0, 0, 0}));
    // r 20, g 41 (6 bits) or 21 (5 bits), b 7.
    const std::uint16_t pixel = wide ? (20 << 11 | 41 << 5 | 7) : (20 << 10 | 21 << 5 | 7);
    const std::uint8_t green = wide ? 20 : 21;
    EXPECT_EQ(elDraw::PixelToRgb[pixel], (std::array<std::uint8_t, 3>{20, green, 7}));
    if (!wide) {
        // The top bit is no colour in 5-5-5.
        EXPECT_EQ(elDraw::PixelToRgb[0x8000 | 0x7FFF], (std::array<std::uint8_t, 3>{0, 0, 0}));
    }
    for (const auto& entry : elDraw::PixelToRgb) {
        ASSERT_LE(entry[0], 31);
        ASSERT_LE(entry[1], 31);
        ASSERT_LE(entry[2], 31);
    }
}

TEST_P(PixelFormatTest, CombiningTablesHoldTheirDefiningValues) {
    const elDraw::PixelFormatValues& f = elDraw::PixelFormat;
    auto at = [](int c, int p, int a, int b) {
        return static_cast<std::size_t>(c * 32768 + p * 1024 + a * 32 + b);
    };
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t shift = f.Shift5(c);
        const std::uint32_t channelMask = 31u << shift;
        for (int a = 0; a < 32; ++a) {
            for (int b = 0; b < 32; ++b) {
                // Cross-fade: P = 0 is the first picture, P = 31 the second.
                ASSERT_EQ(elDraw::CrossFadeTable[at(c, 0, a, b)], a << shift);
                ASSERT_EQ(elDraw::CrossFadeTable[at(c, 31, a, b)], b << shift);
                // Fade-add at P = 0 is a saturating sum.
                ASSERT_EQ(elDraw::FadeAddTable[at(c, 0, a, b)], std::min(a + b, 31) << shift);
                ASSERT_EQ(elDraw::SubtractTable[static_cast<std::size_t>(c * 1024 + a * 32 + b)],
                          std::max(a - b, 0) << shift);
                for (int p = 0; p < 32; ++p) {
                    ASSERT_EQ(elDraw::CrossFadeTable[at(c, p, a, b)] & ~channelMask, 0u);
                    ASSERT_EQ(elDraw::FadeAddTable[at(c, p, a, b)] & ~channelMask, 0u);
                }
            }
        }
    }
    // A few points worked by hand (green, so the 5-6-5 shift of 6 shows).
    const std::uint32_t g = f.GreenShift5;
    EXPECT_EQ(elDraw::FadeAddTable[at(1, 0, 20, 20)], 31u << g);
    EXPECT_EQ(elDraw::FadeAddTable[at(1, 10, 25, 3)], 18u << g);     // 15 + 3
    EXPECT_EQ(elDraw::FadeAddTable[at(1, 31, 31, 5)], 5u << g);      // a fully faded out
    EXPECT_EQ(elDraw::CrossFadeTable[at(1, 10, 25, 28)], 22u << g);  // 15 + 7
    EXPECT_EQ(elDraw::CrossFadeTable[at(1, 16, 31, 31)], 31u << g);  // 15 + 16
    EXPECT_EQ(elDraw::AverageTable[93], 31);
    EXPECT_EQ(elDraw::AverageTable[3], 1);
    EXPECT_EQ(elDraw::AverageTable[2], 0);
    std::set<int> drawn(elDraw::RandomTable.begin(), elDraw::RandomTable.end());
    EXPECT_EQ(drawn, (std::set<int>{0, 1, 2}));
}

TEST_P(PixelFormatTest, SineTableTruncatesTowardZero) {
    EXPECT_EQ(elDraw::SineTable[0], 0);
    EXPECT_EQ(elDraw::SineTable[90], 360);
    EXPECT_EQ(elDraw::SineTable[180], 0);
    EXPECT_EQ(elDraw::SineTable[270], -360);
    EXPECT_EQ(elDraw::SineTable[360], 0);
    EXPECT_EQ(elDraw::SineTable[45], 254);    // 254.56
    EXPECT_EQ(elDraw::SineTable[225], -254);  // -254.56: toward zero, not down
    EXPECT_EQ(elDraw::SineTable[60], 311);    // 311.77
    EXPECT_EQ(elDraw::SineTable[449], 359);   // sin 89 degrees
    for (int d = 0; d < 360; ++d) {
        const double cosine = 360.0 * std::cos(d * 3.14159265358979323846 / 180.0);
        // Truncation moves an entry by less than one; where the value is a whole number the
        // rounding of sin may put it just below, so allow that one step.
        EXPECT_LE(std::abs(elDraw::SineTable[static_cast<std::size_t>(d + 90)] - cosine),
                  1.0 + 1e-9)
            << d;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PixelFormatTest,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555), LayoutName);

// ---- Shutdown ----

using ShutdownTest = OpenScreenTest;

int PendingCloses() {
    int closes = 0;
    platform::Msg msg;
    while (platform::PeekMessage(msg)) closes += msg.message == platform::WM_CLOSE ? 1 : 0;
    return closes;
}

TEST_F(ShutdownTest, ReleasesEverythingAndIsHarmlessTwice) {
    const std::int32_t picture = elDraw::LoadObject("MACHINE", 2);
    ASSERT_GE(picture, 2);
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_FALSE(elDraw::IsDisplayOpen());
    EXPECT_EQ(elDraw::BackSurface, nullptr);
    EXPECT_EQ(elDraw::PrimarySurface, nullptr);
    for (int n = 0; n < elDraw::kObjectCount; ++n) {
        ASSERT_EQ(elDraw::ObjectSurface(n), nullptr) << n;
    }
    EXPECT_EQ(elDraw::Objects[static_cast<std::size_t>(picture)].name[0], '\0');
    EXPECT_EQ(elSystem::CloseState, 2);
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_EQ(elSystem::CloseState, 2);
    EXPECT_EQ(PendingCloses(), 1);
    EXPECT_TRUE(host->minimized());
}

TEST_F(ShutdownTest, DrawingAfterShutdownDoesNothing) {
    std::int32_t frames = 0;
    host->onFrame = [&](const platform::FrameView&) { ++frames; };
    elDraw::Shutdown();
    const std::size_t boxesBefore = boxCount();
    EXPECT_EQ(elDraw::CreateObject(16, 16, 1), 0);
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 0);
    EXPECT_EQ(elDraw::SwapObject("MACHINE", 2, 2), 0);
    // Every failure above is reported, not silently taken as success.
    EXPECT_EQ(boxCount(), boxesBefore + 3);
    for (int n = 0; n < elDraw::kObjectCount; ++n) {
        ASSERT_EQ(elDraw::ObjectSurface(n), nullptr) << n;
    }
    elDraw::BlitKeyed(0, 0, 0, 0, 0, 10, 10);
    elDraw::BlitOpaque(0, 0, 2, 0, 0, 10, 10);
    EXPECT_NE(elDraw::BlitObjectKeyed(1, 0, 0, 0, 0, 0, 10, 10), platform::DD_OK);
    elDraw::StretchBlitKeyed(0, 0, 0, 0, 0, 10, 10, 20, 20);
    elDraw::StretchBlitOpaque(0, 0, 2, 0, 0, 10, 10, 20, 20);
    elDraw::CaptureScreen(1, 0, 0, 640, 480);
    EXPECT_NE(elDraw::ClearScreen(), platform::DD_OK);
    EXPECT_NE(elDraw::ClearObject(0), platform::DD_OK);
    EXPECT_NE(elDraw::FillRect(0, 0, 10, 10, 0xFFFF), platform::DD_OK);
    EXPECT_NE(elDraw::FrameRect(0, 0, 10, 10), platform::DD_OK);
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 0);
    elDraw::PresentFrame();
    elDraw::RestoreSurfaces();
    elDraw::ReleaseObject(2);
    EXPECT_EQ(frames, 0);
    EXPECT_FALSE(elDraw::IsDisplayOpen());
}

TEST_F(ScreenSetup, DrawingAfterAFailedSetUpDoesNothingHarmful) {
    faults::FailOnce(DisplayOp::kCreateSurface, 1);  // no back surface
    ASSERT_EQ(elDraw::Screen(640, 480, 1), 0);
    elDraw::BlitOpaque(0, 0, 0, 0, 0, 10, 10);
    elDraw::ClearScreen();
    EXPECT_EQ(elDraw::HalfFillRect(0, 0, 10, 10, 0), 0);
    elDraw::PresentFrame();
    elDraw::RestoreSurfaces();
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_FALSE(elDraw::IsDisplayOpen());
}

}  // namespace
}  // namespace drawtest
