// The desktop host's joysticks (SDL's virtual joysticks stand in for real ones), its key
// state, and message boxes that cannot be shown.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/messages.h"
#include "platform/sdl/joysticks.h"
#include "platform/sdl/sdl_host.h"
#include "platform/sdl/sdl_host_factory.h"
#include "platform/sdl/sdl_keys.h"

namespace {

using namespace platform;

TEST(SdlJoystickValues, AxesSpanTheLibrarysRangeAndTheHatPushesAllTheWay) {
    EXPECT_EQ(sdl::AxisPosition(-32768), 0u);
    EXPECT_EQ(sdl::AxisPosition(0), 32768u);
    EXPECT_EQ(sdl::AxisPosition(32767), 65535u);
    JoystickReading reading;
    reading.x = reading.y = 30000;
    sdl::ApplyHat(SDL_HAT_CENTERED, reading);
    EXPECT_EQ(reading.x, 30000u);
    sdl::ApplyHat(SDL_HAT_RIGHTUP, reading);
    EXPECT_EQ(reading.x, 65535u);
    EXPECT_EQ(reading.y, 0u);
    sdl::ApplyHat(SDL_HAT_LEFTDOWN, reading);
    EXPECT_EQ(reading.x, 0u);
    EXPECT_EQ(reading.y, 65535u);
}

class SdlInput : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        std::string whyNot;
        SdlHostOptions options;
        options.mute = true;
        host_ = CreateSdlHost(options, &whyNot);
        if (!host_) GTEST_SKIP() << "no SDL video: " << whyNot;
        ASSERT_TRUE(host_->CreateMainWindow(WindowDesc{"test", {}, 640, 480, false}));
        ResetMessageQueue();
    }
    void TearDown() override {
        for (const int device : attached_) SDL_JoystickDetachVirtual(device);
        host_.reset();
        ResetMessageQueue();
        unsetenv("SDL_VIDEODRIVER");
    }
    // A virtual pad plugged in now: its device index, and a handle to move its parts with.
    SDL_Joystick* Attach() {
        const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 1);
        if (device < 0) return nullptr;
        attached_.push_back(device);
        return SDL_JoystickOpen(device);
    }
    JoystickReading Read(int slot) {
        host_->PumpEvents();  // plugging in and out arrive as events
        JoystickReading reading;
        host_->ReadJoystick(slot, reading);
        return reading;
    }

    std::unique_ptr<Host> host_;
    std::vector<int> attached_;
};

TEST_F(SdlInput, AJoystickIsReadInTheLibrarysTermsAndFollowedInAndOut) {
    host_->RefreshJoysticks();
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) GTEST_SKIP() << "no joystick support";
    EXPECT_FALSE(Read(0).present);
    SDL_Joystick* pad = Attach();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    JoystickReading reading = Read(0);
    ASSERT_TRUE(reading.present);
    EXPECT_EQ(reading.x, 32768u);  // at rest
    const std::uint32_t first = reading.connection;

    SDL_JoystickSetVirtualAxis(pad, 0, 32767);
    SDL_JoystickSetVirtualAxis(pad, 1, -32768);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, 3, SDL_PRESSED);
    reading = Read(0);
    EXPECT_EQ(reading.x, 65535u);
    EXPECT_EQ(reading.y, 0u);
    EXPECT_EQ(reading.buttons, 0b1001u);
    SDL_JoystickSetVirtualAxis(pad, 0, 0);
    SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_DOWN);  // the pad's cross pushes all the way
    reading = Read(0);
    EXPECT_EQ(reading.x, 32768u);
    EXPECT_EQ(reading.y, 65535u);
    EXPECT_FALSE(Read(1).present);

    // Out, and in again: a new connection for the library to calibrate.
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(attached_.back());
    attached_.pop_back();
    EXPECT_FALSE(Read(0).present);
    pad = Attach();
    ASSERT_NE(pad, nullptr);
    reading = Read(0);
    EXPECT_TRUE(reading.present);
    EXPECT_NE(reading.connection, first);
    SDL_JoystickClose(pad);
}

TEST_F(SdlInput, KeyStateReadsTheKeyboardByVirtualKey) {
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
    EXPECT_FALSE(sdl::AnyKeyDownFor(16, keys.data(), SDL_NUM_SCANCODES));
    keys[SDL_SCANCODE_RSHIFT] = 1;
    keys[SDL_SCANCODE_A] = 1;
    keys[SDL_SCANCODE_KP_5] = 1;
    EXPECT_TRUE(sdl::AnyKeyDownFor(16, keys.data(), SDL_NUM_SCANCODES));  // either Shift
    EXPECT_TRUE(sdl::AnyKeyDownFor('A', keys.data(), SDL_NUM_SCANCODES));
    EXPECT_TRUE(sdl::AnyKeyDownFor(0x65, keys.data(), SDL_NUM_SCANCODES));
    EXPECT_FALSE(sdl::AnyKeyDownFor('B', keys.data(), SDL_NUM_SCANCODES));
    EXPECT_FALSE(sdl::AnyKeyDownFor(0, keys.data(), SDL_NUM_SCANCODES));
    EXPECT_FALSE(sdl::AnyKeyDownFor('A', nullptr, 0));
    EXPECT_FALSE(host_->KeyDown('A'));  // nothing pressed on the dummy keyboard
}

TEST_F(SdlInput, ABoxThatCannotBeShownAgreesToNothing) {
    std::optional<std::string> display;
    if (const char* value = std::getenv("DISPLAY")) display = value;
    unsetenv("DISPLAY");  // no dialog can appear anywhere
    EXPECT_EQ(host_->ShowMessageBox("?", "Save?", MB_YESNO), IDNO);
    EXPECT_EQ(host_->ShowMessageBox("?", "Go on?", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(host_->ShowMessageBox("?", "Done.", MB_OK), IDOK);
    if (display) setenv("DISPLAY", display->c_str(), 1);
}

}  // namespace
