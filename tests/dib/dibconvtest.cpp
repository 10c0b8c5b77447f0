// The dibconv tool as a user runs it: on a file ImageMagick wrote, with ImageMagick reading
// the result, and on files it must refuse.
#include <gtest/gtest.h>

#include <QProcess>

#include "dib/dibimage.h"
#include "dibtesthelpers.h"

namespace {

struct TRun {
    int ExitCode;
    QString Error;
};

TRun Dibconv(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(TAMURIKA_DIBCONV), arguments);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(Dibconv, ConvertsAndImageMagickReadsTheResult) {
    TTempDir dir;
    const QString in = dir.File(QStringLiteral("logo.dib"));
    ASSERT_TRUE(RunConvert({"logo:", "-resize", "30%", "BMP3:" + in}));
    for (const char* format : {"1", "4", "4rle", "8", "8rle", "24", "halftone", "halftone-bw"}) {
        const QString out = dir.File(QStringLiteral("out-%1.bmp").arg(format));
        const TRun run = Dibconv({in, out, QString::fromLatin1(format)});
        ASSERT_EQ(run.ExitCode, 0) << format << ": " << run.Error.toStdString();
        const TDIBInfo written = ReadBytes(LoadFile(out));
        EXPECT_TRUE(SameImage(DIBToImage(written), ImageMagickDecode(out))) << format;
    }
    const QString copy = dir.File(QStringLiteral("copy.bmp"));
    ASSERT_EQ(Dibconv({in, copy}).ExitCode, 0);
    // The same file, except that the unset resolution is written as 96 per inch.
    EXPECT_EQ(LoadFile(copy).size(), LoadFile(in).size());
    EXPECT_EQ(LoadFile(copy).mid(54), LoadFile(in).mid(54));
    EXPECT_EQ(ReadBytes(LoadFile(dir.File("out-8rle.bmp"))).Compression(), BI_RLE8);
    EXPECT_EQ(ReadBytes(LoadFile(dir.File("out-halftone.bmp"))).ColorsUsed(), 215);
}

TEST(Dibconv, HighQualityReductionAndTheColourThatTurnsWhite) {
    TTempDir dir;
    // Two colours in one histogram cell (they differ only in the low bits that the fast
    // reduction drops) and a third far away.
    const QString in = dir.File(QStringLiteral("close.bmp"));
    ASSERT_TRUE(RunConvert({"-size", "4x2", "xc:rgb(8,8,8)", "xc:rgb(9,9,9)", "xc:rgb(200,40,40)",
                            "+append", "-type", "TrueColor", "BMP3:" + in}));
    const QString low = dir.File(QStringLiteral("low.bmp"));
    const QString high = dir.File(QStringLiteral("high.bmp"));
    ASSERT_EQ(Dibconv({in, low, "8"}).ExitCode, 0);
    ASSERT_EQ(Dibconv({"--high", in, high, "8"}).ExitCode, 0);
    EXPECT_EQ(ReadBytes(LoadFile(low)).ColorsUsed(), 2);
    EXPECT_EQ(ReadBytes(LoadFile(high)).ColorsUsed(), 3);
    EXPECT_TRUE(SameImage(ImageMagickDecode(high), ImageMagickDecode(in))); // nothing lost

    // At 1 bit the chosen colour becomes white and every other black, as ImageMagick reads it.
    const QString mono = dir.File(QStringLiteral("mono.bmp"));
    ASSERT_EQ(Dibconv({"--white", "C82828", in, mono, "1"}).ExitCode, 0);
    const QImage seen = ImageMagickDecode(mono);
    ASSERT_EQ(seen.width(), 12);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(seen.pixel(x, 0) & 0xFFFFFF, x >= 8 ? 0xFFFFFFu : 0u) << x;
    ASSERT_EQ(Dibconv({"--white", "#090909", in, mono, "1"}).ExitCode, 0);
    EXPECT_EQ(ImageMagickDecode(mono).pixel(4, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(ImageMagickDecode(mono).pixel(3, 1) & 0xFFFFFF, 0u);
    // Without --white only white turns white: here nothing.
    ASSERT_EQ(Dibconv({in, mono, "1"}).ExitCode, 0);
    EXPECT_EQ(ImageMagickDecode(mono).pixel(9, 0) & 0xFFFFFF, 0u);

    for (const QStringList& bad :
         {QStringList{"--white", in, mono}, QStringList{"--white", "red", in, mono},
          QStringList{"--white", "12345", in, mono}, QStringList{"--fast", in, mono}}) {
        EXPECT_EQ(Dibconv(bad).ExitCode, 2) << bad.join(' ').toStdString();
    }
}

TEST(Dibconv, RefusesWhatItCannotRead) {
    TTempDir dir;
    const QString text = dir.File(QStringLiteral("notes.dib"));
    SaveFile(text, "Dear diary, today I bought a calendar.");
    const TRun notBitmap = Dibconv({text, dir.File(QStringLiteral("out.bmp"))});
    EXPECT_EQ(notBitmap.ExitCode, 1);
    EXPECT_TRUE(notBitmap.Error.contains("TVdInternalDIB.LoadFromFile: File type is invalid"))
        << notBitmap.Error.toStdString();
    EXPECT_TRUE(LoadFile(dir.File(QStringLiteral("out.bmp"))).isEmpty());

    const TRun missing = Dibconv({dir.File(QStringLiteral("none.bmp")), text});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_FALSE(missing.Error.isEmpty());
    EXPECT_EQ(LoadFile(text), "Dear diary, today I bought a calendar."); // not touched

    EXPECT_EQ(Dibconv({text}).ExitCode, 2);
    EXPECT_EQ(Dibconv({text, text, "16"}).ExitCode, 2);
}
