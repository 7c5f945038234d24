#include "platform/host.h"

#include <cstdlib>

namespace platform {

namespace {

std::unique_ptr<Host> installed;

}  // namespace

bool HasHost() {
    return installed != nullptr;
}

Host& CurrentHost() {
    if (!installed) std::abort();  // a programming error: main installs a host first
    return *installed;
}

std::unique_ptr<Host> InstallHost(std::unique_ptr<Host> host) {
    std::swap(installed, host);
    return host;
}

AudioLock::AudioLock() {
    if (HasHost()) CurrentHost().LockAudio();
}
AudioLock::~AudioLock() {
    if (HasHost()) CurrentHost().UnlockAudio();
}

}  // namespace platform
