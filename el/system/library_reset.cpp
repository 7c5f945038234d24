#include "el/system/library_reset.h"

#include "el/draw/draw_state.h"
#include "el/effects/effects_state.h"
#include "el/sound/sound_device.h"
#include "el/system/system_state.h"

namespace elSystem {

void ResetLibrary() {
    // Sound first: its buffers play through the host until the device is gone.
    elSound::ResetSoundState();
    elDraw::ResetDrawState();
    elDraw::ResetEffectsState();
    ResetSystemState();
}

}  // namespace elSystem
