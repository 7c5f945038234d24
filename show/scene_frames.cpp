// The scenes draw nothing yet: every frame function is an empty pass.
#include "show/scenes.h"

namespace show {

void Scene1Frame() {}
void Scene3Frame() {}
void Scene4Frame() {}
void Scene5Frame() {}
void Scene6Frame() {}
void Scene7Frame() {}
void Scene8Frame() {}
void Scene9Frame() {}
void Scene10Frame() {}
void Scene11Frame() {}
void Scene12Frame() {}
void Scene13Frame() {}

}  // namespace show
