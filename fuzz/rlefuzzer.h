// The run-length fuzzers share one body: the first four bytes of the input choose the bitmap's
// width (up to 1024) and height (up to 128), the rest is the compressed data. Small pictures
// keep each run fast; every code path is reached at these sizes. Whatever decodes must survive
// encoding and decoding again unchanged.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib/diberrors.h"
#include "dib/rle.h"

template <int Bits> int FuzzRLE(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const int width = 1 + (data[0] | data[1] << 8) % 1024;
    const int height = 1 + (data[2] | data[3] << 8) % 128;
    TDIBInfo source;
    source.Header = MakeInfoHeader(width, height, Bits, 1 << Bits);
    source.Header.biCompression = Bits == 8 ? BI_RLE8 : BI_RLE4;
    source.Memory = GetMemory(size - 4, false);
    if (size > 4)
        std::memcpy(source.Bits(), data + 4, size - 4);
    TDIBInfo decoded;
    try {
        decoded = Bits == 8 ? Convert8BitRLETo8BitRGB(source, false)
                            : Convert4BitRLETo4BitRGB(source, false);
    } catch (const EVdDIBInvalidDIB&) {
        return 0;
    }
    try {
        const TDIBInfo encoded = Bits == 8 ? Convert8BitRGBTo8BitRLE(decoded, false)
                                           : Convert4BitRGBTo4BitRLE(decoded, false);
        const TDIBInfo again = Bits == 8 ? Convert8BitRLETo8BitRGB(encoded, false)
                                         : Convert4BitRLETo4BitRGB(encoded, false);
        if (again.ImageSize() != decoded.ImageSize() ||
            std::memcmp(again.Bits(), decoded.Bits(), decoded.ImageSize()) != 0)
            std::abort(); // the encoder lost pixels
    } catch (const EVdDIBCompressionFailed&) {
        // Pictures that do not shrink are refused, never stored.
    }
    return 0;
}
