// Scenes 5 to 10: the gallery over the girl by the sea.
#include <array>

#include "el/draw/blits.h"
#include "el/draw/fills.h"
#include "el/system/frame_timing.h"
#include "show/presentation.h"
#include "show/scene_state.h"
#include "show/scenes.h"
#include "show/transitions.h"

namespace show {
namespace {

using namespace elDraw;

struct GalleryScene {
    std::int32_t PresentationObjects::*picture;
    std::int32_t x, y, width, height;
    std::int32_t next, style, length;
};

// Scene 6 onward; each picture drawn without its key, centred.
constexpr std::array<GalleryScene, 5> kGallery{{
    {&PresentationObjects::Okujyo, 241, 125, 158, 229, 7, 2, 10},
    {&PresentationObjects::E1, 200, 120, 240, 240, 8, 2, 10},
    {&PresentationObjects::Body, 152, 72, 336, 336, 9, 2, 10},
    {&PresentationObjects::Pajama, 110, 54, 420, 372, 10, 2, 10},
    {&PresentationObjects::Sonet, 134, 32, 372, 416, 11, 3, 20},
}};

std::int32_t galleryCounter = 0;

void DrawBackdrop() {
    ClearScreen();
    BlitKeyed(0, 0, Loaded.Seagirl, 0, 0, 640, 480);
}

void GalleryFrame(const GalleryScene& scene) {
    if (SceneJustEntered == 1) galleryCounter = 0;
    DrawBackdrop();
    BlitOpaque(scene.x, scene.y, Loaded.*scene.picture, 0, 0, scene.width, scene.height);
    galleryCounter += elSystem::TickIncrement();
    if (galleryCounter >= 500) {
        TransitionStyle = scene.style;
        TransitionLength = scene.length;
        ChangeScene(scene.next);
    }
    EndFrame();
}

}  // namespace

void ResetGalleryScenes() {
    galleryCounter = 0;
}

void Scene5Frame() {
    if (SceneJustEntered == 1) {
        StartReveal10();  // the reveal from scene 4 goes on from step 10
        galleryCounter = 0;
    }
    DrawBackdrop();
    galleryCounter += elSystem::TickIncrement();
    if (galleryCounter >= 500) {
        TransitionStyle = 2;
        TransitionLength = 10;
        ChangeScene(6);
    }
    EndFrame();
}

void Scene6Frame() {
    GalleryFrame(kGallery[0]);
}
void Scene7Frame() {
    GalleryFrame(kGallery[1]);
}
void Scene8Frame() {
    GalleryFrame(kGallery[2]);
}
void Scene9Frame() {
    GalleryFrame(kGallery[3]);
}
void Scene10Frame() {
    GalleryFrame(kGallery[4]);
}

}  // namespace show
