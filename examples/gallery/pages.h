// The gallery's pages: one operation of the library each, drawn for a few seconds.
#pragma once

#include <cstdint>
#include <span>

namespace gallery {

struct Page {
    void (*draw)();  // the whole picture of one pass, caption included
};

// Each page file gives its pages in the order they are shown.
std::span<const Page> CorePages();
std::span<const Page> InputPages();

// Every page, in order; page n is scene n + 1.
std::span<const Page> AllPages();

}  // namespace gallery
