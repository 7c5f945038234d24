// The birthday greeting as a show for the shell.
#pragma once

#include "show/show_program.h"

namespace show {

const ShowProgram& GreetingProgram();

}  // namespace show
