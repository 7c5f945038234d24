// The gallery: a self-running show of every operation of the library, a page each.
#pragma once

#include "show/show_program.h"

namespace gallery {

const show::ShowProgram& GalleryProgram();

}  // namespace gallery
