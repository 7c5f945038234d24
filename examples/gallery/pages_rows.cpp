// The composite blits: pictures drawn row by row, waving, tiling, banding, repeating,
// scanned, jittered and rolled.
#include <array>

#include "el/draw/blits.h"
#include "el/draw/composite_blits.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

void WavePage() {
    DrawRaceField();
    // The first half plain, the second with every other row swinging the other way.
    const int alternate = PageSeconds() < 2.0 ? 0 : 1;
    WaveBlit(160, 100, 24, 1, 240.0f, Objects().monster, 0, 0, 320, 320, alternate);
    DrawCaption(Format("WaveBlit alternate %d", alternate));
}

void TileScrollPage() {
    TileScrollBlit(90.0f, 60.0f, Objects().tanuki, 0, 0, 200, 150);
    DrawCaption("TileScrollBlit");
}

void WaveScrollPage() {
    DrawRaceField();
    WaveScrollBlit(200, 120, 16, 2, 180.0f, 60.0f, Objects().e1, 0, 0, 240, 240);
    DrawCaption("WaveScrollBlit");
}

void WaveBandPage() {
    DrawRaceField();
    WaveBandBlit(300, 480, 20, 3, 200.0f, 45.0f, Objects().princess, 0, 0, 200, 150);
    DrawCaption("WaveBandBlit");
}

void RowRepeatPage() {
    DrawRaceField();
    const int step = Swing(1, 12, 3.0);
    RowRepeatBlit(160, 100, step, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("RowRepeatBlit step %d", step));
}

void ScanlinePage() {
    DrawRaceField();
    // Even rows first, then gaps of random length.
    const int step = PageSeconds() < 2.0 ? 2 : -6;
    ScanlineBlit(160, 100, step, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("ScanlineBlit step %d", step));
}

void JitterPage() {
    DrawRaceField();
    const int amount = Swing(0, 16, 3.0);
    JitterBlit(160, 100, amount, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("JitterBlit %d", amount));
}

void RollPage() {
    DrawRaceField();
    RollBlit(160, 100, 1, 120.0f, Objects().monster, 0, 0, 320, 320);
    DrawCaption("RollBlit");
}

constexpr std::array<Page, 8> kPages{{
    {&WavePage},
    {&TileScrollPage},
    {&WaveScrollPage},
    {&WaveBandPage},
    {&RowRepeatPage},
    {&ScanlinePage},
    {&JitterPage},
    {&RollPage},
}};

}  // namespace

std::span<const Page> RowPages() {
    return kPages;
}

}  // namespace gallery
