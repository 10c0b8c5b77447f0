// TDIBInfo: one complete device-independent bitmap — its info header, colour table and pixel
// block. A conversion builds a new one and the storage takes it over whole; the record owns its
// pixel block, so a conversion that fails half-way frees what it made by unwinding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dibmemory.h"
#include "dibtypes.h"

struct TDIBInfo {
    TDIBMemory Memory;
    BITMAPINFOHEADER Header;
    /// Up to 256 colours, plus room for the three bit-field masks that precede the table while
    /// a BI_BITFIELDS file is read.
    std::array<RGBQUAD, 259> ColorTable{};

    /// Byte size of the pixel block.
    std::size_t ImageSize() const { return Memory.Size(); }
    std::uint8_t* Bits() const { return Memory.Bits(); }
    int MapHandle() const { return Memory.MapHandle(); }

    int Width() const { return Header.biWidth; }
    /// Number of rows, always positive.
    int Height() const { return static_cast<int>(AbsHeight(Header.biHeight)); }
    bool TopDown() const { return Header.biHeight < 0; }
    int BitCount() const { return Header.biBitCount; }
    std::uint32_t Compression() const { return Header.biCompression; }
    /// Colours in the table (never more than 256 once stored).
    int ColorsUsed() const { return static_cast<int>(Header.biClrUsed); }
    /// Bytes of one uncompressed row at this bitmap's depth.
    std::size_t RowLength() const {
        return static_cast<std::size_t>(DIBRowLength(Header.biWidth, Header.biBitCount));
    }
    /// Bytes an uncompressed pixel block of this size and depth needs.
    std::size_t UncompressedSize() const {
        return RowLength() * static_cast<std::size_t>(Height());
    }
    /// Row `y` in storage order (row 0 is the bottom row unless the bitmap is top-down).
    std::uint8_t* Row(int y) const { return Bits() + RowLength() * static_cast<std::size_t>(y); }
};

/// A header for a new bitmap of the given size and depth: no compression, 96 per inch.
BITMAPINFOHEADER MakeInfoHeader(int width, int height, int bitCount, int colorsUsed);

/// A new record with the header and colour table of `source` but its own pixel block of `size`
/// zero bytes.
TDIBInfo NewDIBLike(const TDIBInfo& source, std::size_t size, bool UseFMO);

/// A complete copy of `source` in new memory.
TDIBInfo CloneDIB(const TDIBInfo& source, bool UseFMO);

/// Sets the colour table to black (entry 0) and white (entry 1), two colours used.
void SetBlackAndWhiteTable(TDIBInfo& info);

/// Red, green and blue of colour-table entry `index` packed as 0x00RRGGBB.
inline std::uint32_t TableRGB(const TDIBInfo& info, int index) {
    const RGBQUAD& q = info.ColorTable[static_cast<std::size_t>(index)];
    return (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

/// Colour index of pixel `x` in an uncompressed 1-, 4- or 8-bit row.
inline int PixelIndex(const std::uint8_t* row, int x, int bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}
