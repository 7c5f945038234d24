// The filter blits over the beach: the monster's outline softened, blurred, the sand pulled up
// under it, and rays of its light.
#include <array>

#include "el/draw/blits.h"
#include "el/effects/filter_blits.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

void SoftEdgePage() {
    DrawBeach();
    SoftEdgeBlit(Swing(20, 300, 4.0), kMonsterY, Objects().monster, 0, 0, 320, 320);
    DrawCaption("SoftEdgeBlit");
}

void BlurPage() {
    DrawBeach();
    const int size = Swing(1, 12, 4.0);
    BlurBlit(kMonsterX, kMonsterY, size, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("BlurBlit size %d", size));
}

void DisplacePage() {
    DrawBeach();
    const float strength = SwingUnit(4.0);
    DisplaceBlit(kMonsterX, kMonsterY, strength, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("DisplaceBlit %.2f", strength));
}

void GlowPage() {
    DrawBeach();
    // The monster's face: each lit pixel costs a ray walk, so the lit part is kept small.
    const int shift = Swing(2, 4, 4.0);
    GlowBlit(kMonsterX + 96, kMonsterY + 64, shift, shift, shift, 0x40 | 0x20 | 0x80, 1,
             Objects().monster, 96, 64, 224, 192);
    DrawCaption(Format("GlowBlit shift %d, upward", shift));
}

constexpr std::array kPages{Page{&SoftEdgePage}, Page{&BlurPage}, Page{&DisplacePage},
                            Page{&GlowPage}};

}  // namespace

std::span<const Page> FilterPages() {
    return kPages;
}

}  // namespace gallery
