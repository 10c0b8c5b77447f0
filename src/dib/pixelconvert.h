// Conversions of a bitmap between pixel depths. Each checks its input first (raising
// EVdDIBBadDIBType with its own message), reads the source and returns a complete new bitmap in
// new memory: BI_RGB, header image size 0, the source's width, height (with its sign) and
// resolution. The source is never changed.
#pragma once

#include <functional>

#include "dibinfo.h"
#include "platform/tcolor.h"

/// Called once per leaf of a palette split, so that a caller can report progress.
using TSplitProgress = std::function<void()>;

// Expansions: each pixel keeps its colour index; colour table and colours used stay.
TDIBInfo Convert1BitRGBTo4BitRGB(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert1BitRGBTo8BitRGB(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert4BitRGBTo8BitRGB(const TDIBInfo& source, bool UseFMO);

// To 24 bits: each pixel becomes its colour-table entry; colours used and table stay.
TDIBInfo Convert1BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert4BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO);
TDIBInfo Convert8BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO);

// Palette reductions from 24 bits: by a histogram of 32 × 64 × 32 cells (Low) or over every
// pixel with a split tree (High).
TDIBInfo ConvertTrueColorTo8BitRGBLow(const TDIBInfo& source, bool UseFMO,
                                      const TSplitProgress& progress);
TDIBInfo ConvertTrueColorTo4BitRGBLow(const TDIBInfo& source, bool UseFMO,
                                      const TSplitProgress& progress);
TDIBInfo ConvertTrueColorTo8BitRGBHigh(const TDIBInfo& source, bool UseFMO,
                                       const TSplitProgress& progress);
TDIBInfo ConvertTrueColorTo4BitRGBHigh(const TDIBInfo& source, bool UseFMO,
                                       const TSplitProgress& progress);
/// 256 colours to at most 16, weighting each colour by the pixels that use it.
TDIBInfo Convert8BitRGBTo4BitRGB(const TDIBInfo& source, bool UseFMO,
                                 const TSplitProgress& progress);

// To 1 bit: pixels of exactly `monoColor` (0x00BBGGRR) become 1 (white), all others 0 (black).
TDIBInfo ConvertTrueColorTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor);
TDIBInfo Convert8BitTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor);
TDIBInfo Convert4BitRGBTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor);

// Error diffusion to the 215-colour halftone palette (8 bits) and to black and white (1 bit).
TDIBInfo ConvertToHalfTone(const TDIBInfo& source, bool UseFMO);
TDIBInfo ConvertToHalfToneBW(const TDIBInfo& source, bool UseFMO);

/// The 215 colours of the halftone palette: entry (r × 7 + g) × 5 + b for six red, seven green
/// and five blue levels, then five greys and darks of the old sixteen-colour set.
const std::array<RGBQUAD, 215>& HalftoneColors();

/// The whole conversion from the bitmap's current format to `target` (a TVdPixelFormat,
/// vdPfHalftone or vdPfHalftoneBW), chaining decoders, depth conversions and encoders.
TDIBInfo ConvertPixelFormat(const TDIBInfo& source, TVdPixelFormat from, int target, int quality,
                            const TSplitProgress& progress, TColor monoColor, bool UseFMO);

/// Sets pixel `x` of a zeroed 1-, 4- or 8-bit row to colour index `index`.
inline void SetPixelIndex(std::uint8_t* row, int x, int bitCount, int index) {
    switch (bitCount) {
    case 1:
        row[x >> 3] |= static_cast<std::uint8_t>((index & 1) << (7 - (x & 7)));
        break;
    case 4:
        row[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? (index & 0x0F) : (index << 4));
        break;
    default:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    }
}

/// A new bitmap of `source`'s size at `bitCount` bits, uncompressed, with `source`'s colour
/// table; its pixels are zero.
TDIBInfo NewDIBAtDepth(const TDIBInfo& source, int bitCount, bool UseFMO);
