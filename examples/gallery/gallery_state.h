// The gallery's pictures, sound and page clock, shared by its page files.
#pragma once

#include <array>
#include <cstdint>

namespace gallery {

struct GalleryObjects {
    std::int32_t music = 0;
    std::int32_t fighter = 0, machine = 0, princess = 0, tanuki = 0, monster = 0;
    std::int32_t seagirl = 0, e1 = 0, race = 0, galabg = 0, spot = 0, fin = 0;
    std::int32_t dimmed = 0;  // the current page's dimmed picture
};

// Four seconds a page, a tick a pass.
inline constexpr std::int32_t kPageTicks = 240;

struct GalleryState {
    GalleryObjects objects;
    std::int32_t pageTicks = 0;  // ticks since the page began: one a pass at 60 passes a second
    std::int32_t wipeType = 0;   // the wipe page's last type
    // The input page: the press states of its keys, and the last key PollKeyRelease gave.
    std::array<std::int32_t, 8> keyStates{};
    std::int32_t lastReleased = 0;
};

GalleryState& State();
inline const GalleryObjects& Objects() {
    return State().objects;
}
// The page clock in seconds of a 60 Hz display, for the pages' animations.
inline double PageSeconds() {
    return State().pageTicks / 60.0;
}
// The page's first pass, and the pass after which it hands over to the next.
inline bool FirstPass() {
    return State().pageTicks == 0;
}

}  // namespace gallery
