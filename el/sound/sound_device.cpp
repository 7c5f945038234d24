#include "el/sound/sound_device.h"

#include "el/sound/sound_state.h"
#include "platform/audio/midi_sequencer.h"
#include "platform/host.h"

namespace elSound {

using detail::State;

int Init() {
    SoundState& state = State();
    // A second Init (ReloadObjects without Release) must not leave the old device playing the
    // old buffers: both go before the new device opens.
    detail::ReleaseAllBuffers();
    state.device.reset();
    state.soundAvailable = 0;
    if (!platform::HasHost()) return 0;
    auto device = std::make_unique<platform::SoundDevice>();
    if (device->Open() != platform::DS_OK) return 0;
    state.device = std::move(device);
    state.reloading = 0;
    state.soundAvailable = 1;
    return 1;
}

void Release() {
    SoundState& state = State();
    if (state.soundAvailable == 0) return;
    for (SoundRecord& record : state.table) {
        for (auto& buffer : record.buffers) {
            if (!buffer) continue;
            buffer->Stop();
            buffer.reset();
        }
    }
    state.device.reset();
}

void ResetObjectTable() {
    detail::ReleaseAllBuffers();
    for (SoundRecord& record : State().table) detail::ResetRecord(record);
}

void ResetSoundState() {
    // The song stops and the sequencer starts afresh, so that every run sounds the same.
    platform::InstallMidiDevice(nullptr);
    detail::ReleaseAllBuffers();
    SoundState& state = State();
    state.device.reset();
    state = SoundState{};
}

}  // namespace elSound
