// Which scene runs, and how one scene hands over to the next.
#pragma once

#include <cstdint>

namespace show {

extern std::int32_t SceneNumber;
extern std::int32_t PreviousScene;
extern std::int32_t SceneJustEntered;
extern std::int32_t NextScene;
extern std::int32_t TransitionStyle;
extern std::int32_t TransitionLength;
extern std::int32_t TransitionCounter;
extern std::int32_t TransitionDirection;  // -1 reveal, +1 cover, 0 none

void ResetSceneState();

}  // namespace show
