// Helpers for the renderer's tests: scratch folders, files read back, PNG decoding and running
// the built greeting-render.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/render/rgb_image.h"

namespace rendertest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // Every file below the folder, relative to it, sorted.
    std::vector<std::string> Files() const;

  private:
    fs::path path_;
};

std::string ReadBytes(const fs::path& path);
std::vector<std::string> ReadLines(const fs::path& path);
// False when the file is not a PNG libpng can read.
bool ReadPng(const fs::path& path, render::RgbImage& image);

// The WAVE file's data chunk size in 4-byte stereo frames, or -1 when it is not one.
std::int64_t WavFrames(const fs::path& path);

// Runs `command` through the shell; the exit status, or -1 when it did not exit.
int RunShell(const std::string& command);
bool HaveProgram(const std::string& name);

// The 16-bit 5-6-5 frame an RGB image was made from (the top bits of each component).
std::vector<std::uint16_t> To565(const render::RgbImage& image);

}  // namespace rendertest
