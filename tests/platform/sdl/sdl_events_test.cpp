// The desktop host under SDL's dummy video driver: SDL events become the window messages the
// shell knows, and the host's own keys stay with the host.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/messages.h"
#include "platform/sdl/sdl_host.h"
#include "platform/sdl/sdl_host_factory.h"

namespace {

using namespace platform;

class SdlEvents : public ::testing::Test {
  protected:
    void SetUp() override { Open(0); }
    // A window of `scale` times the picture (0: the largest that fits the dummy desktop).
    void Open(int scale) {
        host_.reset();
        setenv("SDL_VIDEODRIVER", "dummy", 1);  // asked for, so the host accepts it
        std::string whyNot;
        SdlHostOptions options;
        options.mute = true;
        options.scale = scale;
        host_ = CreateSdlHost(options, &whyNot);
        if (!host_) GTEST_SKIP() << "no SDL video: " << whyNot;
        ASSERT_TRUE(host_->CreateMainWindow(WindowDesc{"test", {}, 640, 480, false}));
        sdl_ = dynamic_cast<SdlHost*>(host_.get());
        ASSERT_NE(sdl_, nullptr);
        ResetMessageQueue();
    }
    void Resize(int width, int height) {
        SDL_SetWindowSize(sdl_->window(), width, height);
        Drain();  // the host learns the new size from the window's event
    }
    static void Motion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        SDL_PushEvent(&event);
    }
    // Where a mouse movement to (x, y) of the window reaches the program.
    std::pair<int, int> Moved(int x, int y) {
        Motion(x, y);
        for (const Msg& msg : Drain()) {
            if (msg.message == WM_MOUSEMOVE) return {LowWord(msg.lParam), HighWord(msg.lParam)};
        }
        return {-1, -1};
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
    SdlHost* sdl_ = nullptr;
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

TEST_F(SdlEvents, KeysWithoutACodeOfTheirOwnStillArrive) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = 0xE9;  // 'é', the French keyboard's 2
    event.key.keysym.scancode = SDL_SCANCODE_2;
    SDL_PushEvent(&event);
    event.key.keysym.sym = 0x444;  // a Cyrillic letter on the A key
    event.key.keysym.scancode = SDL_SCANCODE_A;
    SDL_PushEvent(&event);
    const auto messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wParam, static_cast<WParam>('2'));
    EXPECT_EQ(messages[1].wParam, static_cast<WParam>('A'));
}

TEST_F(SdlEvents, MouseArrivesInPictureCoordinatesAtAnyWindowSize) {
    Open(2);
    EXPECT_EQ(Moved(1279, 959), std::make_pair(639, 479));
    EXPECT_EQ(Moved(640, 480), std::make_pair(320, 240));
    EXPECT_EQ(Moved(1, 1), std::make_pair(0, 0));
    // Wider than the picture's shape: bars at the sides, positions over them at the edge.
    Resize(1920, 1080);
    EXPECT_EQ(Moved(960, 540), std::make_pair(320, 240));
    EXPECT_EQ(Moved(5, 1079), std::make_pair(0, 479));
    EXPECT_EQ(Moved(1919, 0), std::make_pair(639, 0));
    EXPECT_EQ(Moved(241, 3), std::make_pair(0, 1));
    // Buttons too.
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.clicks = 1;
    event.button.x = 1679;
    event.button.y = 1079;
    SDL_PushEvent(&event);
    const auto messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(LowWord(messages[0].lParam), 639);
    EXPECT_EQ(HighWord(messages[0].lParam), 479);
}

TEST_F(SdlEvents, TheCursorIsConfinedToThePictureAndWarpedOntoIt) {
    Open(2);
    Resize(1920, 1080);
    const int whole[4] = {0, 0, 640, 480};
    ASSERT_TRUE(host_->ClipCursor(whole));
    const SDL_Rect* area = SDL_GetWindowMouseRect(sdl_->window());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->x, 240);
    EXPECT_EQ(area->y, 0);
    EXPECT_EQ(area->w, 1440);
    EXPECT_EQ(area->h, 1080);
    // The rectangle follows the picture when the window changes size.
    Resize(1280, 1024);
    area = SDL_GetWindowMouseRect(sdl_->window());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->x, 0);
    EXPECT_EQ(area->y, 32);
    EXPECT_EQ(area->h, 960);
    ASSERT_TRUE(host_->ClipCursor(nullptr));
    EXPECT_EQ(SDL_GetWindowMouseRect(sdl_->window()), nullptr);

    // Warping to a picture pixel puts the pointer where a movement reads back as that pixel.
    for (const auto& [x, y] : {std::pair{0, 0}, {639, 479}, {320, 17}, {123, 456}}) {
        sdl_->WarpPointer(x, y);
        int wx = -1;
        int wy = -1;
        SDL_GetMouseState(&wx, &wy);
        EXPECT_EQ(Moved(wx, wy), std::make_pair(x, y));
    }
}

TEST_F(SdlEvents, FramesFillTheWindowAtTheSizeItHas) {
    Open(2);
    ASSERT_EQ(sdl_->presentation(), SdlHost::Presentation::kWindowPixels);
    std::vector<std::uint16_t> picture(640 * 480);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
    }
    const FrameView frame{picture.data(), 640, 480, 640, PixelLayout::Rgb565};
    auto check = [&](int left, int top, int factor) {
        SDL_Surface* surface = SDL_GetWindowSurface(sdl_->window());
        ASSERT_NE(surface, nullptr);
        int wrong = 0;
        for (int y = 0; y < surface->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint8_t*>(surface->pixels) +
                              static_cast<std::ptrdiff_t>(y) * surface->pitch;
            for (int x = 0; x < surface->w; ++x) {
                Uint32 value = 0;
                std::memcpy(&value, row + x * 4, 4);
                Uint8 r, g, b;
                SDL_GetRGB(value, surface->format, &r, &g, &b);
                const int px = (x - left) / factor;
                const int py = (y - top) / factor;
                int er = 0, eg = 0, eb = 0;
                if (x >= left && y >= top && px < 640 && py < 480) {
                    const std::uint16_t p = picture[static_cast<std::size_t>(py) * 640 + px];
                    er = (p >> 11) * 255 / 31;
                    eg = ((p >> 5) & 63) * 255 / 63;
                    eb = (p & 31) * 255 / 31;
                }
                wrong += (std::abs(r - er) > 1 || std::abs(g - eg) > 1 || std::abs(b - eb) > 1);
            }
        }
        EXPECT_EQ(wrong, 0) << "window " << surface->w << "x" << surface->h;
    };
    host_->PresentFrame(frame);
    check(0, 0, 2);
    Resize(1400, 960);  // 2x with bars of 60 at the sides
    host_->PresentFrame(frame);
    check(60, 0, 2);
    Resize(1280, 1000);  // and of 20 above and below
    host_->PresentFrame(frame);
    check(0, 20, 2);
    Resize(640, 480);
    host_->PresentFrame(frame);
    check(0, 0, 1);
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

TEST_F(SdlEvents, AScreenshotThatDoesNotFitLeavesNothingAndSaysWhy) {
    const std::string folder = testing::TempDir() + "sdl-events-screenshots";
    std::filesystem::remove_all(folder);
    host_.reset();
    std::string whyNot;
    SdlHostOptions options;
    options.mute = true;
    options.screenshotDir = folder;
    host_ = CreateSdlHost(options, &whyNot);
    ASSERT_TRUE(host_ && host_->CreateMainWindow(WindowDesc{"test", {}, 640, 480, false}));
    // Noise, so that the picture does not compress below the limit.
    std::vector<std::uint16_t> picture(640 * 480);
    std::uint32_t seed = 12345;
    for (auto& pixel : picture)
        pixel = static_cast<std::uint16_t>((seed = seed * 1103515245 + 12345) >> 16);
    host_->PresentFrame(FrameView{picture.data(), 640, 480, 640, PixelLayout::Rgb565});

    // A disk that holds 4 KB, with SIGXFSZ at its default: it would end the process.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{4096, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    testing::internal::CaptureStderr();
    Key(SDL_KEYDOWN, SDLK_PRINTSCREEN);
    Drain();
    const std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_NE(err.find("File too large"), std::string::npos) << err;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 0u) << "no cut picture, no temporary file";
    std::filesystem::remove_all(folder);
}

}  // namespace
