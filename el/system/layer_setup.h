// The pictures of the layers EndFrame draws over a scene: the cover transition's strip of ten
// 64 x 48 tiles, and the scroll page over its tiled background, with the switch that shows it.
// Black is the transparent colour of the pictures loaded here (and of those loaded after). A
// null name changes nothing.
#pragma once

#include <cstdint>

namespace elSystem {

// Loads the tile strip; loaded again into the same object on later calls. When the picture
// cannot be loaded (the error box says why) a cover draws no tiles.
void SetTransitionTiles(const char* name);
// Loads the page and its background (again into the same two objects on later calls), puts the
// page at its top and sets its limit: the height the page scrolls over, at most the page
// picture's own. When either picture cannot be loaded there is no page: the limit becomes 0 and
// a shown page is hidden.
void SetScrollPage(const char* page, const char* background, std::int32_t limit);
// Shows a hidden page (only when there is one) or hides a shown one. While it is shown the
// arrow keys scroll it and reach nothing else.
void ToggleScrollPage();

}  // namespace elSystem
