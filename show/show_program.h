// What a show gives the shell: its names, how it loads, its scenes and its reset. The shell's
// loop, the scene sequencer and the transitions are shared; a show supplies only this.
#pragma once

#include <cstdint>

namespace show {

struct ShowProgram {
    const char* name = "";   // the program's name, for its messages ("greeting")
    const char* title = "";  // the window's title, UTF-8
    // What the show is, for the programs' help: whole lines, each ending in a newline.
    const char* about = "";
    // Opens the screen, loads the show's pictures and sounds and makes the first scene current.
    void (*load)() = nullptr;
    // Runs one pass of a scene; a number the show does not know runs nothing.
    void (*runSceneFrame)(std::int32_t scene) = nullptr;
    // The show's own scenes back to their state at program start.
    void (*reset)() = nullptr;
    // The sound object the renderer's timeline follows, or null for none.
    std::int32_t (*timelineSound)() = nullptr;
    // Passes a whole run takes on the virtual clock when nobody presses a key (for progress).
    std::uint32_t expectedPasses = 0;
};

}  // namespace show
