// Presentation of the finished frame: the back surface copied to the screen after the
// vertical blank.
#pragma once

namespace elDraw {

void PresentFrame();

}  // namespace elDraw
