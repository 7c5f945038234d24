// The frame functions of the scenes, called once per pass by the main loop.
#pragma once

#include <cstdint>

namespace show {

void Scene1Frame();
void Scene3Frame();
void Scene4Frame();
void Scene5Frame();
void Scene6Frame();
void Scene7Frame();
void Scene8Frame();
void Scene9Frame();
void Scene10Frame();
void Scene11Frame();
void Scene12Frame();
void Scene13Frame();

// The scenes' own counters back to program start.
void ResetOpeningScenes();
void ResetGalleryScenes();
void ResetRaceScene();
void ResetFinaleScenes();

// Runs the frame function of a scene; 2 and numbers outside 1..13 run nothing.
void RunSceneFrame(std::int32_t scene);

}  // namespace show
