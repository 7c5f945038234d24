#include "platform/host.h"

#include <array>
#include <cstdlib>

namespace platform {

std::unique_ptr<Host> CreateSdlHost();
std::unique_ptr<Host> CreateHeadlessHost();

namespace {

std::unique_ptr<Host> installed;

constexpr std::array<HostEntry, 2> kHosts{{
    {"sdl", &CreateSdlHost},
    {"headless", &CreateHeadlessHost},
}};

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

const HostEntry* FindHost(std::string_view name) {
    for (const HostEntry& entry : kHosts) {
        if (name == entry.name) return &entry;
    }
    return nullptr;
}

AudioLock::AudioLock() {
    if (HasHost()) CurrentHost().LockAudio();
}
AudioLock::~AudioLock() {
    if (HasHost()) CurrentHost().UnlockAudio();
}

}  // namespace platform
