#include "app/shell.h"
#include "el/draw/clip_rect.h"
#include "el/draw/cursor.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/effects/clip_wipe.h"
#include "el/effects/pixel_format.h"
#include "el/sound/midi_state.h"
#include "el/sound/sound_device.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/scroll_page_state.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"
#include "show/scene_state.h"
#include "show/scenes.h"

namespace app {

void ResetProgramState() {
    platform::ResetMessageQueue();
    elSystem::ResetInputState();
    elSystem::ResetFrameTiming();
    elSystem::ResetScrollPageState();
    elSystem::FreeFontBlock();
    elSound::ResetMidiState();
    elSound::ResetSoundState();
    elDraw::ResetDisplayState();
    elDraw::ResetObjectTable();
    elDraw::ResetPixelFormat();
    platform::display_faults::Clear();
    platform::SetDisplayLayout(platform::PixelLayout::Rgb565);
    elDraw::CursorConfined = 0;
    elDraw::ClipRect = {};
    elDraw::ResetWipeState();
    show::ResetSceneState();
    show::ResetOpeningScenes();
    show::ResetGalleryScenes();
    show::ResetRaceScene();
    show::ResetFinaleScenes();
    AppActive = 0;
    PassCount = 0;
    SetPassHooks({});
}

}  // namespace app
