#include "tools/render/outputs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/png_file.h"
#include "tools/render/render_options.h"

namespace render {
namespace {

std::string Part(const std::string& path) {
    return path + ".part";
}

std::string FramePath(const std::string& dir, std::uint32_t pass) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06u.png", pass);
    return (std::filesystem::path(dir) / name).string();
}

// Makes the folder a file goes into; "" when it exists or was made, else the reason.
std::string MakeParent(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return "";
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    return error ? "cannot write " + path + ": its folder " + parent.string() +
                       " cannot be made (" + error.message() + ")"
                 : "";
}

// Why the last write failed, when the C library said: ": File too large".
std::string Reason() {
    return errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
}

double Seconds(std::uint64_t passes) {
    return static_cast<double>(passes) / VideoEncoder::kFrameRate;
}

}  // namespace

Outputs::Outputs(const RenderOptions& options) : options_(options) {}

Outputs::~Outputs() {
    if (!finished_) Abandon();
}

bool Outputs::Fail(const std::string& message) {
    if (!failed_) std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), message.c_str());
    failed_ = true;
    return false;
}

bool Outputs::Open() {
    for (const std::string* path :
         {&options_.timelinePath, &options_.audioPath, &options_.frameHashesPath,
          &options_.contactSheetPath, &options_.videoPath}) {
        if (path->empty()) continue;
        if (const std::string error = MakeParent(*path); !error.empty()) return Fail(error);
    }
    if (!options_.timelinePath.empty() && !timeline_.Open(Part(options_.timelinePath))) {
        return Fail("cannot write " + options_.timelinePath + ": " + std::strerror(errno));
    }
    if (!options_.audioPath.empty() && !audio_.Open(Part(options_.audioPath))) {
        return Fail("cannot write " + options_.audioPath + ": " + std::strerror(errno));
    }
    if (!options_.frameHashesPath.empty()) {
        hashes_ = std::fopen(Part(options_.frameHashesPath).c_str(), "w");
        if (hashes_ == nullptr) {
            return Fail("cannot write " + options_.frameHashesPath + ": " + std::strerror(errno));
        }
    }
    if (!options_.contactSheetPath.empty()) {
        // Found out now rather than after the whole run.
        std::FILE* probe = std::fopen(Part(options_.contactSheetPath).c_str(), "wb");
        if (probe == nullptr) {
            return Fail("cannot write " + options_.contactSheetPath + ": " + std::strerror(errno));
        }
        std::fclose(probe);
    }
    if (!options_.frames.Empty()) {
        std::error_code error;
        std::filesystem::create_directories(options_.outDir, error);
        if (error) return Fail("cannot make " + options_.outDir + ": " + error.message());
    }
    if (!options_.videoPath.empty()) {
        std::string error;
        if (!video_.Open(options_.videoPath, kScreenWidth, kScreenHeight, &error)) {
            return Fail(error);
        }
        // Until the first frame comes the screen is black.
        videoFrame_ = RgbImage(kScreenWidth, kScreenHeight);
    }
    return true;
}

void Outputs::BeginPass(std::uint32_t pass, int scene) {
    pass_ = pass;
    scene_ = scene;
    presented_ = false;
}

bool Outputs::NeedScreenCopy() const {
    return video_.isOpen() || (!options_.contactSheetPath.empty() && sheet_.WantsFrame(scene_));
}

void Outputs::CopyScreen(const platform::FrameView& frame) {
    const std::size_t width = static_cast<std::size_t>(frame.width);
    screen_.resize(width * static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(screen_.data() + width * static_cast<std::size_t>(y),
                    frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch, width * 2);
    }
    screenView_ = frame;
    screenView_.pixels = screen_.data();
    screenView_.pitch = frame.width;
}

const platform::FrameView* Outputs::Screen() const {
    return screenCurrent_ ? &screenView_ : nullptr;
}

void Outputs::Frame(const platform::FrameView& frame) {
    if (failed_ || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
    presented_ = true;
    if (pass_ != 0 && options_.frames.Selects(pass_)) {
        std::string error;
        if (!platform::WriteFramePng(FramePath(options_.outDir, pass_), frame, &error)) {
            Fail(error);
            return;
        }
        ++pngsWritten_;
    }
    if (hashes_ != nullptr) hash_ = hasher_.Hash(frame);
    screenCurrent_ = NeedScreenCopy();
    if (screenCurrent_) CopyScreen(frame);
    videoFrameFresh_ = false;
}

void Outputs::Audio(const std::int16_t* interleaved, std::size_t frames) {
    if (failed_) return;
    errno = 0;
    if (audio_.isOpen() && !audio_.Append(interleaved, frames)) {
        Fail("writing " + options_.audioPath + " failed" + Reason());
    }
    std::string error;
    if (video_.isOpen() && !video_.Audio(interleaved, frames, &error)) Fail(error);
}

void Outputs::EndPass(const TimelineRow& row, bool clockMoved) {
    if (failed_) return;
    passes_ = row.pass;
    timeline_.Write(row);
    if (hashes_ != nullptr) {
        const std::string hash = presented_ ? HashText(hash_) : "-";
        if (std::fprintf(hashes_, "%u %s\n", row.pass, hash.c_str()) < 0) hashesFailed_ = true;
    }
    if (video_.isOpen()) {
        std::string error;
        // A pass that showed nothing new repeats the screen, so every pass is one frame.
        if (!videoFrameFresh_ && Screen() != nullptr) {
            FrameToRgb(*Screen(), videoFrame_);
            videoFrameFresh_ = true;
        }
        if (!video_.Frame(videoFrame_, &error)) {
            Fail(error);
            return;
        }
        // A pass whose wait failed took no time and brought no sound: its frame gets silence
        // so the picture and the sound stay together.
        if (!clockMoved && !video_.Silence(VideoEncoder::kAudioPerFrame, &error)) Fail(error);
    }
    if (!options_.contactSheetPath.empty()) sheet_.EndPass(row.pass, scene_, Screen());
}

bool Outputs::CloseFiles() {
    bool ok = !failed_;
    errno = 0;
    if (!options_.timelinePath.empty() && !timeline_.Close()) {
        ok = Fail("writing " + options_.timelinePath + " failed" + Reason());
    }
    errno = 0;
    if (audio_.isOpen() && !audio_.Close()) {
        ok = Fail("writing " + options_.audioPath + " failed" + Reason());
    }
    if (hashes_ != nullptr) {
        errno = 0;
        const bool closed = std::fclose(hashes_) == 0;
        hashes_ = nullptr;
        if (!closed || hashesFailed_) {
            ok = Fail("writing " + options_.frameHashesPath + " failed" + Reason());
        }
    }
    return ok;
}

bool Outputs::Finish() {
    if (finished_) return !failed_;
    bool ok = CloseFiles();
    // The video first: it is the one most likely to fail at the end (in the encoder).
    if (ok && video_.isOpen()) {
        std::string error;
        if (!video_.Finish(&error)) ok = Fail(error);
    }
    if (ok && !options_.contactSheetPath.empty()) {
        std::remove(Part(options_.contactSheetPath).c_str());
        std::string error;
        // The sheet's writer has its own temporary name and rename.
        const RgbImage sheet = sheet_.Compose();
        if (!platform::WriteRgbPng(options_.contactSheetPath, sheet.width, sheet.height,
                                   sheet.pixels.data(), &error)) {
            ok = Fail(error);
        }
    }
    for (const std::string* path :
         {&options_.timelinePath, &options_.audioPath, &options_.frameHashesPath}) {
        if (!ok || path->empty()) continue;
        if (std::rename(Part(*path).c_str(), path->c_str()) != 0) {
            ok = Fail("cannot write " + *path + ": " + std::strerror(errno));
        }
    }
    if (!ok) Abandon();
    finished_ = true;
    return ok;
}

void Outputs::Abandon() {
    timeline_.Close();
    audio_.Close();
    if (hashes_ != nullptr) std::fclose(hashes_);
    hashes_ = nullptr;
    video_.Abandon();
    RemoveParts();
    finished_ = true;
}

void Outputs::RemoveParts() {
    for (const std::string* path : {&options_.timelinePath, &options_.audioPath,
                                    &options_.frameHashesPath, &options_.contactSheetPath}) {
        if (!path->empty()) std::remove(Part(*path).c_str());
    }
}

void Outputs::PrintSummary(std::FILE* out) const {
    std::fprintf(out, "%s: %u passes, %.2f s of the show\n", ProgramName().c_str(), passes_,
                 Seconds(passes_));
    if (!options_.videoPath.empty()) {
        std::fprintf(out, "  video:         %s (%d x %d, %u frames at %d per second, with sound)\n",
                     options_.videoPath.c_str(), kScreenWidth * VideoEncoder::kScale,
                     kScreenHeight * VideoEncoder::kScale, passes_, VideoEncoder::kFrameRate);
    }
    if (!options_.frames.Empty()) {
        std::fprintf(out, "  frames:        %u PNG files in %s\n", pngsWritten_,
                     options_.outDir.c_str());
    }
    if (!options_.audioPath.empty()) {
        std::fprintf(out, "  sound:         %s\n", options_.audioPath.c_str());
    }
    if (!options_.contactSheetPath.empty()) {
        std::fprintf(out, "  contact sheet: %s (%zu scenes)\n", options_.contactSheetPath.c_str(),
                     sheet_.entries().size());
    }
    if (!options_.frameHashesPath.empty()) {
        std::fprintf(out, "  frame hashes:  %s\n", options_.frameHashesPath.c_str());
    }
    if (!options_.timelinePath.empty()) {
        std::fprintf(out, "  timeline:      %s\n", options_.timelinePath.c_str());
    }
}

}  // namespace render
