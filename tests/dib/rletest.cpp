// The run-length codecs: codes decoded by hand-made data, rows encoded by the state machine,
// damaged data refused with its message, and our encoded files read back by ImageMagick.
#include <gtest/gtest.h>

#include <random>

#include "dib/diberrors.h"
#include "dib/dibimage.h"
#include "dib/rle.h"
#include "dibtesthelpers.h"

namespace {

/// A compressed bitmap of the given size holding `data`.
TDIBInfo Compressed(int width, int height, int bits, const QByteArray& data) {
    TDIBInfo info;
    info.Header = MakeInfoHeader(width, height, bits, 1 << bits);
    info.Header.biCompression = bits == 8 ? BI_RLE8 : BI_RLE4;
    info.Memory = GetMemory(static_cast<std::size_t>(data.size()), false);
    std::copy(data.begin(), data.end(), info.Bits());
    return info;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QByteArray BlockOf(const TDIBInfo& info) {
    return QByteArray(reinterpret_cast<const char*>(info.Bits()),
                      static_cast<qsizetype>(info.ImageSize()));
}

template <class Convert> std::string DecodeError(Convert convert, const TDIBInfo& source) {
    try {
        convert(source, false);
    } catch (const EVdDIBError& e) {
        return e.what();
    }
    return "";
}

/// A 8-bit bitmap whose single row holds `row`.
TDIBInfo Row8(const QByteArray& row) {
    std::vector<int> indices(row.begin(), row.end());
    for (int& i : indices)
        i &= 0xFF;
    return MakeIndexedDIB(static_cast<int>(row.size()), 1, 8, indices, std::vector<RGBQUAD>(256));
}

} // namespace

TEST(RLEDecode, EightBitCodes) {
    // Row 0: a run, an absolute run with padding; end of line; a delta; a run; end of bitmap.
    const TDIBInfo source =
        Compressed(6, 3, 8, Bytes({2, 9, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 1, 5, 0, 1}));
    const TDIBInfo out = Convert8BitRLETo8BitRGB(source, false);
    EXPECT_EQ(out.Compression(), BI_RGB);
    EXPECT_EQ(out.Header.biSizeImage, 0u);
    EXPECT_EQ(out.ImageSize(), 3u * 8);
    EXPECT_EQ(BlockOf(out), Bytes({9, 9, 1, 2, 3, 0, 0, 0, //
                                   0, 0, 0, 0, 0, 0, 0, 0, //
                                   0, 0, 5, 0, 0, 0, 0, 0}));
}

TEST(RLEDecode, EndOfBitmapAtOnceGivesABlackImage) {
    const TDIBInfo out = Convert8BitRLETo8BitRGB(Compressed(5, 2, 8, Bytes({0, 1})), false);
    EXPECT_EQ(BlockOf(out), QByteArray(16, '\0'));
    const TDIBInfo out4 = Convert4BitRLETo4BitRGB(Compressed(5, 2, 4, Bytes({0, 1})), false);
    EXPECT_EQ(BlockOf(out4), QByteArray(8, '\0'));
}

TEST(RLEDecode, FourBitCodesPlacePixelsByColumn) {
    // Delta to column 3, then one pixel: the low nibble of byte 1 becomes 15.
    const TDIBInfo delta =
        Convert4BitRLETo4BitRGB(Compressed(8, 1, 4, Bytes({0, 2, 3, 0, 1, 0xF0, 0, 1})), false);
    EXPECT_EQ(BlockOf(delta), Bytes({0x00, 0x0F, 0x00, 0x00}));

    // A run alternates the nibbles starting with the high one; an absolute run of 5 pixels
    // takes 3 bytes padded to 4.
    const TDIBInfo runs = Convert4BitRLETo4BitRGB(
        Compressed(9, 1, 4, Bytes({3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1})), false);
    EXPECT_EQ(BlockOf(runs), Bytes({0x12, 0x13, 0x45, 0x67, 0x00, 0x00, 0x00, 0x00}));

    // Pixels past an odd width land in the row's padding and are dropped.
    const TDIBInfo odd =
        Convert4BitRLETo4BitRGB(Compressed(3, 1, 4, Bytes({4, 0xAB, 0, 1})), false);
    EXPECT_EQ(BlockOf(odd), Bytes({0xAB, 0xA0, 0, 0}));
}

TEST(RLEDecode, RunsMayFillTheRowPaddingButNoFurther) {
    // A 6-pixel row is stored in 8 bytes; ImageMagick encodes all 8.
    const TDIBInfo padded =
        Convert8BitRLETo8BitRGB(Compressed(6, 1, 8, Bytes({4, 1, 0, 4, 2, 3, 4, 5, 0, 1})), false);
    EXPECT_EQ(BlockOf(padded), Bytes({1, 1, 1, 1, 2, 3, 0, 0}));
    EXPECT_EQ(DecodeError(Convert8BitRLETo8BitRGB, Compressed(6, 1, 8, Bytes({9, 1, 0, 1}))),
              "Convert8BitRLETo8BitRGB: Bad RLE Data 4");
    EXPECT_NO_THROW(Convert8BitRLETo8BitRGB(Compressed(4, 1, 8, Bytes({4, 1, 0, 1})), false));
    EXPECT_EQ(DecodeError(Convert8BitRLETo8BitRGB, Compressed(4, 1, 8, Bytes({5, 1, 0, 1}))),
              "Convert8BitRLETo8BitRGB: Bad RLE Data 4");
    // Four bits: 3 pixels in 4 bytes, room for 8 pixels.
    EXPECT_NO_THROW(Convert4BitRLETo4BitRGB(Compressed(3, 1, 4, Bytes({8, 1, 0, 1})), false));
    EXPECT_EQ(DecodeError(Convert4BitRLETo4BitRGB, Compressed(3, 1, 4, Bytes({9, 1, 0, 1}))),
              "Convert4BitRLETo4BitRGB: Bad RLE Data 8");
}

TEST(RLEDecode, DamagedDataIsRefusedWithItsMessage) {
    struct TCase {
        int Bits;
        QByteArray Data;
        const char* Message;
    };
    const TCase cases[] = {
        {8, Bytes({0, 0, 0, 0, 0, 0}), "Convert8BitRLETo8BitRGB: Bad RLE Data 1"},
        {8, Bytes({0, 2, 5, 0, 0, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 2"},
        {8, Bytes({0, 2, 0, 3, 0, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 2"},
        {8, Bytes({0, 5, 1, 2, 3, 4, 5, 0, 0, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 3"},
        {8, Bytes({0, 0, 0, 0, 0, 3, 1, 2, 3, 0}), "Convert8BitRLETo8BitRGB: Bad RLE Data 3"},
        {8, Bytes({0, 0, 0, 0, 1, 7}), "Convert8BitRLETo8BitRGB: Bad RLE Data 4"},
        {8, Bytes({2, 7}), "Convert8BitRLETo8BitRGB: Bad RLE Data (No End of Bitmap)"},
        {8, Bytes({0, 3, 1, 2}), "Convert8BitRLETo8BitRGB: Bad RLE Data (No End of Bitmap)"},
        {8, Bytes({0, 2, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data (No End of Bitmap)"},
        {8, QByteArray(), "Convert8BitRLETo8BitRGB: Bad RLE Data (No End of Bitmap)"},
        {4, Bytes({0, 0, 0, 0, 0, 0}), "Convert4BitRLETo4BitRGB: Bad RLE Data 5"},
        {4, Bytes({0, 2, 9, 0, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 6"},
        {4, Bytes({0, 9, 1, 2, 3, 4, 5, 0, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 7"},
        {4, Bytes({6, 1, 4, 1, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 8"},
        {4, Bytes({0, 4, 0x12}), "Convert4BitRLETo4BitRGB: Bad RLE Data (No End of Bitmap)"},
    };
    // Rows of 4 pixels: 4 bytes, so room for 4 pixels at 8 bits and 8 pixels at 4 bits.
    for (const TCase& c : cases) {
        const TDIBInfo source = Compressed(4, 2, c.Bits, c.Data);
        const std::string error = c.Bits == 8 ? DecodeError(Convert8BitRLETo8BitRGB, source)
                                              : DecodeError(Convert4BitRLETo4BitRGB, source);
        EXPECT_EQ(error, c.Message) << c.Data.toHex().toStdString();
    }
}

TEST(RLEDecode, WrongInputTypeIsRefused) {
    const TDIBInfo plain = MakeIndexedDIB(1, 1, 8, {0}, {});
    try {
        Convert8BitRLETo8BitRGB(plain, false);
        FAIL();
    } catch (const EVdDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(),
                     "Convert8BitRLETo8BitRGB: Invalid Bitcount & Compression Combination");
    }
    try {
        Convert4BitRLETo4BitRGB(Compressed(1, 1, 8, Bytes({0, 1})), false);
        FAIL();
    } catch (const EVdDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(),
                     "Convert4BitRLETo4BitRGB: Invalid Bitcount & Compression Combination");
    }
}

TEST(RLEEncode, LongRunsSplitAt255) {
    const TDIBInfo out = Convert8BitRGBTo8BitRLE(Row8(QByteArray(300, '\x2A')), false);
    EXPECT_EQ(BlockOf(out), Bytes({255, 42, 45, 42, 0, 0, 0, 1}));
    EXPECT_EQ(out.Compression(), BI_RLE8);
    EXPECT_EQ(out.Header.biSizeImage, 8u);
}

TEST(RLEEncode, ShortLiteralsBecomeRunsOfOne) {
    // Too small to encode: the work buffer is the 4-byte row, so give the row some width.
    TDIBInfo source = Row8(Bytes({1, 2, 3, 3, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    const TDIBInfo out = Convert8BitRGBTo8BitRLE(source, false);
    EXPECT_EQ(BlockOf(out), Bytes({1, 1, 1, 2, 2, 3, 12, 5, 0, 0, 0, 1}));
}

TEST(RLEEncode, LiteralsOfThreeOrMoreAreAbsoluteRunsPaddedToEven) {
    QByteArray row = Bytes({1, 2, 3, 4, 5});
    row += QByteArray(20, '\x07');
    const TDIBInfo out = Convert8BitRGBTo8BitRLE(Row8(row), false);
    EXPECT_EQ(BlockOf(out), Bytes({0, 5, 1, 2, 3, 4, 5, 0, 20, 7, 0, 0, 0, 1}));
}

TEST(RLEEncode, DataThatDoesNotShrinkIsRefused) {
    try {
        Convert8BitRGBTo8BitRLE(Row8(Bytes({7})), false);
        FAIL();
    } catch (const EVdDIBCompressionFailed& e) {
        EXPECT_STREQ(e.what(), "Convert8BitRGBTo8BitRLE: Compression Failed");
    }
    QByteArray noise;
    for (int i = 0; i < 64; ++i)
        noise.append(static_cast<char>(i));
    EXPECT_THROW(Convert8BitRGBTo8BitRLE(Row8(noise), false), EVdDIBCompressionFailed);
    EXPECT_THROW(Convert4BitRGBTo4BitRLE(MakeIndexedDIB(1, 1, 4, {3}, {}), false),
                 EVdDIBCompressionFailed);
}

TEST(RLEEncode, FourBitCountsStopAtTheRowsLastPixel) {
    // Width 9: five bytes per row, the last holding one real pixel.
    const TDIBInfo source =
        MakeIndexedDIB(9, 2, 4, {1, 0, 1, 0, 1, 0, 1, 0, 1, /**/ 3, 4, 5, 6, 7, 8, 9, 10, 11},
                       std::vector<RGBQUAD>(16));
    const TDIBInfo out = Convert4BitRGBTo4BitRLE(source, false);
    // Bottom row first: the literal 0x34 0x56 0x78 0x9A 0xB0 covers 9 pixels, padded to 6
    // bytes; the top row is a run of five 0x10 bytes, also 9 pixels. The 16 bytes fill the
    // work buffer exactly.
    EXPECT_EQ(BlockOf(out), Bytes({0, 9, 0x34, 0x56, 0x78, 0x9A, 0xB0, 0, 0, 0, //
                                   9, 0x10, 0, 0, 0, 1}));
    const TDIBInfo back = Convert4BitRLETo4BitRGB(out, false);
    EXPECT_EQ(BlockOf(back), BlockOf(source));
}

TEST(RLEEncode, TopDownSourcesAreWrittenBottomRowFirst) {
    TDIBInfo source = MakeIndexedDIB(8, 2, 8, {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2},
                                     std::vector<RGBQUAD>(256));
    // Turn the bottom-up bitmap into the same picture stored top row first.
    TDIBInfo topDown = CloneDIB(source, false);
    topDown.Header.biHeight = -2;
    std::swap_ranges(topDown.Row(0), topDown.Row(0) + 8, topDown.Row(1));
    const TDIBInfo a = Convert8BitRGBTo8BitRLE(source, false);
    const TDIBInfo b = Convert8BitRGBTo8BitRLE(topDown, false);
    EXPECT_EQ(b.Header.biHeight, 2);
    EXPECT_EQ(BlockOf(a), BlockOf(b));
    EXPECT_EQ(BlockOf(a), Bytes({8, 2, 0, 0, 8, 1, 0, 0, 0, 1}));
}

TEST(RLEEncode, RandomRowsSurviveTheRoundTrip) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 200; ++trial) {
        const int bits = trial % 2 ? 4 : 8;
        const int width = 1 + static_cast<int>(random() % 600);
        const int height = 1 + static_cast<int>(random() % 4);
        // Long runs, short runs and noise, so that every state of the encoder is visited.
        std::vector<int> indices;
        while (static_cast<int>(indices.size()) < width * height) {
            const int value = static_cast<int>(random() % (bits == 8 ? 256 : 16));
            const int length = random() % 3 == 0 ? 1 + static_cast<int>(random() % 300)
                                                 : 1 + static_cast<int>(random() % 3);
            for (int i = 0; i < length; ++i)
                indices.push_back(value);
        }
        indices.resize(static_cast<std::size_t>(width * height));
        const TDIBInfo source = MakeIndexedDIB(width, height, bits, indices, {});
        try {
            const TDIBInfo encoded = bits == 8 ? Convert8BitRGBTo8BitRLE(source, false)
                                               : Convert4BitRGBTo4BitRLE(source, false);
            ASSERT_LT(encoded.ImageSize(), source.ImageSize());
            const TDIBInfo decoded = bits == 8 ? Convert8BitRLETo8BitRGB(encoded, false)
                                               : Convert4BitRLETo4BitRGB(encoded, false);
            ASSERT_EQ(BlockOf(decoded), BlockOf(source)) << bits << " bits, " << width << " wide";
        } catch (const EVdDIBCompressionFailed&) {
            // Noisy rows may not shrink; that is refused, never stored.
        }
    }
}

TEST(RLEImageMagick, OurEncodingsReadBackByImageMagick) {
    // A picture with flat areas and detail, reduced to 16 and 256 colours by ImageMagick.
    TTempDir dir;
    for (const int colors : {16, 256}) {
        const QString source = dir.File(QStringLiteral("logo%1.bmp").arg(colors));
        ASSERT_TRUE(
            RunConvert({QStringLiteral("logo:"), QStringLiteral("-resize"), QStringLiteral("50%"),
                        QStringLiteral("-colors"), QString::number(colors), QStringLiteral("-type"),
                        QStringLiteral("Palette"), QStringLiteral("-compress"),
                        QStringLiteral("none"), QStringLiteral("BMP3:") + source}));
        const TDIBInfo plain = ReadBytes(LoadFile(source));
        ASSERT_EQ(plain.BitCount(), colors == 16 ? 4 : 8);
        const TDIBInfo encoded = colors == 16 ? Convert4BitRGBTo4BitRLE(plain, false)
                                              : Convert8BitRGBTo8BitRLE(plain, false);
        const QString written = dir.File(QStringLiteral("rle%1.bmp").arg(colors));
        SaveFile(written, WriteBytes(encoded));
        EXPECT_TRUE(SameImage(DIBToImage(plain), ImageMagickDecode(written)));
    }
}
