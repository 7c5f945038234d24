#include "el/sound/sound_playback.h"

#include <algorithm>
#include <limits>

#include "el/sound/sound_state.h"
#include "el/system/frame_timing.h"
#include "platform/crt.h"

namespace elSound {
namespace {

using detail::UsableRecord;

constexpr std::int32_t kEchoStartSelector = -2;
constexpr std::int32_t kEchoRepeatSelector = -3;
constexpr float kEchoPanLimit = 30.0f;

// Value operations: one buffer, the next in rotation (-2), or all of them (other negatives).
template <typename Action>
void ForValueSelection(SoundRecord& record, std::int32_t selector, Action action) {
    if (selector >= 0) {
        if (selector < record.bufferCount) action(static_cast<std::size_t>(selector));
    } else if (selector == kEchoStartSelector) {
        if (record.nextBuffer < record.bufferCount) {
            action(static_cast<std::size_t>(record.nextBuffer));
        }
    } else {
        for (int j = 0; j < record.bufferCount; ++j) action(static_cast<std::size_t>(j));
    }
}

// Stop and Pause: one buffer, or all of them for any negative selector.
template <typename Action>
void ForStopSelection(SoundRecord& record, std::int32_t selector, Action action) {
    if (selector >= 0) {
        if (selector < record.bufferCount) action(static_cast<std::size_t>(selector));
    } else {
        for (int j = 0; j < record.bufferCount; ++j) action(static_cast<std::size_t>(j));
    }
}

std::int32_t Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return static_cast<std::int32_t>(std::clamp(value, low, high));
}

void StoreVolume(SoundRecord& record, std::size_t j, std::int64_t value) {
    // Above 0 first, then below the floor, as the library has always clamped.
    if (value > platform::DSBVOLUME_MAX) value = platform::DSBVOLUME_MAX;
    if (value < platform::DSBVOLUME_MIN) value = platform::DSBVOLUME_MIN;
    record.volume[j] = static_cast<std::int32_t>(value);
    if (record.buffers[j]) record.buffers[j]->SetVolume(record.volume[j]);
}

void StorePan(SoundRecord& record, std::size_t j, std::int64_t value) {
    record.pan[j] = Clamp(value, platform::DSBPAN_LEFT, platform::DSBPAN_RIGHT);
    if (record.buffers[j]) record.buffers[j]->SetPan(record.pan[j]);
}

void StoreFrequency(SoundRecord& record, std::size_t j, std::int64_t value) {
    record.frequency[j] = static_cast<std::uint32_t>(
        Clamp(value, platform::DSBFREQUENCY_MIN, platform::DSBFREQUENCY_MAX));
    if (record.buffers[j]) record.buffers[j]->SetFrequency(record.frequency[j]);
}

void Restart(SoundRecord& record, std::size_t j, std::uint32_t flags) {
    auto& buffer = record.buffers[j];
    if (!buffer) return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->Play(flags);
}

void Start(std::int32_t slot, std::int32_t selector, std::uint32_t flags) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr || selector >= record->bufferCount) return;
    const std::int32_t looping = flags != 0 ? 1 : 0;
    if (selector >= 0) {
        Restart(*record, static_cast<std::size_t>(selector), flags);
    } else {
        if (selector == kEchoStartSelector && record->echoStep >= 0) {
            ResetFrequency(slot, -1);
            ResetPan(slot, -1);
            ResetVolume(slot, -1);
            record->echoStep = 1;
            record->echoTimer = 0.0f;
            record->echoLooping = looping;
            record->echoPan =
                static_cast<float>(record->pan[static_cast<std::size_t>(record->nextBuffer)]);
            record->echoPanDirection = (crt::rand() % 2) * 2 - 1;
        }
        Restart(*record, static_cast<std::size_t>(record->nextBuffer), flags);
        if (++record->nextBuffer >= record->bufferCount) record->nextBuffer = 0;
    }
    record->looping = looping;
}

void EchoFrame(std::int32_t slot, std::int32_t interval, std::int32_t steps,
               std::int32_t volumeStep, const std::int32_t* panSpeed) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr || record->echoStep < 1 || steps < 1) return;
    record->echoTimer += elSystem::FrameDelta * 1000.0f;
    if (record->echoTimer < static_cast<float>(interval)) return;
    record->echoTimer = 0.0f;
    if (panSpeed != nullptr) {
        // The pan moves only on the frames where a repetition is due.
        record->echoPan += static_cast<float>(record->echoPanDirection) * elSystem::FrameDelta *
                           100.0f * static_cast<float>(*panSpeed);
        if (record->echoPan < -kEchoPanLimit) {
            record->echoPan = -kEchoPanLimit;
            record->echoPanDirection = -record->echoPanDirection;
        }
        if (record->echoPan > kEchoPanLimit) {
            record->echoPan = kEchoPanLimit;
            record->echoPanDirection = -record->echoPanDirection;
        }
        SetPan(slot, static_cast<std::int32_t>(record->echoPan), kEchoStartSelector);
    }
    const std::int64_t attenuation = -static_cast<std::int64_t>(record->echoStep) * volumeStep;
    SetVolume(slot,
              Clamp(attenuation, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()),
              kEchoStartSelector);
    if (record->echoLooping == 1) {
        PlayLoop(slot, kEchoRepeatSelector);
    } else {
        Play(slot, kEchoRepeatSelector);
    }
    if (++record->echoStep > steps) record->echoStep = 0;
}

}  // namespace

void Play(std::int32_t slot, std::int32_t selector) {
    Start(slot, selector, 0);
}

void PlayLoop(std::int32_t slot, std::int32_t selector) {
    Start(slot, selector, platform::DSBPLAY_LOOPING);
}

void Stop(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    if (selector < 0 && record->echoStep >= 0) record->echoStep = 0;
    ForStopSelection(*record, selector, [&](std::size_t j) {
        if (!record->buffers[j]) return;
        record->buffers[j]->Stop();
        record->buffers[j]->SetCurrentPosition(0);
    });
}

void Pause(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForStopSelection(*record, selector, [&](std::size_t j) {
        auto& buffer = record->buffers[j];
        if (!buffer) return;
        std::uint32_t status = 0;
        buffer->GetStatus(&status);
        if (status & platform::DSBSTATUS_PLAYING) {
            buffer->GetCurrentPosition(&record->pausePosition[j], nullptr);
            buffer->Stop();
        } else {
            buffer->SetCurrentPosition(record->pausePosition[j]);
            buffer->Play(record->looping == 1 ? platform::DSBPLAY_LOOPING : 0);
        }
    });
}

void AddFrequency(std::int32_t slot, std::int32_t delta, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) {
        StoreFrequency(*record, j, std::int64_t{record->frequency[j]} + std::int64_t{delta} * 100);
    });
}

void ResetFrequency(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector,
                      [&](std::size_t j) { StoreFrequency(*record, j, record->baseFrequency); });
}

void SetFrequency(std::int32_t slot, std::int32_t value, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) {
        StoreFrequency(*record, j, std::int64_t{record->baseFrequency} + std::int64_t{value} * 100);
    });
}

void AddPan(std::int32_t slot, std::int32_t delta, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) {
        StorePan(*record, j, std::int64_t{record->pan[j]} + std::int64_t{delta} * 100);
    });
}

void ResetPan(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) { StorePan(*record, j, 0); });
}

void SetPan(std::int32_t slot, std::int32_t value, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector,
                      [&](std::size_t j) { StorePan(*record, j, std::int64_t{value} * 100); });
}

void PanLeft(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector,
                      [&](std::size_t j) { StorePan(*record, j, platform::DSBPAN_LEFT); });
}

void PanRight(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector,
                      [&](std::size_t j) { StorePan(*record, j, platform::DSBPAN_RIGHT); });
}

void AddVolume(std::int32_t slot, std::int32_t delta, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) {
        StoreVolume(*record, j, std::int64_t{record->volume[j]} + std::int64_t{delta} * 100);
    });
}

void ResetVolume(std::int32_t slot, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector, [&](std::size_t j) { StoreVolume(*record, j, 0); });
}

void SetVolume(std::int32_t slot, std::int32_t value, std::int32_t selector) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return;
    ForValueSelection(*record, selector,
                      [&](std::size_t j) { StoreVolume(*record, j, std::int64_t{value} * 100); });
}

void Echo(std::int32_t slot, std::int32_t interval, std::int32_t steps, std::int32_t volumeStep) {
    EchoFrame(slot, interval, steps, volumeStep, nullptr);
}

void EchoPan(std::int32_t slot, std::int32_t interval, std::int32_t steps, std::int32_t volumeStep,
             std::int32_t panSpeed) {
    EchoFrame(slot, interval, steps, volumeStep, &panSpeed);
}

int IsPlaying(std::int32_t slot) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr) return 0;
    for (int j = 0; j < record->bufferCount; ++j) {
        const auto& buffer = record->buffers[static_cast<std::size_t>(j)];
        std::uint32_t status = 0;
        if (buffer && buffer->GetStatus(&status) == platform::DS_OK &&
            (status & platform::DSBSTATUS_PLAYING)) {
            return 1;
        }
    }
    return 0;
}

std::int32_t StoredVolume(std::int32_t slot, std::int32_t buffer) {
    SoundRecord* record = UsableRecord(slot);
    if (record == nullptr || buffer < 0 || buffer >= record->bufferCount) return 0;
    return record->volume[static_cast<std::size_t>(buffer)];
}

}  // namespace elSound
