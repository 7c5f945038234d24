#include "app/shell.h"
#include "el/system/build_settings.h"
#include "el/system/frame_timing.h"
#include "el/system/settings_files.h"
#include "platform/crt.h"
#include "platform/resources.h"
#include "platform/window.h"

namespace app {
namespace {

PassHooks hooks;
const show::ShowProgram kNoShow{};
const show::ShowProgram* currentShow = &kNoShow;

// Returns false when the loop should end without running the pass.
bool ReadyForPass(std::uint32_t pass) {
    if (!hooks.beforePass) return true;
    return hooks.beforePass(pass);
}

}  // namespace

std::int32_t AppActive;
std::uint32_t PassCount;

void SetPassHooks(PassHooks newHooks) {
    hooks = std::move(newHooks);
}

void UseShow(const show::ShowProgram& program) {
    currentShow = &program;
}

const show::ShowProgram& CurrentShow() {
    return *currentShow;
}

int WinMain(int showCommand, const char* commandLine) {
    platform::SetWindowProc(&MainWindowProc);
    // The show's settings live under its own name, whichever program (player or renderer) runs it.
    elSystem::SetProgramName(CurrentShow().name);
    platform::WindowDesc window{
        platform::ProgramTitle(CurrentShow().title), {}, 640, 480, elSystem::FullScreen == 1};
    if (const auto icon = platform::FindResource("MAIN", platform::RT_ICON)) window.icon = *icon;
    if (!platform::CreateMainWindow(window)) return 0;

    platform::ShowWindow((elSystem::WindowOptions & 4) != 0 ? platform::SW_SHOWMINIMIZED
                                                            : showCommand);
    elSystem::SetCommandLineText(commandLine);
    crt::srand(static_cast<std::uint32_t>(crt::time(nullptr)));
    if (CurrentShow().load != nullptr) CurrentShow().load();
    elSystem::ResetFrameTimer();

    for (;;) {
        platform::Msg msg;
        if (platform::PeekMessage(msg)) {
            if (msg.message == platform::WM_QUIT) break;
            platform::DispatchMessage(msg);
            continue;
        }
        if (AppActive == 0 && (elSystem::WindowOptions & 2) == 0) {
            platform::WaitMessage();
            continue;
        }
        const std::uint32_t pass = PassCount + 1;
        if (!ReadyForPass(pass)) break;
        if (platform::HasPendingMessage()) continue;  // scripted input comes before the pass
        RunPass();
        PassCount = pass;
        if (hooks.afterPass) hooks.afterPass(pass);
    }
    return 0;
}

}  // namespace app
