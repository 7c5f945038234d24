// Up to two joysticks through SDL's joystick interface, in the two slots the library numbers
// 0 and 1: the first two plugged in, a slot freed when its joystick goes and filled by the
// next one to come.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "platform/host.h"

namespace platform::sdl {

// SDL's axis range (-32768..32767, 0 at rest) in the library's (0..65535, 32768 at rest).
std::uint32_t AxisPosition(Sint16 value);
// A pad's direction buttons (a hat) as a stick pushed all the way; a centred hat leaves the
// stick's own position.
void ApplyHat(Uint8 hat, JoystickReading& reading);

class Joysticks {
  public:
    Joysticks() = default;
    ~Joysticks() { Close(); }
    Joysticks(const Joysticks&) = delete;
    Joysticks& operator=(const Joysticks&) = delete;

    // Starts SDL's joystick support on first use, then takes any joystick not yet in a slot.
    void Refresh();
    // SDL_JOYDEVICEADDED and SDL_JOYDEVICEREMOVED.
    void DeviceAdded(int deviceIndex);
    void DeviceRemoved(SDL_JoystickID instance);
    bool Read(int slot, JoystickReading& reading);
    void Close();

  private:
    struct Slot {
        SDL_Joystick* joystick = nullptr;
        std::uint32_t connection = 0;
    };
    bool Open(int deviceIndex);

    bool started_ = false;
    std::array<Slot, kJoystickSlots> slots_{};
    std::uint32_t connections_ = 0;
};

}  // namespace platform::sdl
