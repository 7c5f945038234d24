// The module state of elSound: the sound device and the table of sound objects. Shared by the
// files of this folder only; callers name sound objects by slot number.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/audio/sound_device.h"
#include "platform/resources.h"

namespace elSound {

inline constexpr int kSlotCount = 70;
inline constexpr int kMaxBuffers = 10;
// The UTF-8 bytes of the longest name allowed, and the terminator.
inline constexpr std::size_t kNameSize = platform::kMaxNameBytes + 1;

// One sound object: one wave in up to ten duplicate buffers.
struct SoundRecord {
    std::int32_t inUse = 0;
    std::array<char, kNameSize> name{};
    std::int32_t bufferCount = 0;
    // -1 no echo (mix count below 2), 0 idle, 1 and up: the next echo repetition.
    std::int32_t echoStep = 0;
    std::int32_t nextBuffer = 0;
    std::uint32_t baseFrequency = 0;
    std::int32_t looping = 0;
    std::int32_t echoLooping = 0;
    float echoTimer = 0.0f;
    float echoPan = 0.0f;
    std::int32_t echoPanDirection = 0;
    std::array<std::unique_ptr<platform::SoundBuffer>, kMaxBuffers> buffers;
    std::array<std::int32_t, kMaxBuffers> volume{};
    std::array<std::uint32_t, kMaxBuffers> frequency{};
    std::array<std::int32_t, kMaxBuffers> pan{};
    std::array<std::uint32_t, kMaxBuffers> pausePosition{};
};

struct SoundState {
    std::int32_t soundAvailable = 0;
    std::unique_ptr<platform::SoundDevice> device;
    // Set only while ReloadObjects runs: LoadObject then refills currentSlot.
    std::int32_t reloading = 0;
    std::int32_t currentSlot = 0;
    std::array<SoundRecord, kSlotCount> table;
    // The MIDI song the window procedure's end-of-song handling looks at.
    std::int32_t MidiOpen = 0;
    std::int32_t MidiLoop = 1;
};

namespace detail {

SoundState& State();
// A free slot as the table reset leaves it: one buffer, no echo, everything else zero.
void ResetRecord(SoundRecord& record);
// Destroys every buffer of the table (stopping it).
void ReleaseAllBuffers();
// The record of a slot that holds a loaded object while a sound device is open, else null.
SoundRecord* UsableRecord(int slot);

}  // namespace detail
}  // namespace elSound
