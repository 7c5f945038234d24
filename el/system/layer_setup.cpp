#include "el/system/layer_setup.h"

#include <algorithm>

#include "el/draw/object_table.h"
#include "el/system/scroll_page_state.h"

namespace elSystem {
namespace {

// Objects 0 and 1 are the screen-sized scratch pictures the library keeps for itself: a layer
// never loads into or draws from them.
constexpr std::int32_t kFirstLoadedObject = 2;

// Loads a picture into `object`, or into a new object when there is none yet; false on failure.
bool Load(const char* name, std::int32_t& object) {
    if (object >= kFirstLoadedObject) return elDraw::SwapObject(name, object, 2) == 1;
    object = elDraw::LoadObject(name, 2);
    return object >= kFirstLoadedObject;
}

}  // namespace

void SetTransitionTiles(const char* name) {
    if (name == nullptr) return;
    elDraw::SetKeyColor(0);
    Load(name, TileObject);
}

void SetScrollPage(const char* page, const char* background, std::int32_t limit) {
    if (page == nullptr || background == nullptr) return;
    elDraw::SetKeyColor(0);
    const bool pageLoaded = Load(page, ScrollPageObject);
    const bool backgroundLoaded = Load(background, ScrollBackgroundObject);
    ScrollPagePosition = 0;
    if (!pageLoaded || !backgroundLoaded) {
        ScrollPageLimit = 0;
        ScrollPageShown = 0;
        return;
    }
    const platform::Surface* surface = elDraw::ObjectSurface(ScrollPageObject);
    const std::int32_t height = surface != nullptr ? surface->height() : 0;
    ScrollPageLimit = std::clamp(limit, 0, height);
    if (ScrollPageLimit == 0) ScrollPageShown = 0;
}

void ToggleScrollPage() {
    if (ScrollPageShown == 1) {
        ScrollPageShown = 0;
    } else if (ScrollPageShown == 0 && ScrollPageLimit != 0) {
        ScrollPageShown = 1;
    }
}

}  // namespace elSystem
