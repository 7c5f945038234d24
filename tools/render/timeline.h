// The timeline is shared with the player; the renderer knows it by these names.
#pragma once

#include "app/timeline.h"

namespace render {

using app::TimelineRow;
using app::TimelineWriter;

}  // namespace render
