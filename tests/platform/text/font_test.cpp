// Fonts from the faces ./dev installs (the IPA faces and DejaVu Sans), drawn on small surfaces.
// The checks are about where ink falls and what colours appear, not about any glyph's shape.
#include "platform/text/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/display/gdi.h"
#include "platform/text/text_draw.h"

namespace {

using namespace platform::text;
using platform::PixelLayout;
using platform::Surface;

constexpr platform::ColorRef kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr std::uint16_t kPaper = 0x1234;

struct Page {
    explicit Page(int width = 240, int height = 120, PixelLayout layout = PixelLayout::Rgb565)
        : surface(width, height, layout, 0) {
        std::fill(surface.pixels(), surface.pixels() + width * height, kPaper);
    }
    std::uint16_t Pixel(platform::ColorRef colour) const {
        return platform::PackColor(colour, surface.layout());
    }
    int Count(std::uint16_t value) const {
        return static_cast<int>(std::count(
            surface.pixels(), surface.pixels() + surface.width() * surface.height(), value));
    }
    // The smallest rectangle holding every pixel of that value; empty when there is none.
    platform::Rect Box(std::uint16_t value) const {
        platform::Rect box{surface.width(), surface.height(), 0, 0};
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                if (const_cast<Surface&>(surface).At(x, y) != value) continue;
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
            }
        }
        return box;
    }
    Surface surface;
};

FontSpec Gothic(std::int32_t height) {
    return {std::string(kGothicName), height, 0, 400, false, false, kShiftJisCharset};
}

TEST(Fonts, TheJapaneseFaceNamesMapToTheIpaFacesAndOtherNamesToFontconfigs) {
    FontSpec mincho = Gothic(16);
    mincho.face = kMinchoName;
    EXPECT_EQ(OpenFont(mincho)->metrics().family, "IPAMincho");
    EXPECT_EQ(OpenFont(Gothic(16))->metrics().family, "IPAGothic");
    EXPECT_EQ(OpenFont({"DejaVu Sans", 16, 0, 400, false, false, 0})->metrics().family,
              "DejaVu Sans");
    // The same description gives the same font, glyphs and all.
    EXPECT_EQ(OpenFont(Gothic(16)), OpenFont(Gothic(16)));
}

TEST(Fonts, AnUnknownFaceIsDrawnInAStandInAndSaysSoOnce) {
    const FontSpec spec{"No Such Face Anywhere", 16, 0, 400, false, false, kAnsiCharset};
    testing::internal::CaptureStderr();
    const auto font = OpenFont(spec);
    FontSpec bigger = spec;
    bigger.height = 30;
    OpenFont(bigger);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no font named \"No Such Face Anywhere\" is installed; drawing it in "),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line for both sizes
    EXPECT_FALSE(font->metrics().family.empty());
    EXPECT_GT(font->GlyphOf(U'A').advance, 0);
}

TEST(Fonts, HeightsMeasureTheCellWhenPositiveAndTheCharacterWhenNegative) {
    EXPECT_EQ(OpenFont(Gothic(16))->metrics().height, 16);
    EXPECT_EQ(OpenFont(Gothic(0))->metrics().height, kDefaultCellHeight);
    // The IPA faces' cell is 1.1 em: 16 pixels of character need a taller cell.
    const FontMetrics& em = OpenFont(Gothic(-16))->metrics();
    EXPECT_GT(em.height, 16);
    EXPECT_EQ(em.ascent + em.descent, em.height);
    // A full-width character is one em wide at its size.
    EXPECT_EQ(OpenFont(Gothic(-16))->GlyphOf(U'あ').advance, 16);
    // Heights beyond any screen are drawn at the largest size, not refused or overflowed.
    EXPECT_EQ(OpenFont(Gothic(INT32_MAX))->metrics().height, kMaxTextHeight);
    EXPECT_EQ(OpenFont(Gothic(INT32_MIN))->metrics().ascent > 0, true);
}

TEST(Fonts, CharactersALatinFaceLacksComeFromTheJapaneseFace) {
    const auto latin = OpenFont({"DejaVu Sans", 20, 0, 400, false, false, kAnsiCharset});
    EXPECT_FALSE(latin->GlyphOf(U'本').ink.empty());
    EXPECT_TRUE(latin->GlyphOf(U'\n').ink.empty());
    EXPECT_EQ(latin->GlyphOf(U'\t').advance, 0);
}

TEST(TextOut, OpaqueTextPaintsItsCellsAndInkInTwoColoursOnly) {
    for (const PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
        Page page(240, 60, layout);
        const auto font = OpenFont(Gothic(20));
        const std::int64_t width = TextWidth(*font, "Hello, 世界");
        TextOut(page.surface, *font, 10, 15, "Hello, 世界", {kRed, kBlue, false});
        const int ink = page.Count(page.Pixel(kRed));
        const int back = page.Count(page.Pixel(kBlue));
        EXPECT_GT(ink, 100);
        EXPECT_EQ(ink + back, width * 20);  // the cells, every pixel ink or background
        const platform::Rect cell = page.Box(page.Pixel(kBlue));
        EXPECT_EQ(cell.left, 10);
        EXPECT_EQ(cell.top, 15);
        EXPECT_EQ(cell.right, 10 + width);
        EXPECT_EQ(cell.bottom, 35);
        EXPECT_EQ(page.Count(kPaper), 240 * 60 - ink - back);
    }
}

TEST(TextOut, TransparentTextLeavesAllButItsInkAndIsTheSameEveryTime) {
    Page opaque, first, second;
    const auto font = OpenFont(Gothic(16));
    TextOut(opaque.surface, *font, 4, 4, "透明 transparent", {kWhite, kBlue, false});
    TextOut(first.surface, *font, 4, 4, "透明 transparent", {kWhite, kBlue, true});
    TextOut(second.surface, *font, 4, 4, "透明 transparent", {kWhite, kBlue, true});
    EXPECT_EQ(first.Count(first.Pixel(kBlue)), 0);
    EXPECT_EQ(first.Count(first.Pixel(kWhite)), opaque.Count(opaque.Pixel(kWhite)));
    EXPECT_TRUE(std::equal(first.surface.pixels(), first.surface.pixels() + 240 * 120,
                           second.surface.pixels()));
}

TEST(TextOut, BoldItalicAndUnderlineChangeTheInkAsExpected) {
    const auto inkOf = [](const FontSpec& spec, const char* text) {
        Page page;
        TextOut(page.surface, *OpenFont(spec), 10, 10, text, {kRed, 0, true});
        return std::pair{page.Count(page.Pixel(kRed)), page.Box(page.Pixel(kRed))};
    };
    FontSpec spec = Gothic(24);
    const auto [plainInk, plainBox] = inkOf(spec, "ABC");
    spec.weight = 700;
    const auto [boldInk, boldBox] = inkOf(spec, "ABC");
    EXPECT_GT(boldInk, plainInk);
    // Bold: each character one pixel wider than plain.
    EXPECT_EQ(TextWidth(*OpenFont(spec), "ABC"), TextWidth(*OpenFont(Gothic(24)), "ABC") + 3);
    spec.weight = 400;
    spec.italic = true;
    const auto [italicInk, italicBox] = inkOf(spec, "III");
    const auto [uprightInk, uprightBox] = inkOf(Gothic(24), "III");
    EXPECT_GT(italicBox.right - italicBox.left, uprightBox.right - uprightBox.left);
    spec.italic = false;
    spec.underline = true;
    Page page;
    const auto font = OpenFont(spec);
    TextOut(page.surface, *font, 10, 10, "a b", {kRed, 0, true});
    // A full row of ink below the baseline, as long as the text.
    const int row = 10 + font->metrics().ascent + font->metrics().underlineOffset;
    for (int x = 10; x < 10 + TextWidth(*font, "a b"); ++x) {
        EXPECT_EQ(page.surface.At(x, row), page.Pixel(kRed)) << x;
    }
    EXPECT_LE(row, 10 + font->metrics().height - 1);
}

TEST(TextOut, AnAngleTurnsTheLineAboutItsStart) {
    // A quarter turn anticlockwise: the line runs upwards from (40, 200), its cells to the right.
    Page page(120, 240);
    FontSpec spec = Gothic(20);
    spec.escapement = 900;
    const auto font = OpenFont(spec);
    const std::int64_t width = TextWidth(*font, "Upwards");
    TextOut(page.surface, *font, 40, 200, "Upwards", {kRed, kBlue, false});
    const platform::Rect cells = page.Box(page.Pixel(kBlue));
    EXPECT_NEAR(cells.left, 40, 1);
    EXPECT_NEAR(cells.right, 60, 1);
    EXPECT_NEAR(cells.top, 200 - width, 1);
    EXPECT_NEAR(cells.bottom, 200, 1);
    const platform::Rect ink = page.Box(page.Pixel(kRed));
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));
}

}  // namespace
