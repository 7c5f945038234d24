// The one way a library operation reports a failure: a beep and a system-modal box captioned
// "エラー発生" whose text is the operation name, " : " and the message.
#pragma once

#include <cstdint>

namespace elDraw {

// Shows the box and returns 0, which callers return as their own failure result.
int ErrorBox(const char* operation, const char* message, std::int32_t code);

}  // namespace elDraw
