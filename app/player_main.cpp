// greeting: the birthday greeting on the desktop.
#include "app/player_command.h"
#include "show/greeting_program.h"

int main(int argc, char** argv) {
    return app::PlayerCommand(argc, argv, show::GreetingProgram());
}
