// The end of every scene frame: the running transition drawn over the picture, then the frame
// presented.
#pragma once

namespace show {

void EndFrame();

}  // namespace show
