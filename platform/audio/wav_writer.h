// Writes the mix to a 16-bit stereo 44100 Hz WAVE file as it comes, for the offline renderer.
// The header's sizes are written as 0 and patched when the file is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

class WavWriter {
  public:
    WavWriter() = default;
    // Closes the file if still open (the result is lost: call Close to know it).
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates (or truncates) the file and writes the header; false if that failed.
    bool Open(const std::string& path);
    // Appends interleaved stereo frames; false if not open, on a write error, or when the file
    // would outgrow the 4 GB a RIFF size can describe.
    bool Append(const std::int16_t* interleaved, std::size_t frames);
    // Patches the sizes and closes; false if anything since Open failed.
    bool Close();

    bool isOpen() const { return file_ != nullptr; }
    std::uint64_t frames() const { return dataBytes_ / 4; }

  private:
    std::FILE* file_ = nullptr;
    std::uint64_t dataBytes_ = 0;
    bool failed_ = false;
};

}  // namespace platform
