// Which scene runs, and how one scene hands over to the next.
#pragma once

#include <cstdint>

#include "el/system/transition_counter.h"

namespace show {

extern std::int32_t& SceneNumber;
extern std::int32_t& PreviousScene;
extern std::int32_t& SceneJustEntered;
extern std::int32_t& NextScene;
extern std::int32_t& TransitionStyle;
extern std::int32_t& TransitionLength;
using elSystem::TransitionCounter;
extern std::int32_t& TransitionDirection;  // -1 reveal, +1 cover, 0 none

// The sequencer back to program start (a show's own scenes have their own reset).
void ResetShowState();

}  // namespace show
