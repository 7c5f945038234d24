#include "app/shell.h"
#include "el/effects/clip_wipe.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "platform/clock.h"
#include "show/scene_state.h"
#include "show/transitions.h"

namespace app {

void RunPass() {
    using namespace elSystem;
    using namespace show;

    UpdateFrameDelta();
    MouseDeltaX = MouseX - PrevMouseX;
    MouseDeltaY = MouseY - PrevMouseY;

    if (PreviousScene == 0 && SceneNumber != 0) {
        SceneJustEntered = 1;
        PreviousScene = SceneNumber;
    }

    if (TransitionDirection == 1) {
        EndFrame();  // a cover runs alone until its last tile is down
        if (TransitionDirection == 0) SceneNumber = NextScene;
    } else {
        if (CurrentShow().runSceneFrame != nullptr) CurrentShow().runSceneFrame(SceneNumber);
    }

    if (SceneNumber != PreviousScene) {
        SceneJustEntered = 1;
        elDraw::CancelWipe();
    } else {
        SceneJustEntered = 0;
    }
    PreviousScene = SceneNumber;

    if (platform::timeGetTime() >= BlinkDeadline) {
        BlinkOn = BlinkOn ? 0 : 1;
        BlinkDeadline = platform::timeGetTime() + (BlinkOn == 1 ? 1000u : 200u);
    }

    PrevMouseX = MouseX;
    PrevMouseY = MouseY;
    LeftClicked = 0;
    RightClicked = 0;
    // The cursor is hidden over a full-screen window by WM_SETCURSOR; the per-pass test of
    // the cursor against the client area belongs to windowed mode, which this build lacks.
}

}  // namespace app
