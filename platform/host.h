// The narrow interface to the machine: events in, frames out, the vertical blank and the
// millisecond clock, the calendar, audio out, dialogs, key state, joysticks. Three hosts implement
// it (sdl, headless, and web in the browser build), each a library of its own; a program's main
// builds the one it needs with that host's options and installs it. The shared software of the
// platform and everything above it only ever talk to CurrentHost().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

enum class PixelLayout { Rgb565, Rgb555 };

// One finished 16-bit frame; valid only during the PresentFrame call.
struct FrameView {
    const std::uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;  // in pixels
    PixelLayout layout = PixelLayout::Rgb565;
};

struct WindowDesc {
    std::string title;                   // UTF-8
    std::span<const std::uint8_t> icon;  // a PNG, or empty
    int width = 640;
    int height = 480;
    bool fullScreen = true;
};

// Something that fills interleaved 16-bit stereo at 44100 Hz: the mixer.
class AudioSource {
  public:
    virtual ~AudioSource() = default;
    virtual void Render(std::int16_t* interleaved, std::size_t frames) = 0;
};

inline constexpr int kAudioRate = 44100;

// Message-box styles and results the library uses.
inline constexpr unsigned MB_OK = 0x0000;
inline constexpr unsigned MB_OKCANCEL = 0x0001;
inline constexpr unsigned MB_YESNO = 0x0004;
inline constexpr unsigned MB_ICONQUESTION = 0x0020;
inline constexpr unsigned MB_ICONWARNING = 0x0030;
inline constexpr unsigned MB_SYSTEMMODAL = 0x1000;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The answer of a box nobody could answer: never Yes or OK to a question, so that an unseen
// box cannot agree to anything.
constexpr int UnansweredResult(unsigned style) {
    switch (style & 0x0F) {
        case MB_YESNO:
            return IDNO;
        case MB_OKCANCEL:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

// A moment of the calendar, as the program's user reads it on a clock.
struct CalendarTime {
    int year = 1970;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int weekday = 4;  // 0 Sunday .. 6 Saturday
    int hour = 0, minute = 0, second = 0;
};

// What a joystick reports now. Axes run from 0 (left, up) to 65535 (right, down), about 32768
// at rest; buttons are bits, bit 0 the first button.
struct JoystickReading {
    bool present = false;
    std::uint32_t x = 0, y = 0;
    std::uint32_t buttons = 0;
    // Differs for every time a joystick was plugged into this slot, so that the library knows
    // a joystick it has not calibrated yet.
    std::uint32_t connection = 0;
};
inline constexpr int kJoystickSlots = 2;

class Host {
  public:
    virtual ~Host() = default;
    virtual const char* Name() const = 0;

    // The one window. Creation fails when there is no display to put it on.
    virtual bool CreateMainWindow(const WindowDesc& desc) = 0;
    virtual void ShowMainWindow(int showCommand) = 0;
    virtual void MinimizeMainWindow() = 0;
    virtual void DestroyMainWindow() = 0;
    virtual bool HasMainWindow() const = 0;

    // Translate the events that are waiting into window messages on the queue.
    virtual void PumpEvents() = 0;
    // Sleep until an event arrives, then pump it.
    virtual void WaitEvents() = 0;

    // A millisecond counter that wraps at 2^32.
    virtual std::uint32_t Milliseconds() = 0;
    // Seconds since the epoch, for the C runtime's time().
    virtual std::int64_t EpochSeconds() = 0;
    // Blocks the program for a while (the headless host moves its clock instead).
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Called on each turn of a loop that polls the clock until a time comes. On a real machine
    // the clock moves by itself; the headless host, whose clock moves only when the program
    // waits, moves it on by a millisecond so that such a loop ends.
    virtual void PollPause() {}

    // The local date and time now.
    virtual CalendarTime LocalTime() = 0;

    // Waits for the start of the next vertical blank of a 60 Hz display; false if it failed.
    virtual bool WaitVerticalBlank() = 0;
    virtual void PresentFrame(const FrameView& frame) = 0;

    // Returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int ShowMessageBox(std::string_view caption, std::string_view text, unsigned style) = 0;
    virtual void Beep() = 0;

    virtual void SetCursorVisible(bool visible) = 0;
    // Confines the cursor to a rectangle of the screen, or frees it when rect is null.
    virtual bool ClipCursor(const int* rect) = 0;
    // Moves the pointer over a pixel of the picture (clamped to it), wherever the picture is.
    virtual void WarpPointer(int pictureX, int pictureY) = 0;
    // Whether a key (virtual-key code) or mouse button (1 left, 2 right) is down just now.
    virtual bool KeyDown(std::uint32_t virtualKey) = 0;

    // Looks for joysticks anew (they may have been plugged in or out).
    virtual void RefreshJoysticks() = 0;
    // Joystick `slot` (0 or 1) now; false, with reading.present false, when there is none.
    virtual bool ReadJoystick(int slot, JoystickReading& reading) = 0;

    // Starts pulling audio from source; false when there is no audio device.
    virtual bool OpenAudio(AudioSource* source) = 0;
    virtual void CloseAudio() = 0;
    // Audio callbacks and the main thread both touch the mixer; the host's lock orders them.
    virtual void LockAudio() = 0;
    virtual void UnlockAudio() = 0;
};

bool HasHost();
Host& CurrentHost();
// Installs a host for the rest of the run (or for one test); returns the previous one.
std::unique_ptr<Host> InstallHost(std::unique_ptr<Host> host);

// RAII helper for the audio lock.
class AudioLock {
  public:
    AudioLock();
    ~AudioLock();
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

}  // namespace platform
