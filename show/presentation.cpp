#include "show/presentation.h"

#include "el/draw/object_table.h"
#include "el/draw/screen.h"
#include "el/sound/sound_objects.h"
#include "show/scene_state.h"

namespace show {
namespace {

PresentationObjects loaded;

}  // namespace

PresentationObjects& Loaded = loaded;

namespace {

// A picture that could not be loaded is kept as a number no object has, so that every draw
// of it draws nothing; the loader's own failure result, 0, is the Buffer scratch object.
constexpr std::int32_t kNoPicture = -1;

std::int32_t Picture(const char* name) {
    const std::int32_t object = elDraw::LoadObject(name, 2);
    return object == 0 ? kNoPicture : object;
}

}  // namespace

void LoadPresentation() {
    elDraw::Screen(640, 480, 1);
    Loaded = {};
    Loaded.Dg = elSound::LoadObject("DG", 1);
    Loaded.Fighter = Picture("FIGHTER");
    Loaded.Machine = Picture("MACHINE");
    Loaded.Princess = Picture("PRINCESS");
    Loaded.Tanuki = Picture("TANUKI");
    Loaded.Monster = Picture("MONSTER");
    Loaded.Seagirl = Picture("SEAGIRL");
    Loaded.Body = Picture("BODY");
    Loaded.Okujyo = Picture("OKUJYO");
    Loaded.E1 = Picture("E1");
    Loaded.Pajama = Picture("PAJAMA");
    Loaded.Sonet = Picture("SONET");
    Loaded.Race = Picture("RACE");
    Loaded.Face1 = Picture("FACE1");
    Loaded.Face2 = Picture("FACE2");
    elDraw::SetKeyColor(elDraw::Rgb(0, 255, 0));  // the runners stand on pure green
    Loaded.Runner = Picture("RUNNER");
    elDraw::SetKeyColor(0);
    Loaded.Galabg = Picture("GALABG");
    Loaded.Spot = Picture("SPOT");
    Loaded.Fin = Picture("FIN");
    SceneNumber = 1;
    PreviousScene = 0;
}

}  // namespace show
