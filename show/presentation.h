// The start-up load list: the screen, the sound and the pictures of the greeting.
#pragma once

namespace show {

void LoadPresentation();

}  // namespace show
