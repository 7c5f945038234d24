#include "app/shell.h"
#include "el/system/library_reset.h"
#include "platform/messages.h"
#include "show/scene_state.h"

namespace app {

void ResetProgramState() {
    platform::ResetMessageQueue();
    elSystem::ResetLibrary();
    show::ResetShowState();
    if (CurrentShow().reset != nullptr) CurrentShow().reset();
    AppActive = 0;
    PassCount = 0;
    SetPassHooks({});
}

}  // namespace app
