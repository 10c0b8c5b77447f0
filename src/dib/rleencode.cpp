// Run-length encoding. A row goes through a small state machine that collects either a run of
// equal units or a literal stretch of differing ones; a unit is a pixel for 8 bits and a byte
// (a pixel pair) for 4 bits. The output grows in a work buffer the size of the uncompressed
// block, and every write first checks that the buffer has room for it and for the end codes
// still to come: data that does not get smaller is refused rather than stored.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "diberrors.h"
#include "platform/syserrors.h"
#include "rle.h"

namespace {

struct TEncodeMessages {
    const char* Type;
    const char* Failed;
    const char* WriteAbsolute;
};

template <int Bits> class TRLEEncoder {
  public:
    TRLEEncoder(std::size_t capacity, int width, const TEncodeMessages& m)
        : FBuffer(capacity), FWidth(width), FMessages(m) {}

    void EncodeRow(const std::uint8_t* row) {
        const int units = Bits == 8 ? FWidth : (FWidth + 1) / 2;
        enum { Start, Single, Run, Literal } state = Start;
        std::uint8_t value = 0; // the unit repeated by a run
        int count = 0;          // units in the run
        int start = 0;          // first unit of the run or literal
        int k = 0;              // units in the literal
        std::array<std::uint8_t, MaxUnits> literal;
        const auto begin = [&](std::uint8_t b, int i) {
            value = b;
            literal[0] = b;
            k = 1;
            start = i;
            state = Single;
        };

        for (int i = 0; i < units; ++i) {
            const std::uint8_t b = row[i];
            switch (state) {
            case Start:
                begin(b, i);
                break;
            case Single:
                if (b == value) {
                    count = 2;
                    state = Run;
                } else {
                    literal[1] = b;
                    k = 2;
                    state = Literal;
                }
                break;
            case Run:
                if (count != MaxUnits && b == value) {
                    ++count;
                } else {
                    WriteEncoded(start, count, value);
                    begin(b, i);
                }
                break;
            case Literal:
                if (k < MaxUnits && b != literal[k - 1]) {
                    literal[k++] = b;
                } else if (b == literal[k - 1]) {
                    // The last unit of the literal starts a run with this one.
                    --k;
                    WriteAbsolute(start, literal.data(), k);
                    start += k;
                    value = b;
                    count = 2;
                    state = Run;
                } else {
                    WriteAbsolute(start, literal.data(), k);
                    begin(b, i);
                }
                break;
            }
        }
        switch (state) {
        case Single:
            WriteEncoded(start, 1, value);
            break;
        case Run:
            WriteEncoded(start, count, value);
            break;
        case Literal:
            WriteAbsolute(start, literal.data(), k);
            break;
        case Start:
            break;
        }
        Room(4);
        Put(0);
        Put(0);
    }

    void EndOfBitmap() {
        Room(2);
        Put(0);
        Put(1);
    }

    const std::uint8_t* Data() const { return FBuffer.data(); }
    std::size_t Length() const { return FLength; }

  private:
    // Runs and literals of 4-bit data are counted in pixels, two per unit, and a count byte
    // holds at most 255.
    static constexpr int MaxUnits = Bits == 8 ? 255 : 127;

    /// Pixels covered by `units` units from unit `start`: the last unit of an odd-width 4-bit
    /// row holds only one real pixel.
    int Pixels(int start, int units) const {
        if constexpr (Bits == 8)
            return units;
        else
            return std::min(2 * units, FWidth - 2 * start);
    }

    void Room(std::size_t n) {
        if (FBuffer.size() - FLength < n)
            RaiseDIB<EVdDIBCompressionFailed>(FMessages.Failed);
    }

    void Put(int byte) { FBuffer[FLength++] = static_cast<std::uint8_t>(byte); }

    void WriteEncoded(int start, int units, std::uint8_t value) {
        Room(6);
        Put(Pixels(start, units));
        Put(value);
    }

    void WriteAbsolute(int start, const std::uint8_t* units, int k) {
        Assert(k > 0, FMessages.WriteAbsolute);
        // Absolute runs start at three pixels; shorter literals go as runs of one unit.
        if (k <= (Bits == 8 ? 2 : 1)) {
            for (int i = 0; i < k; ++i)
                WriteEncoded(start + i, 1, units[i]);
            return;
        }
        const std::size_t padded = (static_cast<std::size_t>(k) + 1) & ~std::size_t{1};
        Room(padded + 6);
        Put(0);
        Put(Pixels(start, k));
        for (int i = 0; i < k; ++i)
            Put(units[i]);
        if (k % 2 != 0)
            Put(0);
    }

    std::vector<std::uint8_t> FBuffer;
    std::size_t FLength = 0;
    int FWidth;
    const TEncodeMessages& FMessages;
};

template <int Bits>
TDIBInfo EncodeRLE(const TDIBInfo& source, bool UseFMO, std::uint32_t compression,
                   const TEncodeMessages& messages) {
    if (source.BitCount() != Bits || source.Compression() != BI_RGB)
        RaiseDIB<EVdDIBBadDIBType>(messages.Type);
    TRLEEncoder<Bits> encoder(source.UncompressedSize(), source.Width(), messages);
    // Encoded rows run bottom row first, whatever the order of the source.
    const int height = source.Height();
    for (int i = 0; i < height; ++i)
        encoder.EncodeRow(source.Row(source.TopDown() ? height - 1 - i : i));
    encoder.EndOfBitmap();

    TDIBInfo out = NewDIBLike(source, encoder.Length(), UseFMO);
    std::memcpy(out.Bits(), encoder.Data(), encoder.Length());
    out.Header.biHeight = height;
    out.Header.biCompression = compression;
    out.Header.biSizeImage = static_cast<std::uint32_t>(encoder.Length());
    return out;
}

constexpr TEncodeMessages Messages8 = {
    "Convert8BitRGBTo8BitRLE: Invalid Bitcount & Compression Combination",
    "Convert8BitRGBTo8BitRLE: Compression Failed",
    "Convert8BitRGBTo8BitRLE: WriteAbsolute Error",
};

constexpr TEncodeMessages Messages4 = {
    "Convert4BitRGBTo4BitRLE: Invalid Bitcount & Compression Combination",
    "Convert4BitRGBTo4BitRLE: Compression Failed",
    "Convert4BitRGBTo4BitRLE: WriteAbsolute Error",
};

} // namespace

TDIBInfo Convert8BitRGBTo8BitRLE(const TDIBInfo& source, bool UseFMO) {
    return EncodeRLE<8>(source, UseFMO, BI_RLE8, Messages8);
}

TDIBInfo Convert4BitRGBTo4BitRLE(const TDIBInfo& source, bool UseFMO) {
    return EncodeRLE<4>(source, UseFMO, BI_RLE4, Messages4);
}
