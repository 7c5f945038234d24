// The ground of the library's own tests: the library alone, reset, on a fresh headless host,
// with no display fault left over from another test and the 5-6-5 layout.
#pragma once

#include <memory>

#include "el/system/frame_timing.h"
#include "el/system/library_reset.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "platform/messages.h"

namespace eltest {

inline void ResetLibraryAndPlatform() {
    platform::ResetMessageQueue();
    elSystem::ResetLibrary();
    platform::display_faults::Clear();
    platform::SetDisplayLayout(platform::PixelLayout::Rgb565);
}

// Resets everything and installs a headless host; returns it (owned by the platform).
inline platform::HeadlessHost* StartLibrary() {
    ResetLibraryAndPlatform();
    auto owned = std::make_unique<platform::HeadlessHost>();
    platform::HeadlessHost* host = owned.get();
    platform::InstallHost(std::move(owned));
    elSystem::StaticStartup();
    return host;
}

inline void StopLibrary() {
    ResetLibraryAndPlatform();
    platform::InstallHost(nullptr);
}

}  // namespace eltest
