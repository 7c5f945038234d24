// Running a helper program (the video encoder): found on PATH, fed through a pipe on its
// standard input, waited for. The child gets its own process group, so a Ctrl-C at the
// terminal reaches only the renderer, which then stops the child itself.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace render {

// The full path of an executable `name` on PATH, or "" when there is none.
std::string FindProgram(const std::string& name);

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();  // stops a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (a full path) with argv; its standard input is a pipe when `feed`, else
    // /dev/null; standard output goes to /dev/null and standard error is shared.
    bool Start(const std::vector<std::string>& argv, bool feed, std::string* error);
    // Writes all of `data` to the child's input; false when the child stopped reading or a
    // signal asked the run to stop.
    bool Write(const void* data, std::size_t size);
    // Closes the input (the child sees its end) and waits; true when it exited with status 0.
    // A signal that asks the run to stop while waiting stops the child.
    bool Finish();
    // Stops the child at once and reaps it.
    void Kill();
    bool running() const { return pid_ > 0; }

  private:
    void CloseInput();

    pid_t pid_ = -1;
    int input_ = -1;
};

}  // namespace render
