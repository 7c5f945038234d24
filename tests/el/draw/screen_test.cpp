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

TEST_F(ScreenSetup, EachFailingStepShowsItsMessageAndReturnsZero) {
    // The enumeration creates (and drops) a device before the default driver is opened, so the
    // default driver's creation is the second one. Surfaces: primary, back, object 0, object 1.
    const struct {
        DisplayOp op;
        int skip;
        const char* message;
    } failures[] = {
        {DisplayOp::kCreateDevice, 1, "DirectDrawが使用できません"},
        {DisplayOp::kSetCooperativeLevel, 0, "フルスクリーン化できません"},
        {DisplayOp::kSetDisplayMode, 0, "解像度が変更できません"},
        {DisplayOp::kCreateSurface, 0, "表画面が生成できません"},
        {DisplayOp::kCreateSurface, 1, "裏画面が生成できません"},
        {DisplayOp::kCreateSurface, 2, "Bufferスプライトが生成できません"},
        {DisplayOp::kCreateSurface, 3, "Screenスプライトが生成できません"},
        {DisplayOp::kGetPixelFormat, 0, "ピクセル情報が取得できません"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.message);
        const std::size_t before = boxCount();
        faults::Clear();
        faults::FailOnce(failure.op, failure.skip);
        EXPECT_EQ(elDraw::Screen(640, 480, 1), 0);
        ASSERT_EQ(boxCount(), before + 1);
        EXPECT_EQ(boxText(before), std::string("elDraw::Screen : ") + failure.message);
        EXPECT_EQ(host->messageBoxes()[before].caption, "エラー発生");
        // Whatever was made before the failure is released by the next ReleaseScreen.
        elDraw::ReleaseScreen();
        EXPECT_FALSE(elDraw::IsDisplayOpen());
        EXPECT_EQ(elDraw::ObjectSurface(0), nullptr);
        EXPECT_EQ(elDraw::ObjectSurface(1), nullptr);
    }
    // A device failing during the enumeration is skipped silently.
    faults::Clear();
    faults::FailOnce(DisplayOp::kCreateDevice, 0);
    const std::size_t before = boxCount();
    EXPECT_EQ(elDraw::Screen(640, 480, 1), 1);
    EXPECT_EQ(boxCount(), before);
    EXPECT_EQ(elDraw::HardwareDeviceChosen, 0);
}

TEST_F(ScreenSetup, ARefusedDepthOf32IsTriedOnceMoreAt24) {
    elDraw::UseDepth32();
    // The display takes 16 bits only, so both tries fail and the second depth is kept.
    EXPECT_EQ(elDraw::Screen(640, 480, 1), 0);
    EXPECT_EQ(elDraw::DisplayDepth, 24);
    EXPECT_EQ(boxText(0), "elDraw::Screen : 解像度が変更できません");
}

TEST_F(ScreenSetup, SetUpClearsTheTable) {
    elDraw::Objects[7].name = {'O', 'L', 'D'};  // left over from an earlier run
    elDraw::Objects[7].width = 9;
    OpenScreen();
    EXPECT_EQ(NameOf(7), "");
    EXPECT_EQ(Record(7).width, 0);
}

using PixelFormatTest = LayoutTest;

TEST_P(PixelFormatTest, ValuesFollowTheLayout) {
    const elDraw::PixelFormatValues& f = elDraw::PixelFormat;
    const std::vector<std::uint32_t> values = {
        f.RedMask,     f.GreenMask,  f.BlueMask, f.RedShift,  f.GreenShift,
        f.BlueShift,   f.RedMax,     f.GreenMax, f.BlueMax,   f.RedShift5,
        f.GreenShift5, f.BlueShift5, f.HalfMask, f.WhiteColor};
    if (GetParam() == PixelLayout::Rgb565) {
        EXPECT_EQ(values, (std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F, 11, 5, 0, 31, 63, 31,
                                                      11, 6, 0, 0x7BEF, 0xFFFF}));
    } else {
        EXPECT_EQ(values, (std::vector<std::uint32_t>{0x7C00, 0x03E0, 0x001F, 10, 5, 0, 31, 31, 31,
                                                      10, 5, 0, 0x3DEF, 0x7FFF}));
    }
}

TEST_P(PixelFormatTest, PixelToRgbGivesFiveBitComponents) {
    using Rgb = std::array<std::uint8_t, 3>;
    const bool wide = GetParam() == PixelLayout::Rgb565;
    // In 5-5-5 the top bit is no colour.
    EXPECT_EQ(elDraw::PixelToRgb[0xFFFF], (wide ? Rgb{31, 31, 31} : Rgb{0, 0, 0}));
    EXPECT_EQ(elDraw::PixelToRgb[0x7FFF], (wide ? Rgb{15, 31, 31} : Rgb{31, 31, 31}));
    EXPECT_EQ(elDraw::PixelToRgb[0], (Rgb{0, 0, 0}));
    // r 20, g 41 (6 bits) or 21 (5 bits), b 7.
    const std::uint16_t pixel = wide ? (20 << 11 | 41 << 5 | 7) : (20 << 10 | 21 << 5 | 7);
    EXPECT_EQ(elDraw::PixelToRgb[pixel], (Rgb{20, std::uint8_t(wide ? 20 : 21), 7}));
    for (const Rgb& entry : elDraw::PixelToRgb) {
        ASSERT_LE(std::max({entry[0], entry[1], entry[2]}), 31);
    }
}

TEST_P(PixelFormatTest, CombiningTablesHoldTheirDefiningValues) {
    const elDraw::PixelFormatValues& f = elDraw::PixelFormat;
    auto at = [](int c, int p, int a, int b) {
        return static_cast<std::size_t>(c * 32768 + p * 1024 + a * 32 + b);
    };
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t shift = f.Shift5(c);
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
                    ASSERT_EQ(elDraw::CrossFadeTable[at(c, p, a, b)] & ~(31u << shift), 0u);
                    ASSERT_EQ(elDraw::FadeAddTable[at(c, p, a, b)] & ~(31u << shift), 0u);
                }
            }
        }
    }
    // Points between the ends, worked by hand (green, so the 5-6-5 shift of 6 shows).
    const std::uint32_t g = f.GreenShift5;
    EXPECT_EQ(elDraw::FadeAddTable[at(1, 10, 25, 3)], 18u << g);     // 15 + 3
    EXPECT_EQ(elDraw::CrossFadeTable[at(1, 10, 25, 28)], 22u << g);  // 15 + 7
    EXPECT_EQ(elDraw::AverageTable[93], 31);
    EXPECT_EQ(elDraw::AverageTable[3], 1);
    EXPECT_EQ(elDraw::AverageTable[2], 0);
    std::set<int> drawn(elDraw::RandomTable.begin(), elDraw::RandomTable.end());
    EXPECT_EQ(drawn, (std::set<int>{0, 1, 2}));
}

TEST_P(PixelFormatTest, SineTableTruncatesTowardZero) {
    EXPECT_EQ(elDraw::SineTable[90], 360);
    EXPECT_EQ(elDraw::SineTable[270], -360);
    EXPECT_EQ(elDraw::SineTable[45], 254);    // 254.56
    EXPECT_EQ(elDraw::SineTable[225], -254);  // -254.56: toward zero, not down
    for (int d = 0; d < 360; ++d) {
        const double cosine = 360.0 * std::cos(d * 3.14159265358979323846 / 180.0);
        // Truncation moves an entry by less than one; where the value is a whole number the
        // rounding of sin may put it just below, so allow that one step.
        EXPECT_LE(std::abs(elDraw::SineTable[static_cast<std::size_t>(d + 90)] - cosine),
                  1.0 + 1e-9)
            << d;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PixelFormatTest, kBothLayouts, LayoutName);

// Nothing drawn, no crash, and every failure reported rather than taken as success.
void ExpectDrawingDoesNothing() {
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
}

using ShutdownTest = OpenScreenTest;

TEST_F(ShutdownTest, ReleasesEverythingIsHarmlessTwiceAndLeavesNothingToDrawOn) {
    int frames = 0;
    host->onFrame = [&](const platform::FrameView&) { ++frames; };
    const std::int32_t picture = elDraw::LoadObject("MACHINE", 2);
    ASSERT_GE(picture, 2);
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_FALSE(elDraw::IsDisplayOpen());
    EXPECT_EQ(elDraw::BackSurface, nullptr);
    EXPECT_EQ(elDraw::PrimarySurface, nullptr);
    for (int n = 0; n < elDraw::kObjectCount; ++n) {
        ASSERT_EQ(elDraw::ObjectSurface(n), nullptr) << n;
    }
    EXPECT_EQ(NameOf(picture), "");
    EXPECT_EQ(elSystem::CloseState, 2);
    int closes = 0;
    for (platform::Msg msg; platform::PeekMessage(msg);) {
        closes += msg.message == platform::WM_CLOSE;
    }
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(host->minimized());

    EXPECT_EQ(elDraw::CreateObject(16, 16, 1), 0);
    EXPECT_EQ(elDraw::LoadObject("MACHINE", 2), 0);
    EXPECT_EQ(elDraw::SwapObject("MACHINE", 2, 2), 0);
    EXPECT_EQ(boxCount(), 3u);
    ExpectDrawingDoesNothing();
    EXPECT_EQ(frames, 0);
}

TEST_F(ScreenSetup, DrawingAfterAFailedSetUpDoesNothingHarmful) {
    faults::FailOnce(DisplayOp::kCreateSurface, 1);  // no back surface
    ASSERT_EQ(elDraw::Screen(640, 480, 1), 0);
    ExpectDrawingDoesNothing();
    EXPECT_EQ(elDraw::Shutdown(), 1);
    EXPECT_FALSE(elDraw::IsDisplayOpen());
}

// A program that forgets to shut the screen before it ends: its surfaces are destroyed during
// exit, after other statics of the platform may be gone. The sanitizer build catches a use
// after free there; the exit status must stay the program's own.
TEST_F(ScreenSetup, EndingTheProgramWithTheScreenOpenIsSafe) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            OpenScreen();
            elDraw::CreateObject(64, 64, 1);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace drawtest
