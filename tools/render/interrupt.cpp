#include "tools/render/interrupt.h"

#include <csignal>

namespace render {
namespace {

volatile std::sig_atomic_t caught = 0;

struct sigaction previousInt;
struct sigaction previousTerm;
struct sigaction previousPipe;
struct sigaction previousFileSize;

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
    // Past a file-size limit a write then fails with EFBIG and the run ends with its error,
    // instead of the whole process being killed with its temporary files left behind.
    sigaction(SIGXFSZ, &ignore, &previousFileSize);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGPIPE, &previousPipe, nullptr);
    sigaction(SIGXFSZ, &previousFileSize, nullptr);
}

int InterruptSignal() {
    return caught;
}

}  // namespace render
