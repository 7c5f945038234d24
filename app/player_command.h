// The player's whole command for a show: options, help, the desktop host, the run. A show's
// player is this one call in its main.
#pragma once

#include "show/show_program.h"

namespace app {

// Reads the player's options from the command line, then plays the show on the desktop;
// returns the program's exit status.
int PlayerCommand(int argc, char** argv, const show::ShowProgram& program);

}  // namespace app
