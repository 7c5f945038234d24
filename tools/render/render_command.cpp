#include "tools/render/render_command.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shell.h"
#include "el/system/program_directory.h"
#include "platform/executable_path.h"
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
    if (const std::string& dir = parsed.options.overridesDir; !dir.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(dir, error)) {
            std::fprintf(stderr, "%s: --overrides: '%s' is not a folder\n", ProgramName().c_str(),
                         dir.c_str());
            return kExitBadArguments;
        }
        // Every loader looks next to the running program, so the renderer runs as if from there.
        const std::string folder = std::filesystem::absolute(dir, error).string() + "/";
        // The loaders' buffers hold the folder and the longest name (8 bytes) with its end.
        if (folder.size() + 8 >= static_cast<std::size_t>(elSystem::kPathBufferSize)) {
            std::fprintf(stderr, "%s: --overrides: the folder's path is longer than %d bytes\n",
                         ProgramName().c_str(), elSystem::kPathBufferSize - 9);
            return kExitBadArguments;
        }
        platform::OverrideExecutablePath(folder + ProgramName());
    }
    return RunRender(parsed.options);
}

}  // namespace render
