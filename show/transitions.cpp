#include "show/transitions.h"

namespace show {

void EndFrame() {}

}  // namespace show
