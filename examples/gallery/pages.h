// The gallery's pages: one operation of the library each, drawn for a few seconds.
#pragma once

#include <cstdint>
#include <span>

namespace gallery {

struct Page {
    void (*draw)();             // the whole picture of one pass, caption included
    void (*enter)() = nullptr;  // on the page's first pass, before it draws
    // How the page hands over: -1 the next reveal style in turn, 0 the cover.
    std::int32_t leaveStyle = -1;
    // Called on the page's last pass, before the hand-over (or the end of the show), to put
    // back what the page changed.
    void (*leave)() = nullptr;
};

// Each page file gives its pages in the order they are shown.
std::span<const Page> CorePages();
std::span<const Page> BlendPages();
std::span<const Page> RowPages();
std::span<const Page> TextPages();
std::span<const Page> ShapePages();
std::span<const Page> ScreenFilterPages();
std::span<const Page> RotationPages();
std::span<const Page> FilterPages();
std::span<const Page> WarpPages();
std::span<const Page> MusicPages();
std::span<const Page> InputPages();

// Every page, in order; page n is scene n + 1.
std::span<const Page> AllPages();

}  // namespace gallery
