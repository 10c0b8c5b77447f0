// The bitmap file reader and writer on files built byte by byte: every header variant it takes,
// every refusal with its message, and the stored form of what it reads.
#include <gtest/gtest.h>

#include <QBuffer>

#include "dib/diberrors.h"
#include "dib/dibimage.h"
#include "dib/dibio.h"
#include "dib/vdinternaldib.h"
#include "dibtesthelpers.h"
#include "platform/syserrors.h"

namespace {

/// The message of the error that reading `bytes` raises, or "" when it reads.
template <class E = EVdDIBError> std::string ReadError(const QByteArray& bytes) {
    try {
        ReadBytes(bytes);
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

TBmpFile Small8Bit() {
    TBmpFile f;
    f.Width = 3;
    f.Height = 2;
    f.BitCount = 8;
    f.Table = RampTable(256);
    f.Pixels = QByteArray("\x01\x02\x03\x00\x04\x05\x06\x00", 8);
    return f;
}

} // namespace

TEST(DIBReader, EightBitsWithNoColourCountReadsAFullTable) {
    const TDIBInfo info = ReadBytes(Small8Bit().Bytes());
    EXPECT_EQ(info.ColorsUsed(), 256);
    EXPECT_EQ(info.ColorTable[255], (RGBQUAD{255, 0, 127, 0}));
    EXPECT_EQ(info.Width(), 3);
    EXPECT_EQ(info.Height(), 2);
    EXPECT_EQ(info.Header.biXPelsPerMeter, 3780); // zero resolutions become 96 per inch
    EXPECT_EQ(info.Header.biYPelsPerMeter, 3780);
    EXPECT_EQ(info.Row(1)[2], 6);
}

TEST(DIBReader, MoreThan256ColoursKeepsTheFirst256AndFindsThePixels) {
    TBmpFile f = Small8Bit();
    f.ClrUsed = 300;
    f.Table = RampTable(300);
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.ColorsUsed(), 256);
    EXPECT_EQ(info.ColorTable[200], (RGBQUAD{200, 55, 100, 0}));
    EXPECT_EQ(info.Row(0)[0], 1);
    EXPECT_EQ(info.Row(1)[2], 6);
}

TEST(DIBReader, SixteenBitsDefaultMasksBecome24Bits) {
    TBmpFile f;
    f.Width = 2;
    f.Height = 1;
    f.BitCount = 16;
    f.Pixels = QByteArray("\xFF\x7F\x00\x00", 4); // 0x7FFF white, 0x0000 black
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.BitCount(), 24);
    EXPECT_EQ(info.Compression(), BI_RGB);
    EXPECT_EQ(info.ImageSize(), 8u); // one row of 6 bytes padded to 8
    const std::uint8_t* row = info.Row(0);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(row), 6),
              QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6));
}

TEST(DIBReader, SixteenBitsScaleEachChannelByItsMask) {
    // 5-6-5 masks: full red, half green (32 of 63), one step of blue.
    TBmpFile f;
    f.Width = 1;
    f.Height = 1;
    f.BitCount = 16;
    f.Compression = BI_BITFIELDS;
    f.Masks = {0xF800, 0x07E0, 0x001F};
    const std::uint16_t pixel = (31 << 11) | (32 << 5) | 1;
    f.Pixels = QByteArray(4, '\0');
    f.Pixels[0] = static_cast<char>(pixel & 0xFF);
    f.Pixels[1] = static_cast<char>(pixel >> 8);
    const TDIBInfo info = ReadBytes(f.Bytes());
    const std::uint8_t* p = info.Row(0);
    EXPECT_EQ(p[2], 255);             // red: 248 * 255 / 248
    EXPECT_EQ(p[1], 128 * 255 / 252); // green: 32 << 2 of full scale 252
    EXPECT_EQ(p[0], 8 * 255 / 248);   // blue: 1 << 3 of full scale 248
}

TEST(DIBReader, ThirtyTwoBitsWithBitFieldsFollowTheMasks) {
    TBmpFile f;
    f.Width = 1;
    f.Height = 2;
    f.BitCount = 32;
    f.Compression = BI_BITFIELDS;
    f.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000}; // red in the low byte
    f.Pixels = QByteArray("\x10\x20\x30\x00\xFF\x00\x00\x00", 8);
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.ColorsUsed(), 0);
    EXPECT_EQ(info.Row(0)[0], 0x30); // blue
    EXPECT_EQ(info.Row(0)[1], 0x20);
    EXPECT_EQ(info.Row(0)[2], 0x10); // red
    EXPECT_EQ(info.Row(1)[2], 0xFF);
}

TEST(DIBReader, BitFieldsMasksAreNotMistakenForTheColourTable) {
    TBmpFile f;
    f.Width = 1;
    f.Height = 1;
    f.BitCount = 32;
    f.Compression = BI_BITFIELDS;
    f.ClrUsed = 2;
    f.Masks = {0xFF0000, 0xFF00, 0xFF};
    f.Table = RampTable(2);
    f.Pixels = QByteArray("\x01\x02\x03\x00", 4);
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.ColorsUsed(), 2);
    EXPECT_EQ(info.ColorTable[0], (RGBQUAD{0, 255, 0, 0}));
    EXPECT_EQ(info.ColorTable[1], (RGBQUAD{1, 254, 0, 0}));
    EXPECT_EQ(info.ColorTable[2], RGBQUAD{});
}

TEST(DIBReader, VersionFiveHeaderCarriesItsMasksInside) {
    TBmpFile f;
    f.HeaderSize = 124;
    f.Width = 1;
    f.Height = 1;
    f.BitCount = 16;
    f.Compression = BI_BITFIELDS;
    f.Masks = {0x7C00, 0x03E0, 0x001F, 0};
    f.Pixels = QByteArray("\x1F\x00\x00\x00", 4); // pure blue
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.Header.biSize, 40u);
    EXPECT_EQ(info.Row(0)[0], 255);
    EXPECT_EQ(info.Row(0)[1], 0);
    EXPECT_EQ(info.Row(0)[2], 0);
}

TEST(DIBReader, ZeroMaskIsRefused) {
    TBmpFile f;
    f.BitCount = 32;
    f.Compression = BI_BITFIELDS;
    f.Masks = {0xFF0000, 0, 0xFF};
    f.Pixels = QByteArray(4, '\0');
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(f.Bytes()),
              "TVdInternalDIB.LoadFromStream: Invalid Masks");
}

TEST(DIBReader, CoreHeaderConvertsToAnInfoHeader) {
    TBmpFile f;
    f.HeaderSize = 12;
    f.Width = 2;
    f.Height = 1;
    f.BitCount = 24;
    f.Pixels = QByteArray("\x01\x02\x03\x04\x05\x06\x00\x00", 8);
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.ColorsUsed(), 0);
    EXPECT_EQ(info.Header.biSize, 40u);
    EXPECT_EQ(info.BitCount(), 24);
    EXPECT_EQ(info.Header.biXPelsPerMeter, 3780);
    EXPECT_EQ(info.Row(0)[5], 6);

    TBmpFile p;
    p.HeaderSize = 12;
    p.Width = 1;
    p.Height = 1;
    p.BitCount = 1;
    p.Table = QByteArray("\x10\x20\x30\x40\x50\x60", 6); // two (blue, green, red) triples
    p.Pixels = QByteArray("\x80\x00\x00\x00", 4);
    const TDIBInfo mono = ReadBytes(p.Bytes());
    EXPECT_EQ(mono.ColorsUsed(), 2);
    EXPECT_EQ(mono.ColorTable[1], (RGBQUAD{0x40, 0x50, 0x60, 0}));
    EXPECT_EQ(DIBToImage(mono).pixel(0, 0), qRgb(0x60, 0x50, 0x40));
}

TEST(DIBReader, TopDownRowsKeepTheirOrderAndSign) {
    TBmpFile f;
    f.Width = 1;
    f.Height = -2;
    f.BitCount = 24;
    f.Pixels = QByteArray("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8); // top red, bottom blue
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.Header.biHeight, -2);
    EXPECT_EQ(info.Height(), 2);
    const QImage image = DIBToImage(info);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
}

TEST(DIBReader, RefusesDamagedHeadersWithTheirMessages) {
    TBmpFile notBM = Small8Bit();
    notBM.Type = 0x4142;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIBFile>(notBM.Bytes()),
              "TVdInternalDIB.LoadFromFile: File type is invalid");

    TBmpFile header64 = Small8Bit();
    header64.HeaderSize = 64;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(header64.Bytes()),
              "TVdInternalDIB.LoadFromStream: Invalid Bitmap Header Size");

    TBmpFile bits2 = Small8Bit();
    bits2.BitCount = 2;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(bits2.Bytes()),
              "TVdInternalDIB.LoadFromStream: Invalid BitCout");

    TBmpFile core16;
    core16.HeaderSize = 12;
    core16.BitCount = 16;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(core16.Bytes()),
              "TVdInternalDIB.LoadFromStream: Invalid BitCount");

    for (const auto& [w, h] : {std::pair{0, 2}, std::pair{-3, 2}, std::pair{3, 0}}) {
        TBmpFile size = Small8Bit();
        size.Width = w;
        size.Height = h;
        EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(size.Bytes()),
                  "TVdInternalDIB.LoadFromStream: Invalid Width or Height")
            << w << " x " << h;
    }

    TBmpFile offset = Small8Bit();
    offset.OffBits = 14 + 40 + 255 * 4; // points into the last colour of the table
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(offset.Bytes()),
              "TVdInternalDIB.LoadFromFile: bfOffBits is too small");

    TBmpFile coreOffset;
    coreOffset.HeaderSize = 12;
    coreOffset.BitCount = 1;
    coreOffset.Table = QByteArray(6, '\0');
    coreOffset.OffBits = 14 + 12 + 3;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(coreOffset.Bytes()),
              "TVdInternalDIB.LoadFromFile: bfOffBits is too small");
}

TEST(DIBReader, RefusesCompressionsThatDoNotFitTheDepth) {
    for (const auto& [bits, compression] :
         {std::pair{24, BI_RLE8}, std::pair{8, BI_RLE4}, std::pair{4, BI_RLE8},
          std::pair{8, BI_BITFIELDS}, std::pair{24, 4u /* JPEG */}, std::pair{8, 5u /* PNG */}}) {
        TBmpFile f = Small8Bit();
        f.BitCount = static_cast<std::uint16_t>(bits);
        f.Compression = compression;
        EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(f.Bytes()),
                  "TVdInternalDIB.LoadFromStream: Invalid Compression")
            << bits << " bits, compression " << compression;
    }
}

TEST(DIBReader, RefusesHugePicturesBeforeAllocating) {
    TBmpFile f = Small8Bit();
    f.Width = 20000;
    f.Height = -20000; // 400 million pixels
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(f.Bytes()),
              "TVdInternalDIB.LoadFromStream: Image Too Large");
    f.Height = INT32_MIN;
    f.Width = 1;
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(f.Bytes()),
              "TVdInternalDIB.LoadFromStream: Image Too Large");
}

TEST(DIBReader, SixteenAndThirtyTwoBitTopDownAreRefused) {
    TBmpFile f;
    f.Height = -1;
    f.BitCount = 32;
    f.Pixels = QByteArray(4, '\0');
    EXPECT_EQ(ReadError<EVdDIBInvalidDIB>(f.Bytes()),
              "TVdInternalDIB.LoadFromStream: Top-Down 16/32 Bit DIB is not supported");
}

TEST(DIBReader, ShortStreamsRaiseTheReadError) {
    // The size field promises more pixels than the file holds.
    TBmpFile f = Small8Bit();
    f.FileSize = 14 + 40 + 1024 + 800;
    EXPECT_NE(ReadError<EReadError>(f.Bytes()), "");

    // Cut inside the header, the table and the rows of a 32-bit file.
    const QByteArray whole = Small8Bit().Bytes();
    for (const int cut : {10, 30, 600})
        EXPECT_NE(ReadError<EReadError>(whole.left(cut)), "") << cut;
    TBmpFile deep;
    deep.Width = 4;
    deep.Height = 4;
    deep.BitCount = 32;
    deep.Pixels = QByteArray(40, '\x7F');
    EXPECT_NE(ReadError<EReadError>(deep.Bytes()), "");

    // A colour count of four thousand million must not be skipped past the end.
    TBmpFile colours = Small8Bit();
    colours.ClrUsed = 0xFFFFFFFF;
    EXPECT_NE(ReadError<EReadError>(colours.Bytes()), "");
}

TEST(DIBReader, ShortUncompressedBlockIsPaddedWithColourZero) {
    TBmpFile f = Small8Bit();
    f.Pixels = QByteArray("\x01\x02\x03", 3); // the bottom row, unpadded; the top row is missing
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.ImageSize(), 8u);
    EXPECT_EQ(info.Row(0)[2], 3);
    EXPECT_EQ(info.Row(1)[0], 0);
    EXPECT_EQ(info.Row(1)[2], 0);
}

TEST(DIBReader, CompressedDataStaysCompressed) {
    TBmpFile f = Small8Bit();
    f.Compression = BI_RLE8;
    f.Pixels = QByteArray("\x03\x07\x00\x00\x00\x01", 6);
    const TDIBInfo info = ReadBytes(f.Bytes());
    EXPECT_EQ(info.Compression(), BI_RLE8);
    EXPECT_EQ(info.ImageSize(), 6u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(info.Bits()), 6), f.Pixels);
}

TEST(DIBWriter, FreshStorageSavesAs1082Bytes) {
    TVdInternalDIB dib(false);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    dib.SaveToStream(buffer);
    ASSERT_EQ(bytes.size(), 1082); // 14 + 40 + 1024 + 4
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[2]) | static_cast<std::uint8_t>(bytes[3]) << 8, 1082);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[10]) | static_cast<std::uint8_t>(bytes[11]) << 8,
              1078);
}

TEST(DIBWriter, WrittenFilesReadBackByteForByte) {
    TBmpFile f = Small8Bit();
    f.ClrUsed = 7;
    f.Table = RampTable(7);
    f.XPelsPerMeter = 2835;
    f.YPelsPerMeter = 2835;
    const QByteArray original = f.Bytes();
    const QByteArray written = WriteBytes(ReadBytes(original));
    EXPECT_EQ(written, original);
}

TEST(DIBWriter, AFullDeviceRaisesTheWriteError) {
    TVdInternalDIB dib(false);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly); // takes no bytes
    EXPECT_THROW(dib.SaveToStream(buffer), EWriteError);
}

TEST(DIBClipboard, PackedDIBRoundTrip) {
    TBmpFile f = Small8Bit();
    f.ClrUsed = 9;
    f.Table = RampTable(9);
    f.XPelsPerMeter = 3780;
    f.YPelsPerMeter = 3780;
    TVdInternalDIB dib(false);
    QByteArray bytes = f.Bytes();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    dib.LoadFromStream(buffer);
    const QByteArray packed = dib.SaveToClipboardFormat();
    EXPECT_EQ(packed.size(), 40 + 9 * 4 + 8);
    EXPECT_EQ(packed, bytes.mid(14)); // a packed DIB is the file without its file header

    TVdInternalDIB other(true);
    other.LoadFromClipboardFormat(packed);
    EXPECT_EQ(other.SaveToClipboardFormat(), packed);
    EXPECT_EQ(other.Width(), 3);
    EXPECT_EQ(other.Height(), 2);
}

TEST(DIBClipboard, TrueColourWithoutTableAndCoreHeaders) {
    // 24 bits with no colours: the pixels follow the header directly.
    TBmpFile f;
    f.Width = 1;
    f.Height = 1;
    f.Pixels = QByteArray("\x11\x22\x33\x00", 4);
    TVdInternalDIB dib(false);
    dib.LoadFromClipboardFormat(f.Bytes().mid(14));
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 0);
    EXPECT_EQ(dib.DIBInfo().Row(0)[2], 0x33);

    TBmpFile core;
    core.HeaderSize = 12;
    core.Width = 9;
    core.Height = 1;
    core.BitCount = 1;
    core.Table = QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    core.Pixels = QByteArray("\x80\x80\x00\x00", 4);
    dib.LoadFromClipboardFormat(core.Bytes().mid(14));
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 2);
    const QImage image = DIBToImage(dib.DIBInfo());
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(8, 0), qRgb(255, 255, 255));
}

TEST(DIBClipboard, RefusesDamagedData) {
    TVdInternalDIB dib(false);
    const auto message = [&dib](const QByteArray& data) -> std::string {
        try {
            dib.LoadFromClipboardFormat(data);
        } catch (const Exception& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(message(QByteArray("\x28\x00", 2)),
              "TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Data");
    EXPECT_EQ(message(QByteArray("\x20\x00\x00\x00", 4) + QByteArray(60, '\1')),
              "TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Data");
    TBmpFile f = Small8Bit();
    EXPECT_EQ(message(f.Bytes().mid(14, 500)), // the table is cut short
              "TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Data");
    f.BitCount = 3;
    EXPECT_EQ(message(f.Bytes().mid(14)),
              "TVdInternalDIB.LoadFromClipboardFormat: Invalid biBitCount");
    f.BitCount = 8;
    f.Width = 0;
    EXPECT_EQ(message(f.Bytes().mid(14)), "TVdInternalDIB.LoadFromStream: Invalid Width or Height");
    // The failed loads left the fresh bitmap alone.
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 256);
}

TEST(DIBStorage, FailedLoadKeepsTheStoredBitmap) {
    TVdInternalDIB dib(true);
    QByteArray good = Small8Bit().Bytes();
    QBuffer in(&good);
    in.open(QIODevice::ReadOnly);
    dib.LoadFromStream(in);
    dib.Palette();

    TBmpFile broken = Small8Bit();
    broken.Compression = BI_RLE8;
    broken.Width = 100;
    broken.FileSize = 1u << 27; // far more than the file holds
    QByteArray bad = broken.Bytes();
    QBuffer badIn(&bad);
    badIn.open(QIODevice::ReadOnly);
    EXPECT_THROW(dib.LoadFromStream(badIn), EReadError);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.DIBInfo().Row(1)[2], 6);
}

TEST(DIBStorage, CreateDIBMakesABlackBitmap) {
    TVdInternalDIB dib(true);
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.Height(), 1);
    EXPECT_EQ(dib.DIBInfo().BitCount(), 8);
    EXPECT_EQ(dib.DIBInfo().ColorsUsed(), 256);
    EXPECT_GE(dib.DIBInfo().MapHandle(), 0); // pixels in a shared memory mapping
    EXPECT_TRUE(dib.FPaletteModified);

    dib.CreateDIB(5, -3, 16, 4);
    const TDIBInfo& info = dib.DIBInfo();
    EXPECT_EQ(info.Header.biHeight, -3);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(info.ImageSize(), 12u);
    EXPECT_EQ(info.Header.biXPelsPerMeter, 3780);
    for (std::size_t i = 0; i < info.ImageSize(); ++i)
        EXPECT_EQ(info.Bits()[i], 0);
    for (const RGBQUAD& q : info.ColorTable)
        EXPECT_EQ(q, RGBQUAD{});

    TVdInternalDIB heap(false);
    EXPECT_EQ(heap.DIBInfo().MapHandle(), -1);

    for (const auto& [w, h, c, b] :
         {std::tuple{0, 1, 0, 8}, std::tuple{1, 0, 0, 8}, std::tuple{1, 1, 257, 8},
          std::tuple{1, 1, -1, 8}, std::tuple{1, 1, 0, 16}, std::tuple{1, 1, 0, 32}}) {
        try {
            dib.CreateDIB(w, h, c, b);
            ADD_FAILURE() << "accepted " << w << " " << h << " " << c << " " << b;
        } catch (const EVdDIBInvalidDIBPara& e) {
            EXPECT_STREQ(e.what(), "TVdInternalDIB.CreateDIB: Invalid Parameters");
        }
    }
    EXPECT_EQ(dib.Width(), 5); // unchanged by the refusals
}

TEST(DIBStorage, PaletteFollowsTheColourTable) {
    TVdInternalDIB dib(false);
    dib.CreateDIB(1, 1, 0, 24);
    EXPECT_EQ(dib.Palette(), nullptr);

    TDIBInfo info = MakeIndexedDIB(1, 1, 4, {0}, {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}});
    dib.TakeOver(std::move(info));
    const HPALETTE palette = dib.Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->palVersion, 0x300);
    ASSERT_EQ(palette->palPalEntry.size(), 3u);
    EXPECT_EQ(palette->palPalEntry[2], (TPaletteEntry{9, 8, 7, 0}));
    EXPECT_EQ(dib.Palette(), palette); // made once
    dib.UpdatePalette();
    EXPECT_NE(dib.Palette(), palette);

    dib.FRefCount = 2;
    EXPECT_THROW(dib.UpdatePalette(), EAssertionFailed);
    dib.FRefCount = 1;
}

TEST(DIBStorage, PixelFormatClassification) {
    struct TCase {
        int Bits;
        std::uint32_t Compression;
        int Format; // -1: refused
        const char* Message;
    };
    const TCase cases[] = {
        {1, BI_RGB, vdPf1Bit, ""},
        {4, BI_RGB, vdPf4Bit, ""},
        {4, BI_RLE4, vdPf4BitRLE, ""},
        {8, BI_RGB, vdPf8Bit, ""},
        {8, BI_RLE8, vdPf8BitRLE, ""},
        {24, BI_RGB, vdPf24Bit, ""},
        {1, BI_RLE8, -1, "TVdInternalDIB.GetPixelFormat: Invalid DIB(1Bit)"},
        {4, BI_RLE8, -1, "TVdInternalDIB.GetPixelFormat: Invalid DIB(4Bit)"},
        {8, BI_RLE4, -1, "TVdInternalDIB.GetPixelFormat: Invalid DIB(8Bit)"},
        {24, BI_RLE8, -1, "TVdInternalDIB.GetPixelFormat: Invalid DIB(24Bit)"},
        {16, BI_RGB, -1, "TVdInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)"},
    };
    for (const TCase& c : cases) {
        TDIBInfo info;
        info.Header = MakeInfoHeader(1, 1, c.Bits, 0);
        info.Header.biCompression = c.Compression;
        info.Memory = GetMemory(8, false);
        TVdInternalDIB dib(false);
        dib.TakeOver(std::move(info));
        if (c.Format >= 0) {
            EXPECT_EQ(dib.GetPixelFormat(), c.Format) << c.Bits;
        } else {
            try {
                dib.GetPixelFormat();
                ADD_FAILURE() << c.Bits << " bits, compression " << c.Compression;
            } catch (const EVdDIBInvalidDIB& e) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
    }
}
