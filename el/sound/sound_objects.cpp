#include "el/sound/sound_objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "el/draw/error_box.h"
#include "el/sound/sound_device.h"
#include "el/sound/sound_state.h"
#include "el/system/program_directory.h"
#include "platform/resources.h"

namespace elSound {
namespace {

using detail::State;

constexpr const char* kOperation = "elSound::LoadObject";
constexpr const char* kNameTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kBadMixCount = "ミックス数が多過ぎます";
constexpr const char* kTableFull = "オブジェクト数が多過ぎます";
constexpr const char* kNoWave = "WAVEリソースが見つかりません";
constexpr const char* kNoBuffer = "サウンドバッファが生成できません";

constexpr std::size_t kPathSize = 260;
constexpr std::uint32_t kObjectBufferFlags =
    platform::DSBCAPS_CTRLVOLUME | platform::DSBCAPS_CTRLPAN | platform::DSBCAPS_CTRLFREQUENCY |
    platform::DSBCAPS_STATIC;
// After its nominal length a synchronous wave may still be sounding on a host whose output lags
// its clock; it gets this many further 10 ms looks before the program moves on.
constexpr int kTailChecks = 50;

int Fail(const char* message) {
    return elDraw::ErrorBox(kOperation, message, 0);
}

// A wave from a file, made ready for the mixer (an extensible PCM wave becomes plain PCM).
platform::WaveError ReadPlayableWaveFile(const std::string& path, platform::WaveData* wave) {
    platform::WaveError error = platform::ReadRiffWaveFile(path, wave);
    if (error == platform::WaveError::None) error = platform::ToPlayableWave(wave);
    if (error != platform::WaveError::None) *wave = platform::WaveData{};
    return error;
}

// The wave of a file next to the program, when there is one that plays. For a file that is
// there but cannot be used, *refusal gets the reason and *path its path.
bool ReadProgramDirectoryFile(const char* name, platform::WaveData* wave, std::string* path,
                              std::string* refusal) {
    const char* directory = elSystem::ProgramDirectory();
    // An empty directory did not fit its buffer: then only the resources are looked at.
    if (directory[0] == '\0') return false;
    const std::size_t directoryLength = std::strlen(directory);
    const std::size_t nameLength = std::strlen(name);
    if (directoryLength + nameLength >= kPathSize) return false;
    *path = std::string(directory) + name;
    const platform::WaveError error = ReadPlayableWaveFile(*path, wave);
    if (error != platform::WaveError::None && error != platform::WaveError::Missing) {
        *refusal = platform::WaveErrorText(error);
    }
    return error == platform::WaveError::None;
}

// A resource counts only if it holds a whole wave: sizes and chunk names are checked against
// its real length. One the mixer cannot play is kept as it is, for the buffer to refuse.
bool ReadResourceWave(const char* name, std::string_view type, platform::WaveData* wave) {
    const auto bytes = platform::FindResource(name, type);
    if (!bytes || platform::ReadRiffWave(*bytes, wave) != platform::WaveError::None) return false;
    platform::ToPlayableWave(wave);
    return true;
}

bool FillBuffer(platform::SoundBuffer& buffer, const std::vector<std::uint8_t>& samples) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    const auto size = static_cast<std::uint32_t>(samples.size());
    if (buffer.Lock(0, size, &part1, &bytes1, &part2, &bytes2, 0) != platform::DS_OK) return false;
    std::memcpy(part1, samples.data(), bytes1);
    if (part2 != nullptr) std::memcpy(part2, samples.data() + bytes1, bytes2);
    return buffer.Unlock(part1, bytes1, part2, bytes2) == platform::DS_OK;
}

int FindFreeSlot() {
    const auto& table = State().table;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (table[static_cast<std::size_t>(slot)].inUse == 0) return slot;
    }
    return -1;
}

// Plays a wave file once on a device of its own and returns when it has finished.
void PlayToEnd(const char* sound) {
    if (sound == nullptr || !platform::HasHost()) return;
    platform::WaveData wave;
    if (ReadPlayableWaveFile(sound, &wave) != platform::WaveError::None) return;
    platform::SoundDevice device;
    if (device.Open() != platform::DS_OK) return;
    std::unique_ptr<platform::SoundBuffer> buffer;
    const platform::SoundBufferDesc desc{
        platform::DSBCAPS_STATIC, static_cast<std::uint32_t>(wave.samples.size()), &wave.format};
    if (device.CreateSoundBuffer(desc, &buffer) != platform::DS_OK) return;
    if (!FillBuffer(*buffer, wave.samples)) return;
    buffer->Play(0);
    platform::Host& host = platform::CurrentHost();
    const std::uint64_t frames = wave.samples.size() / wave.format.blockAlign;
    const std::uint64_t rate = wave.format.samplesPerSec;
    host.Sleep(static_cast<std::uint32_t>((frames * 1000 + rate - 1) / rate));
    std::uint32_t status = platform::DSBSTATUS_PLAYING;
    for (int i = 0; i < kTailChecks; ++i) {
        buffer->GetStatus(&status);
        if ((status & platform::DSBSTATUS_PLAYING) == 0) break;
        host.Sleep(10);
    }
}

}  // namespace

int ReadWaveFile(const char* path, platform::WaveData* wave) {
    if (wave == nullptr) return 1;
    if (path == nullptr) {
        *wave = platform::WaveData{};
        return 1;
    }
    return platform::ReadRiffWaveFile(path, wave) == platform::WaveError::None ? 0 : 1;
}

int LoadObject(const char* name, std::int32_t count) {
    SoundState& state = State();
    if (state.soundAvailable == 0) return 0;
    const bool reloading = state.reloading != 0;
    if (name == nullptr) return Fail(kNoWave);
    // The name is checked before a slot is taken: an object whose name could not be stored
    // would hold a slot that no caller can reach.
    if (!reloading && platform::NameUnits(name) > platform::kMaxNameUnits) {
        return Fail(kNameTooLong);
    }
    // An object without buffers could never play; 0 is refused like too many.
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(count));
    if (magnitude > kMaxBuffers || magnitude == 0) return Fail(kBadMixCount);

    int slot = state.currentSlot;
    if (!reloading) {
        slot = FindFreeSlot();
        if (slot < 0) return Fail(kTableFull);
    } else if (slot < 0 || slot >= kSlotCount) {
        return 0;
    }

    // A file next to the program that cannot be used gives way to the built-in wave, and a line
    // on standard error says why.
    platform::WaveData wave;
    std::string path;
    std::string refusal;
    const bool found = ReadProgramDirectoryFile(name, &wave, &path, &refusal) ||
                       ReadResourceWave(name, "WAVE", &wave) ||
                       ReadResourceWave(name, platform::RT_RCDATA, &wave);
    if (!refusal.empty()) platform::ReportUnusableProgramFile(path, refusal, name, found);
    if (!found) return Fail(kNoWave);

    SoundRecord& record = state.table[static_cast<std::size_t>(slot)];
    record.bufferCount = static_cast<std::int32_t>(magnitude);
    record.echoStep = count < 2 ? -1 : 0;
    if (!reloading) record.nextBuffer = 0;
    const platform::SoundBufferDesc desc{
        kObjectBufferFlags, static_cast<std::uint32_t>(wave.samples.size()), &wave.format};
    for (int j = 0; j < record.bufferCount; ++j) {
        const auto index = static_cast<std::size_t>(j);
        auto& buffer = record.buffers[index];
        const bool made = state.device &&
                          state.device->CreateSoundBuffer(desc, &buffer) == platform::DS_OK &&
                          FillBuffer(*buffer, wave.samples);
        if (!made) {
            // Nothing half-made stays behind: the copies already made go too.
            for (auto& copy : record.buffers) copy.reset();
            if (!reloading) detail::ResetRecord(record);
            return Fail(kNoBuffer);
        }
        if (!reloading) {
            buffer->GetFrequency(&record.frequency[index]);
            record.baseFrequency = record.frequency[index];
            record.volume[index] = 0;
            record.pan[index] = 0;
        } else {
            buffer->SetVolume(record.volume[index]);
            buffer->SetFrequency(record.frequency[index]);
            buffer->SetPan(record.pan[index]);
        }
    }
    record.inUse = 1;
    if (!reloading) {
        // A name within the limit always fits; the bound only guards the copy.
        record.name.fill('\0');
        std::memcpy(record.name.data(), name, std::min(std::strlen(name), kNameSize - 1));
    }
    return slot;
}

void ReloadObjects() {
    SoundState& state = State();
    if (state.soundAvailable == 0) return;
    Init();
    state.reloading = 1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        SoundRecord& record = state.table[static_cast<std::size_t>(slot)];
        if (record.inUse == 0) continue;
        state.currentSlot = slot;
        LoadObject(record.name.data(), record.bufferCount);
    }
    state.reloading = 0;
}

void FreeObject(std::int32_t slot) {
    SoundState& state = State();
    if (state.soundAvailable == 0 || slot < 0 || slot >= kSlotCount) return;
    SoundRecord& record = state.table[static_cast<std::size_t>(slot)];
    if (record.inUse == 0) return;
    record.inUse = 0;
    record.baseFrequency = 0;
    record.name.fill('\0');
    for (std::size_t j = 0; j < record.buffers.size(); ++j) {
        record.volume[j] = 0;
        record.frequency[j] = 0;
        record.pan[j] = 0;
        if (record.buffers[j]) record.buffers[j]->Stop();
        record.buffers[j].reset();
    }
    record.bufferCount = 1;
}

void PlayWaveSync(const char* sound) {
    Release();
    PlayToEnd(sound);
    ReloadObjects();
}

}  // namespace elSound
