// The player in a browser page: no command line, the web host, the card to tap first. Stands in
// for the desktop player's PlayerCommand in the browser build, so a show's main is the same.
#include <memory>

#include "app/player_command.h"
#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/resources.h"
#include "platform/web/web_host.h"
#include "platform/web/web_page.h"
#include "platform/window.h"

namespace app {

int PlayerCommand(int, char**, const show::ShowProgram& program) {
    // Browsers start sound only from a tap or a key: the show waits for one, so that its
    // music starts with its first picture.
    // The card shows the title the window will have: a page made for someone else has theirs.
    web_page_wait_for_open(platform::ProgramTitle(program.title).c_str());
    platform::WebHostOptions options;
    options.steadyClock = web_page_self_test() == 1;
    platform::InstallHost(std::make_unique<platform::WebHost>(options));
    elSystem::StaticStartup();
    UseShow(program);
    const int result = WinMain(platform::SW_SHOWNORMAL, "");
    ResetProgramState();
    platform::InstallHost(nullptr);
    web_page_ended();
    return result;
}

}  // namespace app
