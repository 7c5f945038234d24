#include "show/scroll_page.h"

#include <algorithm>
#include <cstdint>

#include "el/draw/blits.h"
#include "el/draw/clip_rect.h"
#include "el/draw/object_table.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"

namespace show {

void DrawScrollPage() {
    using namespace elSystem;
    if (ScrollPageShown != 1) return;
    // Objects 0 and 1 are the library's scratch pictures, never a page or its background.
    if (ScrollPageObject < 2 || ScrollBackgroundObject < 2) return;
    const auto tx = static_cast<std::int32_t>(ScrollTileOffsetX);
    const auto ty = static_cast<std::int32_t>(ScrollTileOffsetY);
    for (std::int32_t j = 0; j <= 10; ++j) {
        for (std::int32_t i = 0; i <= 10; ++i) {
            elDraw::BlitKeyed(64 * j + tx, 48 * i + ty, ScrollBackgroundObject, 0, 0, 64, 48);
        }
    }
    ScrollTileOffsetX -= FrameDelta * 10;
    ScrollTileOffsetY -= FrameDelta * 10;
    if (ScrollTileOffsetX <= -64) ScrollTileOffsetX += 64;
    if (ScrollTileOffsetY <= -48) ScrollTileOffsetY += 48;

    const auto& clip = elDraw::ClipRect;
    const std::int32_t clipHeight = clip.bottom - clip.top;
    const auto p = static_cast<std::int32_t>(ScrollPagePosition);
    // A page narrower or shorter than the clip rectangle shows what it has rather than nothing.
    std::int32_t pageWidth = clip.right - clip.left, pageBottom = p + clipHeight;
    if (const platform::Surface* page = elDraw::ObjectSurface(ScrollPageObject)) {
        pageWidth = std::min(pageWidth, page->width());
        pageBottom = std::min(pageBottom, page->height());
    }
    elDraw::BlitKeyed(clip.left, clip.top, ScrollPageObject, 0, p, pageWidth, pageBottom);
    switch (ScrollKey) {
        case 38:
            ScrollPagePosition -= FrameDelta * 100;
            break;  // up
        case 37:
            ScrollPagePosition -= FrameDelta * 300;
            break;  // left: a page at a time
        case 40:
            ScrollPagePosition += FrameDelta * 100;
            break;  // down
        case 39:
            ScrollPagePosition += FrameDelta * 300;
            break;  // right
        default:
            break;
    }
    // The bottom limit first: for a page shorter than the clip it is negative, and the top wins.
    const auto limit = static_cast<float>(ScrollPageLimit - clipHeight);
    if (ScrollPagePosition > limit) ScrollPagePosition = limit;
    if (ScrollPagePosition < 0) ScrollPagePosition = 0;
}

}  // namespace show
