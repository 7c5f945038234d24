#include "el/draw/screen.h"

#include "el/draw/clip_rect.h"
#include "el/draw/cursor.h"
#include "el/sound/midi_state.h"
#include "el/sound/sound_device.h"
#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/joystick.h"

namespace elDraw {

std::int32_t ScreenWidth;
std::int32_t ScreenHeight;

namespace {

// The start state of the layers above the display, in the order the library relies on.
void StartOtherLayers() {
    elSound::Init();
    elSound::ResetObjectTable();
    elSound::ResetMidiState();
    elSystem::ClearWaits();
    elSystem::ResumeInput();
    elSystem::SysKeysPass = 0;
    elSystem::AllocateFontBlock();
    elSystem::InitJoystick();
    if (elSystem::CursorClipMode == 1) ConfineCursor();
}

}  // namespace

int Screen(std::int32_t width, std::int32_t height, std::int32_t) {
    ScreenWidth = width;
    ScreenHeight = height;
    SetClipRect(0, 0, width, height);
    StartOtherLayers();
    return 1;
}

}  // namespace elDraw
