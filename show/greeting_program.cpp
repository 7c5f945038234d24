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
        .about =
            "Plays the birthday greeting full screen; it ends by itself after about three and a\n"
            "quarter minutes, or at once with Escape.\n"
            "Pictures and music can be replaced: put a BMP file named like the picture\n"
            "(FIGHTER, MACHINE, ..., FIN), a WAV file named DG or a one-line text file\n"
            "named TITLE (the window's title) next to the program.\n",
        .load = &LoadPresentation,
        .runSceneFrame = &RunSceneFrame,
        .reset = &ResetGreetingScenes,
        .timelineSound = &Music,
        .expectedPasses = 11762,
    };
    return program;
}

}  // namespace show
