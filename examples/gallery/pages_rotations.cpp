// The mirror and rotation blits: the monster turned over, turned round, zoomed, tiled across
// the beach, and the race field laid as a receding floor.
#include <array>

#include "el/draw/blits.h"
#include "el/effects/rotate_blits.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

int Angle() {
    return static_cast<int>(PageSeconds() * 90.0) % 360;
}

void MirrorPage() {
    DrawBeach();
    const int mode = State().pageTicks / 60 % 4;
    MirrorBlit(160, 100, mode, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("MirrorBlit mode %d", mode));
}

void RotatePage() {
    DrawBeach();
    const int angle = Angle();
    RotateBlit(120, 40, 520, 440, angle, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("RotateBlit %d", angle));
}

void RotateTilePage() {
    const int angle = Angle();
    RotateTileBlit(0, 0, 640, 480, angle, Objects().monster, 40, 40, 200, 200);
    DrawCaption(Format("RotateTileBlit %d", angle));
}

void RotateZoomPage() {
    DrawBeach();
    const int angle = Angle();
    const float zoom = 0.5f + SwingUnit(4.0);
    RotateZoomBlit(0, 0, 640, 480, angle, zoom, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("RotateZoomBlit %d %.2f", angle, zoom));
}

void RotateZoomTilePage() {
    const int angle = Angle();
    const float zoom = 0.5f + 2.0f * SwingUnit(4.0);
    RotateZoomTileBlit(0, 0, 640, 480, angle, zoom, Objects().monster, 40, 40, 200, 200);
    DrawCaption(Format("RotateZoomTileBlit %d %.2f", angle, zoom));
}

void FloorPage() {
    DrawBeach();
    const int angle = Swing(0, 60, 4.0);
    FloorBlit(0, 240, 640, 480, angle, 0.2f, 0.02f, 0.2f, 0.02f, 1.0f, 0.8f, 0.6f, Objects().race,
              0, 0, 640, 480);
    DrawCaption(Format("FloorBlit %d", angle));
}

constexpr std::array kPages{
    Page{&MirrorPage},     Page{&RotatePage},         Page{&RotateTilePage},
    Page{&RotateZoomPage}, Page{&RotateZoomTilePage}, Page{&FloorPage},
};

}  // namespace

std::span<const Page> RotationPages() {
    return kPages;
}

}  // namespace gallery
