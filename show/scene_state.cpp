#include "show/scene_state.h"

namespace show {
namespace {

// The sequencer's state; each show keeps its scenes' own beside their frame functions.
struct ShowState {
    std::int32_t SceneNumber = 0;
    std::int32_t PreviousScene = 0;
    std::int32_t SceneJustEntered = 0;
    std::int32_t NextScene = 0;
    std::int32_t TransitionStyle = 0;
    std::int32_t TransitionLength = 0;
    std::int32_t TransitionDirection = 0;
};

ShowState state;

}  // namespace

std::int32_t& SceneNumber = state.SceneNumber;
std::int32_t& PreviousScene = state.PreviousScene;
std::int32_t& SceneJustEntered = state.SceneJustEntered;
std::int32_t& NextScene = state.NextScene;
std::int32_t& TransitionStyle = state.TransitionStyle;
std::int32_t& TransitionLength = state.TransitionLength;
std::int32_t& TransitionDirection = state.TransitionDirection;

void ResetShowState() {
    state = ShowState{};
    TransitionCounter = 0;
}

}  // namespace show
