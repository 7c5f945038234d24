// dg-music: generates the greeting's built-in sound "DG", a seamless birthday-song loop.
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/music/score.h"
#include "tools/music/synth.h"
#include "tools/music/wave_file.h"

namespace {

constexpr const char* kUsage =
    "Usage: dg-music OUTPUT.wav\n"
    "\n"
    "Writes the greeting's looping birthday music as a 44100 Hz mono 16-bit WAVE file.\n"
    "The output is the same, byte for byte, on every machine. An existing OUTPUT is replaced\n"
    "only once the new file is completely written.\n"
    "\n"
    "  -h, --help   show this help and exit\n"
    "  --           end of options (for an OUTPUT that starts with '-')\n";

constexpr int kExitBadArguments = 2;

}  // namespace

int main(int argc, char** argv) {
    std::string output;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "dg-music: unknown option '%s' (see --help)\n", argv[i]);
            return kExitBadArguments;
        } else if (output.empty() && !arg.empty()) {
            output = arg;
        } else {
            std::fprintf(stderr, "dg-music: expected exactly one output file (see --help)\n");
            return kExitBadArguments;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "dg-music: no output file given (see --help)\n");
        return kExitBadArguments;
    }

    const auto bytes = music::EncodeWave(music::RenderLoop(), music::kSampleRate);
    const std::string error = music::WriteFileReplacing(output, bytes);
    if (!error.empty()) {
        std::fprintf(stderr, "dg-music: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
