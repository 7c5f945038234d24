// The run as an MP4 file: every pass one frame at 60 frames a second, scaled 2x with nearest
// neighbour to 1280 x 960 and encoded as H.264 by the ffmpeg program, with the mix as AAC.
// The frames are piped to ffmpeg raw as they come and the mix is kept in a WAVE file beside
// the output; when the run ends the two are put together into PATH.part, which then takes
// the name PATH. The temporaries are PATH.video.part and PATH.audio.part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/audio/wav_writer.h"
#include "tools/render/child_process.h"
#include "tools/render/rgb_image.h"

namespace render {

// The Debian package that provides the encoder, for the error when it is missing.
inline constexpr const char* kEncoderPackage = "ffmpeg";

class VideoEncoder {
  public:
    static constexpr int kScale = 2;
    static constexpr int kFrameRate = 60;
    // Audio frames per video frame: 44100 / 60.
    static constexpr std::size_t kAudioPerFrame = 735;

    VideoEncoder() = default;
    ~VideoEncoder();  // abandons an unfinished file
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The encoder's full path, or "" when ffmpeg is not installed.
    static std::string FindEncoder();

    // Starts the encoder for frames of width x height; false with a reason in *error.
    bool Open(const std::string& path, int width, int height, std::string* error);
    // Appends one video frame (of the size given to Open).
    bool Frame(const RgbImage& frame, std::string* error);
    // Appends the mix as it comes, or silence.
    bool Audio(const std::int16_t* interleaved, std::size_t frames, std::string* error);
    bool Silence(std::size_t frames, std::string* error);
    // Ends the video, puts the sound to it (padded with silence or cut to exactly the video's
    // length) and gives the file its name. The temporaries are gone afterwards either way.
    bool Finish(std::string* error);
    // Stops the encoder and removes everything this run wrote.
    void Abandon();

    std::uint64_t frames() const { return frames_; }
    bool isOpen() const { return open_; }

  private:
    void RemoveTemporaries();

    std::string path_;
    std::string encoder_;
    int width_ = 0;
    int height_ = 0;
    bool open_ = false;
    std::uint64_t frames_ = 0;
    ChildProcess video_;
    platform::WavWriter audio_;
};

}  // namespace render
