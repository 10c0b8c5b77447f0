// What every fuzz target shares.
#pragma once

#include <cstdlib>

// Stops the run when a property of the code under test does not hold: libFuzzer keeps the
// input that broke it. Unlike assert it also works in a build with NDEBUG.
inline void Require(bool condition) {
    if (!condition)
        std::abort();
}
