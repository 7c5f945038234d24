// Scenes 1, 3 and 4: the black opening, the music fading in, the four corners and the monster.
#include <algorithm>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/sound/sound_playback.h"
#include "el/system/frame_timing.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "show/scenes.h"
#include "show/transitions.h"

namespace show {
namespace {

using namespace elDraw;

struct OpeningCounters {
    std::int32_t opening = 0;
    std::int32_t fade = -500;
    std::int32_t step = 0;
    std::int32_t stepCounter = 0;
};
OpeningCounters counters;

constexpr std::int32_t kStepLength[6] = {200, 200, 200, 200, 400, 400};

void DrawCorners(std::int32_t upTo) {
    const PresentationObjects& o = Loaded;
    if (upTo > 0) BlitKeyed(0, 0, o.Fighter, 0, 0, 200, 150);
    if (upTo > 1) BlitKeyed(440, 0, o.Machine, 0, 0, 200, 150);
    if (upTo > 2) BlitKeyed(0, 330, o.Princess, 0, 0, 200, 150);
    if (upTo > 3) BlitKeyed(440, 330, o.Tanuki, 0, 0, 200, 150);
}

// The pyjamas grow out of the middle of the monster's square until they fill it: the square
// is the centre 320 x 320 of the screen's centre 480 x 480.
void DrawGrowingPajamas(std::int32_t c) {
    const std::int32_t size = std::min(320, 320 * c / 200);
    if (size <= 0) return;
    StretchBlitKeyed(320 - size / 2, 240 - size / 2, Loaded.Pajama, 0, 0, 420, 372, size, size);
}

}  // namespace

void ResetOpeningScenes() {
    counters = {};
}

void Scene1Frame() {
    if (SceneJustEntered == 1) counters.opening = 0;
    ClearScreen();
    counters.opening += elSystem::TickIncrement();
    if (counters.opening >= 100) {
        TransitionStyle = 3;
        TransitionLength = 20;
        ChangeScene(3);
    }
    EndFrame();
}

void Scene3Frame() {
    if (SceneJustEntered == 1) {
        counters.fade = -500;
        elSound::SetVolume(Loaded.Dg, -500, -1);
        elSound::PlayLoop(Loaded.Dg, -1);
    }
    ClearScreen();
    counters.fade += elSystem::TickIncrement();
    elSound::SetVolume(Loaded.Dg, counters.fade / 10, -1);
    if (counters.fade >= 0) {
        SceneNumber = 4;
        PreviousScene = 0;
    }
    EndFrame();
}

void Scene4Frame() {
    const PresentationObjects& o = Loaded;
    if (SceneJustEntered == 1) {
        counters.step = 0;
        counters.stepCounter = 0;
    }
    ClearScreen();
    counters.stepCounter += elSystem::TickIncrement();
    const std::int32_t c = counters.stepCounter;
    switch (counters.step) {
        case 0:
            BlitKeyed(0, 0, o.Fighter, 200 - c, 0, 200, 150);
            break;
        case 1:
            DrawCorners(1);
            BlitKeyed(640 - c, 0, o.Machine, 0, 0, c, 150);
            break;
        case 2:
            DrawCorners(2);
            BlitKeyed(0, 330, o.Princess, 200 - c, 0, 200, 150);
            break;
        case 3:
            DrawCorners(3);
            BlitKeyed(640 - c, 330, o.Tanuki, 0, 0, c, 150);
            break;
        case 4:
            DrawCorners(4);
            BlitOpaque(160, 480 - c, o.Monster, 0, 0, 320, 320);
            break;
        default:
            DrawCorners(4);
            BlitOpaque(160, 80, o.Monster, 0, 0, 320, 320);
            DrawGrowingPajamas(c);
            break;
    }
    if (counters.step <= 5 && c >= kStepLength[counters.step]) {
        counters.stepCounter = 0;
        if (counters.step == 5) {
            ChangeScene(5);  // with the style and length scene 1 left in force
        } else {
            ++counters.step;
        }
    }
    EndFrame();
}

}  // namespace show
