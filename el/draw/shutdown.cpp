#include "el/draw/shutdown.h"

#include "el/draw/cursor.h"
#include "el/sound/sound_device.h"
#include "el/system/build_settings.h"
#include "el/system/font_block.h"
#include "el/system/input_state.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace elDraw {

void ReleaseScreen() {
    if (elSystem::FullScreen == 1) platform::CloseWindow();
}

int Shutdown() {
    ReleaseCursor();
    ReleaseScreen();
    elSound::Release();
    elSystem::FreeFontBlock();
    if (elSystem::CloseState == 0) platform::PostMessage(platform::WM_CLOSE, 0, 0);
    elSystem::CloseState = 2;
    return 1;
}

}  // namespace elDraw
