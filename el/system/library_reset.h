// The whole library back to its state at program start, module by module. Programs run it
// when they end; tests run it before each case.
#pragma once

namespace elSystem {

void ResetLibrary();

}  // namespace elSystem
