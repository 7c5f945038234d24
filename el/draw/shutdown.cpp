#include "el/draw/shutdown.h"

#include "el/draw/cursor.h"
#include "el/draw/display_state.h"
#include "el/draw/object_table.h"
#include "el/draw/screen_dc.h"
#include "el/sound/sound_device.h"
#include "el/system/build_settings.h"
#include "el/system/font_block.h"
#include "el/system/gdi_draw.h"
#include "el/system/input_state.h"
#include "el/system/text.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace elDraw {

void ReleaseScreen() {
    const bool fullScreen = elSystem::FullScreen == 1;
    if (DirectDraw) {
        for (ObjectRecord& record : Objects) {
            if (record.surface) record = ObjectRecord{};
        }
        ClipperExists = false;
        ReleaseScreenDC();
        PrimarySurface.reset();
        BackSurface.reset();
        if (fullScreen) {
            DirectDraw->RestoreDisplayMode();
            DirectDraw->SetCooperativeLevel(platform::DDSCL_NORMAL);
        }
        DirectDraw.reset();
    }
    if (fullScreen) platform::CloseWindow();
}

int Shutdown() {
    // A text run or BeginGdi left open holds the back surface's device context, which goes now.
    elSystem::EndText();
    elSystem::EndGdi();
    ReleaseCursor();
    ReleaseScreen();
    elSound::Release();
    elSystem::FreeFontBlock();
    if (elSystem::CloseState == 0) platform::PostMessage(platform::WM_CLOSE, 0, 0);
    elSystem::CloseState = 2;
    return 1;
}

}  // namespace elDraw
