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
