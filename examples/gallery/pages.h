// The gallery's pages: one operation of the library each, drawn for a few seconds.
#pragma once

#include <cstdint>
#include <span>

namespace gallery {

struct Page {
    void (*draw)();             // the whole picture of one pass, caption included
    void (*enter)() = nullptr;  // on the page's first pass, before it draws
    void (*leave)() = nullptr;  // when the next page takes over (or the show ends)
};

// Each page file gives its pages in the order they are shown.
std::span<const Page> CorePages();
std::span<const Page> BlendPages();
std::span<const Page> RowPages();
std::span<const Page> MusicPages();

// Every page, in order; page n is scene n + 1.
std::span<const Page> AllPages();

}  // namespace gallery
