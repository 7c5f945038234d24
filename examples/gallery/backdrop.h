// A page's picture dimmed for text and shapes to stand on. Blending the whole screen every pass
// would cost more than everything else on the page, so the dimmed picture is made on the page's
// first pass and copied from then on.
#pragma once

#include <cstdint>

namespace gallery {

// The picture at (0, 0), each of `halvings` halving its brightness.
void DimBackdrop(std::int32_t picture, int halvings);

}  // namespace gallery
