// The drawing primitives (lines, rectangles, polygons, curves, pixels) and the two layers of
// EndFrame: the cover's tiles and the scroll page.
#include <array>
#include <cmath>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/fills.h"
#include "el/system/gdi_draw.h"
#include "el/system/input_state.h"
#include "el/system/layer_setup.h"
#include "el/system/scroll_page_state.h"
#include "el/system/text.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/gallery_state.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elSystem;

constexpr platform::ColorRef kWhite = 0xFFFFFF, kGold = 0x30C8F8, kSky = 0xF0B060;
constexpr platform::ColorRef kRose = 0x8060F0, kLeaf = 0x50C060, kNight = 0x402010;

Point Around(double cx, double cy, double radius, double degrees) {
    const double a = degrees * kPi / 180.0;
    return {static_cast<std::int32_t>(std::lround(cx + radius * std::cos(a))),
            static_cast<std::int32_t>(std::lround(cy - radius * std::sin(a)))};
}

double Turn(double degreesPerSecond) {
    return PageSeconds() * degreesPerSecond;
}

void LinesPage() {
    elDraw::FillRect(0, 0, 640, 480, 0);
    // A fan of lines from one pen width to the next, turning.
    for (int k = 0; k < 12; ++k) {
        const Point end = Around(200, 250, 170, Turn(20) + k * 30);
        DrawLine(200, 250, end.x, end.y, k % 2 ? kGold : kSky, 1 + k % 6);
    }
    // Rectangles: one-pixel, three-pixel and eight-pixel pens round their fill.
    const int grow = Swing(0, 30, 3.0);
    DrawRect(420, 60, 600 + grow / 2, 150, kNight, kWhite, 1);
    DrawRect(420, 190, 600, 290 + grow, kRose, kGold, 3);
    DrawRect(440 - grow, 340, 590, 430, kLeaf, kSky, 8);
    DrawCaption("DrawLine / DrawRect");
}

// A five-pointed star drawn in one go: its middle crosses itself twice, so the even-odd rule
// leaves it empty.
std::array<Point, 5> Star(double cx, double cy, double radius, double degrees) {
    std::array<Point, 5> star;
    for (int k = 0; k < 5; ++k) star[k] = Around(cx, cy, radius, degrees + 90 + k * 144);
    return star;
}

void PolygonPage() {
    elDraw::BlitOpaque(0, 0, Objects().seagirl, 0, 0, 640, 480);
    const char* const labels[] = {"0 hollow", "1 hatched", "2 hatched, transparent"};
    for (int mode = 0; mode < 3; ++mode) {
        const auto star = Star(110 + mode * 210, 230, 95, Turn(24) * (mode % 2 ? -1 : 1));
        DrawPolygon(star.data(), 5, mode == 1 ? kGold : kWhite, kNight, 1 + mode, mode);
        SelectFont(1, 16, 0, 1, 0, 0);
        SetTextColors(kWhite, kNight, 0);
        DrawTextBox(10 + mode * 210, 350, 210 + mode * 210, 380, labels[mode], 1);
        EndText();
    }
    DrawCaption("DrawPolygon: fill modes 0, 1, 2");
}

void BezierPage() {
    DimBackdrop(Objects().galabg, 1);
    const int widths[] = {1, 4, 9};
    const platform::ColorRef colours[] = {kWhite, kGold, kRose};
    for (int k = 0; k < 3; ++k) {
        const int y = 120 + k * 120;
        const int lift = Swing(-110, 110, 2.5 + k, k * 0.3);
        // Two curves meeting in the middle: 1 + 3 x 2 points.
        const Point curve[] = {{40, y},         {150, y - lift}, {230, y + lift}, {320, y},
                               {410, y - lift}, {490, y + lift}, {600, y}};
        DrawBezier(curve, 7, colours[k], widths[k]);
        for (const Point& p : curve) DrawRect(p.x - 2, p.y - 2, p.x + 3, p.y + 3, kSky, kSky, 1);
    }
    DrawCaption("DrawBezier");
}

void PixelsPage() {
    elDraw::BlitOpaque(0, 0, Objects().race, 0, 0, 640, 480);
    // A spiral of single pixels in changing colours, two pixels apart along its arm.
    for (int i = 0; i < 4000; ++i) {
        const double along = std::sqrt(i * 40.0);
        const Point p = Around(470, 260, along * 0.55, along * 9.0 + Turn(60));
        SetPixelColor(p.x, p.y, 0x80FFFF - static_cast<platform::ColorRef>((i % 256) << 8));
    }
    // A probe moving over the picture reads the colour under it; the swatch shows it.
    const int x = Swing(40, 300, 4.0), y = Swing(80, 400, 2.7);
    std::int32_t r = 0, g = 0, b = 0;
    GetPixelColor(x, y, &r, &g, &b);
    DrawLine(x - 8, y, x + 9, y, kWhite, 1);
    DrawLine(x, y - 8, x, y + 9, kWhite, 1);
    DrawRect(x + 12, y + 8, x + 52, y + 38, static_cast<platform::ColorRef>(r | g << 8 | b << 16),
             kWhite, 2);
    DrawDebugFormat(x + 12, y - 12, "GetPixelColor(%d, %d): %d %d %d", x, y, r, g, b);
    DrawCaption("SetPixelColor / GetPixelColor");
}

void CoverPage() {
    elDraw::BlitOpaque(0, 0, Objects().fin, 0, 0, 640, 480);
    SelectFont(1, 20, 0, 1, 0, 0);
    SetTextColors(kWhite, kNight, 0);
    DrawTextBox(60, 200, 580, 300,
                "At the end of this page the tiles of SetTransitionTiles cover it in ten "
                "steps, and then the next page begins.",
                1);
    EndText();
    DrawCaption("SetTransitionTiles: the cover");
}

// The page scrolls as if arrow keys were held: down, then right (three times as fast), then up.
std::int32_t HeldKey() {
    const double t = PageSeconds();
    return t < 1.5 ? 40 : t < 2.3 ? 39 : t < 3.6 ? 38 : 0;
}

void ScrollPage() {
    if (FirstPass()) {
        ScrollPagePosition = 0;
        if (ScrollPageShown == 0) ToggleScrollPage();
    }
    elDraw::SetClipRect(0, 0, 640, 480);
    DimBackdrop(Objects().seagirl, 1);
    DrawRect(96, 46, 544, 434, kNight, kGold, 3);
    DrawCaption("SetScrollPage / ToggleScrollPage");
    DrawDebugFormat(560, 60, "key %d", static_cast<int>(HeldKey()));
    DrawDebugFormat(560, 80, "row %d", static_cast<int>(ScrollPagePosition));
    // EndFrame draws the page and its tiles inside the clip rectangle.
    ScrollKey = HeldKey();
    elDraw::SetClipRect(100, 50, 540, 430);
}

void LeaveScrollPage() {
    ToggleScrollPage();
    ScrollKey = 0;
    elDraw::SetClipRect(0, 0, 640, 480);
}

constexpr std::array<Page, 6> kPages{{
    {&LinesPage},
    {&PolygonPage},
    {&BezierPage},
    {&PixelsPage},
    {&CoverPage, nullptr, 0},
    {&ScrollPage, nullptr, -1, &LeaveScrollPage},
}};

}  // namespace

std::span<const Page> ShapePages() {
    return kPages;
}

}  // namespace gallery
