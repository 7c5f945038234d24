#include "platform/audio/riff_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/file_read.h"

namespace platform {
namespace {

// Where the bytes come from: memory or an open file. Reads never go past Size().
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // False unless all n bytes at offset exist and were read.
    virtual bool ReadAt(std::uint64_t offset, void* destination, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* destination, std::size_t n) override {
        if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
        if (n > 0) std::memcpy(destination, bytes_.data() + offset, n);
        return true;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint32_t kPcmHeaderSize = 16;  // the format chunk without cbSize
constexpr std::uint32_t kExHeaderSize = 18;   // with cbSize

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
bool IsId(const std::uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// The format chunk at dataOffset, of `size` bytes that are known to be in the source.
WaveError ReadFormat(ByteSource& source, std::uint64_t dataOffset, std::uint32_t size,
                     WaveData* out) {
    if (size < kPcmHeaderSize) return WaveError::ShortFormat;
    std::uint8_t header[kPcmHeaderSize];
    if (!source.ReadAt(dataOffset, header, sizeof header)) return WaveError::FormatTruncated;
    WaveFormat& format = out->format;
    format.formatTag = Le16(header);
    format.channels = Le16(header + 2);
    format.samplesPerSec = Le32(header + 4);
    format.avgBytesPerSec = Le32(header + 8);
    format.blockAlign = Le16(header + 12);
    format.bitsPerSample = Le16(header + 14);
    format.cbSize = 0;
    if (format.channels == 0 || format.samplesPerSec == 0) return WaveError::BadFormat;
    // PCM has no extension: whatever follows the 16 bytes is ignored. Other formats carry their
    // extension size, which a bare 16-byte chunk simply leaves out.
    if (format.formatTag == WAVE_FORMAT_PCM || size == kPcmHeaderSize) return WaveError::None;
    if (size < kExHeaderSize) return WaveError::BadExtension;
    std::uint8_t count[2];
    if (!source.ReadAt(dataOffset + kPcmHeaderSize, count, sizeof count)) {
        return WaveError::FormatTruncated;
    }
    format.cbSize = Le16(count);
    if (format.cbSize > size - kExHeaderSize) return WaveError::BadExtension;
    out->extra.resize(format.cbSize);
    if (!source.ReadAt(dataOffset + kExHeaderSize, out->extra.data(), out->extra.size())) {
        return WaveError::FormatTruncated;
    }
    return WaveError::None;
}

WaveError Parse(ByteSource& source, std::uint64_t maxDataBytes, WaveData* out) {
    const std::uint64_t fileSize = source.Size();
    std::uint8_t riff[12];
    if (!source.ReadAt(0, riff, sizeof riff)) return WaveError::NotRiffWave;
    if (!IsId(riff, "RIFF") || !IsId(riff + 8, "WAVE")) return WaveError::NotRiffWave;
    // Old writers got the RIFF size wrong (often too large): the file's end bounds the search.
    const std::uint64_t riffEnd =
        std::min<std::uint64_t>(kChunkHeaderSize + Le32(riff + 4), fileSize);

    bool haveFormat = false;
    std::uint64_t offset = sizeof riff;
    while (offset + kChunkHeaderSize <= riffEnd) {
        std::uint8_t header[kChunkHeaderSize];
        if (!source.ReadAt(offset, header, sizeof header)) break;
        const std::uint32_t size = Le32(header + 4);
        const std::uint64_t dataOffset = offset + kChunkHeaderSize;
        const std::uint64_t available = fileSize - dataOffset;
        if (IsId(header, "fmt ") && !haveFormat) {
            if (size >= kPcmHeaderSize && size > available) return WaveError::FormatTruncated;
            const WaveError error = ReadFormat(source, dataOffset, size, out);
            if (error != WaveError::None) return error;
            haveFormat = true;
        } else if (IsId(header, "data")) {
            if (!haveFormat) return WaveError::NoFormat;
            if (size > available) return WaveError::DataTruncated;
            if (size > maxDataBytes) return WaveError::TooLarge;
            out->samples.resize(size);
            if (!source.ReadAt(dataOffset, out->samples.data(), size)) return WaveError::Unreadable;
            return WaveError::None;
        }
        // Chunks of odd size are followed by a pad byte.
        offset = dataOffset + size + (size & 1u);
    }
    return haveFormat ? WaveError::NoData : WaveError::NoFormat;
}

WaveError Finish(WaveError error, WaveData* out) {
    if (error != WaveError::None) *out = WaveData{};
    return error;
}

}  // namespace

const char* WaveErrorText(WaveError error) {
    switch (error) {
        case WaveError::None:
            return "no error";
        case WaveError::Missing:
            return "no such file";
        case WaveError::NotRegularFile:
            return "not a regular file";
        case WaveError::Unreadable:
            return "the file cannot be read";
        case WaveError::TooLarge:
            return "larger than a sound buffer can hold";
        case WaveError::NotRiffWave:
            return "not a RIFF WAVE file";
        case WaveError::NoFormat:
            return "no format chunk before the data chunk";
        case WaveError::ShortFormat:
            return "format chunk shorter than 16 bytes";
        case WaveError::FormatTruncated:
            return "format chunk runs past the end of the file";
        case WaveError::BadExtension:
            return "format extension size cut off or too large";
        case WaveError::BadFormat:
            return "zero channels or zero sample rate";
        case WaveError::NoData:
            return "no data chunk";
        case WaveError::DataTruncated:
            return "data chunk runs past the end of the file";
        case WaveError::NotPcm:
            return "compressed or floating-point samples, not PCM";
        case WaveError::ShortExtensible:
            return "extensible format without its 22-byte extension";
        case WaveError::NotPcmSubFormat:
            return "extensible format whose sub-format is not PCM";
        case WaveError::PaddedSamples:
            return "fewer valid bits than the sample size";
        case WaveError::UnplayableBits:
            return "samples of other than 8 or 16 bits";
        case WaveError::UnplayableChannels:
            return "more than two channels";
        case WaveError::UnplayableRate:
            return "sample rate outside 100 to 100000 Hz";
        case WaveError::BadBlockAlign:
            return "block size disagrees with the channels and sample size";
        case WaveError::NoSamples:
            return "no whole sample frame";
    }
    return "unknown error";
}

WaveError ReadRiffWave(std::span<const std::uint8_t> bytes, WaveData* out,
                       std::uint64_t maxDataBytes) {
    *out = WaveData{};
    MemorySource source(bytes);
    return Finish(Parse(source, maxDataBytes, out), out);
}

WaveError ReadRiffWaveFile(const std::string& path, WaveData* out) {
    *out = WaveData{};
    std::vector<std::uint8_t> bytes;
    switch (ReadRegularFile(path, kMaxWaveFileBytes, &bytes)) {
        case FileReadError::None:
            break;
        case FileReadError::Missing:
            return WaveError::Missing;
        case FileReadError::NotRegularFile:
            return WaveError::NotRegularFile;
        case FileReadError::TooLarge:
            return WaveError::TooLarge;
        case FileReadError::Unreadable:
            return WaveError::Unreadable;
    }
    return ReadRiffWave(bytes, out);
}

}  // namespace platform
