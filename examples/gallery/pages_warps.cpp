// The free-form distortions: the monster rippling, smeared out to each side, and a tunnel of
// its picture turning and moving.
#include <array>

#include "el/draw/blits.h"
#include "el/effects/warp_blits.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

constexpr int kTexture = 256;

void WarpPage() {
    DrawBeach();
    const int amplitude = Swing(0, 60, 4.0);
    WarpBlit(160, 60, amplitude, 8, 1, 1.0f, 0.2f, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("WarpBlit amplitude %d", amplitude));
}

void SmearPage() {
    DrawBeach();
    const int mode = State().pageTicks / 60 % 4;
    const int pos = Swing(0, 200, 2.0);
    SmearBlit(160, 100, mode, pos, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("SmearBlit mode %d pos %d", mode, pos));
}

void BuildMap() {
    BuildTunnelMap(kTexture, kTexture, 640, 480, -1, -1, 8, 0, 0, 0);
}

void TunnelPage() {
    const int ticks = State().pageTicks;
    TunnelBlit(0, 0, ticks * 2 % kTexture, ticks * 3 % kTexture, Objects().monster);
    DrawCaption("TunnelBlit");
}

constexpr std::array kPages{Page{&WarpPage}, Page{&SmearPage}, Page{&TunnelPage, &BuildMap}};

}  // namespace

std::span<const Page> WarpPages() {
    return kPages;
}

}  // namespace gallery
