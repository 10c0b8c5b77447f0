// Bitmap files that no one here wrote: ImageMagick writes real pictures in every variant it
// can produce, we read them, and ImageMagick's own decoding of the same file is the reference,
// pixel by pixel. The other way round, ImageMagick reads what we write.
#include <gtest/gtest.h>

#include "dib/diberrors.h"
#include "dib/dibimage.h"
#include "dib/pixelconvert.h"
#include "dibtesthelpers.h"

using namespace Qt::StringLiterals;

namespace {

struct TVariant {
    const char* Name;
    QStringList Arguments; // between the source picture and the output file
    const char* Format;    // ImageMagick's output coder
    int StoredBits;        // what the reader keeps
    std::uint32_t StoredCompression;
    int Tolerance; // 16-bit channels are scaled up from 5 or 6 bits; rounding may differ by one
};

const TVariant Variants[] = {
    {"core 24-bit", {}, "BMP2", 24, BI_RGB, 0},
    {"core 8-bit", {"-colors", "100"}, "BMP2", 8, BI_RGB, 0},
    {"core 1-bit", {"-monochrome"}, "BMP2", 1, BI_RGB, 0},
    {"info 1-bit", {"-monochrome"}, "BMP3", 1, BI_RGB, 0},
    {"info 4-bit",
     {"-colors", "16", "-type", "Palette", "-compress", "none"},
     "BMP3",
     4,
     BI_RGB,
     0},
    {"info 8-bit", {"-colors", "200", "-compress", "none"}, "BMP3", 8, BI_RGB, 0},
    {"info 8-bit RLE", {"-colors", "200", "-compress", "RLE"}, "BMP3", 8, BI_RLE8, 0},
    {"info 4-bit colours, RLE8",
     {"-colors", "16", "-type", "Palette", "-compress", "RLE"},
     "BMP3",
     8,
     BI_RLE8,
     0},
    {"info 24-bit", {}, "BMP3", 24, BI_RGB, 0},
    {"info 32-bit", {"-alpha", "set", "-define", "bmp3:alpha=true"}, "BMP3", 24, BI_RGB, 0},
    {"v5 24-bit", {}, "BMP", 24, BI_RGB, 0},
    {"v5 16-bit 5-5-5 bit fields", {"-define", "bmp:subtype=RGB555"}, "BMP", 24, BI_RGB, 1},
    {"v5 16-bit 5-6-5 bit fields", {"-define", "bmp:subtype=RGB565"}, "BMP", 24, BI_RGB, 1},
    {"v5 32-bit bit fields", {"-alpha", "set"}, "BMP", 24, BI_RGB, 0},
    {"v5 8-bit", {"-colors", "64", "-compress", "none"}, "BMP", 8, BI_RGB, 0},
};

void PrintTo(const TVariant& v, std::ostream* os) {
    *os << v.Name;
}

class ImageMagickVariant : public ::testing::TestWithParam<TVariant> {};

/// The same picture stored top row first: the height's sign turned and the rows reversed.
QByteArray ToTopDown(const QByteArray& file, const TDIBInfo& info) {
    QByteArray out = file;
    const qsizetype offBits =
        static_cast<std::uint8_t>(file[10]) | static_cast<std::uint8_t>(file[11]) << 8;
    const std::int32_t height = -info.Height();
    for (int i = 0; i < 4; ++i)
        out[22 + i] = static_cast<char>((static_cast<std::uint32_t>(height) >> (8 * i)) & 0xFF);
    const qsizetype rowLength = static_cast<qsizetype>(info.RowLength());
    for (int y = 0; y < info.Height(); ++y)
        for (qsizetype i = 0; i < rowLength; ++i)
            out[offBits + y * rowLength + i] =
                file[offBits + (info.Height() - 1 - y) * rowLength + i];
    return out;
}

} // namespace

TEST_P(ImageMagickVariant, ReadsLikeImageMagick) {
    const TVariant& v = GetParam();
    TTempDir dir;
    const QString file = dir.File(QStringLiteral("variant.bmp"));
    QStringList arguments{QStringLiteral("rose:")};
    arguments += v.Arguments;
    arguments += QString::fromLatin1(v.Format) + u':' + file;
    ASSERT_TRUE(RunConvert(arguments));

    const TDIBInfo info = ReadBytes(LoadFile(file));
    EXPECT_EQ(info.BitCount(), v.StoredBits);
    EXPECT_EQ(info.Compression(), v.StoredCompression);
    EXPECT_EQ(info.Width(), 70);
    EXPECT_EQ(info.Height(), 46);
    EXPECT_TRUE(SameImage(ImageMagickDecode(file), DIBToImage(info), v.Tolerance));
}

INSTANTIATE_TEST_SUITE_P(Variants, ImageMagickVariant, ::testing::ValuesIn(Variants),
                         [](const ::testing::TestParamInfo<TVariant>& variant) {
                             QString name = QString::fromLatin1(variant.param.Name);
                             for (QChar& c : name)
                                 if (!c.isLetterOrNumber())
                                     c = u'_';
                             return name.toStdString();
                         });

TEST(ImageMagick, FilesWithAShortSizeFieldReadByTheirData) {
    // Writers that leave the file header's size 0, or count less than they wrote: the pixels
    // still run to the end of the file, uncompressed or run-length coded.
    TTempDir dir;
    for (const auto& [name, arguments] :
         {std::pair{"24-bit", QStringList{}},
          std::pair{"8-bit", QStringList{u"-colors"_s, u"200"_s, u"-compress"_s, u"none"_s}},
          std::pair{"8-bit RLE", QStringList{u"-colors"_s, u"200"_s, u"-compress"_s, u"RLE"_s}}}) {
        SCOPED_TRACE(name);
        const QString file = dir.File(QStringLiteral("short.bmp"));
        ASSERT_TRUE(
            RunConvert(QStringList{u"rose:"_s} + arguments + QStringList{u"BMP3:"_s + file}));
        const QByteArray bytes = LoadFile(file);
        const QImage reference = ImageMagickDecode(file);
        const std::size_t blockSize = ReadBytes(bytes).ImageSize();
        const std::uint32_t offBits = static_cast<std::uint8_t>(bytes[10]) |
                                      static_cast<std::uint8_t>(bytes[11]) << 8 |
                                      static_cast<std::uint8_t>(bytes[12]) << 16;
        for (const std::uint32_t sizeField : {0u, 20u, offBits, offBits + 100}) {
            QByteArray damaged = bytes;
            for (int i = 0; i < 4; ++i)
                damaged[2 + i] = static_cast<char>((sizeField >> (8 * i)) & 0xFF);
            const TDIBInfo info = ReadBytes(damaged);
            EXPECT_EQ(info.ImageSize(), blockSize) << "size field " << sizeField;
            EXPECT_TRUE(SameImage(reference, DIBToImage(info), 0)) << "size field " << sizeField;
        }
    }
}

TEST(ImageMagick, TopDownFilesReadLikeImageMagick) {
    TTempDir dir;
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"-colors", "16", "-type", "Palette", "-compress", "none"},
          QStringList{"-colors", "100", "-compress", "none"}, QStringList{"-monochrome"}}) {
        const QString bottomUp = dir.File(QStringLiteral("bottomup.bmp"));
        ASSERT_TRUE(RunConvert(QStringList{"rose:"} + arguments + QStringList{"BMP3:" + bottomUp}));
        const QByteArray bytes = LoadFile(bottomUp);
        const QString topDown = dir.File(QStringLiteral("topdown.bmp"));
        SaveFile(topDown, ToTopDown(bytes, ReadBytes(bytes)));
        const TDIBInfo info = ReadBytes(LoadFile(topDown));
        EXPECT_TRUE(info.TopDown());
        EXPECT_TRUE(SameImage(ImageMagickDecode(topDown), DIBToImage(info)))
            << arguments.join(u' ').toStdString();
    }
}

TEST(ImageMagick, ItsSixteenBitBMP3WithoutMasksIsRefused) {
    // ImageMagick's version-3 writer marks 16-bit pixels as bit fields but leaves the masks
    // out, so the pixels start where the masks should be.
    TTempDir dir;
    const QString file = dir.File(QStringLiteral("broken.bmp"));
    ASSERT_TRUE(RunConvert({"rose:", "-define", "bmp:subtype=RGB565", "BMP3:" + file}));
    try {
        ReadBytes(LoadFile(file));
        FAIL() << "read a file without its masks";
    } catch (const EVdDIBInvalidDIB& e) {
        EXPECT_STREQ(e.what(), "TVdInternalDIB.LoadFromFile: bfOffBits is too small");
    }
}

TEST(ImageMagick, ReadsWhatWeWriteAtEveryDepth) {
    TTempDir dir;
    const QString source = dir.File(QStringLiteral("logo.bmp"));
    ASSERT_TRUE(RunConvert({"logo:", "-resize", "40%", "BMP3:" + source}));
    const TDIBInfo original = ReadBytes(LoadFile(source));
    ASSERT_EQ(original.BitCount(), 24);
    const struct {
        const char* Name;
        int Target;
    } targets[] = {{"1", vdPf1Bit},
                   {"4", vdPf4Bit},
                   {"4rle", vdPf4BitRLE},
                   {"8", vdPf8Bit},
                   {"8rle", vdPf8BitRLE},
                   {"halftone", vdPfHalftone},
                   {"halftone-bw", vdPfHalftoneBW}};
    for (const auto& t : targets) {
        const TDIBInfo converted =
            ConvertPixelFormat(original, vdPf24Bit, t.Target, 0, {}, clWhite, false);
        const QString file = dir.File(QStringLiteral("out-%1.bmp").arg(t.Name));
        SaveFile(file, WriteBytes(converted));
        EXPECT_TRUE(SameImage(DIBToImage(converted), ImageMagickDecode(file))) << t.Name;
    }
}
