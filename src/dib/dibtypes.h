// The records of the Windows bitmap format as the picture classes hold them in memory, and the
// pixel formats a stored bitmap can have.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint32_t BI_RLE8 = 1;
inline constexpr std::uint32_t BI_RLE4 = 2;
inline constexpr std::uint32_t BI_BITFIELDS = 3;

/// 96 pixels per inch, the resolution of a bitmap that does not name one.
inline constexpr std::int32_t DefaultPelsPerMeter = 3780;

/// Pictures claiming more pixels than this are refused before anything is allocated: a damaged
/// or hostile header must not make the program ask for gigabytes.
inline constexpr std::int64_t MaxDIBPixels = 100'000'000;

/// The 40-byte info header, field for field.
struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // negative: rows are stored top row first
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = BI_RGB;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = DefaultPelsPerMeter;
    std::int32_t biYPelsPerMeter = DefaultPelsPerMeter;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
inline constexpr int InfoHeaderSize = 40;
inline constexpr int FileHeaderSize = 14;

struct RGBQUAD {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    bool operator==(const RGBQUAD&) const = default;
};
static_assert(sizeof(RGBQUAD) == 4);

enum TVdPixelFormat : std::uint8_t {
    vdPf1Bit,
    vdPf4Bit,
    vdPf4BitRLE,
    vdPf8Bit,
    vdPf8BitRLE,
    vdPf24Bit,
};

/// Targets of a pixel-format change beyond the six formats: error diffusion to the 215-colour
/// halftone palette, and to black and white.
inline constexpr int vdPfHalftone = 6;
inline constexpr int vdPfHalftoneBW = 7;

/// Bytes of one uncompressed row: rows are padded to a multiple of 32 bits.
constexpr std::int64_t DIBRowLength(std::int64_t width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

/// The absolute value of a header height, without overflow for the most negative value.
constexpr std::int64_t AbsHeight(std::int32_t height) {
    return height < 0 ? -static_cast<std::int64_t>(height) : height;
}
