// The bitmap reader. The file format is Microsoft's published one; what this reader adds are
// the checks below, each with its own message, and the conversion of 16- and 32-bit pixels to
// 24 bits so that a stored bitmap only ever has 1, 4, 8 or 24 bits per pixel.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <QBuffer>

#include "bytereader.h"
#include "diberrors.h"
#include "dibio.h"
#include "platform/syserrors.h"

namespace {

constexpr int CoreHeaderSize = 12;
constexpr int MaxInfoHeaderSize = 124; // BITMAPV5HEADER
constexpr std::int64_t MaxTableColors = 256;
// The largest pixel block a picture within MaxDIBPixels can need (24 bits, padded rows); a
// compressed block claiming more is as implausible as a picture claiming too many pixels.
constexpr std::int64_t MaxImageSize = MaxDIBPixels * 3 + 4 * 65536;

/// Header sizes read as an info header: 40, the Adobe variants with bit-field masks inside the
/// header (52, 56), and the version 4 and 5 headers (108, 124) whose colour-space fields are not
/// needed to show the pixels.
bool IsInfoHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

BITMAPINFOHEADER ParseInfoHeader(const std::uint8_t* h) {
    BITMAPINFOHEADER hdr;
    hdr.biSize = InfoHeaderSize;
    hdr.biWidth = static_cast<std::int32_t>(LE32(h + 4));
    hdr.biHeight = static_cast<std::int32_t>(LE32(h + 8));
    hdr.biPlanes = LE16(h + 12);
    hdr.biBitCount = LE16(h + 14);
    hdr.biCompression = LE32(h + 16);
    hdr.biSizeImage = LE32(h + 20);
    hdr.biXPelsPerMeter = static_cast<std::int32_t>(LE32(h + 24));
    hdr.biYPelsPerMeter = static_cast<std::int32_t>(LE32(h + 28));
    hdr.biClrUsed = LE32(h + 32);
    hdr.biClrImportant = LE32(h + 36);
    if (hdr.biXPelsPerMeter == 0)
        hdr.biXPelsPerMeter = DefaultPelsPerMeter;
    if (hdr.biYPelsPerMeter == 0)
        hdr.biYPelsPerMeter = DefaultPelsPerMeter;
    return hdr;
}

bool IsReadableBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

/// Colours a header announces: 0 means a full table for 1, 4 and 8 bits and none otherwise.
std::int64_t AnnouncedColors(const BITMAPINFOHEADER& hdr) {
    if (hdr.biClrUsed == 0 && hdr.biBitCount <= 8)
        return std::int64_t{1} << hdr.biBitCount;
    return hdr.biClrUsed;
}

/// Only the compressions that fit the depth are taken: anything else (JPEG or PNG inside a
/// bitmap, run-length codes at the wrong depth) would be stored in a form no conversion or
/// drawing can use.
void CheckCompression(const BITMAPINFOHEADER& hdr, const char* message) {
    const std::uint32_t c = hdr.biCompression;
    const int bits = hdr.biBitCount;
    const bool ok = c == BI_RGB || (c == BI_RLE8 && bits == 8) || (c == BI_RLE4 && bits == 4) ||
                    (c == BI_BITFIELDS && (bits == 16 || bits == 32));
    if (!ok)
        RaiseDIB<EVdDIBInvalidDIB>(message);
}

void CheckSize(const BITMAPINFOHEADER& hdr) {
    if (hdr.biWidth <= 0 || hdr.biHeight == 0)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid Width or Height");
    if (std::int64_t{hdr.biWidth} * AbsHeight(hdr.biHeight) > MaxDIBPixels)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Image Too Large");
}

/// The colour table as raw bytes (the masks of a BI_BITFIELDS file land in front of it).
std::uint8_t* TableBytes(TDIBInfo& info) {
    return reinterpret_cast<std::uint8_t*>(info.ColorTable.data());
}

/// Red, green and blue masks of 16- and 32-bit pixels.
struct TMasks {
    std::array<std::uint32_t, 3> Value{};
    bool Present = false;
};

/// Moves the masks that a 40-byte-header BI_BITFIELDS file puts before its colour table out
/// of the table.
TMasks TakeMasksFromTable(TDIBInfo& info) {
    TMasks masks;
    std::uint8_t* t = TableBytes(info);
    for (int i = 0; i < 3; ++i)
        masks.Value[i] = LE32(t + 4 * i);
    masks.Present = true;
    std::memmove(t, t + 12, sizeof(RGBQUAD) * 256);
    std::memset(t + sizeof(RGBQUAD) * 256, 0, 12);
    return masks;
}

/// Where the masks and colour table that follow an info header lie, and how much of the table
/// is kept.
struct TTableLayout {
    std::int64_t Colors = 0; // announced
    std::int64_t Kept = 0;   // at most MaxTableColors
    /// A 40-byte header with BI_BITFIELDS: three masks stand between the header and the table.
    bool MasksBeforeTable = false;

    /// Bytes of the masks and the whole table.
    std::int64_t Bytes() const { return Colors * 4 + (MasksBeforeTable ? 12 : 0); }
    /// Bytes copied into TDIBInfo::ColorTable: the masks and the entries kept.
    std::int64_t KeptBytes() const { return Kept * 4 + (MasksBeforeTable ? 12 : 0); }
};

TTableLayout TableLayout(const BITMAPINFOHEADER& hdr, std::uint32_t headerSize) {
    TTableLayout table;
    table.Colors = AnnouncedColors(hdr);
    table.Kept = std::min(table.Colors, MaxTableColors);
    table.MasksBeforeTable = hdr.biCompression == BI_BITFIELDS && headerSize == 40;
    return table;
}

/// Once the table's KeptBytes stand in info's table: the masks of 16- and 32-bit pixels, from
/// in front of the table or from inside a longer `header`, and the table cut to the colours kept.
TMasks TakeMasks(TDIBInfo& info, const TTableLayout& table, const std::uint8_t* header,
                 std::uint32_t headerSize) {
    TMasks masks;
    if (table.MasksBeforeTable) {
        masks = TakeMasksFromTable(info);
    } else if (info.Header.biCompression == BI_BITFIELDS && headerSize > 40) {
        for (int i = 0; i < 3; ++i)
            masks.Value[i] = LE32(header + 40 + 4 * i);
        masks.Present = true;
    }
    info.Header.biClrUsed = static_cast<std::uint32_t>(table.Kept);
    return masks;
}

/// An OS/2 core header of CoreHeaderSize bytes as an info header, its colours not yet counted.
BITMAPINFOHEADER ParseCoreHeader(const std::uint8_t* h) {
    BITMAPINFOHEADER hdr = MakeInfoHeader(LE16(h + 4), LE16(h + 6), LE16(h + 10), 0);
    hdr.biPlanes = LE16(h + 8);
    return hdr;
}

/// A core header's table: a full one of RGB triples for 1, 4 and 8 bits, none for 24.
int CoreTableEntries(int bits) {
    return bits == 24 ? 0 : 1 << bits;
}

void SetCoreTable(TDIBInfo& info, const std::uint8_t* triples, int entries) {
    for (int i = 0; i < entries; ++i) {
        const std::uint8_t* t = triples + 3 * i;
        info.ColorTable[i] = RGBQUAD{t[0], t[1], t[2], 0};
    }
    info.Header.biClrUsed = static_cast<std::uint32_t>(entries);
}

/// One mask's scaling: the component is ((pixel and mask) shifted right by Shift, or left by
/// −Shift) × 255 div Full, where Full (128..255) is the mask's value at that shift.
struct TChannel {
    std::uint32_t Mask;
    int Shift = 0;
    std::uint32_t Full;

    explicit TChannel(std::uint32_t mask) : Mask(mask) {
        std::uint32_t m = mask;
        while (m >= 256) {
            m >>= 1;
            ++Shift;
        }
        while (m < 128) {
            m <<= 1;
            --Shift;
        }
        Full = m;
    }

    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint32_t bits = pixel & Mask;
        const std::uint32_t scaled = Shift >= 0 ? bits >> Shift : bits << -Shift; // [0, Full]
        return static_cast<std::uint8_t>(scaled * 255 / Full);
    }
};

/// Reads the rows of a 16- or 32-bit bitmap and stores them as 24 bits.
void ReadHighColorPixels(TByteReader& in, TDIBInfo& info, const TMasks& fileMasks, bool UseFMO) {
    BITMAPINFOHEADER& hdr = info.Header;
    // The rows are converted in file order into a bottom-up block; top-down input would need
    // its rows reversed, and no writer of these depths produces it.
    if (hdr.biHeight < 0)
        RaiseDIB<EVdDIBInvalidDIB>(
            "TVdInternalDIB.LoadFromStream: Top-Down 16/32 Bit DIB is not supported");
    const bool is16 = hdr.biBitCount == 16;
    const std::int64_t width = hdr.biWidth;
    const std::int64_t height = hdr.biHeight;
    const std::int64_t srcRow = is16 ? (width * 2 + 3) & ~std::int64_t{3} : width * 4;
    const std::int64_t dstRow = (width * 3 + 3) & ~std::int64_t{3};

    std::array<std::uint32_t, 3> masks;
    if (hdr.biCompression == BI_BITFIELDS && fileMasks.Present)
        masks = fileMasks.Value;
    else if (is16)
        masks = {0x7C00, 0x03E0, 0x001F};
    else
        masks = {0xFF0000, 0x00FF00, 0x0000FF};
    if (masks[0] == 0 || masks[1] == 0 || masks[2] == 0)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid Masks");
    const TChannel red(masks[0]);
    const TChannel green(masks[1]);
    const TChannel blue(masks[2]);

    in.Require(srcRow * height);
    info.Memory = GetMemory(static_cast<std::size_t>(dstRow * height), UseFMO);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(srcRow));
    for (std::int64_t y = 0; y < height; ++y) {
        in.Read(row.data(), srcRow);
        std::uint8_t* out = info.Bits() + y * dstRow;
        for (std::int64_t x = 0; x < width; ++x) {
            const std::uint32_t pixel = is16 ? LE16(row.data() + 2 * x) : LE32(row.data() + 4 * x);
            out[3 * x] = blue(pixel);
            out[3 * x + 1] = green(pixel);
            out[3 * x + 2] = red(pixel);
        }
    }
    hdr.biCompression = BI_RGB;
    hdr.biBitCount = 24;
    hdr.biSizeImage = 0;
}

/// Reads the pixel block that follows the header and table. `imageSize` is what the container
/// says the block holds.
void ReadPixels(TByteReader& in, TDIBInfo& info, std::int64_t imageSize, const TMasks& masks,
                bool UseFMO) {
    if (info.BitCount() == 16 || info.BitCount() == 32) {
        ReadHighColorPixels(in, info, masks, UseFMO);
        return;
    }
    // A size field smaller than the offset would make the block's size negative.
    if (imageSize < 0)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromFile: bfSize is too small");
    if (imageSize > MaxImageSize)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Image Too Large");
    // An uncompressed block shorter than its rows is padded with zeros (colour 0), so that
    // nothing ever reads past it; a truncated picture shows what it has.
    std::int64_t blockSize = imageSize;
    if (info.Compression() == BI_RGB)
        blockSize =
            std::max<std::int64_t>(imageSize, static_cast<std::int64_t>(info.UncompressedSize()));
    in.Require(imageSize);
    info.Memory = GetMemory(static_cast<std::size_t>(blockSize), UseFMO);
    in.Read(info.Bits(), imageSize);
}

} // namespace

TDIBInfo ReadDIBFile(QIODevice& stream, bool UseFMO) {
    TByteReader in(stream);
    std::array<std::uint8_t, FileHeaderSize> fh;
    in.Read(fh.data(), fh.size());
    if (LE16(fh.data()) != 0x4D42) // "BM"
        RaiseDIB<EVdDIBInvalidDIBFile>("TVdInternalDIB.LoadFromFile: File type is invalid");
    const std::int64_t fileSize = LE32(fh.data() + 2);
    const std::int64_t offBits = LE32(fh.data() + 10);

    std::array<std::uint8_t, MaxInfoHeaderSize> hb{};
    in.Read(hb.data(), 4);
    const std::uint32_t headerSize = LE32(hb.data());

    TDIBInfo info;
    TMasks masks;
    std::int64_t minOffset = 0;
    if (IsInfoHeaderSize(headerSize)) {
        in.Read(hb.data() + 4, headerSize - 4);
        info.Header = ParseInfoHeader(hb.data());
        BITMAPINFOHEADER& hdr = info.Header;
        if (!IsReadableBitCount(hdr.biBitCount))
            RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid BitCout");
        CheckCompression(hdr, "TVdInternalDIB.LoadFromStream: Invalid Compression");
        const TTableLayout table = TableLayout(hdr, headerSize);
        in.Read(TableBytes(info), table.KeptBytes());
        in.Skip((table.Colors - table.Kept) * 4);
        masks = TakeMasks(info, table, hb.data(), headerSize);
        minOffset = FileHeaderSize + headerSize + table.Bytes();
    } else if (headerSize == CoreHeaderSize) {
        in.Read(hb.data() + 4, CoreHeaderSize - 4);
        info.Header = ParseCoreHeader(hb.data());
        const int bits = info.Header.biBitCount;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
            RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid BitCount");
        const int entries = CoreTableEntries(bits);
        std::vector<std::uint8_t> triples(static_cast<std::size_t>(entries) * 3);
        in.Read(triples.data(), static_cast<std::int64_t>(triples.size()));
        SetCoreTable(info, triples.data(), entries);
        minOffset = FileHeaderSize + CoreHeaderSize + 3 * entries;
    } else {
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid Bitmap Header Size");
    }

    if (offBits < minOffset)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromFile: bfOffBits is too small");
    // The block's size comes from the file header, not from the bitmap's dimensions.
    std::int64_t imageSize = fileSize - offBits;
    in.Skip(offBits - in.Position());
    CheckSize(info.Header);
    // Some writers leave the size field 0 or count less than they wrote. When the stream knows
    // its length, a block the field makes shorter than the data is read by the data: the rows
    // of an uncompressed bitmap (bytes after them are no pixels), all of a compressed one.
    const std::optional<std::int64_t> remaining = in.Remaining();
    if (remaining && imageSize < *remaining) {
        std::int64_t real = *remaining;
        if (info.Compression() == BI_RGB)
            real = std::min(real, static_cast<std::int64_t>(info.UncompressedSize()));
        imageSize = std::max(imageSize, real);
    }
    ReadPixels(in, info, imageSize, masks, UseFMO);
    return info;
}

TDIBInfo ReadPackedDIB(const QByteArray& data, bool UseFMO) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const std::int64_t size = data.size();
    const auto invalid = [] {
        RaiseDIB<EVdDIBInvalidDIB>("TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Data");
    };
    if (size < 4)
        invalid();
    const std::uint32_t headerSize = LE32(bytes);
    TDIBInfo info;
    TMasks masks;
    std::int64_t length = 0; // header and colour table; the pixels follow
    if (IsInfoHeaderSize(headerSize)) {
        if (size < headerSize)
            invalid();
        info.Header = ParseInfoHeader(bytes);
    } else if (headerSize == CoreHeaderSize) {
        if (size < CoreHeaderSize)
            invalid();
        info.Header = ParseCoreHeader(bytes);
    } else {
        invalid();
    }
    BITMAPINFOHEADER& hdr = info.Header;
    if (hdr.biWidth <= 0 || hdr.biHeight == 0)
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromStream: Invalid Width or Height");
    const bool core = headerSize == CoreHeaderSize;
    if (!IsReadableBitCount(hdr.biBitCount) ||
        (core && (hdr.biBitCount == 16 || hdr.biBitCount == 32)))
        RaiseDIB<EVdDIBInvalidDIB>("TVdInternalDIB.LoadFromClipboardFormat: Invalid biBitCount");
    CheckCompression(hdr, "TVdInternalDIB.LoadFromClipboardFormat: Invalid Compression");

    if (core) {
        const int entries = CoreTableEntries(hdr.biBitCount);
        length = CoreHeaderSize + 3 * entries;
        if (length > size)
            invalid();
        SetCoreTable(info, bytes + CoreHeaderSize, entries);
    } else {
        const TTableLayout table = TableLayout(hdr, headerSize);
        length = headerSize + table.Bytes();
        if (length > size)
            invalid();
        std::memcpy(TableBytes(info), bytes + headerSize,
                    static_cast<std::size_t>(table.KeptBytes()));
        masks = TakeMasks(info, table, bytes, headerSize);
    }
    CheckSize(hdr);

    QByteArray pixels = QByteArray::fromRawData(data.constData() + length, size - length);
    QBuffer buffer(&pixels);
    buffer.open(QIODevice::ReadOnly);
    TByteReader in(buffer);
    ReadPixels(in, info, size - length, masks, UseFMO);
    return info;
}
