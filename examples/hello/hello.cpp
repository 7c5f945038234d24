// hello: the smallest complete show. A star spins on blue under a line of text, a chime
// sounds at the start, and the show ends after ten seconds or when Space or Enter is pressed.
#include "el/draw/display_state.h"
#include "el/draw/fills.h"
#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/draw/shutdown.h"
#include "el/effects/rotate_blits.h"
#include "el/sound/sound_objects.h"
#include "el/sound/sound_playback.h"
#include "el/system/frame_timing.h"
#include "el/system/key_state.h"
#include "el/system/text.h"
#include "platform/messages.h"
#include "show/scene_state.h"
#include "show/show_program.h"
#include "show/transitions.h"

namespace hello {
namespace {

constexpr std::int32_t kScene = 1;
constexpr std::int32_t kEndWait = 1;  // the wait slot that holds the ten seconds
constexpr std::uint32_t kShowMilliseconds = 10000;

struct State {
    std::int32_t star = 0;   // drawing object
    std::int32_t chime = 0;  // sound object
    std::int32_t ticks = 0;  // hundredths of a second since the scene began
    std::uint32_t sky = 0;   // the background's pixel value
    bool ended = false;
};
State state;

// Opens the screen, loads the picture and the sound (built in, or files of the same names next
// to the program), and makes the first scene current.
void Load() {
    elDraw::Screen(640, 480, 1);
    // Fills take pixel values, which depend on the screen's format (5-6-5 or 5-5-5).
    state.sky = elDraw::MatchColor(elDraw::BackSurface.get(), platform::Rgb(58, 78, 255));
    state.star = elDraw::LoadObject("STAR", 2);
    state.chime = elSound::LoadObject("CHIME", 1);
    show::SceneNumber = kScene;
}

void RunScene(std::int32_t scene) {
    if (scene != kScene || state.ended) return;
    if (show::SceneJustEntered == 1) {
        state.ticks = 0;
        elSystem::SetWait(kEndWait, kShowMilliseconds);
        elSound::Play(state.chime, -1);
    }
    elDraw::FillRect(0, 0, 640, 480, state.sky);
    // The effect: the star turned about its centre, a degree per hundredth.
    elDraw::RotateBlit(256, 176, 384, 304, state.ticks % 360, state.star, 0, 0, 128, 128);

    elSystem::SelectFont(1, 40, 0, 1, 0, 0);
    elSystem::SetTextColors(platform::Rgb(255, 255, 255), 0, 1);
    elSystem::DrawTextBox(0, 60, 640, 120, "Hello, world!", 1);
    elSystem::SelectFont(1, 18, 0, 0, 0, 0);  // a new selection starts opaque again
    elSystem::SetTextColors(platform::Rgb(255, 255, 160), 0, 1);
    elSystem::DrawTextBox(0, 400, 640, 440, "Space or Enter ends the show", 1);
    elSystem::EndText();

    state.ticks += elSystem::TickIncrement();
    const bool over = elSystem::IsWaitOver(kEndWait) == 1 ||
                      elSystem::PollKeyRelease(platform::VK_SPACE, platform::VK_RETURN) != 0;
    show::EndFrame();
    if (over) {
        state.ended = true;
        elSound::Stop(state.chime, -1);
        elDraw::Shutdown();
    }
}

void Reset() {
    state = State{};
}

std::int32_t Chime() {
    return state.chime;
}

}  // namespace

const show::ShowProgram& HelloProgram() {
    static const show::ShowProgram program = {
        .name = "hello",
        .title = "Hello",
        .about = "A star spins for ten seconds; Space or Enter ends it sooner, Escape at once.\n",
        .load = &Load,
        .runSceneFrame = &RunScene,
        .reset = &Reset,
        .timelineSound = &Chime,
        .expectedPasses = 600,  // ten seconds at 60 passes a second
    };
    return program;
}

}  // namespace hello
