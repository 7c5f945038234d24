#include "platform/display/display_faults.h"

#include <array>

namespace platform::display_faults {
namespace {

constexpr int kNone = -1;
std::array<int, static_cast<int>(DisplayOp::kCount)> pending = [] {
    std::array<int, static_cast<int>(DisplayOp::kCount)> all{};
    all.fill(kNone);
    return all;
}();

}  // namespace

void FailOnce(DisplayOp op, int skip) {
    pending[static_cast<int>(op)] = skip;
}

bool ShouldFail(DisplayOp op) {
    int& countdown = pending[static_cast<int>(op)];
    if (countdown == kNone) return false;
    if (countdown == 0) {
        countdown = kNone;
        return true;
    }
    --countdown;
    return false;
}

void Clear() {
    pending.fill(kNone);
}

}  // namespace platform::display_faults
