#include "app/shell.h"
#include "el/draw/clip_rect.h"
#include "el/draw/cursor.h"
#include "el/effects/clip_wipe.h"
#include "el/sound/midi_state.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"
#include "show/scene_state.h"

namespace app {

void ResetProgramState() {
    platform::ResetMessageQueue();
    elSystem::ResetInputState();
    elSystem::ResetFrameTiming();
    elSystem::ResetScrollPageState();
    elSystem::FreeFontBlock();
    elSound::ResetMidiState();
    elDraw::CursorConfined = 0;
    elDraw::ClipRect = {};
    elDraw::WipeState = 0;
    elDraw::WipeRect = {};
    show::ResetSceneState();
    AppActive = 0;
    PassCount = 0;
    SetPassHooks({});
}

}  // namespace app
