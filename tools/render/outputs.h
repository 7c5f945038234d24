// Everything one run records, fed pass by pass. Each file is written under a temporary name
// (NAME.part) and takes its own name only when the whole run went well; a failed or
// interrupted run leaves none of them behind. Frame PNGs are finished one by one as they come.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/wav_writer.h"
#include "platform/host.h"
#include "tools/render/contact_sheet.h"
#include "tools/render/frame_hash.h"
#include "tools/render/render_options.h"
#include "tools/render/rgb_image.h"
#include "tools/render/timeline.h"
#include "tools/render/video_encoder.h"

namespace render {

// The greeting's screen; every presented frame has this size.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

class Outputs {
  public:
    explicit Outputs(const RenderOptions& options);
    ~Outputs();  // abandons whatever was not finished
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;

    // Makes the folders and opens every file (and starts the encoder); false after an error
    // message.
    bool Open();
    void BeginPass(std::uint32_t pass, int scene);
    // Each frame the program presents (more than one in a pass: the last one counts).
    void Frame(const platform::FrameView& frame);
    void Audio(const std::int16_t* interleaved, std::size_t frames);
    // `clockMoved` is false for a pass whose vertical-blank wait failed and took no time.
    void EndPass(const TimelineRow& row, bool clockMoved);
    // Completes every file and gives it its name; false (and nothing left) on any failure.
    bool Finish();
    // Removes every unfinished file.
    void Abandon();

    bool failed() const { return failed_; }
    // Where everything went, a line each.
    void PrintSummary(std::FILE* out) const;

  private:
    bool Fail(const std::string& message);
    bool NeedScreenCopy() const;
    void CopyScreen(const platform::FrameView& frame);
    const platform::FrameView* Screen() const;
    bool CloseFiles();
    void RemoveParts();

    const RenderOptions& options_;
    bool failed_ = false;
    bool finished_ = false;

    std::uint32_t pass_ = 0;
    int scene_ = 0;
    std::uint32_t passes_ = 0;
    bool presented_ = false;
    std::uint64_t hash_ = 0;
    std::uint32_t pngsWritten_ = 0;

    // A copy of the screen, kept when the video or the contact sheet will want it.
    std::vector<std::uint16_t> screen_;
    platform::FrameView screenView_;
    bool screenCurrent_ = false;

    TimelineWriter timeline_;
    platform::WavWriter audio_;
    std::FILE* hashes_ = nullptr;
    bool hashesFailed_ = false;
    FrameHasher hasher_;
    ContactSheet sheet_;
    VideoEncoder video_;
    RgbImage videoFrame_;
    bool videoFrameFresh_ = false;
};

}  // namespace render
