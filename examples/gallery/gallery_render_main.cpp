// gallery-render: the gallery run on a virtual clock, without a display.
#include "examples/gallery/gallery_program.h"
#include "tools/render/render_command.h"

int main(int argc, char** argv) {
    return render::RenderCommand(argc, argv, gallery::GalleryProgram());
}
