// Expansions that keep each pixel's colour: to a deeper palette depth, and to 24 bits.
#include "diberrors.h"
#include "pixelconvert.h"

TDIBInfo NewDIBAtDepth(const TDIBInfo& source, int bitCount, bool UseFMO) {
    BITMAPINFOHEADER header = source.Header;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = 0;
    TDIBInfo out;
    out.Header = header;
    out.ColorTable = source.ColorTable;
    out.Memory = GetMemory(out.UncompressedSize(), UseFMO);
    return out;
}

namespace {

void Require(const TDIBInfo& source, int bitCount, const char* message) {
    if (source.BitCount() != bitCount || source.Compression() != BI_RGB)
        RaiseDIB<EVdDIBBadDIBType>(message);
}

TDIBInfo ExpandIndices(const TDIBInfo& source, int from, int to, bool UseFMO, const char* message) {
    Require(source, from, message);
    TDIBInfo out = NewDIBAtDepth(source, to, UseFMO);
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x)
            SetPixelIndex(row, x, to, PixelIndex(in, x, from));
    }
    return out;
}

TDIBInfo ToTrueColor(const TDIBInfo& source, int from, bool UseFMO, const char* message) {
    Require(source, from, message);
    TDIBInfo out = NewDIBAtDepth(source, 24, UseFMO);
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x) {
            const RGBQUAD& c = source.ColorTable[static_cast<std::size_t>(PixelIndex(in, x, from))];
            row[3 * x] = c.rgbBlue;
            row[3 * x + 1] = c.rgbGreen;
            row[3 * x + 2] = c.rgbRed;
        }
    }
    return out;
}

} // namespace

TDIBInfo Convert1BitRGBTo4BitRGB(const TDIBInfo& source, bool UseFMO) {
    return ExpandIndices(source, 1, 4, UseFMO,
                         "Convert1BitRGBTo4BitRGB: Invalid Bitcount & Compression Combination");
}

TDIBInfo Convert1BitRGBTo8BitRGB(const TDIBInfo& source, bool UseFMO) {
    return ExpandIndices(source, 1, 8, UseFMO,
                         "Convert1BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination");
}

TDIBInfo Convert4BitRGBTo8BitRGB(const TDIBInfo& source, bool UseFMO) {
    return ExpandIndices(source, 4, 8, UseFMO,
                         "Convert4BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination");
}

TDIBInfo Convert1BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO) {
    return ToTrueColor(source, 1, UseFMO,
                       "Convert1BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
}

TDIBInfo Convert4BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO) {
    return ToTrueColor(source, 4, UseFMO,
                       "Convert4BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
}

TDIBInfo Convert8BitRGBToTrueColor(const TDIBInfo& source, bool UseFMO) {
    return ToTrueColor(source, 8, UseFMO,
                       "Convert8BitRGBToTrueColor: Invalid Bitcount & Compression Combination");
}
