#include "platform/host.h"

#include <cstdlib>

namespace platform {

namespace {

// Never destroyed at exit: a host still installed when something calls exit() (Xlib does,
// when the display goes away) would otherwise shut its devices down from a static destructor,
// and a desktop host's shutdown can wait forever on a dead display. main uninstalls it.
std::unique_ptr<Host>& Installed() {
    static auto* holder = new std::unique_ptr<Host>;
    return *holder;
}

}  // namespace

bool HasHost() {
    return Installed() != nullptr;
}

Host& CurrentHost() {
    if (!Installed()) std::abort();  // a programming error: main installs a host first
    return *Installed();
}

std::unique_ptr<Host> InstallHost(std::unique_ptr<Host> host) {
    std::swap(Installed(), host);
    return host;
}

AudioLock::AudioLock() {
    if (HasHost()) CurrentHost().LockAudio();
}
AudioLock::~AudioLock() {
    if (HasHost()) CurrentHost().UnlockAudio();
}

}  // namespace platform
