// One picture of the whole run: a thumbnail of each scene, captioned with the scene's number
// and the pass it shows. The thumbnail is the screen one second (60 passes) after the scene
// begins, when every reveal has finished; a scene cut shorter than that shows its last frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"
#include "tools/render/rgb_image.h"

namespace render {

class ContactSheet {
  public:
    static constexpr std::uint32_t kSettlePasses = 60;
    static constexpr int kColumns = 4;
    static constexpr int kShrink = 2;  // thumbnails are half the frame's size

    // True when EndPass for a pass of `scene` will want the screen's picture.
    bool WantsFrame(int scene) const;
    // After each pass: `screen` is what the screen shows (the last frame presented, in this
    // pass or before), or null when nothing has been presented yet.
    void EndPass(std::uint32_t pass, int scene, const platform::FrameView* screen);

    struct Entry {
        int scene = 0;
        std::uint32_t firstPass = 0;
        std::uint32_t shownPass = 0;  // 0 until a frame was seen
        RgbImage thumbnail;
    };
    const std::vector<Entry>& entries() const { return entries_; }

    // The sheet as an image (empty entries get a blank cell).
    RgbImage Compose() const;

  private:
    std::vector<Entry> entries_;
};

// The frame shrunk by `factor` in each direction, each pixel the rounded mean of its block.
RgbImage Shrink(const platform::FrameView& frame, int factor);

}  // namespace render
