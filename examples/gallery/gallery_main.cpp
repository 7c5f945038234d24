// gallery: the library's gallery on the desktop.
#include "app/player_command.h"
#include "examples/gallery/gallery_program.h"

int main(int argc, char** argv) {
    return app::PlayerCommand(argc, argv, gallery::GalleryProgram());
}
