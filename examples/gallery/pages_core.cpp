// The drawing core and the effects the greeting itself uses: copies, scaled copies, the
// additive blit, the half-tone fill and the clip wipes.
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/fills.h"
#include "el/effects/add_blit.h"
#include "el/effects/clip_wipe.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/gallery_state.h"
#include "examples/gallery/page_motion.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

std::string Format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void CopiesPage() {
    const GalleryObjects& o = Objects();
    BlitOpaque(0, 0, o.race, 0, 0, 640, 480);
    BlitKeyed(Swing(-60, 500, 4.0), 300, o.fighter, 0, 0, 200, 150);
    BlitOpaque(Swing(500, -60, 4.0), 60, o.tanuki, 0, 0, 200, 150);
    DrawCaption("BlitKeyed / BlitOpaque");
}

void StretchPage() {
    const GalleryObjects& o = Objects();
    BlitOpaque(0, 0, o.seagirl, 0, 0, 640, 480);
    const int size = Swing(40, 440, 3.0);
    StretchBlitKeyed(320 - size / 2, 240 - size / 2, o.monster, 0, 0, 320, 320, size, size);
    DrawCaption("StretchBlitKeyed " + std::to_string(size) + "x" + std::to_string(size));
}

void AddPage() {
    const GalleryObjects& o = Objects();
    BlitOpaque(0, 0, o.galabg, 0, 0, 640, 480);
    for (int k = 0; k < 3; ++k) {
        AddBlit(Swing(-40, 550, 3.0 + k, k * 0.3), Swing(-40, 390, 2.3 + k, k * 0.5), o.spot, 0, 0,
                128, 128);
    }
    DrawCaption("AddBlit");
}

void AddLevelPage() {
    const GalleryObjects& o = Objects();
    BlitOpaque(0, 0, o.galabg, 0, 0, 640, 480);
    const double level = Swing(0, 1000, 2.0) / 1000.0;
    for (int k = 0; k < 4; ++k) {
        AddBlitLevel(64 + k * 128, 176, static_cast<float>(level), o.spot, 0, 0, 128, 128);
    }
    DrawCaption(Format("AddBlitLevel %.2f", level));
}

void HalfFillPage() {
    const GalleryObjects& o = Objects();
    BlitOpaque(0, 0, o.seagirl, 0, 0, 640, 480);
    const int top = Swing(40, 360, 3.0);
    HalfFillRect(0, top, 640, top + 80, 0xFFFF);
    HalfFillRect(Swing(40, 480, 2.5), 40, Swing(40, 480, 2.5) + 120, 440, 0x001F);
    DrawCaption("HalfFillRect");
}

void WipePage() {
    const GalleryObjects& o = Objects();
    // Every type in turn, each opening the picture and then closing it again.
    std::int32_t& type = State().wipeType;
    if (WipeState == 0 && WipeOpened == 1) {
        StartWipe(1, type, 1200.0f, 40);
    } else if (WipeState == 0 || WipeState == -1) {
        type = type % kWipeTypeCount + 1;
        StartWipe(0, type, 1200.0f, 40);
    }
    StepWipe();
    BlitOpaque(0, 0, o.fin, 0, 0, 640, 480);
    const platform::Rect clip = ClipRect;
    SetClipRect(0, 0, 640, 480);
    DrawCaption("StartWipe type " + std::to_string(WipeType));
    SetClipRect(clip.left, clip.top, clip.right, clip.bottom);
}

constexpr std::array<Page, 6> kPages{{
    {&CopiesPage},
    {&StretchPage},
    {&AddPage},
    {&AddLevelPage},
    {&HalfFillPage},
    {&WipePage},
}};

}  // namespace

std::span<const Page> CorePages() {
    return kPages;
}

}  // namespace gallery
