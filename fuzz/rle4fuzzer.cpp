// Fuzzes the 4-bit run-length decoder, and the encoder on whatever it decodes.
#include "rlefuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzRLE<4>(data, size);
}
