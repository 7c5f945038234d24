// Arbitrary bytes as a WAVE file; what reads and plays is mixed for a moment with volume, pan
// and frequency taken from the file's last bytes, looping and once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "platform/audio/riff_reader.h"
#include "platform/audio/sound_device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::WaveData wave;
    const platform::WaveError read = platform::ReadRiffWave(std::span(data, size), &wave);
    if (read != platform::WaveError::None) {
        if (!wave.samples.empty() || !wave.extra.empty()) std::abort();  // failure leaves it empty
        return 0;
    }
    if (wave.samples.size() > size || wave.extra.size() != wave.format.cbSize) std::abort();
    if (platform::ToPlayableWave(&wave) != platform::WaveError::None) return 0;

    platform::SoundDevice device;
    std::unique_ptr<platform::SoundBuffer> buffer;
    const std::uint32_t flags =
        platform::DSBCAPS_CTRLVOLUME | platform::DSBCAPS_CTRLPAN | platform::DSBCAPS_CTRLFREQUENCY;
    const auto bytes = static_cast<std::uint32_t>(wave.samples.size());
    if (device.CreateSoundBuffer({flags, bytes, &wave.format}, &buffer) != platform::DS_OK)
        return 0;
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint32_t bytes2 = 0;
    if (buffer->Lock(0, bytes, &part1, &bytes1, &part2, &bytes2, platform::DSBLOCK_ENTIREBUFFER) !=
        platform::DS_OK)
        std::abort();
    std::memcpy(part1, wave.samples.data(), bytes1);
    buffer->Unlock(part1, bytes1, part2, 0);

    std::uint8_t tail[8] = {};
    std::memcpy(tail, data + size - std::min<std::size_t>(size, 8), std::min<std::size_t>(size, 8));
    buffer->SetVolume(-static_cast<std::int32_t>((tail[0] | tail[1] << 8) % 10001));
    buffer->SetPan(static_cast<std::int32_t>((tail[2] | tail[3] << 8) % 20001) - 10000);
    buffer->SetFrequency(static_cast<std::uint32_t>(tail[4] | tail[5] << 8 | tail[6] << 16) %
                         (platform::DSBFREQUENCY_MAX + 1));
    buffer->SetCurrentPosition(static_cast<std::uint32_t>(tail[7]) * wave.format.blockAlign);
    buffer->Play((tail[7] & 1) != 0 ? platform::DSBPLAY_LOOPING : 0);
    std::array<std::int16_t, 2 * 1024> mix{};
    for (int block = 0; block < 4; ++block) device.Render(mix.data(), mix.size() / 2);
    std::uint32_t play = 0;
    std::uint32_t write = 0;
    buffer->GetCurrentPosition(&play, &write);
    if (play >= bytes || play % wave.format.blockAlign != 0) std::abort();
    return 0;
}
