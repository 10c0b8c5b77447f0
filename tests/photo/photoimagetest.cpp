// The photo formats besides JPEG and bitmaps (PNG, GIF, TIFF, WebP, HEIF): read as ImageMagick
// reads them, turned as their EXIF block or their own rotation says, their colour profiles
// converted to sRGB, damaged files refused with the file's name, and oversized ones refused
// from their header.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

#include "common/errors.h"
#include "common/files.h"
#include "common/heicwriter.h"
#include "common/photofiles.h"
#include "photo/colorprofile.h"
#include "photo/exif.h"
#include "photo/jpegimage.h"
#include "photo/photoimage.h"
#include "photo/picture.h"

using namespace testing_support;

namespace {

class PhotoFiles : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    /// ImageMagick's reading of a file of the work folder.
    QImage Reference(const QString& name, const QStringList& extra = {}) {
        return ReadWithImageMagick(Path(name), Path(name + QStringLiteral(".ref.png")), extra);
    }
    QTemporaryDir Dir;
};

// Pixels of two pictures of one size that differ by more than `tolerance` in a channel.
int PixelsApart(const QImage& a, const QImage& b, int tolerance) {
    int apart = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            apart += ChannelDistance(a.pixel(x, y), b.pixel(x, y)) > tolerance;
    return apart;
}

void PutU32BigEndian(QByteArray& b, qsizetype at, quint32 v) {
    for (int k = 0; k < 4; ++k)
        b[at + k] = char(v >> (24 - 8 * k));
}

} // namespace

TEST_F(PhotoFiles, EveryFormatReadsAsImageMagickReadsIt) {
    struct Case {
        const char* Name;
        QStringList Args;
        const char* ClassName;
        int Tolerance; // 0 for lossless formats
    };
    const Case cases[] = {
        {"p.png", {}, "TPhotoImage", 0},
        {"p16.png", {"-depth", "16"}, "TPhotoImage", 1},
        {"grey.png", {"-colorspace", "Gray"}, "TPhotoImage", 1}, // 16 bits, rounded to 8
        {"p.gif", {}, "TPhotoImage", 0},
        {"p.tif", {}, "TPhotoImage", 0},
        {"lzw.tiff", {"-compress", "LZW"}, "TPhotoImage", 0},
        {"lossless.webp", {"-define", "webp:lossless=true"}, "TPhotoImage", 0},
        {"lossy.webp", {"-quality", "90"}, "TPhotoImage", 40},
        {"p.heic", {"-quality", "92"}, "TPhotoImage", 40},
        {"p.HEIF", {"-quality", "92"}, "TPhotoImage", 40}, // HEIC under its other name
        {"p.bmp", {}, "TBitmap", 0},
        {"p.jpg", {"-quality", "95"}, "TJPEGImage", 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString name = QString::fromLatin1(c.Name);
        const QString file = Path(name);
        QString written = file;
        if (name.endsWith(QStringLiteral(".HEIF")))
            written = QStringLiteral("HEIC:") + file;
        ASSERT_TRUE(MakeCorners(written, 64, 48, c.Args));
        const QImage expected = Reference(name);
        ASSERT_EQ(expected.size(), QSize(64, 48));
        TPicture picture;
        picture.LoadFromFile(file);
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Graphic()->ClassName(), QLatin1String(c.ClassName));
        EXPECT_EQ(picture.Width(), 64);
        EXPECT_EQ(picture.Height(), 48);
        const QImage got = picture.Graphic()->ToImage();
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_EQ(got.format(), QImage::Format_RGB32);
        if (c.Tolerance <= 1) {
            EXPECT_EQ(PixelsApart(got, expected, c.Tolerance), 0);
        } else {
            for (int k = 0; k < 4; ++k)
                EXPECT_LE(ChannelDistance(QuarterColours(got)[k], QuarterColours(expected)[k]),
                          c.Tolerance / 4)
                    << "quarter " << k;
            EXPECT_LT(PixelsApart(got, expected, c.Tolerance), got.width() * got.height() / 50);
        }
    }
}

TEST_F(PhotoFiles, TransparentPartsLieOnWhitePaperAndAGifShowsItsFirstFrame) {
    ASSERT_TRUE(Convert({"-size", "40x30", "xc:none", "-fill", "rgba(255,0,0,0.5)", "-draw",
                         "rectangle 0,0 19,29", Path("alpha.png")}));
    TPhotoImage png;
    png.LoadFromFile(Path("alpha.png"));
    const QImage image = png.ToImage();
    EXPECT_LE(ChannelDistance(image.pixel(5, 5), qRgb(255, 128, 128)), 1); // half red on white
    EXPECT_EQ(image.pixel(30, 5), qRgb(255, 255, 255));

    // Two frames: the first blue, the second red.
    ASSERT_TRUE(Convert({"-delay", "10", "-size", "20x10", "xc:blue", "xc:red", Path("two.gif")}));
    TPhotoImage gif;
    gif.LoadFromFile(Path("two.gif"));
    EXPECT_EQ(gif.ToImage().pixel(10, 5), qRgb(0, 0, 255));
}

TEST_F(PhotoFiles, OrientationFromExifOrTheFileItselfAsImageMagickTurnsThem) {
    // The stored picture, 64 × 48, with each orientation: PNG and WebP carry it in their EXIF
    // block (ImageMagick copies the JPEG's), TIFF in its own tag, HEIC in its irot and imir
    // properties. ImageMagick's reading of the JPEG, turned by its -auto-orient, is what the
    // photo must look like; for HEIC, its reading of the HEIC file itself (libheif turns it).
    ASSERT_TRUE(MakeCorners(Path("stored.png"), 64, 48));
    ASSERT_TRUE(MakeCorners(Path("stored.jpg"), 64, 48, {"-quality", "95"}));
    const QImage stored(Path("stored.png"));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString jpeg = Path(QStringLiteral("o%1.jpg").arg(orientation));
        WriteBytes(jpeg, WithExifOrientation(ReadBytes(Path("stored.jpg")), orientation,
                                             orientation % 2 == 0));
        const QImage seen = ReadWithImageMagick(jpeg, Path("seen.png"), {"-auto-orient"});
        ASSERT_EQ(seen.size(), orientation >= 5 ? QSize(48, 64) : QSize(64, 48));
        const QString heic = Path(QStringLiteral("o%1.heic").arg(orientation));
        ASSERT_TRUE(WriteHeic(stored, heic, orientation));
        const QImage heicSeen = ReadWithImageMagick(heic, Path("heic-seen.png"));
        ASSERT_EQ(heicSeen.size(), seen.size()) << "libheif wrote no rotation";
        const struct {
            QString File;
            QImage Expected;
        } files[] = {{Path(QStringLiteral("o%1.png").arg(orientation)), seen},
                     {Path(QStringLiteral("o%1.webp").arg(orientation)), seen},
                     {Path(QStringLiteral("o%1.tif").arg(orientation)), seen},
                     {heic, heicSeen}};
        for (const auto& f : files) {
            SCOPED_TRACE(f.File.toStdString());
            if (!f.File.endsWith(QStringLiteral(".heic"))) {
                ASSERT_TRUE(Convert({jpeg, "-quality", "95", f.File}));
            }
            TPicture picture;
            picture.LoadFromFile(f.File);
            EXPECT_EQ(QSize(picture.Width(), picture.Height()), f.Expected.size());
            const QImage got = picture.Graphic()->ToImage();
            ASSERT_EQ(got.size(), f.Expected.size());
            for (int k = 0; k < 4; ++k)
                EXPECT_LE(ChannelDistance(QuarterColours(got)[k], QuarterColours(f.Expected)[k]),
                          24)
                    << "quarter " << k;
            // Reduced, the turning is the same.
            const QImage small = picture.Graphic()->ToImageWithin(f.Expected.size() / 4);
            ASSERT_EQ(small.size(), f.Expected.size() / 4);
            for (int k = 0; k < 4; ++k)
                EXPECT_LE(ChannelDistance(QuarterColours(small)[k], QuarterColours(f.Expected)[k]),
                          24)
                    << "reduced, quarter " << k;
        }
    }
}

TEST_F(PhotoFiles, ReducedPicturesCoverTheSizeAskedForAndAreKept) {
    ASSERT_TRUE(MakeCorners(Path("p.png"), 64, 48));
    TPhotoImage photo;
    photo.LoadFromFile(Path("p.png"));
    const QImage small = photo.ToImageForSize(QSize(16, 10));
    EXPECT_EQ(small.size(), QSize(16, 12)); // its own shape, covering the size
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(QuarterColours(small)[k], CornerColours[k]);
    // Kept for every size it covers, and shared by copies; a larger size is decoded anew.
    EXPECT_EQ(photo.ToImageForSize(QSize(8, 6)).cacheKey(), small.cacheKey());
    EXPECT_EQ(photo.Clone()->ToImageForSize(QSize(16, 12)).cacheKey(), small.cacheKey());
    const QImage larger = photo.ToImageForSize(QSize(40, 30));
    EXPECT_EQ(larger.size(), QSize(40, 30));
    EXPECT_EQ(photo.ToImageForSize(QSize(100, 100)).size(), QSize(64, 48)); // never enlarged
    // For a printer: within the limit on each side; averaged, so the quarters' border blends.
    const QImage within = photo.ToImageWithin(QSize(5, 100));
    EXPECT_EQ(within.size(), QSize(5, 48));
    EXPECT_EQ(within.pixel(0, 0), CornerColours[0]);
    EXPECT_NE(within.pixel(2, 0), CornerColours[0]);
    EXPECT_NE(within.pixel(2, 0), CornerColours[1]);
    // Saved as read; assigned from another graphic, a PNG file of its pixels.
    const QString saved = Path("saved.png");
    photo.SaveToFile(saved);
    EXPECT_EQ(ReadBytes(saved), ReadBytes(Path("p.png")));
    TJPEGImage jpeg;
    jpeg.Assign(photo);
    TPhotoImage back;
    back.Assign(jpeg);
    EXPECT_EQ(back.Format(), TPhotoFormat::Png);
    EXPECT_EQ(back.Width(), 64);
}

TEST_F(PhotoFiles, ContentDecidesTheReaderWhateverTheName) {
    // A WebP photo saved as ".png", a PNG one as ".heic": both read.
    ASSERT_TRUE(MakeCorners(QStringLiteral("WEBP:") + Path("webp.png"), 64, 48,
                            {"-define", "webp:lossless=true"}));
    ASSERT_TRUE(MakeCorners(QStringLiteral("PNG:") + Path("png.heic"), 64, 48));
    for (const char* name : {"webp.png", "png.heic"}) {
        TPicture picture;
        picture.LoadFromFile(Path(QString::fromLatin1(name)));
        EXPECT_EQ(QuarterColours(picture.Graphic()->ToImage())[3], CornerColours[3]) << name;
    }
}

TEST(PhotoColours, EmbeddedProfilesAreConvertedToSRgbAsImageMagickConvertsThem) {
    QTemporaryDir dir;
    const auto path = [&dir](const QString& name) { return dir.filePath(name); };
    const QImage patches = MakePatches(16);
    ASSERT_TRUE(patches.save(path("patches.png")));
    struct Case {
        QString Name;
        QString Profile;
        int Tolerance;
    };
    const Case cases[] = {
        {"p3.png", DisplayP3Profile, 3},   {"p3.tif", DisplayP3Profile, 3},
        {"p3.webp", DisplayP3Profile, 3},  {"p3.jpg", DisplayP3Profile, 6},
        {"adobe.png", AdobeRgbProfile, 3}, {"adobe.tif", AdobeRgbProfile, 3},
        {"adobe.jpg", AdobeRgbProfile, 6}, {"adobe.webp", AdobeRgbProfile, 3},
        {"p3.heic", DisplayP3Profile, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        const QString file = path(c.Name);
        QFile profile(c.Profile);
        ASSERT_TRUE(profile.open(QIODevice::ReadOnly)) << c.Profile.toStdString();
        if (c.Name.endsWith(QStringLiteral(".heic"))) {
            ASSERT_TRUE(WriteHeic(patches, file, 1, profile.readAll(), 95));
        } else {
            // An untagged picture given a profile: the pixels stay, their meaning changes.
            QStringList args{path("patches.png"), "-profile", c.Profile};
            if (c.Name.endsWith(QStringLiteral(".jpg")))
                args << "-quality"
                     << "98"
                     << "-sampling-factor"
                     << "1x1";
            if (c.Name.endsWith(QStringLiteral(".webp")))
                args << "-define"
                     << "webp:lossless=true";
            ASSERT_TRUE(Convert(args << file));
        }
        const auto read = c.Name.endsWith(QStringLiteral(".heic")) ? ReadHeicWithImageMagick
                                                                   : ReadWithImageMagick;
        const QImage expected = read(file, path("expected.png"), {"-profile", SRgbProfile});
        const QImage untagged = read(file, path("untagged.png"), {"+profile", "*"});
        ASSERT_EQ(expected.size(), patches.size());
        TPicture picture;
        picture.LoadFromFile(file);
        const QImage got = picture.Graphic()->ToImage();
        const QImage reduced = picture.Graphic()->ToImageWithin(QSize(16, 8));
        int moved = 0;
        for (int k = 0; k < 8; ++k) {
            EXPECT_LE(ChannelDistance(PatchAt(got, k), PatchAt(expected, k)), c.Tolerance)
                << "patch " << k << std::hex << " got " << PatchAt(got, k) << " expected "
                << PatchAt(expected, k);
            EXPECT_LE(ChannelDistance(PatchAt(reduced, k), PatchAt(expected, k)), c.Tolerance)
                << "reduced, patch " << k;
            moved = std::max(moved, ChannelDistance(PatchAt(expected, k), PatchAt(untagged, k)));
        }
        EXPECT_GE(moved, 20) << "the profile changes the colours measurably";
    }
}

TEST(PhotoColours, ACmykJpegWithItsProfileIsConvertedThroughIt) {
    QTemporaryDir dir;
    const auto path = [&dir](const QString& name) { return dir.filePath(name); };
    ASSERT_TRUE(MakePatches(16).save(path("patches.png")));
    // Converted to CMYK through a printing profile, which stays embedded; ImageMagick writes
    // the inverted CMYK of Adobe's programs.
    ASSERT_TRUE(Convert({path("patches.png"), "-profile", SRgbProfile, "-profile", CmykProfile,
                         "-quality", "98", "-sampling-factor", "1x1", path("cmyk.jpg")}));
    ASSERT_TRUE(Convert({path("cmyk.jpg"), "+profile", "*", path("plain-cmyk.jpg")}));
    const QImage expected =
        ReadWithImageMagick(path("cmyk.jpg"), path("expected.png"), {"-profile", SRgbProfile});
    TJPEGImage tagged;
    tagged.LoadFromFile(path("cmyk.jpg"));
    ASSERT_EQ(tagged.Header().Components, 4);
    EXPECT_FALSE(tagged.Header().IccProfile.isEmpty());
    TJPEGImage plain;
    plain.LoadFromFile(path("plain-cmyk.jpg"));
    const QImage got = tagged.ToImage();
    const QImage reduced = tagged.ToImageWithin(QSize(16, 8));
    const QImage naive = plain.ToImage();
    int moved = 0;
    for (int k = 0; k < 8; ++k) {
        EXPECT_LE(ChannelDistance(PatchAt(got, k), PatchAt(expected, k)), 6) << "patch " << k;
        EXPECT_LE(ChannelDistance(PatchAt(reduced, k), PatchAt(expected, k)), 6) << "patch " << k;
        moved = std::max(moved, ChannelDistance(PatchAt(naive, k), PatchAt(expected, k)));
    }
    EXPECT_GE(moved, 20) << "the profile does more than the plain formula";
}

TEST(PhotoColours, AHeifPhotoNamedByPrimariesMatchesTheSameOneWithAProfile) {
    // A colour box "nclx" with Display P3's numbers (primaries 12, the sRGB curve) instead of a
    // profile: the conversion must match the one through the Display P3 profile of the same
    // pixels, which the test above holds against ImageMagick's.
    QTemporaryDir dir;
    const auto path = [&dir](const QString& name) { return dir.filePath(name); };
    const QImage patches = MakePatches(16);
    QFile profile(DisplayP3Profile);
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(WriteHeic(patches, path("nclx.heic"), 1, {}, 95, 12));
    ASSERT_TRUE(WriteHeic(patches, path("icc.heic"), 1, profile.readAll(), 95));
    TPicture nclx, icc;
    nclx.LoadFromFile(path("nclx.heic"));
    icc.LoadFromFile(path("icc.heic"));
    const auto& header = static_cast<const TPhotoImage*>(nclx.Graphic())->Header();
    EXPECT_TRUE(header.Primaries.has_value());
    EXPECT_TRUE(header.IccProfile.isEmpty());
    const QImage a = nclx.Graphic()->ToImage();
    const QImage b = icc.Graphic()->ToImage();
    for (int k = 0; k < 8; ++k)
        EXPECT_LE(ChannelDistance(PatchAt(a, k), PatchAt(b, k)), 6) << "patch " << k;
    EXPECT_GE(ChannelDistance(PatchAt(a, 0), PatchColours[0]), 15) << "converted at all";
}

TEST_F(PhotoFiles, DamagedFilesNameTheFileAndLeaveThePhotoAsItWas) {
    struct Case {
        const char* Name;
        QStringList Args;
        const char* Format;
    };
    const Case cases[] = {{"p.png", {}, "PNG"},
                          {"p.gif", {}, "GIF"},
                          {"p.tif", {}, "TIFF"},
                          {"p.webp", {"-quality", "90"}, "WebP"},
                          {"p.heic", {"-quality", "90"}, "HEIF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString name = QString::fromLatin1(c.Name);
        ASSERT_TRUE(MakeCorners(Path(name), 160, 120, c.Args));
        const QByteArray good = ReadBytes(Path(name));
        const QString suffix = name.mid(1);
        QByteArray scrambled = good;
        for (qsizetype i = good.size() / 3; i < good.size() * 2 / 3; ++i)
            scrambled[i] = char(0x5A ^ (i * 7));
        QByteArray headerless = good;
        headerless[1] = 'X';
        headerless[2] = 'X';
        // Bytes changed inside the compressed data may still decode (to other pixels, as a
        // JPEG decoder takes them too); everything else must be refused.
        const struct {
            QString File;
            QByteArray Bytes;
            bool MayDecode;
        } bad[] = {{Path("truncated" + suffix), good.left(good.size() / 2), false},
                   {Path("scrambled" + suffix), scrambled, true},
                   {Path("empty" + suffix), QByteArray(), false},
                   {Path("headerless" + suffix), headerless, false},
                   {Path("text" + suffix), QByteArray("this is a letter, not a photo\n"), false}};
        TPicture picture;
        picture.LoadFromFile(Path(name));
        const TGraphic* before = picture.Graphic();
        int refusedAtOnce = 0;
        for (const auto& b : bad) {
            SCOPED_TRACE(b.File.toStdString());
            WriteBytes(b.File, b.Bytes);
            // As the program reads a picture: the file, then its pixels.
            QSize decoded;
            const QString message = ErrorOf([&] {
                TPicture fresh;
                fresh.LoadFromFile(b.File);
                decoded = fresh.Graphic()->ToImageForSize(QSize(40, 30)).size();
            });
            const QString shown = QFileInfo(b.File).fileName();
            if (b.MayDecode && message.isEmpty()) {
                EXPECT_EQ(decoded, QSize(40, 30));
            } else {
                EXPECT_TRUE(message.startsWith(QString::fromLatin1(c.Format) +
                                               QStringLiteral("イメージ「") + shown +
                                               QStringLiteral("」")))
                    << message.toStdString();
            }
            // A file refused from its header leaves the photo loaded before as it was. (Damage
            // further in shows when the pixels are decoded, which the main window does
            // before it takes a new picture.)
            if (!ErrorOf([&] { picture.LoadFromFile(b.File); }).isEmpty()) {
                ++refusedAtOnce;
                EXPECT_EQ(picture.Graphic(), before);
                EXPECT_EQ(picture.Width(), 160);
                EXPECT_LE(ChannelDistance(QuarterColours(picture.Graphic()->ToImage())[1],
                                          CornerColours[1]),
                          8);
            } else {
                picture.LoadFromFile(Path(name));
                before = picture.Graphic();
            }
        }
        EXPECT_GE(refusedAtOnce, 3) << "the empty, the headerless and the text file";
    }
}

TEST_F(PhotoFiles, HeadersClaimingOverAHundredMillionPixelsAreRefusedBeforeDecoding) {
    ASSERT_TRUE(MakeCorners(Path("p.png"), 64, 48));
    ASSERT_TRUE(MakeCorners(Path("p.tif"), 64, 48, {"-compress", "none"}));
    ASSERT_TRUE(MakeCorners(Path("p.gif"), 64, 48));
    ASSERT_TRUE(MakeCorners(Path("p.webp"), 64, 48, {"-define", "webp:lossless=true"}));
    ASSERT_TRUE(MakeCorners(Path("p.heic"), 64, 48));

    // PNG: IHDR's width and height, and its CRC again, so that only the size is wrong.
    QByteArray png = ReadBytes(Path("p.png"));
    PutU32BigEndian(png, 16, 20000);
    PutU32BigEndian(png, 20, 20000);
    PutU32BigEndian(png, 29,
                    quint32(crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), 17)));
    // TIFF (little-endian, as ImageMagick writes it): the width and length entries of the first
    // directory, LONG or SHORT values.
    QByteArray tiff = ReadBytes(Path("p.tif"));
    ASSERT_TRUE(tiff.startsWith("II"));
    const auto u16 = [&tiff](qsizetype at) { return quint8(tiff[at]) | quint8(tiff[at + 1]) << 8; };
    const qsizetype ifd = qsizetype(u16(4) | u16(6) << 16);
    for (int i = 0; i < u16(ifd); ++i) {
        const qsizetype entry = ifd + 2 + 12 * i;
        if (u16(entry) == 256 || u16(entry) == 257) {
            tiff[entry + 2] = 4; // LONG
            tiff[entry + 8] = char(20000 & 0xFF);
            tiff[entry + 9] = char(20000 >> 8);
            tiff[entry + 10] = 0;
            tiff[entry + 11] = 0;
        }
    }
    // GIF: the logical screen, 65535 × 65535.
    QByteArray gif = ReadBytes(Path("p.gif"));
    for (int k = 6; k < 10; ++k)
        gif[k] = char(0xFF);
    // HEIC: the image's "ispe" property, its coded size.
    // ImageMagick writes one for each of its two items.
    QByteArray heic = ReadBytes(Path("p.heic"));
    ASSERT_GT(heic.indexOf("ispe"), 0);
    for (qsizetype ispe = heic.indexOf("ispe"); ispe > 0; ispe = heic.indexOf("ispe", ispe + 1)) {
        PutU32BigEndian(heic, ispe + 8, 20000);
        PutU32BigEndian(heic, ispe + 12, 20000);
    }
    // WebP lossless: 14 bits each of width − 1 and height − 1 behind the signature byte 0x2F.
    QByteArray webp = ReadBytes(Path("p.webp"));
    const qsizetype vp8l = webp.indexOf("VP8L");
    ASSERT_GT(vp8l, 0);
    const quint32 bits = (16000u - 1) | (16000u - 1) << 14;
    for (int k = 0; k < 4; ++k)
        webp[vp8l + 9 + k] =
            char((k < 3 ? bits >> (8 * k) : (quint8(webp[vp8l + 12]) & 0xF0) | bits >> 24) & 0xFF);

    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Size;
    } huge[] = {{"huge.png", png, "20000 × 20000"},
                {"huge.tif", tiff, "20000 × 20000"},
                {"huge.gif", gif, "65535 × 65535"},
                {"huge.heic", heic, "20000 × 20000"},
                {"huge.webp", webp, "16000 × 16000"}};
    for (const auto& h : huge) {
        SCOPED_TRACE(h.Name);
        const QString file = Path(QString::fromLatin1(h.Name));
        WriteBytes(file, h.Bytes);
        TPicture picture;
        EXPECT_EQ(
            ErrorOf([&] { picture.LoadFromFile(file); }),
            QStringLiteral(
                "画像「%1」が大きすぎます（%2 ピクセル）。1 億ピクセルまでの画像を使ってください。")
                .arg(QString::fromLatin1(h.Name), QString::fromUtf8(h.Size)));
        EXPECT_EQ(picture.Graphic(), nullptr);
    }
}

TEST(PhotoMetadata, ExifBlocksAndTiffProfilesAreReadWithinTheirBounds) {
    // A TIFF structure whose first directory holds the orientation (8) and a 200-byte profile.
    QByteArray tiff("MM\0\x2a\0\0\0\x08\0\x02", 10);
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01\0\x08\0\0", 12);
    tiff += QByteArray("\x87\x73\0\x07\0\0\0\xc8\0\0\0\x26", 12); // 200 bytes at 38
    tiff += QByteArray(4, '\0');
    ASSERT_EQ(tiff.size(), 38);
    const QByteArray profile(200, 'p');
    const QByteArray file = tiff + profile;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.constData());
    EXPECT_EQ(ExifBlockOrientation(bytes, std::size_t(file.size())), 8);
    const QByteArray prefixed = QByteArray("Exif\0\0", 6) + file;
    EXPECT_EQ(ExifBlockOrientation(reinterpret_cast<const std::uint8_t*>(prefixed.constData()),
                                   std::size_t(prefixed.size())),
              8);
    EXPECT_EQ(TiffIccProfile(file), profile);
    // The profile reaching past the end, or the structure cut short: nothing.
    EXPECT_TRUE(TiffIccProfile(file.left(file.size() - 1)).isEmpty());
    EXPECT_TRUE(TiffIccProfile(file.left(30)).isEmpty());
    EXPECT_EQ(ExifBlockOrientation(bytes, 16), ExifUpright); // cut inside the entry
    EXPECT_EQ(ExifBlockOrientation(nullptr, 0), ExifUpright);
}

TEST(PhotoColours, OnlyProfilesThatFitThePixelsAndChangeThemAreUsed) {
    const auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray p3 = read(DisplayP3Profile);
    const QByteArray srgb = read(SRgbProfile);
    const QByteArray cmyk = read(CmykProfile);
    ASSERT_FALSE(p3.isEmpty() || srgb.isEmpty() || cmyk.isEmpty());
    EXPECT_TRUE(TColorConversion::FromIcc(p3, TProfileInput::Rgb).Active());
    EXPECT_TRUE(TColorConversion::FromIcc(cmyk, TProfileInput::CmykInverted).FromCmyk());
    // sRGB already (the profile many cameras embed): nothing to do.
    EXPECT_FALSE(TColorConversion::FromIcc(srgb, TProfileInput::Rgb).Active());
    // A profile for other pixels, a damaged one, a cut one: as if there were none.
    EXPECT_FALSE(TColorConversion::FromIcc(p3, TProfileInput::Cmyk).Active());
    EXPECT_FALSE(TColorConversion::FromIcc(cmyk, TProfileInput::Rgb).Active());
    QByteArray damaged = p3;
    for (qsizetype i = 128; i < damaged.size(); ++i)
        damaged[i] = char(i * 31);
    EXPECT_FALSE(TColorConversion::FromIcc(damaged, TProfileInput::Rgb).Active());
    EXPECT_FALSE(TColorConversion::FromIcc(p3.left(100), TProfileInput::Rgb).Active());
    EXPECT_FALSE(TColorConversion::FromIcc(QByteArray(), TProfileInput::Rgb).Active());

    // A PNG file whose profile is damaged reads as sRGB, its pixels as they stand.
    QTemporaryDir dir;
    const QImage patches = MakePatches(8);
    ASSERT_TRUE(patches.save(dir.filePath("plain.png")));
    QByteArray png = ReadBytes(dir.filePath("plain.png"));
    QByteArray body = QByteArray("junk profile", 12) + '\0' + '\0';
    const QByteArray compressed = qCompress(damaged).mid(4); // zlib stream without Qt's length
    body += compressed;
    QByteArray chunk(4, '\0');
    PutU32BigEndian(chunk, 0, quint32(body.size()));
    const QByteArray typed = QByteArray("iCCP") + body;
    chunk += typed;
    QByteArray crc(4, '\0');
    PutU32BigEndian(
        crc, 0,
        quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
    chunk += crc;
    png.insert(33, chunk); // after the signature and IHDR
    WriteBytes(dir.filePath("junk-profile.png"), png);
    TPhotoImage photo;
    photo.LoadFromFile(dir.filePath("junk-profile.png"));
    EXPECT_FALSE(photo.Header().IccProfile.isEmpty()); // found, and of no use
    const QImage got = photo.ToImage();
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(PatchAt(got, k), PatchColours[k]) << "patch " << k;
}

// A HEIF grid that declares 16 × 12 pixels in its header and a canvas of 26725 × 30569 in its
// grid description (found by fuzzing): refused as damaged when decoded, before libheif
// allocates 2.4 GB for the canvas, and never reported as a machine out of memory.
TEST(CraftedPhotos, AHeifGridLargerThanItsHeaderIsRefusedAsDamaged) {
    QFile file(QStringLiteral(TAMURIKA_FUZZ_CORPUS "/heif/grid-canvas-larger-than-header.heic"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    TPhotoImage photo;
    photo.LoadFromBytes(file.readAll());
    EXPECT_EQ(photo.Header().LargestSize(), QSize(16, 12));
    const QString message = ErrorOf([&] { photo.ToImage(); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("HEIFイメージ"))) << message.toStdString();
    EXPECT_TRUE(
        message.contains(QStringLiteral("（ファイルの中で画像の大きさが食い違っています）")))
        << message.toStdString();
}
