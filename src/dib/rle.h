// The run-length codecs of the bitmap format (BI_RLE8, BI_RLE4). Each conversion reads a
// source bitmap and returns a complete new one with its own pixel block; the source is left as
// it was, and a failure frees whatever the conversion had made.
//
// The encoded stream is a sequence of byte pairs: (n > 0, v) is a run of n pixels of v (for
// 4 bits alternating v's high and low nibble); (0, 0) ends a row, (0, 1) the bitmap, (0, 2)
// is followed by a move right and up, and (0, n ≥ 3) by n literal pixels padded to an even
// number of bytes. Rows run bottom row first.
#pragma once

#include "dibinfo.h"

TDIBInfo Convert8BitRLETo8BitRGB(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert4BitRLETo4BitRGB(const TDIBInfo& source, bool UseFMO);

/// Raises EVdDIBCompressionFailed when the encoded form would not be smaller than the
/// uncompressed block.
TDIBInfo Convert8BitRGBTo8BitRLE(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert4BitRGBTo4BitRLE(const TDIBInfo& source, bool UseFMO);
