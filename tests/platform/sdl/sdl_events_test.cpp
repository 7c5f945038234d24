// The desktop host under SDL's dummy video driver: SDL events become the window messages the
// shell knows, and the host's own keys stay with the host.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/messages.h"
#include "platform/sdl/sdl_host_factory.h"

namespace {

using namespace platform;

class SdlEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);  // asked for, so the host accepts it
        std::string whyNot;
        SdlHostOptions options;
        options.mute = true;
        host_ = CreateSdlHost(options, &whyNot);
        if (!host_) GTEST_SKIP() << "no SDL video: " << whyNot;
        ASSERT_TRUE(host_->CreateMainWindow(WindowDesc{"test", {}, 640, 480, false}));
        ResetMessageQueue();
    }
    void TearDown() override {
        host_.reset();
        ResetMessageQueue();
        unsetenv("SDL_VIDEODRIVER");
    }

    static void Key(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = type;
        event.key.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    std::vector<Msg> Drain() {
        host_->PumpEvents();
        std::vector<Msg> messages;
        Msg msg;
        while (HasPendingMessage() && PeekMessage(msg)) messages.push_back(msg);
        return messages;
    }

    std::unique_ptr<Host> host_;
};

TEST_F(SdlEvents, KeysBecomeKeyMessagesWithVirtualKeyCodes) {
    Key(SDL_KEYDOWN, SDLK_ESCAPE);
    Key(SDL_KEYUP, SDLK_ESCAPE);
    Key(SDL_KEYDOWN, SDLK_a);
    Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT);  // Alt combinations are system keys
    const auto messages = Drain();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wParam, 27u);
    EXPECT_EQ(messages[1].message, WM_KEYUP);
    EXPECT_EQ(messages[2].wParam, static_cast<WParam>('A'));
    EXPECT_EQ(messages[3].message, WM_SYSKEYDOWN);
}

TEST_F(SdlEvents, HostKeysNeverReachTheProgram) {
    Key(SDL_KEYDOWN, SDLK_F11);
    Key(SDL_KEYUP, SDLK_F11);
    Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    Key(SDL_KEYDOWN, SDLK_PRINTSCREEN);
    for (const Msg& msg : Drain()) {
        EXPECT_NE(msg.message, WM_KEYDOWN);
        EXPECT_NE(msg.message, WM_SYSKEYDOWN);
        EXPECT_NE(msg.message, WM_KEYUP);
    }
}

TEST_F(SdlEvents, MouseAndClosing) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_RIGHT;
    event.button.clicks = 2;
    event.button.x = 10;
    event.button.y = 20;
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    const auto messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_RBUTTONDBLCLK);  // the second click of a double-click
    EXPECT_EQ(LowWord(messages[0].lParam), 10);
    EXPECT_EQ(HighWord(messages[0].lParam), 20);
    EXPECT_EQ(messages[1].message, WM_CLOSE);  // the close button and SIGTERM end the same way
}

}  // namespace
