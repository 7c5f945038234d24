// Scene 11: fifteen runners race across the field while the face in the corner changes.
#include <array>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/system/c_runtime.h"
#include "el/system/frame_timing.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "show/scenes.h"
#include "show/transitions.h"

namespace show {
namespace {

using namespace elDraw;

constexpr int kRunners = 15;
// Pixels per pass, not scaled by the frame time.
constexpr std::array<std::int32_t, kRunners> kSpeed{7, 2, 8, 3, 4, 5, 6, 3, 9, 3, 5, 5, 9, 9, 9};

struct Runner {
    std::int32_t x = 0, y = 0, frame = 0;
};

struct RaceState {
    std::int32_t timer = 0;
    std::int32_t faceStep = 0;
    std::array<Runner, kRunners> runners{};
};
RaceState race;

void DrawFace(std::int32_t step) {
    if (step > 8) {
        BlitOpaque(15, 315, Loaded.Face2, 0, 155 * (step - 9), 150, 155 * (step - 8));
    } else if (step != 0) {
        BlitOpaque(15, 315, Loaded.Face1, 0, 155 * (step - 1), 150, 155 * step);
    }
}

}  // namespace

void ResetRaceScene() {
    race = {};
}

void Scene11Frame() {
    if (SceneJustEntered == 1) {
        elSystem::srand(static_cast<std::uint32_t>(elSystem::time(nullptr)));
        race.timer = 0;
        race.faceStep = 0;
        for (Runner& runner : race.runners) {
            runner.x = elSystem::rand() % 640 - 52;
            runner.y = elSystem::rand() % 480 - 34;
            runner.frame = 0;
        }
    }
    ClearScreen();
    race.timer += elSystem::TickIncrement();
    BlitKeyed(0, 0, Loaded.Race, 0, 0, 640, 480);
    DrawFace(race.faceStep);
    for (std::int32_t k = 0; k < kRunners; ++k) {
        Runner& runner = race.runners[static_cast<std::size_t>(k)];
        runner.x += kSpeed[static_cast<std::size_t>(k)] + elSystem::rand() % 3 - 1;
        runner.y += elSystem::rand() % 3 - 1;
        BlitKeyed(runner.x, runner.y, Loaded.Runner, 52 * runner.frame, 68 * k,
                  52 * (runner.frame + 1), 68 * (k + 1));
        if (runner.x > 640) {  // back in at the left edge, on a new line
            runner.x = -52;
            runner.y = elSystem::rand() % 480 - 34;
        }
        runner.frame = 1 - runner.frame;
    }
    if (race.timer >= 180) {
        race.faceStep += 1;
        race.timer = 0;
    }
    if (race.faceStep >= 17) ChangeScene(12);  // style and length left by scene 10
    EndFrame();
}

}  // namespace show
