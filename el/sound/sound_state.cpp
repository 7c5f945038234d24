#include "el/sound/sound_state.h"

namespace elSound::detail {
namespace {

SoundState* NewState() {
    return new SoundState();
}

}  // namespace

SoundState& State() {
    // Never destroyed: at exit the host the device talks to may already be gone.
    static SoundState* const state = NewState();
    return *state;
}

void ResetRecord(SoundRecord& record) {
    record = SoundRecord{};
    record.bufferCount = 1;
    record.echoStep = -1;
}

void ReleaseAllBuffers() {
    for (SoundRecord& record : State().table) {
        for (auto& buffer : record.buffers) buffer.reset();
    }
}

SoundRecord* UsableRecord(int slot) {
    SoundState& state = State();
    // Without a device (after Release) there is nothing to play until ReloadObjects.
    if (state.soundAvailable == 0 || !state.device || slot < 0 || slot >= kSlotCount) {
        return nullptr;
    }
    SoundRecord& record = state.table[static_cast<std::size_t>(slot)];
    if (record.inUse == 0 || record.bufferCount < 1) return nullptr;
    return &record;
}

}  // namespace elSound::detail
