// The translucent and colour-transform blits, each over the same beach so that the change it
// makes to a picture, or to what lies under it, shows.
#include <array>

#include "el/draw/blits.h"
#include "el/effects/colour_blits.h"
#include "el/effects/translucent_blits.h"
#include "examples/gallery/backdrop.h"
#include "examples/gallery/caption.h"
#include "examples/gallery/page_tools.h"
#include "examples/gallery/pages.h"

namespace gallery {
namespace {

using namespace elDraw;

void HalfPage() {
    DrawBeach();
    HalfBlit(Swing(20, 300, 4.0), kMonsterY, Objects().monster, 0, 0, 320, 320);
    DrawCaption("HalfBlit");
}

void AlphaPage() {
    DrawBeach();
    const float opacity = SwingUnit(3.0);
    AlphaBlit(kMonsterX, kMonsterY, opacity, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("AlphaBlit %.2f", opacity));
}

void AlphaRgbPage() {
    DrawBeach();
    const float r = SwingUnit(2.0), g = SwingUnit(2.0, 0.33), b = SwingUnit(2.0, 0.67);
    AlphaBlitRGB(kMonsterX, kMonsterY, r, g, b, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("AlphaBlitRGB %.2f %.2f %.2f", r, g, b));
}

void CrossFadePage() {
    DrawBeach();
    const int level = Swing(0, 31, 3.0);
    CrossFadeBlit(kMonsterX, kMonsterY, level, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("CrossFadeBlit %d", level));
}

void CrossFadeRgbPage() {
    DrawBeach();
    const int r = Swing(0, 31, 2.0), g = Swing(0, 31, 2.0, 0.33), b = Swing(0, 31, 2.0, 0.67);
    CrossFadeBlitRGB(kMonsterX, kMonsterY, r, g, b, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("CrossFadeBlitRGB %d %d %d", r, g, b));
}

void AlphaGradientPage() {
    DrawBeach();
    const std::uint32_t start = static_cast<std::uint32_t>(Swing(0, 200, 3.0));
    AlphaGradientBlit(kMonsterX, kMonsterY, 0.0f, 0.0f, 0.0f, 0, start, 3, Objects().monster, 0, 0,
                      320, 320);
    DrawCaption(Format("AlphaGradientBlit from %u", start));
}

void CrossFadeGradientPage() {
    DrawBeach();
    const std::uint32_t start = static_cast<std::uint32_t>(Swing(0, 200, 3.0));
    CrossFadeGradientBlit(kMonsterX, kMonsterY, 0, 0, 0, 1, start, 3, Objects().monster, 0, 0, 320,
                          320);
    DrawCaption(Format("CrossFadeGradientBlit from %u", start));
}

void SubPage() {
    BlitOpaque(0, 0, Objects().galabg, 0, 0, 640, 480);
    for (int k = 0; k < 3; ++k) {
        SubBlit(Swing(-40, 550, 3.0 + k, k * 0.3), Swing(-40, 390, 2.3 + k, k * 0.5),
                Objects().spot, 0, 0, 128, 128);
    }
    DrawCaption("SubBlit");
}

void ChannelMaskPage() {
    DrawBeach();
    // Red, green, blue, then each pair, a little under a second each.
    constexpr std::array<std::array<int, 3>, 6> kMasks{
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}, {1, 0, 1}}};
    const auto& keep = kMasks[static_cast<std::size_t>(State().pageTicks / 40) % kMasks.size()];
    ChannelMaskBlit(kMonsterX, kMonsterY, keep[0], keep[1], keep[2], Objects().monster, 0, 0, 320,
                    320);
    DrawCaption(Format("ChannelMaskBlit %d %d %d", keep[0], keep[1], keep[2]));
}

void BrightPage() {
    DrawBeach();
    const float factor = SwingUnit(3.0);
    BrightBlit(kMonsterX, kMonsterY, factor, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("BrightBlit %.2f", factor));
}

void BrightRgbPage() {
    DrawBeach();
    const float r = SwingUnit(2.0), g = SwingUnit(2.0, 0.33), b = SwingUnit(2.0, 0.67);
    BrightBlitRGB(kMonsterX, kMonsterY, r, g, b, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("BrightBlitRGB %.2f %.2f %.2f", r, g, b));
}

void DarkPage() {
    DrawBeach();
    const int level = Swing(0, 31, 3.0);
    DarkBlit(kMonsterX, kMonsterY, level, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("DarkBlit %d", level));
}

void DarkRgbPage() {
    DrawBeach();
    const int r = Swing(0, 31, 2.0), g = Swing(0, 31, 2.0, 0.33), b = Swing(0, 31, 2.0, 0.67);
    DarkBlitRGB(kMonsterX, kMonsterY, r, g, b, Objects().monster, 0, 0, 320, 320);
    DrawCaption(Format("DarkBlitRGB %d %d %d", r, g, b));
}

void GreyPage() {
    DrawBeach();
    BlitKeyed(60, 120, Objects().e1, 0, 0, 240, 240);
    GreyBlit(340, 120, Objects().e1, 0, 0, 240, 240);
    DrawCaption("GreyBlit (right)");
}

constexpr std::array<Page, 14> kPages{{
    {&HalfPage},
    {&AlphaPage},
    {&AlphaRgbPage},
    {&CrossFadePage},
    {&CrossFadeRgbPage},
    {&AlphaGradientPage},
    {&CrossFadeGradientPage},
    {&SubPage},
    {&ChannelMaskPage},
    {&BrightPage},
    {&BrightRgbPage},
    {&DarkPage},
    {&DarkRgbPage},
    {&GreyPage},
}};

}  // namespace

std::span<const Page> BlendPages() {
    return kPages;
}

}  // namespace gallery
