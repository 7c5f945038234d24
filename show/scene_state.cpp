#include "show/scene_state.h"

namespace show {

std::int32_t SceneNumber;
std::int32_t PreviousScene;
std::int32_t SceneJustEntered;
std::int32_t NextScene;
std::int32_t TransitionStyle;
std::int32_t TransitionLength;
std::int32_t TransitionCounter;
std::int32_t TransitionDirection;

void ResetSceneState() {
    SceneNumber = PreviousScene = SceneJustEntered = NextScene = 0;
    TransitionStyle = TransitionLength = TransitionCounter = TransitionDirection = 0;
}

}  // namespace show
