// The scrolling page layer drawn at the end of each frame when switched on: a tiled
// background drifting under a tall page seen through the clip rectangle.
#pragma once

#include <cstdint>

namespace elSystem {

extern std::int32_t& ScrollPageShown;
extern std::int32_t& ScrollBackgroundObject;
extern std::int32_t& ScrollPageObject;
extern float& ScrollTileOffsetX;
extern float& ScrollTileOffsetY;
extern float& ScrollPagePosition;
extern std::int32_t& ScrollPageLimit;  // height of the page picture; 0: no page set up
// The cover transition's strip of ten 64 x 48 tiles side by side.
extern std::int32_t& TileObject;

}  // namespace elSystem
