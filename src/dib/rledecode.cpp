// Run-length decoding. Every code is checked against the bitmap's bounds before a pixel is
// written and against the bytes left before one is read: the data comes from files.
#include <cstring>

#include "diberrors.h"
#include "rle.h"

namespace {

struct TDecodeMessages {
    const char* EndOfLine;
    const char* Delta;
    const char* Absolute;
    const char* Run;
    const char* Truncated;
};

constexpr TDecodeMessages Messages8 = {
    "Convert8BitRLETo8BitRGB: Bad RLE Data 1",
    "Convert8BitRLETo8BitRGB: Bad RLE Data 2",
    "Convert8BitRLETo8BitRGB: Bad RLE Data 3",
    "Convert8BitRLETo8BitRGB: Bad RLE Data 4",
    "Convert8BitRLETo8BitRGB: Bad RLE Data (No End of Bitmap)",
};

constexpr TDecodeMessages Messages4 = {
    "Convert4BitRLETo4BitRGB: Bad RLE Data 5",
    "Convert4BitRLETo4BitRGB: Bad RLE Data 6",
    "Convert4BitRLETo4BitRGB: Bad RLE Data 7",
    "Convert4BitRLETo4BitRGB: Bad RLE Data 8",
    "Convert4BitRLETo4BitRGB: Bad RLE Data (No End of Bitmap)",
};

template <int Bits> void Decode(const TDIBInfo& source, TDIBInfo& out, const TDecodeMessages& m) {
    const std::uint8_t* data = source.Bits();
    const std::size_t size = source.ImageSize();
    std::size_t pos = 0;
    const std::int64_t height = out.Height();
    const std::int64_t width = out.Width();
    // Positions are valid anywhere in the stored row, padding included: some writers (such
    // as ImageMagick) encode the padding bytes of each row as pixels. What lands in the
    // padding is dropped, so the decoded rows are the same whoever wrote them.
    const std::int64_t limit = static_cast<std::int64_t>(out.RowLength()) * 8 / Bits;
    std::int64_t x = 0; // [0, limit]
    std::int64_t y = 0; // [0, height]

    const auto need = [&](std::size_t n) {
        if (size - pos < n)
            RaiseDIB<EVdDIBInvalidDIB>(m.Truncated);
    };
    // Only called with y < height and column < limit.
    const auto put = [&](std::int64_t column, std::uint8_t value) {
        if (column >= width)
            return;
        std::uint8_t* row = out.Row(static_cast<int>(y));
        if constexpr (Bits == 8) {
            row[column] = value;
        } else if (column % 2 == 0) {
            row[column / 2] = static_cast<std::uint8_t>(value << 4);
        } else {
            row[column / 2] = static_cast<std::uint8_t>((row[column / 2] & 0xF0) | value);
        }
    };

    for (;;) {
        need(2);
        const int count = data[pos];
        const int value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            const std::int64_t start = x;
            x += count;
            if (x > limit || y >= height)
                RaiseDIB<EVdDIBInvalidDIB>(m.Run);
            for (int i = 0; i < count; ++i) {
                if constexpr (Bits == 8)
                    put(start + i, static_cast<std::uint8_t>(value));
                else
                    put(start + i, static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 15));
            }
        } else if (value == 0) { // end of line
            ++y;
            if (y > height)
                RaiseDIB<EVdDIBInvalidDIB>(m.EndOfLine);
            x = 0;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            need(2);
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            if (x > limit || y > height)
                RaiseDIB<EVdDIBInvalidDIB>(m.Delta);
        } else { // absolute run of `value` pixels
            const std::int64_t start = x;
            x += value;
            if (x > limit || y >= height)
                RaiseDIB<EVdDIBInvalidDIB>(m.Absolute);
            const std::size_t bytes =
                Bits == 8 ? (value + 1) & ~1 : static_cast<std::size_t>((value + 3) / 4 * 2);
            need(bytes);
            const std::uint8_t* literal = data + pos;
            for (int i = 0; i < value; ++i) {
                if constexpr (Bits == 8)
                    put(start + i, literal[i]);
                else
                    put(start + i, static_cast<std::uint8_t>(i % 2 == 0 ? literal[i / 2] >> 4
                                                                        : literal[i / 2] & 15));
            }
            pos += bytes;
        }
    }
}

template <int Bits>
TDIBInfo DecodeRLE(const TDIBInfo& source, bool UseFMO, std::uint32_t compression,
                   const char* typeMessage, const TDecodeMessages& messages) {
    if (source.BitCount() != Bits || source.Compression() != compression)
        RaiseDIB<EVdDIBBadDIBType>(typeMessage);
    TDIBInfo out = NewDIBLike(source, source.UncompressedSize(), UseFMO);
    out.Header.biCompression = BI_RGB;
    out.Header.biSizeImage = 0;
    Decode<Bits>(source, out, messages);
    return out;
}

} // namespace

TDIBInfo Convert8BitRLETo8BitRGB(const TDIBInfo& source, bool UseFMO) {
    return DecodeRLE<8>(source, UseFMO, BI_RLE8,
                        "Convert8BitRLETo8BitRGB: Invalid Bitcount & Compression Combination",
                        Messages8);
}

TDIBInfo Convert4BitRLETo4BitRGB(const TDIBInfo& source, bool UseFMO) {
    return DecodeRLE<4>(source, UseFMO, BI_RLE4,
                        "Convert4BitRLETo4BitRGB: Invalid Bitcount & Compression Combination",
                        Messages4);
}
