#include "tools/render/render_run.h"

#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>

#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/headless/headless_host.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "show/scene_state.h"
#include "tools/render/interrupt.h"
#include "tools/render/outputs.h"
#include "tools/render/progress.h"
#include "tools/render/render_options.h"
#include "tools/render/timeline.h"
#include "tools/render/video_encoder.h"

namespace render {
namespace {

constexpr std::uint32_t kStartMs = 0;
constexpr std::uint32_t kJoystickRest = 32768;

void ApplyJoystick(platform::HeadlessHost& host, const ScriptedJoystick& change) {
    if (change.unplug) {
        host.UnplugJoystick(change.slot);
        return;
    }
    platform::JoystickReading now;
    if (!host.ReadJoystick(change.slot, now)) {
        now.x = now.y = kJoystickRest;
        now.buttons = 0;
    }
    host.SetJoystick(change.slot, change.x.value_or(now.x), change.y.value_or(now.y),
                     (now.buttons | change.buttonsDown) & ~change.buttonsUp);
}

const char* AnswerName(int answer) {
    switch (answer) {
        case platform::IDYES:
            return "yes";
        case platform::IDNO:
            return "no";
        case platform::IDCANCEL:
            return "cancel";
        default:
            return "ok";
    }
}

std::uint32_t ExpectedPasses(const RenderOptions& options) {
    const std::uint32_t whole = app::CurrentShow().expectedPasses;
    return options.maxPasses && (whole == 0 || *options.maxPasses < whole) ? *options.maxPasses
                                                                           : whole;
}

}  // namespace

int RunRender(const RenderOptions& options) {
    // Checked before anything runs: a missing encoder is no reason to wait for a whole run.
    if (!options.videoPath.empty() && VideoEncoder::FindEncoder().empty()) {
        std::fprintf(stderr,
                     "%s: --video needs the ffmpeg program, which is not installed "
                     "(Debian package: %s; apt-get install %s)\n",
                     ProgramName().c_str(), kEncoderPackage, kEncoderPackage);
        return kExitOutputFailed;
    }
    const InterruptGuard interruptGuard;

    app::ResetProgramState();
    auto owned = std::make_unique<platform::HeadlessHost>(options.seed, kStartMs);
    platform::HeadlessHost& host = *owned;
    host.onMessageBox = [](const platform::HeadlessHost::RecordedBox& box) {
        if ((box.style & 0x0F) == platform::MB_OK) {
            std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
        } else {
            std::fprintf(stderr, "%s: %s [answered %s]\n", box.caption.c_str(), box.text.c_str(),
                         AnswerName(box.answer));
        }
    };
    host.messageBoxAnswers.assign(options.answers.begin(), options.answers.end());

    Outputs outputs(options);
    if (!outputs.Open()) {
        outputs.Abandon();
        return kExitOutputFailed;
    }

    // Key messages by pass: true for a key going down.
    std::multimap<std::uint32_t, std::pair<std::uint32_t, bool>> keysByPass;
    for (const ScriptedKey& key : options.keys) {
        keysByPass.emplace(key.pass, std::pair{key.virtualKey, true});
        keysByPass.emplace(key.pass + key.holdPasses, std::pair{key.virtualKey, false});
    }
    std::multimap<std::uint32_t, ScriptedJoystick> joysticksByPass;
    for (const ScriptedJoystick& joystick : options.joysticks) {
        // Changes for pass 1 are there when the program starts and looks for joysticks.
        if (joystick.pass == 1) {
            ApplyJoystick(host, joystick);
        } else {
            joysticksByPass.emplace(joystick.pass, joystick);
        }
    }
    std::uint32_t currentPass = 0;
    std::int32_t sceneAtStart = 0;
    std::uint64_t clockAtStart = 0;
    std::uint32_t lastPass = 0;
    bool stoppedAtLimit = false;
    const auto started = ProgressBar::Clock::now();
    ProgressBar progress(stderr, isatty(STDERR_FILENO) != 0, ExpectedPasses(options), started);

    host.onFrame = [&](const platform::FrameView& frame) { outputs.Frame(frame); };
    host.onAudio = [&](const std::int16_t* samples, std::size_t frames) {
        outputs.Audio(samples, frames);
    };
    platform::InstallHost(std::move(owned));

    app::PassHooks hooks;
    hooks.beforePass = [&](std::uint32_t pass) {
        if (options.beforePassForTest && currentPass != pass) {
            options.beforePassForTest(host, pass);
        }
        if (InterruptSignal() != 0 || outputs.failed()) return false;
        if (options.maxPasses && pass > *options.maxPasses) {
            stoppedAtLimit = true;
            return false;
        }
        if (currentPass != pass) {
            currentPass = pass;
            const auto [first, last] = keysByPass.equal_range(pass);
            for (auto it = first; it != last; ++it) {
                const auto [virtualKey, down] = it->second;
                host.PostInput({down ? platform::WM_KEYDOWN : platform::WM_KEYUP, virtualKey, 0});
            }
            const auto [from, to] = joysticksByPass.equal_range(pass);
            for (auto it = from; it != to; ++it) ApplyJoystick(host, it->second);
        }
        // Called again when the keys' messages came first: the pass starts from here.
        sceneAtStart = show::SceneNumber;
        clockAtStart = host.elapsedMs();
        outputs.BeginPass(pass, sceneAtStart);
        return true;
    };
    hooks.afterPass = [&](std::uint32_t pass) {
        const TimelineRow row =
            app::ShowTimelineRow(pass, elSystem::LastPassTime - kStartMs, sceneAtStart);
        outputs.EndPass(row, host.elapsedMs() != clockAtStart);
        lastPass = pass;
        progress.Update(pass, ProgressBar::Clock::now());
    };
    app::SetPassHooks(hooks);

    elSystem::StaticStartup();
    app::WinMain(platform::SW_SHOWNORMAL, "");
    const bool stalled = host.stalled();
    app::ResetProgramState();
    platform::InstallHost(nullptr);
    progress.Finish(lastPass, ProgressBar::Clock::now());

    if (const int signal = InterruptSignal(); signal != 0) {
        outputs.Abandon();
        std::fprintf(stderr, "%s: interrupted at pass %u; unfinished files removed\n",
                     ProgramName().c_str(), lastPass);
        return 128 + signal;
    }
    if (!options.videoPath.empty() && isatty(STDERR_FILENO) != 0) {
        std::fprintf(stderr, "%s: finishing %s (adding the sound)\n", ProgramName().c_str(),
                     options.videoPath.c_str());
    }
    if (!outputs.Finish()) {
        // The encoder may still have been busy when the signal came.
        if (const int signal = InterruptSignal(); signal != 0) {
            std::fprintf(stderr, "%s: interrupted; unfinished files removed\n",
                         ProgramName().c_str());
            return 128 + signal;
        }
        return kExitOutputFailed;
    }
    if (stalled) {
        std::fprintf(stderr, "%s: the program waited for input that never came\n",
                     ProgramName().c_str());
        return kExitOutputFailed;
    }
    outputs.PrintSummary(stdout);
    return stoppedAtLimit ? kExitMaxPasses : kExitEnded;
}

}  // namespace render
