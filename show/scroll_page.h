// The scrolling page layer: a drifting tiled background under a tall page seen through the
// clip rectangle, scrolled with the arrow keys. Off unless a program switches it on.
#pragma once

namespace show {

void DrawScrollPage();

}  // namespace show
