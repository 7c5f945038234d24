// greeting-render: the greeting run on a virtual clock, without a display.
#include "show/greeting_program.h"
#include "tools/render/render_command.h"

int main(int argc, char** argv) {
    return render::RenderCommand(argc, argv, show::GreetingProgram());
}
