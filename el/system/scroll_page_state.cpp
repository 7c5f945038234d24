#include "el/system/scroll_page_state.h"

namespace elSystem {

std::int32_t ScrollPageShown;
std::int32_t ScrollBackgroundObject;
std::int32_t ScrollPageObject;
float ScrollTileOffsetX;
float ScrollTileOffsetY;
float ScrollPagePosition;
std::int32_t ScrollPageLimit;
std::int32_t TileObject;

void ResetScrollPageState() {
    ScrollPageShown = ScrollBackgroundObject = ScrollPageObject = ScrollPageLimit = TileObject = 0;
    ScrollTileOffsetX = ScrollTileOffsetY = ScrollPagePosition = 0.0f;
}

}  // namespace elSystem
