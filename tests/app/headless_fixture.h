// Runs the real program on the headless host, with every module reset first.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/shell.h"
#include "el/system/frame_timing.h"
#include "platform/display/display_device.h"
#include "platform/display/display_faults.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "platform/window.h"
#include "show/greeting_program.h"

class HeadlessProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        app::UseShow(show::GreetingProgram());
        app::ResetProgramState();
        platform::display_faults::Clear();
        platform::SetDisplayLayout(platform::PixelLayout::Rgb565);
        auto owned = std::make_unique<platform::HeadlessHost>(
            platform::HeadlessHost::kDefaultEpochSeconds, startMs);
        host = owned.get();
        platform::InstallHost(std::move(owned));
        elSystem::StaticStartup();
    }
    void TearDown() override {
        app::ResetProgramState();
        platform::display_faults::Clear();
        platform::SetDisplayLayout(platform::PixelLayout::Rgb565);
        platform::InstallHost(nullptr);
    }

    // Runs WinMain; each hook may be empty. Stops before pass `maxPasses` + 1.
    int Run(std::uint32_t maxPasses, std::function<void(std::uint32_t)> before = {},
            std::function<void(std::uint32_t)> after = {}) {
        app::PassHooks hooks;
        hooks.beforePass = [=](std::uint32_t pass) {
            if (pass > maxPasses) return false;
            if (before) before(pass);
            return true;
        };
        hooks.afterPass = after;
        app::SetPassHooks(hooks);
        return app::WinMain(platform::SW_SHOWNORMAL, "");
    }

    std::uint32_t startMs = 1000;
    platform::HeadlessHost* host = nullptr;
};
