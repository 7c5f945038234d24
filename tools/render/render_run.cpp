#include "tools/render/render_run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/headless/headless_host.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "show/scene_state.h"
#include "tools/render/timeline.h"

namespace render {
namespace {

TimelineRow CaptureRow(std::uint32_t pass, std::uint32_t startMs) {
    TimelineRow row;
    row.pass = pass;
    row.timeMs = elSystem::LastPassTime - startMs;
    row.scene = show::SceneNumber;
    row.transitionStyle = show::TransitionStyle;
    row.transitionCounter = show::TransitionCounter;
    row.transitionDirection = show::TransitionDirection;
    return row;
}

}  // namespace

int RunRender(const RenderOptions& options) {
    constexpr std::uint32_t kStartMs = 0;
    app::ResetProgramState();
    auto owned = std::make_unique<platform::HeadlessHost>(options.seed, kStartMs);
    platform::HeadlessHost& host = *owned;
    host.onMessageBox = [](const platform::HeadlessHost::RecordedBox& box) {
        std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    };
    platform::InstallHost(std::move(owned));

    TimelineWriter timeline;
    if (!options.timelinePath.empty() && !timeline.Open(options.timelinePath)) {
        std::fprintf(stderr, "greeting-render: cannot write %s: %s\n", options.timelinePath.c_str(),
                     std::strerror(errno));
        platform::InstallHost(nullptr);
        return kExitOutputFailed;
    }

    std::multimap<std::uint32_t, std::uint32_t> keysByPass;
    for (const ScriptedKey& key : options.keys) keysByPass.emplace(key.pass, key.virtualKey);
    std::uint32_t keysDeliveredFor = 0;
    bool stoppedAtLimit = false;

    app::PassHooks hooks;
    hooks.beforePass = [&](std::uint32_t pass) {
        if (options.maxPasses && pass > *options.maxPasses) {
            stoppedAtLimit = true;
            return false;
        }
        if (keysDeliveredFor != pass) {
            keysDeliveredFor = pass;
            const auto [first, last] = keysByPass.equal_range(pass);
            for (auto it = first; it != last; ++it) {
                platform::PostMessage(platform::WM_KEYDOWN, it->second, 0);
                platform::PostMessage(platform::WM_KEYUP, it->second, 0);
            }
        }
        return true;
    };
    hooks.afterPass = [&](std::uint32_t pass) { timeline.Write(CaptureRow(pass, kStartMs)); };
    app::SetPassHooks(hooks);

    elSystem::StaticStartup();
    app::WinMain(platform::SW_SHOWNORMAL, "");
    const bool stalled = host.stalled();
    app::SetPassHooks({});
    platform::InstallHost(nullptr);

    if (!timeline.Close()) {
        std::fprintf(stderr, "greeting-render: writing %s failed\n", options.timelinePath.c_str());
        return kExitOutputFailed;
    }
    if (stalled) {
        std::fprintf(stderr, "greeting-render: the program waited for input that never came\n");
        return kExitOutputFailed;
    }
    return stoppedAtLimit ? kExitMaxPasses : kExitEnded;
}

}  // namespace render
