#include "show/greeting_program.h"

#include "show/presentation.h"
#include "show/scenes.h"

namespace show {
namespace {

void ResetGreetingScenes() {
    Loaded = {};
    ResetOpeningScenes();
    ResetGalleryScenes();
    ResetRaceScene();
    ResetFinaleScenes();
}

std::int32_t Music() {
    return Loaded.Dg;
}

}  // namespace

const ShowProgram& GreetingProgram() {
    static const ShowProgram program = {
        .name = "greeting",
        .title = "ポポロ君　２３歳誕生日おめでとう！",
        .load = &LoadPresentation,
        .runSceneFrame = &RunSceneFrame,
        .reset = &ResetGreetingScenes,
        .timelineSound = &Music,
        .expectedPasses = 11762,
    };
    return program;
}

}  // namespace show
