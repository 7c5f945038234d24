// greeting-render: the greeting run on a virtual clock, without a display.
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell.h"
#include "show/greeting_program.h"
#include "tools/render/render_options.h"
#include "tools/render/render_run.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const render::ParseResult parsed = render::ParseRenderOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "greeting-render: %s (see --help)\n", parsed.error.c_str());
        return render::kExitBadArguments;
    }
    if (parsed.options.help) {
        std::fputs(render::RenderUsage(), stdout);
        return 0;
    }
    app::UseShow(show::GreetingProgram());
    return render::RunRender(parsed.options);
}
