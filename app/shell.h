// Program entry, the main loop with its passes, and the window procedure.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/messages.h"
#include "show/show_program.h"

namespace app {

// The show the shell runs; a program's main names it before WinMain. It stays through
// ResetProgramState. Until one is named, the shell runs an empty show.
void UseShow(const show::ShowProgram& program);
const show::ShowProgram& CurrentShow();

extern std::int32_t AppActive;
// Passes run so far; pass numbers count from 1.
extern std::uint32_t PassCount;

// Observers of the loop, for the offline renderer and tests. beforePass is called when pass
// `pass` is about to run: messages it posts are handled before the pass, and returning false
// ends the loop without the pass. afterPass is called when the pass has run.
struct PassHooks {
    std::function<bool(std::uint32_t pass)> beforePass;
    std::function<void(std::uint32_t pass)> afterPass;
};
void SetPassHooks(PassHooks hooks);

int WinMain(int showCommand, const char* commandLine);
// One pass of the main loop: measure, run the scene, keep the bookkeeping.
void RunPass();

platform::LResult MainWindowProc(std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam);
void HandleKeyDown(std::int32_t key);

// Every module of the program back to its start state; each test begins here.
void ResetProgramState();

}  // namespace app
