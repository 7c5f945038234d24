#include "examples/gallery/gallery_program.h"

#include <vector>

#include "el/draw/draw_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/draw/shutdown.h"
#include "el/sound/sound_objects.h"
#include "el/sound/sound_playback.h"
#include "el/system/frame_timing.h"
#include "el/system/layer_setup.h"
#include "examples/gallery/gallery_state.h"
#include "examples/gallery/pages.h"
#include "show/scene_state.h"
#include "show/transitions.h"

namespace gallery {
namespace {

constexpr std::int32_t kMusicVolume = -6;  // decibels: the music under the pages

GalleryState state;

void Load() {
    elDraw::Screen(640, 480, 1);
    GalleryObjects& o = state.objects;
    o = {};
    o.music = elSound::LoadObject("DG", 1);
    o.fighter = elDraw::LoadObject("FIGHTER", 2);
    o.machine = elDraw::LoadObject("MACHINE", 2);
    o.princess = elDraw::LoadObject("PRINCESS", 2);
    o.tanuki = elDraw::LoadObject("TANUKI", 2);
    o.monster = elDraw::LoadObject("MONSTER", 2);
    o.seagirl = elDraw::LoadObject("SEAGIRL", 2);
    o.e1 = elDraw::LoadObject("E1", 2);
    o.race = elDraw::LoadObject("RACE", 2);
    o.galabg = elDraw::LoadObject("GALABG", 2);
    o.spot = elDraw::LoadObject("SPOT", 2);
    o.fin = elDraw::LoadObject("FIN", 2);
    o.dimmed = elDraw::CreateObject(640, 480, 2);
    // The layers last: they make black the transparent colour of what is loaded after them.
    elSystem::SetTransitionTiles("TILES");
    elSystem::SetScrollPage("PAGE", "PAGETILE", 1440);
    show::SceneNumber = 1;
    show::PreviousScene = 0;
}

// Page n is scene n + 1; the pages change with each reveal style in turn.
void RunPage(std::int32_t scene) {
    const std::span<const Page> pages = AllPages();
    if (scene < 1 || scene > static_cast<std::int32_t>(pages.size())) return;
    const Page& page = pages[static_cast<std::size_t>(scene - 1)];
    if (show::SceneJustEntered == 1) {
        state.pageTicks = 0;
        if (scene == 1) {
            elSound::SetVolume(state.objects.music, kMusicVolume, -1);
            elSound::PlayLoop(state.objects.music, -1);
        }
        if (page.enter != nullptr) page.enter();
    }
    elDraw::ClearScreen();
    page.draw();
    state.pageTicks += elSystem::TickIncrement();
    const bool last = scene == static_cast<std::int32_t>(pages.size());
    if (state.pageTicks >= kPageTicks && page.leave != nullptr) page.leave();
    if (state.pageTicks >= kPageTicks && !last) {
        show::TransitionStyle = page.leaveStyle >= 0 ? page.leaveStyle : (scene - 1) % 12 + 1;
        show::TransitionLength = 20;
        show::ChangeScene(scene + 1);
    }
    show::EndFrame();
    if (last && state.pageTicks >= kPageTicks) {
        elSound::Stop(state.objects.music, -1);
        elDraw::Shutdown();
    }
}

void Reset() {
    state = GalleryState{};
}

std::int32_t Music() {
    return state.objects.music;
}

// A page each kPageTicks passes, one more for the first (it has no time behind it), and nine
// more for each page that leaves by the cover: the cover's ten steps run alone.
std::uint32_t ExpectedPasses() {
    std::uint32_t passes = 1;
    for (const Page& page : AllPages()) passes += kPageTicks + (page.leaveStyle == 0 ? 9 : 0);
    return passes;
}

}  // namespace

GalleryState& State() {
    return state;
}

std::span<const Page> AllPages() {
    static const std::vector<Page> pages = [] {
        std::vector<Page> all;
        // The input and music pages early, so that their tests need not run the whole show.
        for (const auto& part : {CorePages(), InputPages(), MusicPages(), BlendPages(), RowPages(),
                                 ScreenFilterPages(), RotationPages(), FilterPages(), WarpPages(),
                                 TextPages(), ShapePages()}) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }();
    return pages;
}

const show::ShowProgram& GalleryProgram() {
    static const show::ShowProgram program = {
        .name = "gallery",
        .title = "el library gallery",
        .about =
            "Plays the gallery of the library's operations full screen, a page each; it ends\n"
            "by itself after the last page, or at once with Escape.\n",
        .load = &Load,
        .runSceneFrame = &RunPage,
        .reset = &Reset,
        .timelineSound = &Music,
        .expectedPasses = ExpectedPasses(),
    };
    return program;
}

}  // namespace gallery
