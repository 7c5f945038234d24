// The renderer's whole command for a show: options, help, the run. A show's render program
// is this one call in its main.
#pragma once

#include "show/show_program.h"

namespace render {

int RenderCommand(int argc, char** argv, const show::ShowProgram& program);

}  // namespace render
