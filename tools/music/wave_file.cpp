#include "tools/music/wave_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace music {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::string Failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " '" + path + "': " + std::strerror(error);
}

// A half-written file is removed when it is ours to remove, so a failure leaves nothing behind.
// Errors name the file the user asked for, not our temporary one.
std::string WriteAll(const std::string& path, const std::string& shown,
                     std::span<const std::uint8_t> bytes, bool removeOnFailure) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return Failure("cannot create", shown, errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        if (removeOnFailure) std::remove(path.c_str());
        return Failure("cannot write", shown, written ? closeError : writeError);
    }
    return {};
}

}  // namespace

std::vector<std::uint8_t> EncodeWave(std::span<const std::int16_t> samples, int sampleRate) {
    constexpr std::uint32_t kChannels = 1;
    constexpr std::uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    const auto rate = static_cast<std::uint32_t>(sampleRate);

    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // integer PCM
    Put16(out, kChannels);
    Put32(out, rate);
    Put32(out, rate * kChannels * kBytesPerSample);
    Put16(out, kChannels * kBytesPerSample);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (const std::int16_t sample : samples) Put16(out, static_cast<std::uint16_t>(sample));
    return out;
}

std::string WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes) {
    // Devices and pipes (/dev/stdout, a fifo) are written in place: renaming over them would
    // replace the device node itself.
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return WriteAll(path, path, bytes, false);
    }
    const std::string partial = path + ".part";
    if (std::string error = WriteAll(partial, path, bytes, true); !error.empty()) return error;
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        std::remove(partial.c_str());
        return Failure("cannot replace", path, renameError);
    }
    return {};
}

}  // namespace music
