#include "tests/render/render_test_support.h"

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tools/render/child_process.h"

namespace rendertest {

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "greeting-render-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDir::Files() const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(path_)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), path_).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool ReadPng(const fs::path& path, render::RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    image = render::RgbImage(static_cast<int>(png.width), static_cast<int>(png.height));
    const bool read = png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return read;
}

std::int64_t WavFrames(const fs::path& path) {
    const std::string bytes = ReadBytes(path);
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 ||
        bytes.compare(36, 4, "data") != 0) {
        return -1;
    }
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<std::uint8_t>(bytes[40 + i]);
    if (size != bytes.size() - 44) return -1;
    return size / 4;
}

int RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) {
    return !render::FindProgram(name).empty();
}

std::vector<std::uint16_t> To565(const render::RgbImage& image) {
    std::vector<std::uint16_t> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
        pixels.push_back(static_cast<std::uint16_t>(((image.pixels[i] >> 3) << 11) |
                                                    ((image.pixels[i + 1] >> 2) << 5) |
                                                    (image.pixels[i + 2] >> 3)));
    }
    return pixels;
}

}  // namespace rendertest
