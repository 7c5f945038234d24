// Whether the drawing core has the display open, for the parts of the library that only need
// to know that.
#pragma once

namespace elDraw {

bool IsDisplayOpen();
// Makes the desktop's drawing surface visible so that a message box shows over the picture.
void FlipToGdiSurface();

}  // namespace elDraw
