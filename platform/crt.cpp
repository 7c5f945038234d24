#include "platform/crt.h"

#include "platform/host.h"

namespace crt {
namespace {

std::uint32_t randomState = 1;  // the runtime's value before any srand

}  // namespace

void srand(std::uint32_t seed) {
    randomState = seed;
}

int rand() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

std::int64_t time(std::int64_t* out) {
    const std::int64_t now = platform::HasHost() ? platform::CurrentHost().EpochSeconds() : 0;
    if (out != nullptr) *out = now;
    return now;
}

}  // namespace crt
