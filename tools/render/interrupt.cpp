#include "tools/render/interrupt.h"

#include <csignal>

namespace render {
namespace {

volatile std::sig_atomic_t caught = 0;

struct sigaction previousInt;
struct sigaction previousTerm;
struct sigaction previousPipe;

extern "C" void NoteSignal(int signal) {
    if (caught == 0) caught = signal;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    caught = 0;
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a write to the encoder or a wait for it returns early, so a stalled
    // encoder cannot hold the run past a Ctrl-C.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previousPipe);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGPIPE, &previousPipe, nullptr);
}

int InterruptSignal() {
    return caught;
}

}  // namespace render
