#include "platform/audio/wav_writer.h"

#include <algorithm>
#include <array>

#include "platform/host.h"

namespace platform {
namespace {

constexpr std::uint32_t kHeaderSize = 44;
constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBits = 16;
constexpr std::uint16_t kBlockAlign = kChannels * kBits / 8;
// The RIFF size (data + 36) must fit 32 bits.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderSize - 8);

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteAt(std::FILE* file, long offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    Put32(bytes, value);
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(bytes, 1, 4, file) == 4;
}

}  // namespace

WavWriter::~WavWriter() {
    Close();
}

bool WavWriter::Open(const std::string& path) {
    Close();
    failed_ = false;
    dataBytes_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return false;
    std::array<std::uint8_t, kHeaderSize> header{};
    std::copy_n("RIFF", 4, header.begin());
    Put32(&header[4], kHeaderSize - 8);
    std::copy_n("WAVEfmt ", 8, header.begin() + 8);
    Put32(&header[16], 16);
    Put16(&header[20], 1);
    Put16(&header[22], kChannels);
    Put32(&header[24], kAudioRate);
    Put32(&header[28], kAudioRate * kBlockAlign);
    Put16(&header[32], kBlockAlign);
    Put16(&header[34], kBits);
    std::copy_n("data", 4, header.begin() + 36);
    Put32(&header[40], 0);
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

bool WavWriter::Append(const std::int16_t* interleaved, std::size_t frames) {
    if (file_ == nullptr || failed_) return false;
    if (frames == 0) return true;
    if (interleaved == nullptr || frames > (kMaxDataBytes - dataBytes_) / kBlockAlign) {
        failed_ = true;
        return false;
    }
    // Little-endian on every machine, a block at a time.
    std::array<std::uint8_t, 4096> block;
    std::size_t samples = frames * kChannels;
    while (samples > 0) {
        const std::size_t count = std::min(samples, block.size() / 2);
        for (std::size_t i = 0; i < count; ++i) {
            Put16(&block[2 * i], static_cast<std::uint16_t>(interleaved[i]));
        }
        if (std::fwrite(block.data(), 1, 2 * count, file_) != 2 * count) {
            failed_ = true;
            return false;
        }
        interleaved += count;
        samples -= count;
        dataBytes_ += 2 * count;
    }
    return true;
}

bool WavWriter::Close() {
    if (file_ == nullptr) return false;
    bool ok = !failed_;
    const std::uint32_t data = static_cast<std::uint32_t>(dataBytes_);
    ok = WriteAt(file_, 4, data + (kHeaderSize - 8)) && ok;
    ok = WriteAt(file_, 40, data) && ok;
    ok = std::fflush(file_) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

}  // namespace platform
