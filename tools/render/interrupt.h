// Ctrl-C and termination during a run: the handlers only note the signal; the run stops at
// the next pass and removes what it had not finished.
#pragma once

namespace render {

// Installs handlers for SIGINT and SIGTERM (and ignores SIGPIPE, so a dead encoder shows up
// as a failed write) for its lifetime; the previous dispositions come back afterwards.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// The signal that asked the run to stop, or 0.
int InterruptSignal();

}  // namespace render
