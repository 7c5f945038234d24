// How one scene hands over to the next, and the end of every scene frame: the running
// transition drawn over the picture, the scroll page layer, then the frame presented.
#pragma once

#include <cstdint>

namespace show {

void ChangeScene(std::int32_t scene);
void StartCover();
void StartReveal10();
void EndFrame();

}  // namespace show
