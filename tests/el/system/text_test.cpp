// Text runs on the back surface: the font description, where aligned and wrapped lines put
// their ink, backgrounds, the debug lines and the frame-rate line, and calls out of order.
#include "el/system/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/draw/screen_dc.h"
#include "el/draw/shutdown.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/gdi_draw.h"
#include "el/system/text_state.h"
#include "tests/el/system/system_test_support.h"

namespace systemtest {
namespace {

using namespace elSystem;

constexpr platform::ColorRef kWhite = 0xFFFFFF, kNavy = 0x800000, kRed = 0x0000FF;

class Text : public drawtest::OpenScreenTest {
  protected:
    std::uint16_t white() const { return Packed(kWhite, PixelLayout::Rgb565); }
};

TEST_F(Text, SelectionsFillTheFontDescription) {
    SelectFont(0, 24, 90, 1, 1, 1);
    EXPECT_STREQ(Font->lfFaceName.data(), "標準明朝");
    EXPECT_EQ(Font->lfHeight, 24);
    EXPECT_EQ(Font->lfEscapement, 900);
    EXPECT_EQ(Font->lfWeight, 700);
    EXPECT_EQ(Font->lfItalic, 1);
    EXPECT_EQ(Font->lfUnderline, 1);
    EXPECT_EQ(Font->lfCharSet, 128);
    // Kind 7 keeps the face; weight 2 is "the face's own", 0.
    SelectFont(7, 12, 0, 2, 0, 0);
    EXPECT_STREQ(Font->lfFaceName.data(), "標準明朝");
    EXPECT_EQ(Font->lfWeight, 0);
    SelectFont(1, 12, 0, 0, 0, 0);
    EXPECT_STREQ(Font->lfFaceName.data(), "標準ゴシック");
    EXPECT_EQ(Font->lfWeight, 400);
    // Whole turns are taken off the angle, so no angle overflows the description.
    SelectFont(1, 12, INT32_MAX, 0, 0, 0);
    EXPECT_EQ(Font->lfEscapement, INT32_MAX % 360 * 10);
    EndText();
}

TEST_F(Text, FaceNamesChooseTheCharacterSetAndAreCutBetweenCharacters) {
    const std::pair<const char*, int> names[] = {
        {"Arial", 0},     {"DejaVu Sans-2 Bold", 0}, {"", 0},
        {"Foo_Bar", 128}, {"ＭＳ ゴシック", 128},    {"Caf\xC3\xA9", 128},
    };
    for (const auto& [name, charset] : names) {
        SelectFontByName(name, 16, 0, 0, 0, 0);
        EXPECT_EQ(Font->lfCharSet, charset) << name;
        EXPECT_STREQ(Font->lfFaceName.data(), name);
    }
    // 12 characters of 3 bytes: 31 bytes would split the eleventh, so 10 are kept.
    SelectFontByName("標準ゴシック標準ゴシック", 16, 0, 0, 0, 0);
    EXPECT_EQ(std::strlen(Font->lfFaceName.data()), 30u);
    EXPECT_STREQ(Font->lfFaceName.data(), "標準ゴシック標準ゴシ");
    EXPECT_EQ(Font->lfFaceName.back(), '\0');
    EndText();
}

TEST_F(Text, AlignedLinesPutTheirInkAtTheLeftTheMiddleOrTheRight) {
    SelectFont(1, 20, 0, 0, 0, 0);
    SetTextColors(kWhite, 0, 1);
    DrawTextBox(100, 40, 500, 100, "Left 左", 0);
    DrawTextBox(100, 140, 500, 200, "Centre 中", 1);
    DrawTextBox(100, 240, 500, 300, "Right 右", 2);
    DrawTextBox(100, 340, 500, 400, "Nowhere", 3);  // no such alignment: nothing
    EndText();
    const auto pixels = BackPixels();
    auto band = [&](int top) {
        std::vector<std::uint16_t> rows(pixels.size(), 0);
        std::copy(pixels.begin() + top * 640, pixels.begin() + (top + 60) * 640,
                  rows.begin() + top * 640);
        return BoxOf(rows, white());
    };
    const platform::Rect left = band(40), centre = band(140), right = band(240);
    // Side bearings leave a pixel or two between the box and the ink.
    EXPECT_NEAR(left.left, 100, 3);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 300, 3);
    EXPECT_NEAR(right.right, 500, 3);
    for (const auto& [line, top] : {std::pair{left, 40}, {centre, 140}, {right, 240}}) {
        EXPECT_GE(line.top, top);
        EXPECT_LE(line.bottom, top + 20);
    }
    EXPECT_EQ(band(340).right, 0);
}

TEST_F(Text, WrappedParagraphsTakeALineHeightALine) {
    // 30 full-width characters, each one em: at an em of 16 pixels, ten fit in 160.
    const std::string paragraph = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ";
    SelectFont(1, -16, 0, 0, 0, 0);
    const std::int32_t line = MeasureTextHeight(0, 0, 640, 0, "あ");
    EXPECT_GE(line, 16);
    EXPECT_EQ(MeasureTextHeight(20, 30, 180, 31, paragraph.c_str()), 3 * line);
    EXPECT_EQ(MeasureTextHeight(20, 30, 179, 31, paragraph.c_str()), 4 * line);
    EXPECT_EQ(MeasureTextHeight(0, 0, 640, 0, (paragraph + "\n\n" + paragraph).c_str()), 3 * line);
    EXPECT_EQ(MeasureTextHeight(0, 0, 640, 0, ""), 0);
    // Latin words wrap at blanks: as many lines as words when only one fits.
    EXPECT_EQ(MeasureTextHeight(0, 0, 90, 0, "Wrapping words across lines"), 4 * line);
    // Drawn, the ink falls in those lines and inside the box.
    SetTextColors(kWhite, 0, 1);
    DrawTextBox(20, 30, 180, 480, paragraph.c_str(), 0);
    EndText();
    const platform::Rect ink = BoxOf(BackPixels(), white());
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 180);
    EXPECT_GE(ink.top, 30);
    EXPECT_GT(ink.bottom, 30 + 2 * line);
    EXPECT_LE(ink.bottom, 30 + 3 * line);
}

TEST_F(Text, BoxesCutTheirLinesToTheRectangle) {
    SelectFont(1, 16, 0, 0, 0, 0);
    SetTextColors(kWhite, kRed, 0);
    DrawTextBox(50, 50, 90, 60, "Much longer than its box", 0);
    EndText();
    const auto pixels = BackPixels();
    EXPECT_EQ(BoxOf(pixels, Packed(kRed, PixelLayout::Rgb565)).bottom, 60);
    EXPECT_LE(BoxOf(pixels, white()).right, 90);
    EXPECT_EQ(CountOf(pixels, 0) + CountOf(pixels, white()) +
                  CountOf(pixels, Packed(kRed, PixelLayout::Rgb565)),
              640 * 480);
}

TEST_F(Text, OpaqueBackgroundsFillTheCellsAndTransparentOnesLeaveThem) {
    SelectFont(1, 16, 0, 0, 0, 0);
    PutText(10, 10, "Default");  // a fresh run: black on white
    SetTextColors(kWhite, kNavy, 0);
    PutText(10, 40, "Opaque");
    SetTextColors(kRed, kNavy, 1);
    PutText(10, 70, "Transparent");
    SetTextColors(kWhite, kNavy, 0);  // 0 keeps the transparent mode of the run
    PutText(10, 100, "Still transparent");
    EndText();
    const auto pixels = BackPixels();
    const platform::Rect paper = BoxOf(pixels, white());
    EXPECT_EQ(paper.left, 10);
    EXPECT_EQ(paper.top, 10);
    const platform::Rect navy = BoxOf(pixels, Packed(kNavy, PixelLayout::Rgb565));
    EXPECT_EQ(navy.top, 40);
    EXPECT_EQ(navy.bottom, 56);
    EXPECT_GT(CountOf(pixels, Packed(kRed, PixelLayout::Rgb565)), 50);
    // Ink of the last line, white on the black back surface, and no navy around it.
    std::vector<std::uint16_t> last(pixels.begin() + 100 * 640, pixels.begin() + 116 * 640);
    EXPECT_GT(CountOf(last, white()), 50);
    EXPECT_EQ(CountOf(last, Packed(kNavy, PixelLayout::Rgb565)), 0);
}

TEST_F(Text, CallsWithoutARunOrTextDoNothing) {
    PutText(10, 10, "no run");
    DrawTextBox(0, 0, 640, 480, "no run", 0);
    SetTextColors(kWhite, kNavy, 1);
    EXPECT_EQ(MeasureTextHeight(0, 0, 640, 480, "no run"), 0);
    EndText();
    EXPECT_EQ(CountOf(BackPixels(), 0), 640 * 480);
    SelectFont(1, 16, 0, 0, 0, 0);
    PutText(10, 10, nullptr);
    DrawTextBox(0, 0, 640, 480, nullptr, 1);
    EXPECT_EQ(MeasureTextHeight(0, 0, 640, 480, nullptr), 0);
    EndText();
    DrawDebugText(0, 0, nullptr);
    DrawDebugFormat(0, 0, nullptr);
    EXPECT_EQ(CountOf(BackPixels(), 0), 640 * 480);
    // A null face opens no run.
    SelectFontByName(nullptr, 16, 0, 0, 0, 0);
    EXPECT_EQ(TextRunOpen, 0);
}

TEST_F(Text, ASecondSelectionEndsTheFirstRunAndTheContextIsGivenBackOnce) {
    SelectFont(1, 16, 0, 0, 0, 0);
    SelectFont(0, 30, 0, 0, 0, 0);
    EXPECT_EQ(TextRunOpen, 1);
    // The run holds the device context: blits fail, and so does BeginGdi.
    EXPECT_NE(elDraw::FillRect(0, 0, 10, 10, 0xFFFF), platform::DD_OK);
    EXPECT_EQ(BeginGdi(), platform::DDERR_SURFACEBUSY);
    EndGdi();  // gives back nothing it did not take
    EXPECT_TRUE(elDraw::ScreenDeviceContext.has_value());
    EndText();
    EXPECT_FALSE(elDraw::ScreenDeviceContext.has_value());
    EndText();
    EXPECT_EQ(elDraw::FillRect(0, 0, 10, 10, 0xFFFF), platform::DD_OK);
}

TEST_F(Text, RunsDrawThroughTheContextBeginGdiHoldsAndLeaveItHeld) {
    ASSERT_EQ(BeginGdi(), platform::DD_OK);
    SelectFont(1, 16, 0, 0, 0, 0);
    SetTextColors(kWhite, 0, 1);
    PutText(0, 0, "held");
    EndText();
    EXPECT_TRUE(elDraw::ScreenDeviceContext.has_value());
    EndGdi();
    EXPECT_FALSE(elDraw::ScreenDeviceContext.has_value());
    EXPECT_GT(CountOf(BackPixels(), white()), 10);
}

TEST_F(Text, ShutdownEndsAnOpenRunAndTextAfterItDoesNothing) {
    SelectFont(1, 16, 0, 0, 0, 0);
    elDraw::Shutdown();
    EXPECT_EQ(TextRunOpen, 0);
    SelectFont(1, 16, 0, 0, 0, 0);  // no font block any more
    EXPECT_EQ(TextRunOpen, 0);
    PutText(0, 0, "after");
}

TEST_F(Text, DebugLinesAreWhiteOnDarkBlueInTheGothicFace) {
    DrawDebugText(30, 40, "debug");
    DrawDebugFormat(30, 80, "%d + %d = %s", 2, 3, "五");
    // Japanese text longer than the 255-byte buffer: cut between characters.
    std::string longText(100, 'x');
    for (int i = 0; i < 60; ++i) longText += "字";
    DrawDebugFormat(0, 200, "%s", longText.c_str());
    EXPECT_EQ(TextRunOpen, 0);
    EXPECT_STREQ(Font->lfFaceName.data(), "標準ゴシック");
    EXPECT_EQ(Font->lfHeight, 12);
    const auto pixels = BackPixels();
    const platform::Rect navy = BoxOf(pixels, Packed(kNavy, PixelLayout::Rgb565));
    EXPECT_EQ(navy.left, 0);
    EXPECT_EQ(navy.top, 40);
    EXPECT_EQ(navy.bottom, 212);
    EXPECT_GT(CountOf(pixels, white()), 100);
}

TEST_F(Text, FrameRateLineCountsTheFramesOfEachTwoSecondWindow) {
    DrawFrameRate();  // the first window has no frames before it
    EXPECT_STREQ(FrameRateText.data(), "0.0 fps ( max 0.0 / min 999.9 )");
    // 120 frames at 60 Hz on the virtual clock fill the next two seconds exactly.
    for (int frame = 1; frame <= 120; ++frame) {
        ASSERT_TRUE(host->WaitVerticalBlank());
        DrawFrameRate();
    }
    EXPECT_STREQ(FrameRateText.data(), "60.0 fps ( max 60.0 / min 60.0 )");
    // Then a slower window: 59 more frames 33 ms apart, and the 60th two seconds after its start.
    for (int frame = 1; frame <= 59; ++frame) {
        host->AdvanceClock(33);
        DrawFrameRate();
    }
    EXPECT_STREQ(FrameRateText.data(), "60.0 fps ( max 60.0 / min 60.0 )");
    host->AdvanceClock(2000 - 59 * 33);
    DrawFrameRate();
    EXPECT_STREQ(FrameRateText.data(), "30.0 fps ( max 60.0 / min 30.0 )");
    const auto pixels = BackPixels();
    const platform::Rect line = BoxOf(pixels, Packed(kNavy, PixelLayout::Rgb565));
    EXPECT_EQ(line.left, 0);
    EXPECT_EQ(line.top, 0);
    EXPECT_EQ(line.bottom, 12);
    EXPECT_GT(line.right, 100);
}

// The millisecond clock wraps 256 ms after the program starts.
class FrameRateNearTheWrap : public drawtest::DrawFixture {
  protected:
    void SetUp() override {
        eltest::ResetLibraryAndPlatform();
        auto owned = std::make_unique<platform::HeadlessHost>(
            platform::HeadlessHost::kDefaultEpochSeconds, 0xFFFFFF00u);
        host = owned.get();
        platform::InstallHost(std::move(owned));
        elSystem::StaticStartup();
        OpenScreen();
    }
};

TEST_F(FrameRateNearTheWrap, WindowsLastTwoSecondsAcrossTheWrap) {
    DrawFrameRate();  // the window ends past the wrap, at a small number
    for (int frame = 1; frame <= 120; ++frame) {
        ASSERT_TRUE(host->WaitVerticalBlank());
        DrawFrameRate();
        if (frame < 120) {
            ASSERT_EQ(FramesCounted, frame + 1) << "the window closed early";
        }
    }
    EXPECT_STREQ(FrameRateText.data(), "60.0 fps ( max 60.0 / min 60.0 )");
}

}  // namespace
}  // namespace systemtest
