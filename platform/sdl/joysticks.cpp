#include "platform/sdl/joysticks.h"

namespace platform::sdl {

std::uint32_t AxisPosition(Sint16 value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value) + 32768);
}

void ApplyHat(Uint8 hat, JoystickReading& reading) {
    if ((hat & SDL_HAT_LEFT) != 0) reading.x = 0;
    if ((hat & SDL_HAT_RIGHT) != 0) reading.x = 65535;
    if ((hat & SDL_HAT_UP) != 0) reading.y = 0;
    if ((hat & SDL_HAT_DOWN) != 0) reading.y = 65535;
}

void Joysticks::Refresh() {
    if (!started_) {
        // The program polls its joysticks whether or not its window has the keyboard, as it
        // may with a dialog in front; SDL would otherwise hold them at rest meanwhile.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;  // no joysticks on this machine
        started_ = true;
    }
    SDL_JoystickUpdate();
    for (int device = 0; device < SDL_NumJoysticks(); ++device) Open(device);
}

void Joysticks::DeviceAdded(int deviceIndex) {
    if (started_) Open(deviceIndex);
}

bool Joysticks::Open(int deviceIndex) {
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instance < 0) return false;
    for (const Slot& slot : slots_) {
        if (slot.joystick != nullptr && SDL_JoystickInstanceID(slot.joystick) == instance) {
            return true;
        }
    }
    for (Slot& slot : slots_) {
        if (slot.joystick != nullptr) continue;
        slot.joystick = SDL_JoystickOpen(deviceIndex);
        if (slot.joystick == nullptr) return false;
        slot.connection = ++connections_;
        return true;
    }
    return false;  // both slots taken: the library knows two joysticks
}

void Joysticks::DeviceRemoved(SDL_JoystickID instance) {
    for (Slot& slot : slots_) {
        if (slot.joystick != nullptr && SDL_JoystickInstanceID(slot.joystick) == instance) {
            SDL_JoystickClose(slot.joystick);
            slot = Slot{};
        }
    }
}

bool Joysticks::Read(int slot, JoystickReading& reading) {
    reading = JoystickReading{};
    if (!started_ || slot < 0 || slot >= kJoystickSlots) return false;
    Slot& entry = slots_[static_cast<std::size_t>(slot)];
    if (entry.joystick == nullptr) return false;
    // Every query asks anew, as the program may poll between two passes of its event loop.
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(entry.joystick)) return false;
    reading.present = true;
    reading.connection = entry.connection;
    const int axes = SDL_JoystickNumAxes(entry.joystick);
    reading.x = AxisPosition(axes > 0 ? SDL_JoystickGetAxis(entry.joystick, 0) : 0);
    reading.y = AxisPosition(axes > 1 ? SDL_JoystickGetAxis(entry.joystick, 1) : 0);
    if (SDL_JoystickNumHats(entry.joystick) > 0) {
        ApplyHat(SDL_JoystickGetHat(entry.joystick, 0), reading);
    }
    const int buttons = SDL_JoystickNumButtons(entry.joystick);
    for (int b = 0; b < buttons && b < 32; ++b) {
        if (SDL_JoystickGetButton(entry.joystick, b) != 0) reading.buttons |= 1u << b;
    }
    return true;
}

void Joysticks::Close() {
    for (Slot& slot : slots_) {
        if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
        slot = Slot{};
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    started_ = false;
}

}  // namespace platform::sdl
