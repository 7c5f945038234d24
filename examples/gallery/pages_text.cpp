// Text: the two faces and a Latin one at several sizes and weights, boxes that align and wrap,
// turned lines, and the debug lines with the frame rate.
#include <array>
#include <cstdio>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/system/frame_timing.h"
#include "el/system/gdi_draw.h"
#include "el/system/text.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/gallery_state.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elSystem;

constexpr platform::ColorRef kWhite = 0xFFFFFF, kGold = 0x40D0FF, kSky = 0xFFC080;
constexpr platform::ColorRef kInk = 0x302020, kPaper = 0xE8F4FA;

void Line(std::int32_t y, platform::ColorRef colour, const char* text) {
    SetTextColors(colour, 0, 1);
    PutText(24, y, text);
    EndText();
}

void FacesPage() {
    DimBackdrop(Objects().seagirl, 2);
    SelectFont(0, 16, 0, 0, 0, 0);
    Line(44, kWhite, "標準明朝 16: 色は匂へど散りぬるを 我が世誰そ常ならむ");
    SelectFont(0, 30, 0, 0, 0, 0);
    Line(70, kGold, "標準明朝 30: 花鳥風月");
    SelectFont(1, 16, 0, 0, 0, 0);
    Line(114, kWhite, "標準ゴシック 16: 有為の奥山今日越えて");
    SelectFont(1, 16, 0, 1, 0, 0);
    Line(136, kWhite, "標準ゴシック 16 bold: 浅き夢見じ酔ひもせず");
    SelectFont(1, 16, 0, 0, 1, 0);
    Line(158, kWhite, "標準ゴシック 16 italic: いろはにほへと");
    SelectFont(1, 16, 0, 0, 0, 1);
    Line(180, kWhite, "標準ゴシック 16 underline: ちりぬるを");
    SelectFont(1, -40, 0, 1, 0, 0);
    Line(208, kSky, "ゴシック -40");
    SelectFontByName("DejaVu Sans", 20, 0, 0, 0, 0);
    Line(270, kWhite, "DejaVu Sans by name: The quick brown fox jumps.");
    SelectFontByName("DejaVu Sans", 20, 0, 1, 1, 0);
    Line(298, kWhite, "Bold italic, and 日本語 from the Japanese face.");
    SelectFontByName("DejaVu Sans Mono", 16, 0, 0, 0, 0);
    Line(330, kGold, "DejaVu Sans Mono: 0123456789 {}[]()<>");
    // One size growing and shrinking, to see the steps of the cell height.
    const int size = Swing(8, 48, 4.0);
    SelectFont(1, size, 0, 0, 0, 0);
    char text[64];
    std::snprintf(text, sizeof text, "高さ %d ピクセル", size);
    Line(370, kSky, text);
    DrawCaption("SelectFont / SelectFontByName");
}

void BoxesPage() {
    DimBackdrop(Objects().galabg, 2);
    static const char* const kParagraph =
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめ"
        "した所でニャーニャー泣いていた事だけは記憶している。";
    static const char* const kLatin = "Lines wrap at blanks, and a word wider than its box is cut.";
    const int width = Swing(120, 196, 4.0);
    const char* const names[] = {"left", "centre", "right"};
    for (int align = 0; align < 3; ++align) {
        const int left = 16 + align * 208;
        SelectFont(1, 16, 0, 0, 0, 0);
        // The paper is as tall as the wrapped text: MeasureTextHeight says how tall.
        const int height = MeasureTextHeight(left, 60, left + width, 60, kParagraph);
        DrawRect(left - 6, 54, left + width + 6, 60 + height + 6, kPaper, kGold, 2);
        SetTextColors(kInk, kPaper, 1);
        DrawTextBox(left, 60, left + width, 60 + height, kParagraph, align);
        SetTextColors(kWhite, 0, 1);
        const int below = 60 + height + 16;
        DrawTextBox(left, below, left + width, below + 20, names[align], align);
        SelectFontByName("DejaVu Sans", 14, 0, 0, 0, 0);
        SetTextColors(kSky, 0, 1);
        DrawTextBox(left, below + 26, left + width, 470, kLatin, align);
        EndText();
    }
    DrawCaption("DrawTextBox / MeasureTextHeight");
}

void AnglePage() {
    DimBackdrop(Objects().race, 2);
    // A wheel of lines about the middle, turning 15 degrees at a time.
    const int turn = (State().pageTicks / 6 * 15) % 360;
    for (int spoke = 0; spoke < 8; ++spoke) {
        SelectFont(spoke % 2, 22, (turn + spoke * 45) % 360, 1, 0, 0);
        SetTextColors(spoke % 2 == 0 ? kGold : kSky, 0, 1);
        PutText(320, 250, "   くるくる turning");
        EndText();
    }
    SelectFont(1, 18, 90, 0, 0, 1);
    SetTextColors(kWhite, 0x804020, 0);
    PutText(30, 440, "90度 upwards");
    EndText();
    DrawCaption("SelectFont with an angle");
}

void DebugPage() {
    DimBackdrop(Objects().fin, 2);
    DrawFrameRate();
    DrawDebugText(20, 60, "DrawDebugText: デバッグ表示");
    DrawDebugFormat(20, 84, "DrawDebugFormat: page tick %d, FrameDelta %.3f",
                    static_cast<int>(State().pageTicks), static_cast<double>(FrameDelta));
    DrawDebugFormat(20, 108, "%s %d%%", "進み具合", State().pageTicks * 100 / kPageTicks);
    SelectFont(1, 16, 0, 0, 0, 0);
    SetTextColors(kWhite, 0, 1);
    DrawTextBox(20, 150, 620, 400,
                "DrawFrameRate draws the line at the top left once a frame: the rate of the "
                "last two seconds, the highest and the lowest so far. On the renderer's "
                "virtual clock it reads 60.0 once the first two seconds have passed.",
                0);
    EndText();
    DrawCaption("DrawFrameRate / DrawDebugText / DrawDebugFormat", 450);
}

constexpr std::array<Page, 4> kPages{{
    {&FacesPage},
    {&BoxesPage},
    {&AnglePage},
    {&DebugPage},
}};

}  // namespace

std::span<const Page> TextPages() {
    return kPages;
}

}  // namespace gallery
