// 16-bit frames saved as 8-bit RGB PNG files, each 5- or 6-bit component widened by bit
// replication, written under a temporary name and then renamed so no half file is left.
#pragma once

#include <string>

#include "platform/host.h"

namespace platform {

// False with a reason in *error.
bool WriteFramePng(const std::string& path, const FrameView& frame, std::string* error);

}  // namespace platform
