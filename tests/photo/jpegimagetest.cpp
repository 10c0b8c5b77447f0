#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "../common/jpegfiles.h"
#include "../common/photofiles.h"
#include <array>

#include "photo/exif.h"
#include "photo/jpegimage.h"
#include "photo/picture.h"
#include "platform/areareducer.h"
#include "platform/bitmap.h"

using testing_support::Convert;
using testing_support::MakeQuarters;
using testing_support::Near;
using testing_support::WithExifOrientation;

namespace {

const QRgb Red = qRgb(255, 0, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Lime = qRgb(0, 255, 0);

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The colour at the centre of each quarter of a picture: top-left, top-right, bottom-left,
// bottom-right.
std::array<QRgb, 4> Quarters(const QImage& image) {
    const int w = image.width(), h = image.height();
    return {image.pixel(w / 4, h / 4), image.pixel(3 * w / 4, h / 4), image.pixel(w / 4, 3 * h / 4),
            image.pixel(3 * w / 4, 3 * h / 4)};
}

class JpegFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(
            MakeQuarters(Path("q.jpg"), 64, 48, {QStringLiteral("-quality"), QStringLiteral("95")}))
            << "ImageMagick's convert is needed";
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QTemporaryDir Dir;
};

} // namespace

TEST_F(JpegFiles, DecodesAFileWrittenByImageMagick) {
    TPicture picture;
    picture.LoadFromFile(Path("q.jpg"));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.Height(), 48);
    const QImage image = picture.Graphic()->ToImage();
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    const auto q = Quarters(image);
    EXPECT_TRUE(Near(q[0], Blue));
    EXPECT_TRUE(Near(q[1], Red));
    EXPECT_TRUE(Near(q[2], Red));
    EXPECT_TRUE(Near(q[3], Lime));
}

TEST_F(JpegFiles, GreyProgressiveAndCmykPicturesDecodeLikeImageMagickDecodesThem) {
    struct Case {
        const char* name;
        QStringList args;
    };
    const Case cases[] = {
        {"grey.jpg", {QStringLiteral("-colorspace"), QStringLiteral("Gray")}},
        {"progressive.jpg", {QStringLiteral("-interlace"), QStringLiteral("Plane")}},
        {"cmyk.jpg", {QStringLiteral("-colorspace"), QStringLiteral("CMYK")}},
        {"h1v1.jpg", {QStringLiteral("-sampling-factor"), QStringLiteral("1x1")}},
    };
    for (const Case& c : cases) {
        const QString file = Path(c.name);
        ASSERT_TRUE(MakeQuarters(file, 80, 60, c.args)) << c.name;
        ASSERT_TRUE(Convert({file, QStringLiteral("-colorspace"), QStringLiteral("sRGB"),
                             Path(QString::fromLatin1(c.name) + ".png")}));
        const QImage expected(Path(QString::fromLatin1(c.name) + ".png"));
        TJPEGImage jpeg;
        jpeg.LoadFromFile(file);
        const QImage image = jpeg.ToImage();
        ASSERT_EQ(image.size(), expected.size()) << c.name;
        for (int y = 2; y < image.height(); y += 7)
            for (int x = 2; x < image.width(); x += 7)
                ASSERT_TRUE(Near(image.pixel(x, y), expected.pixel(x, y), 24))
                    << c.name << " at " << x << "," << y;
    }
}

TEST_F(JpegFiles, ExifOrientationTurnsThePictureAsImageMagickDoes) {
    const QByteArray plain = ReadAll(Path("q.jpg"));
    for (bool bigEndian : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const QString file = Path(QStringLiteral("o%1%2.jpg").arg(orientation).arg(bigEndian));
            ASSERT_TRUE(WriteAll(file, WithExifOrientation(plain, orientation, bigEndian)));
            ASSERT_TRUE(Convert({file, QStringLiteral("-auto-orient"), file + ".png"}));
            const QImage expected(file + ".png");

            TPicture picture;
            picture.LoadFromFile(file);
            const bool turned = orientation >= 5;
            EXPECT_EQ(picture.Width(), turned ? 48 : 64) << orientation;
            EXPECT_EQ(picture.Height(), turned ? 64 : 48) << orientation;
            const QImage image = picture.Graphic()->ToImage();
            ASSERT_EQ(image.size(), expected.size()) << orientation;
            const auto got = Quarters(image);
            const auto want = Quarters(expected);
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(Near(got[i], want[i]))
                    << "orientation " << orientation << " quarter " << i;
        }
    }
}

TEST_F(JpegFiles, EveryOrientationIsTurnedPixelForPixelAsImageMagickTurnsIt) {
    // Red grows to the right and green downwards, so every pixel tells where it came from;
    // the size is no multiple of the 16 rows decoded at a time.
    QImage ramp(70, 53, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixel(x, y, qRgb(x * 255 / 69, y * 255 / 52, 128));
    ASSERT_TRUE(ramp.save(Path("ramp.png")));
    for (const char* colours : {"sRGB", "CMYK"}) {
        const QString plain = Path(QStringLiteral("ramp-%1.jpg").arg(colours));
        ASSERT_TRUE(
            Convert({Path("ramp.png"), QStringLiteral("-colorspace"), QString::fromLatin1(colours),
                     QStringLiteral("-quality"), QStringLiteral("98"), plain}));
        for (int orientation = 2; orientation <= 8; ++orientation) {
            const QString file =
                Path(QStringLiteral("ramp-%1-%2.jpg").arg(colours).arg(orientation));
            ASSERT_TRUE(WriteAll(file, WithExifOrientation(ReadAll(plain), orientation, false)));
            ASSERT_TRUE(
                Convert({file, QStringLiteral("-auto-orient"), QStringLiteral("-colorspace"),
                         QStringLiteral("sRGB"), file + ".png"}));
            const QImage expected = QImage(file + ".png").convertToFormat(QImage::Format_RGB32);
            TJPEGImage jpeg;
            jpeg.LoadFromFile(file);
            const QImage image = jpeg.ToImage();
            ASSERT_EQ(image.size(), expected.size()) << colours << " " << orientation;
            int wrong = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    wrong += !Near(image.pixel(x, y), expected.pixel(x, y), 16);
            EXPECT_EQ(wrong, 0) << colours << " orientation " << orientation;

            // Reduced while decoding for a printer: the same as ImageMagick's upright picture
            // averaged down to two thirds.
            const QSize limit(expected.width() * 2 / 3, expected.height() * 2 / 3);
            TAreaReducer reference(expected.size(), limit);
            for (int y = 0; y < expected.height(); ++y)
                reference.AddRow(reinterpret_cast<const QRgb*>(expected.constScanLine(y)));
            const QImage reduced = jpeg.ToImageWithin(limit);
            ASSERT_EQ(reduced.size(), limit) << colours << " " << orientation;
            wrong = 0;
            for (int y = 0; y < limit.height(); ++y)
                for (int x = 0; x < limit.width(); ++x)
                    wrong += !Near(reduced.pixel(x, y), reference.Result().pixel(x, y), 16);
            EXPECT_EQ(wrong, 0) << colours << " reduced, orientation " << orientation;
        }
    }
}

TEST_F(JpegFiles, ReducedScalesDecodeSmallerPictures) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Path("q.jpg"));
    EXPECT_EQ(jpeg.ToImageForSize(QSize(8, 6)).size(), QSize(8, 6));
    // Short by less than an eighth (8 of 9 columns) still counts; by more, the next halving.
    EXPECT_EQ(jpeg.ToImageForSize(QSize(9, 6)).size(), QSize(8, 6));
    EXPECT_EQ(jpeg.ToImageForSize(QSize(10, 6)).size(), QSize(16, 12));
    EXPECT_EQ(jpeg.ToImageForSize(QSize(30, 10)).size(), QSize(32, 24));
    EXPECT_EQ(jpeg.ToImageForSize(QSize(4000, 3000)).size(), QSize(64, 48)); // never enlarged
    EXPECT_TRUE(Near(Quarters(jpeg.ToImageForSize(QSize(8, 6)))[0], Blue, 60));
    // Only halvings: 3/8 would cover 20 × 15 too, but decodes as slowly as the full picture.
    TJPEGImage fresh;
    fresh.LoadFromFile(Path("q.jpg"));
    EXPECT_EQ(fresh.ToImageForSize(QSize(20, 15)).size(), QSize(32, 24));

    jpeg.SetScale(jsQuarter);
    EXPECT_EQ(jpeg.Width(), 16);
    EXPECT_EQ(jpeg.Height(), 12);
    EXPECT_EQ(jpeg.ToImage().size(), QSize(16, 12));
    jpeg.SetScale(jsFullSize);
    EXPECT_EQ(jpeg.ToImage().size(), QSize(64, 48));
}

TEST_F(JpegFiles, ADecodingIsKeptForEverySizeItCoversAndCopiesShareIt) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Path("q.jpg")); // 64 × 48
    const QImage quarter = jpeg.ToImageForSize(QSize(16, 12));
    ASSERT_EQ(quarter.size(), QSize(16, 12));
    // Smaller sizes get the same pixels rather than a decoding of their own, and so does a copy.
    EXPECT_EQ(jpeg.ToImageForSize(QSize(8, 6)).cacheKey(), quarter.cacheKey());
    EXPECT_EQ(jpeg.Clone()->ToImageForSize(QSize(10, 5)).cacheKey(), quarter.cacheKey());
    // A larger size is decoded and kept instead.
    const QImage full = jpeg.ToImageForSize(QSize(60, 45));
    ASSERT_EQ(full.size(), QSize(64, 48));
    EXPECT_EQ(jpeg.ToImageForSize(QSize(16, 12)).cacheKey(), full.cacheKey());
    EXPECT_TRUE(Near(Quarters(full)[3], Lime));
    // New bytes forget it.
    jpeg.LoadFromFile(Path("q.jpg"));
    EXPECT_NE(jpeg.ToImageForSize(QSize(60, 45)).cacheKey(), full.cacheKey());
}

TEST_F(JpegFiles, SavingWritesTheBytesThatWereRead) {
    TPicture picture;
    picture.LoadFromFile(Path("q.jpg"));
    picture.SaveToFile(Path("copy.jpg"));
    EXPECT_EQ(ReadAll(Path("copy.jpg")), ReadAll(Path("q.jpg")));
}

TEST_F(JpegFiles, BitmapsAndJpegImagesConvertIntoEachOther) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Path("q.jpg"));
    TBitmap bitmap;
    bitmap.Assign(jpeg);
    EXPECT_EQ(bitmap.Width(), 64);
    EXPECT_TRUE(Near(Quarters(bitmap.Image())[3], Lime));

    TJPEGImage again;
    again.Assign(bitmap);
    EXPECT_EQ(again.Width(), 64);
    EXPECT_EQ(again.Height(), 48);
    again.SaveToFile(Path("again.jpg"));
    // ImageMagick reads what our encoder wrote.
    ASSERT_TRUE(Convert({Path("again.jpg"), Path("again.png")}));
    EXPECT_TRUE(Near(Quarters(QImage(Path("again.png")))[0], Blue));
}

TEST_F(JpegFiles, DamagedFilesGiveTheirMessageAndLeaveThePictureAlone) {
    const QByteArray good = ReadAll(Path("q.jpg"));
    TPicture picture;
    picture.LoadFromFile(Path("q.jpg"));
    const TGraphic* before = picture.Graphic();

    auto expectFailure = [&](const QByteArray& bytes, const QString& messageStart) {
        ASSERT_TRUE(WriteAll(Path("bad.jpg"), bytes));
        try {
            picture.LoadFromFile(Path("bad.jpg"));
            ADD_FAILURE() << "no error for " << messageStart.toStdString();
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().startsWith(messageStart)) << e.what();
        }
        EXPECT_EQ(picture.Graphic(), before);
        EXPECT_EQ(picture.Width(), 64);
    };

    expectFailure(QByteArray(), QStringLiteral("JPEGイメージではありません。"));
    expectFailure(QByteArray("GIF89a........"), QStringLiteral("JPEGイメージではありません。"));
    // A quantisation table marker with a length running past the end of the file.
    QByteArray header = good.left(good.indexOf("\xFF\xDB") + 2) + QByteArray("\xFF\xFF", 2);
    expectFailure(header, QStringLiteral("JPEGイメージ"));
    // The start-of-frame marker overwritten: no frame before the scan.
    QByteArray noFrame = good;
    const qsizetype sof = noFrame.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    noFrame[sof + 1] = char(0xCF); // an arithmetic lossless frame, which libjpeg refuses
    expectFailure(noFrame, QStringLiteral("JPEGイメージが壊れているため読み込めません（"));

    // Cut in the middle of the scan: the header is fine, decoding must fail.
    // So must reducing it for a printer, whose second thread stops with it.
    TJPEGImage cut;
    cut.LoadFromBytes(good.left(good.size() - 30));
    for (bool reduced : {false, true}) {
        try {
            (void)(reduced ? cut.ToImageWithin(QSize(20, 15)) : cut.ToImage());
            ADD_FAILURE() << "a picture cut short decoded, reduced: " << reduced;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral(
                          "JPEGイメージのデータが途中で切れています。ファイルが壊れています。"));
        }
    }
}

TEST_F(JpegFiles, HeadersClaimingOverAHundredMillionPixelsAreRefused) {
    const QByteArray good = ReadAll(Path("q.jpg"));
    const qsizetype sof = good.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    // Start of frame: marker, length (2), precision (1), height (2), width (2).
    auto withSize = [&](int w, int h) {
        QByteArray b = good;
        b[sof + 5] = char(h >> 8);
        b[sof + 6] = char(h & 0xFF);
        b[sof + 7] = char(w >> 8);
        b[sof + 8] = char(w & 0xFF);
        return b;
    };
    EXPECT_EQ(TJPEGImage::ReadSize(withSize(10000, 10000)), QSize(10000, 10000));
    try {
        TJPEGImage::ReadSize(withSize(10000, 10001));
        ADD_FAILURE() << "100,010,000 pixels accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(
            e.Message(),
            QStringLiteral(
                "画像が大きすぎます（10000 × 10001 ピクセル）。1 億ピクセルまでの画像を使ってください。"));
    }
    // The largest size a JPEG header can state: refused at once, nothing decoded.
    TJPEGImage jpeg;
    EXPECT_THROW(jpeg.LoadFromBytes(withSize(65500, 65500)), EInvalidGraphic);
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_THROW((void)DecodeJPEG(withSize(65500, 65500)), EInvalidGraphic);
}

TEST(JpegExif, MalformedBlocksReadAsUpright) {
    const unsigned char notExif[] = "JFIF\0\0II*\0";
    EXPECT_EQ(ExifOrientation(notExif, sizeof notExif), ExifUpright);
    // A directory offset far past the end of the block.
    const unsigned char farOffset[] = {'E', 'x', 'i', 'f',  0,    0,    'I',
                                       'I', 42,  0,   0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(ExifOrientation(farOffset, sizeof farOffset), ExifUpright);
    // An entry count promising more entries than the block holds.
    const unsigned char shortDir[] = {'E', 'x', 'i', 'f', 0, 0,    'M',  'M',  0,
                                      42,  0,   0,   0,   8, 0xFF, 0xFF, 0x01, 0x12};
    EXPECT_EQ(ExifOrientation(shortDir, sizeof shortDir), ExifUpright);
    // Orientation 9 does not exist.
    const unsigned char nine[] = {'E', 'x', 'i',  'f',  0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                                  1,   0,   0x12, 0x01, 3, 0, 1,   0,   0,  0, 9, 0, 0, 0};
    EXPECT_EQ(ExifOrientation(nine, sizeof nine), ExifUpright);
    EXPECT_EQ(ExifOrientation(nullptr, 0), ExifUpright);
}

TEST_F(JpegFiles, DamagedBytesAnywhereGiveAMessageOrAPictureNeverACrash) {
    // Mutants of a baseline and a progressive picture: every one either decodes or raises the
    // picture error (the sanitizer build watches memory while they do).
    ASSERT_TRUE(MakeQuarters(Path("p.jpg"), 40, 30,
                             {QStringLiteral("-interlace"), QStringLiteral("Plane")}));
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u; // a fixed sequence, the same on every run
        return seed >> 8;
    };
    for (const char* name : {"q.jpg", "p.jpg"}) {
        const QByteArray good = ReadAll(Path(QString::fromLatin1(name)));
        ASSERT_FALSE(good.isEmpty());
        int decoded = 0, refused = 0;
        for (int i = 0; i < 300; ++i) {
            QByteArray bytes = good;
            if (i % 3 == 0) {
                bytes.truncate(next() % bytes.size());
            } else {
                for (int flips = 1 + next() % 4; flips > 0; --flips)
                    bytes[next() % bytes.size()] = char(next() & 0xFF);
            }
            try {
                TJPEGImage jpeg;
                jpeg.LoadFromBytes(bytes);
                const QImage image = jpeg.ToImage();
                EXPECT_EQ(image.size(), QSize(jpeg.Width(), jpeg.Height()));
                (void)jpeg.ToImageForSize(QSize(5, 4));
                ++decoded;
            } catch (const EInvalidGraphic& e) {
                EXPECT_FALSE(e.Message().isEmpty());
                ++refused;
            }
        }
        EXPECT_GT(decoded, 0) << name;
        EXPECT_GT(refused, 0) << name;
    }
}

// Damaged scan data is decoded past, as every reader does, and noted; libjpeg-turbo's own djpeg
// says "Corrupt JPEG data" of the same files. A few stray bytes between segments, as some
// cameras write, are no damage; many are scan data the decoder could not use.
TEST_F(JpegFiles, DamagedScanDataIsDecodedPastAndNotedAsDjpegWarnsOfIt) {
    ASSERT_TRUE(
        Convert({QStringLiteral("-size"), QStringLiteral("640x480"), QStringLiteral("-seed"),
                 QStringLiteral("27"), QStringLiteral("plasma:fractal"), QStringLiteral("-quality"),
                 QStringLiteral("90"), Path("plasma.jpg")}));
    const QByteArray good = ReadAll(Path("plasma.jpg"));
    const qsizetype scan = good.lastIndexOf("\xFF\xDA") + 20; // inside the scan data
    ASSERT_GT(scan, 100);
    const auto scrambled = [&](int from, int count) {
        QByteArray bytes = good;
        for (int i = 0; i < count; ++i) {
            const qsizetype at = scan + (good.size() - scan) * from / 100 + i * 7;
            // Never a marker made or unmade: no 0xFF, nor the zero stuffed after one.
            if (bytes[at - 1] != char(0xFF) && bytes[at] != char(0xFF) &&
                bytes[at + 1] != char(0xFF) && bytes[at] != char(0xA5))
                bytes[at] = char(bytes[at] ^ 0x5A);
        }
        return bytes;
    };
    QByteArray stray = good;
    stray.insert(good.size() - 2, QByteArray("\x00\x00\x00", 3)); // before the end marker
    const struct {
        const char* Name;
        QByteArray Bytes;
        bool Damaged; // as the file was made: djpeg must agree
    } cases[] = {{"good.jpg", good, false},
                 {"third.jpg", scrambled(30, 60), true},
                 {"half.jpg", scrambled(50, 200), true},
                 {"stray.jpg", stray, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(WriteAll(Path(c.Name), c.Bytes));
        QString djpeg;
        QProcess process;
        process.start(QStringLiteral("djpeg"),
                      {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), Path(c.Name)});
        ASSERT_TRUE(process.waitForFinished(30000));
        djpeg = QString::fromLocal8Bit(process.readAllStandardError());
        static const QRegularExpression extraneous(QStringLiteral("(\\d+) extraneous bytes"));
        const QRegularExpressionMatch few = extraneous.match(djpeg);
        const bool corrupt = djpeg.contains(QStringLiteral("Corrupt JPEG data")) &&
                             !(few.hasMatch() && few.captured(1).toInt() <= 16 &&
                               djpeg.count(QStringLiteral("Corrupt JPEG data")) == 1);
        ASSERT_EQ(corrupt, c.Damaged) << djpeg.toStdString();

        // Decoded at once at full size, at a reduced size while reducing, and by CheckData.
        TJPEGImage full;
        full.LoadFromBytes(c.Bytes);
        EXPECT_TRUE(full.DamageNote().isEmpty()); // nothing decoded yet
        EXPECT_EQ(full.ToImage().size(), QSize(640, 480));
        TJPEGImage reduced;
        reduced.LoadFromBytes(c.Bytes);
        EXPECT_FALSE(reduced.ToImageWithin(QSize(100, 75)).isNull());
        TJPEGImage checked;
        checked.LoadFromBytes(c.Bytes);
        checked.CheckData();
        for (const TJPEGImage* image : {&full, &reduced, &checked})
            EXPECT_EQ(image->DamageNote(), corrupt ? QStringLiteral("JPEGの圧縮データ") : QString())
                << djpeg.toStdString();
        // A copy keeps the note; new data forgets it.
        const std::unique_ptr<TGraphic> copy = full.Clone();
        EXPECT_EQ(copy->DamageNote(), full.DamageNote());
        full.LoadFromBytes(good);
        EXPECT_TRUE(full.DamageNote().isEmpty());
    }
}
