// Presentation of the finished frame: the back surface copied to the screen after the
// vertical blank.
#pragma once

namespace elDraw {

// Waits for the vertical blank (when VSyncWait is 1) and shows the back surface; a lost
// screen restores every surface.
void PresentFrame();

}  // namespace elDraw
