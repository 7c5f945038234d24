#include "tools/render/render_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/shell.h"
#include "tools/render/render_options.h"
#include "tools/render/render_run.h"

namespace render {

int RenderCommand(int argc, char** argv, const show::ShowProgram& program) {
    app::UseShow(program);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseRenderOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s (see --help)\n", ProgramName().c_str(), parsed.error.c_str());
        return kExitBadArguments;
    }
    if (parsed.options.help) {
        std::fputs(RenderUsage().c_str(), stdout);
        return 0;
    }
    return RunRender(parsed.options);
}

}  // namespace render
