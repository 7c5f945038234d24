#include "show/presentation.h"

#include "el/draw/screen.h"
#include "show/scene_state.h"

namespace show {

void LoadPresentation() {
    elDraw::Screen(640, 480, 1);
    SceneNumber = 1;
    PreviousScene = 0;
}

}  // namespace show
