#include <array>

#include "show/scenes.h"

namespace show {
namespace {

using FrameFunction = void (*)();

constexpr std::array<FrameFunction, 14> kFrames{
    nullptr,       &Scene1Frame,  nullptr,       &Scene3Frame,  &Scene4Frame,
    &Scene5Frame,  &Scene6Frame,  &Scene7Frame,  &Scene8Frame,  &Scene9Frame,
    &Scene10Frame, &Scene11Frame, &Scene12Frame, &Scene13Frame,
};

}  // namespace

void RunSceneFrame(std::int32_t scene) {
    if (scene < 0 || scene >= static_cast<std::int32_t>(kFrames.size())) return;
    const FrameFunction frame = kFrames[static_cast<std::size_t>(scene)];
    if (frame != nullptr) frame();
}

}  // namespace show
