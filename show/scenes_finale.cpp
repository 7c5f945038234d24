// Scenes 12 and 13: spotlights over the gala hall, then the closing card while the music
// fades out, after which the program ends by itself.
#include <array>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/draw/shutdown.h"
#include "el/effects/add_blit.h"
#include "el/sound/sound_playback.h"
#include "el/system/c_runtime.h"
#include "el/system/frame_timing.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "show/scenes.h"
#include "show/transitions.h"

namespace show {
namespace {

using namespace elDraw;

struct Spotlight {
    std::int32_t x = 0, y = 0, vx = 0, vy = 0;
};

struct FinaleState {
    std::int32_t spotTimer = 0;
    std::array<Spotlight, 4> spots{};
    std::int32_t finaleCounter = -500;
};
FinaleState finale;

std::int32_t NewSpeed() {
    return elSystem::rand() % 10 + 10;
}

}  // namespace

void ResetFinaleScenes() {
    finale = {};
}

void Scene12Frame() {
    if (SceneJustEntered == 1) {
        finale.spotTimer = 0;
        for (std::size_t k = 0; k < finale.spots.size(); ++k) {
            Spotlight& spot = finale.spots[k];
            spot.x = elSystem::rand() % 640 - 64;
            spot.y = elSystem::rand() % 480 - 64;
            spot.vx = NewSpeed();
            spot.vy = NewSpeed();
            if (k % 2 == 0) {  // spotlights 0 and 2 start up and left
                spot.vx = -spot.vx;
                spot.vy = -spot.vy;
            }
        }
    }
    ClearScreen();
    BlitKeyed(0, 0, Loaded.Galabg, 0, 0, 640, 480);
    for (Spotlight& spot : finale.spots) {
        AddBlit(spot.x, spot.y, Loaded.Spot, 0, 0, 128, 128);
        spot.x += spot.vx;
        spot.y += spot.vy;
        if (spot.x < -64 && spot.vx < 0) spot.vx = NewSpeed();
        if (spot.y < -64 && spot.vy < 0) spot.vy = NewSpeed();
        if (spot.x > 515 && spot.vx > 0) spot.vx = -NewSpeed();
        if (spot.y > 355 && spot.vy > 0) spot.vy = -NewSpeed();
    }
    finale.spotTimer += elSystem::TickIncrement();
    if (finale.spotTimer >= 2000) {
        TransitionStyle = 10;
        TransitionLength = 40;
        ChangeScene(13);
    }
    EndFrame();
}

void Scene13Frame() {
    if (SceneJustEntered == 1) finale.finaleCounter = -500;
    ClearScreen();
    BlitKeyed(0, 0, Loaded.Fin, 0, 0, 640, 480);
    finale.finaleCounter += elSystem::TickIncrement();
    if (finale.finaleCounter < 500) {
        elSound::SetVolume(Loaded.Dg, (-finale.finaleCounter) / 10, -1);
    } else {
        elSound::Stop(Loaded.Dg, -1);
    }
    EndFrame();
    if (finale.finaleCounter > 1000) Shutdown();  // after the last frame is on the screen
}

}  // namespace show
