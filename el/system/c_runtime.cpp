#include "el/system/c_runtime.h"

#include "platform/crt.h"

namespace elSystem {

static_assert(kRandMax == crt::kRandMax);

void srand(std::uint32_t seed) {
    crt::srand(seed);
}

int rand() {
    return crt::rand();
}

std::int64_t time(std::int64_t* out) {
    return crt::time(out);
}

}  // namespace elSystem
