// The start-up load list: the screen, the sound and the pictures of the greeting, each kept
// under the number its loader returned.
#pragma once

#include <cstdint>

namespace show {

struct PresentationObjects {
    std::int32_t Dg = 0;  // the sound
    std::int32_t Fighter = 0, Machine = 0, Princess = 0, Tanuki = 0, Monster = 0;
    std::int32_t Seagirl = 0, Body = 0, Okujyo = 0, E1 = 0, Pajama = 0, Sonet = 0;
    std::int32_t Race = 0, Face1 = 0, Face2 = 0, Runner = 0, Galabg = 0, Spot = 0, Fin = 0;
};

extern PresentationObjects& Loaded;

void LoadPresentation();

}  // namespace show
