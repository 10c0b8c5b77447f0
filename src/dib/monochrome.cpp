// Conversions to 1 bit by colour match: the pixels of exactly one colour become white, every
// other pixel black.
#include "diberrors.h"
#include "pixelconvert.h"

namespace {

std::uint32_t ToRGB(TColor color) {
    const auto c = static_cast<std::uint32_t>(color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

TDIBInfo NewMonochrome(const TDIBInfo& source, bool UseFMO) {
    TDIBInfo out = NewDIBAtDepth(source, 1, UseFMO);
    SetBlackAndWhiteTable(out);
    return out;
}

TDIBInfo PaletteTo1Bit(const TDIBInfo& source, int bitCount, bool UseFMO, TColor monoColor) {
    TDIBInfo out = NewMonochrome(source, UseFMO);
    const std::uint32_t white = ToRGB(monoColor);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < source.Width(); ++x)
            if (TableRGB(source, PixelIndex(in, x, bitCount)) == white)
                SetPixelIndex(row, x, 1, 1);
    }
    return out;
}

} // namespace

TDIBInfo ConvertTrueColorTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor) {
    if (source.BitCount() != 24)
        RaiseDIB<EVdDIBBadDIBType>("ConvertTrueColorTo1BitRGB: Invalid Bitcount");
    TDIBInfo out = NewMonochrome(source, UseFMO);
    const std::uint32_t white = ToRGB(monoColor);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < source.Width(); ++x) {
            const std::uint32_t rgb = (std::uint32_t{in[3 * x + 2]} << 16) |
                                      (std::uint32_t{in[3 * x + 1]} << 8) | in[3 * x];
            if (rgb == white)
                SetPixelIndex(row, x, 1, 1);
        }
    }
    return out;
}

TDIBInfo Convert8BitTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor) {
    if (source.BitCount() != 8 || source.Compression() != BI_RGB)
        RaiseDIB<EVdDIBBadDIBType>("Convert8BitTo1BitRGB: Invalid Bitcount or Compression");
    return PaletteTo1Bit(source, 8, UseFMO, monoColor);
}

TDIBInfo Convert4BitRGBTo1BitRGB(const TDIBInfo& source, bool UseFMO, TColor monoColor) {
    if (source.BitCount() != 4 || source.Compression() != BI_RGB)
        RaiseDIB<EVdDIBBadDIBType>("Convert4BitRGBTo1BitRGB: Invalid Bitcount");
    return PaletteTo1Bit(source, 4, UseFMO, monoColor);
}
