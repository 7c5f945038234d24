// The filters that change the back surface in place, each over the beach: smoke rising, blur
// spreading, enlargement, a pixelated disc, grain and inversion.
#include <array>

#include "el/draw/blits.h"
#include "el/effects/back_filters.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

constexpr int kX = 240, kY = 180, kW = 160, kH = 120;

// Repeating filters run a number of times that grows and starts over every sixth of a second.
int Repeats() {
    return 1 + State().pageTicks % 10;
}

void RisePage() {
    DrawBeach();
    const int n = Repeats();
    for (int i = 0; i < n; ++i) RiseRect(kX, kY, kW, kH);
    DrawCaption(Format("RiseRect x%d", n));
}

void RiseFadePage() {
    DrawBeach();
    const int n = Repeats();
    for (int i = 0; i < n; ++i) RiseRectFade(0, 1, 1, kX, kY, kW, kH);
    DrawCaption(Format("RiseRectFade 0 1 1 x%d", n));
}

void BlurPage() {
    DrawBeach();
    const int n = Repeats();
    for (int i = 0; i < n; ++i) BlurRect(kX, kY, kW, kH);
    DrawCaption(Format("BlurRect x%d", n));
}

void BlurFadePage() {
    DrawBeach();
    const int n = Repeats();
    for (int i = 0; i < n; ++i) BlurRectFade(1, 0, 1, kX, kY, kW, kH);
    DrawCaption(Format("BlurRectFade 1 0 1 x%d", n));
}

void Zoom2Page() {
    DrawBeach();
    const int dots = State().pageTicks / 120;
    Zoom2Rect(Swing(0, 400, 4.0), 120, 120, 120, dots);
    DrawCaption(Format("Zoom2Rect dots %d", dots));
}

void Zoom4Page() {
    DrawBeach();
    const int dots = State().pageTicks / 120;
    Zoom4Rect(Swing(0, 400, 4.0), 100, 60, 60, dots);
    DrawCaption(Format("Zoom4Rect dots %d", dots));
}

void MosaicPage() {
    DrawBeach();
    const int block = Swing(1, 24, 4.0);
    MosaicDisc(320, 260, 180, block);
    DrawCaption(Format("MosaicDisc block %d", block));
}

void NoisePage() {
    DrawBeach();
    const int shift = Swing(0, 4, 4.0);
    NoiseRect(shift, 0, 0, 640, 480);
    DrawCaption(Format("NoiseRect shift %d", shift));
}

void NoiseRgbPage() {
    DrawBeach();
    const int shift = Swing(0, 4, 4.0);
    NoiseRectRGB(1, 0, 0, shift, 0, 0, 320, 480);
    NoiseRectRGB(0, 0, 1, shift, 320, 0, 320, 480);
    DrawCaption(Format("NoiseRectRGB red | blue, shift %d", shift));
}

void InvertPage() {
    DrawBeach();
    InvertRectangle(Swing(0, 480, 4.0), 100, Swing(0, 480, 4.0) + 160, 380);
    DrawCaption("InvertRectangle");
}

constexpr std::array kPages{
    Page{&RisePage},  Page{&RiseFadePage}, Page{&BlurPage},  Page{&BlurFadePage}, Page{&Zoom2Page},
    Page{&Zoom4Page}, Page{&MosaicPage},   Page{&NoisePage}, Page{&NoiseRgbPage}, Page{&InvertPage},
};

}  // namespace

std::span<const Page> ScreenFilterPages() {
    return kPages;
}

}  // namespace gallery
