#include "tools/render/video_encoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/host.h"

namespace render {
namespace {

// Near-transparent quality at a speed that keeps a whole run to a few minutes on two cores.
constexpr const char* kPreset = "fast";
constexpr const char* kQuality = "18";
constexpr const char* kAudioBitrate = "192k";

std::string VideoPart(const std::string& path) {
    return path + ".video.part";
}
std::string AudioPart(const std::string& path) {
    return path + ".audio.part";
}
std::string OutputPart(const std::string& path) {
    return path + ".part";
}

}  // namespace

VideoEncoder::~VideoEncoder() {
    if (open_) Abandon();
}

std::string VideoEncoder::FindEncoder() {
    return FindProgram("ffmpeg");
}

bool VideoEncoder::Open(const std::string& path, int width, int height, std::string* error) {
    if (open_) Abandon();
    path_ = path;
    width_ = width;
    height_ = height;
    frames_ = 0;
    encoder_ = FindEncoder();
    if (encoder_.empty()) {
        if (error) {
            *error = std::string("writing a video needs the ffmpeg program (Debian package ") +
                     kEncoderPackage + "), which is not on PATH";
        }
        return false;
    }
    if (width <= 0 || height <= 0) {
        if (error) *error = "cannot write " + path + ": no frame size";
        return false;
    }
    if (!audio_.Open(AudioPart(path))) {
        if (error) *error = "cannot write " + AudioPart(path) + ": " + std::strerror(errno);
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // Whole-factor nearest neighbour keeps the pixels sharp; at 2x each source pixel owns one
    // 2 x 2 block of the 4:2:0 chroma, so colours do not bleed into their neighbours either.
    const std::string filter = "scale=" + std::to_string(width * kScale) + ":" +
                               std::to_string(height * kScale) +
                               ":flags=neighbor:out_color_matrix=bt709:out_range=tv,format=yuv420p";
    const std::vector<std::string> args = {encoder_,
                                           "-hide_banner",
                                           "-nostats",
                                           "-loglevel",
                                           "error",
                                           "-y",
                                           "-f",
                                           "rawvideo",
                                           "-pix_fmt",
                                           "rgb24",
                                           "-s",
                                           size,
                                           "-r",
                                           std::to_string(kFrameRate),
                                           "-i",
                                           "pipe:0",
                                           "-vf",
                                           filter,
                                           "-c:v",
                                           "libx264",
                                           "-preset",
                                           kPreset,
                                           "-crf",
                                           kQuality,
                                           "-colorspace",
                                           "bt709",
                                           "-color_primaries",
                                           "bt709",
                                           "-color_trc",
                                           "bt709",
                                           "-color_range",
                                           "tv",
                                           "-an",
                                           "-f",
                                           "mp4",
                                           VideoPart(path)};
    if (!video_.Start(args, true, error)) {
        audio_.Close();
        RemoveTemporaries();
        return false;
    }
    open_ = true;
    return true;
}

bool VideoEncoder::Frame(const RgbImage& frame, std::string* error) {
    if (!open_) return false;
    if (frame.width != width_ || frame.height != height_) {
        if (error) {
            *error = "cannot write " + path_ + ": a frame of " + std::to_string(frame.width) +
                     " x " + std::to_string(frame.height) + " in a video of " +
                     std::to_string(width_) + " x " + std::to_string(height_);
        }
        return false;
    }
    if (!video_.Write(frame.pixels.data(), frame.pixels.size())) {
        if (error) *error = "writing " + path_ + " failed: ffmpeg stopped taking frames";
        return false;
    }
    ++frames_;
    return true;
}

bool VideoEncoder::Audio(const std::int16_t* interleaved, std::size_t frames, std::string* error) {
    if (!open_) return false;
    if (!audio_.Append(interleaved, frames)) {
        if (error) *error = "writing " + AudioPart(path_) + " failed";
        return false;
    }
    return true;
}

bool VideoEncoder::Silence(std::size_t frames, std::string* error) {
    static constexpr std::int16_t kZeros[2 * 1024] = {};
    while (frames > 0) {
        const std::size_t count = std::min<std::size_t>(frames, 1024);
        if (!Audio(kZeros, count, error)) return false;
        frames -= count;
    }
    return true;
}

bool VideoEncoder::Finish(std::string* error) {
    if (!open_) return false;
    open_ = false;
    const bool audioWritten = audio_.Close();
    const bool videoWritten = video_.Finish();
    if (!audioWritten || !videoWritten || frames_ == 0) {
        if (error) {
            *error = "writing " + path_ + " failed: " +
                     (!audioWritten   ? "the sound could not be written"
                      : !videoWritten ? "ffmpeg could not encode the frames"
                                      : "no frame was shown");
        }
        RemoveTemporaries();
        return false;
    }
    // The sound is cut or padded to the video's length to the sample: atrim and apad count
    // in samples, so the AAC track ends with the last frame.
    const std::string samples = std::to_string(frames_ * kAudioPerFrame);
    const std::vector<std::string> args = {
        encoder_,
        "-hide_banner",
        "-nostdin",
        "-nostats",
        "-loglevel",
        "error",
        "-y",
        "-i",
        VideoPart(path_),
        "-i",
        AudioPart(path_),
        "-map",
        "0:v:0",
        "-map",
        "1:a:0",
        "-c:v",
        "copy",
        "-af",
        "apad=whole_len=" + samples + ",atrim=end_sample=" + samples,
        "-c:a",
        "aac",
        "-b:a",
        kAudioBitrate,
        "-movflags",
        "+faststart",
        "-f",
        "mp4",
        OutputPart(path_)};
    ChildProcess mux;
    std::string startError;
    const bool started = mux.Start(args, false, &startError);
    const bool muxed = started && mux.Finish();
    const bool renamed = muxed && std::rename(OutputPart(path_).c_str(), path_.c_str()) == 0;
    if (!renamed && error) {
        *error = !started ? startError
                 : muxed  ? "cannot write " + path_ + ": " + std::strerror(errno)
                          : "writing " + path_ + " failed: ffmpeg could not add the sound";
    }
    RemoveTemporaries();
    return renamed;
}

void VideoEncoder::Abandon() {
    open_ = false;
    video_.Kill();
    audio_.Close();
    RemoveTemporaries();
}

void VideoEncoder::RemoveTemporaries() {
    if (path_.empty()) return;
    std::remove(VideoPart(path_).c_str());
    std::remove(AudioPart(path_).c_str());
    std::remove(OutputPart(path_).c_str());
}

}  // namespace render
