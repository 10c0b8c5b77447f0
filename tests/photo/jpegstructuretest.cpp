// The JPEG marker walker that decides whether a photo can go into a PDF file as it stands:
// files written by ImageMagick and jpegtran, ICC profiles of Ghostscript put in as cameras put
// them, and files damaged or cut short.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "../common/files.h"
#include "../common/imagemagick.h"
#include "../common/jpegfiles.h"
#include "photo/jpegimage.h"
#include "photo/jpegstructure.h"

using namespace testing_support;

namespace {

class JpegStructure : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    /// A 40 × 30 picture written by ImageMagick with `options`; its bytes.
    QByteArray Written(const QString& name, const QStringList& options = {}) {
        const QString file = Path(name);
        if (!MakeQuarters(file, 40, 30, options))
            ADD_FAILURE() << "ImageMagick could not write " << name.toStdString();
        return ReadBytes(file);
    }
    QTemporaryDir dir;
};

// One of Ghostscript's ICC profiles (the package carries them in a folder named after its
// version); empty when there is none.
QByteArray GhostscriptProfile(const QString& name) {
    const QDir share(QStringLiteral("/usr/share/ghostscript"));
    for (const QString& version : share.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = share.filePath(version + QStringLiteral("/iccprofiles/") + name);
        if (QFile::exists(path))
            return ReadBytes(path);
    }
    return {};
}

TEST_F(JpegStructure, ImageMagicksFilesAsLibjpegReadsThem) {
    const struct {
        const char* Name;
        QStringList Options;
        std::uint8_t Frame;
        int Components;
        bool Adobe;
    } kinds[] = {
        {"baseline.jpg", {}, 0xC0, 3, false},
        {"progressive.jpg", {QStringLiteral("-interlace"), QStringLiteral("JPEG")}, 0xC2, 3, false},
        {"grey.jpg", {QStringLiteral("-colorspace"), QStringLiteral("Gray")}, 0xC0, 1, false},
        {"cmyk.jpg", {QStringLiteral("-colorspace"), QStringLiteral("CMYK")}, 0xC0, 4, true},
        {"restart.jpg",
         {QStringLiteral("-define"), QStringLiteral("jpeg:restart-interval=1")},
         0xC0,
         3,
         false},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.Name);
        const QByteArray bytes = Written(QString::fromLatin1(kind.Name), kind.Options);
        const auto s = ReadJPEGStructure(bytes);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(s->FrameMarker, kind.Frame);
        EXPECT_EQ(s->Precision, 8);
        EXPECT_EQ(s->Components, kind.Components);
        EXPECT_EQ(s->Adobe, kind.Adobe);
        EXPECT_TRUE(s->IccProfile.isEmpty());
        EXPECT_TRUE(PdfReadableJPEG(*s));
        // The frame is the one libjpeg reads.
        const TJPEGHeader header = ReadJPEGHeader(bytes);
        EXPECT_EQ(s->Width, header.StoredWidth);
        EXPECT_EQ(s->Height, header.StoredHeight);
        EXPECT_EQ(s->Components, header.Components);
        if (kind.Frame == 0xC2)
            EXPECT_GT(s->Scans, 1);
        else
            EXPECT_EQ(s->Scans, 1);
    }
    // ImageMagick writes CMYK through libjpeg as Photoshop does: with the Adobe marker, and
    // stored as YCCK (colour transform 2), which PDF readers undo by that marker.
    EXPECT_EQ(ReadJPEGStructure(ReadBytes(Path(QStringLiteral("cmyk.jpg"))))->AdobeTransform, 2);
}

TEST_F(JpegStructure, ArithmeticCodingIsReadButNotForPdfReaders) {
    const QByteArray plain = Written(QStringLiteral("plain.jpg"));
    QProcess jpegtran;
    jpegtran.start(QStringLiteral("jpegtran"),
                   {QStringLiteral("-arithmetic"), Path(QStringLiteral("plain.jpg"))});
    ASSERT_TRUE(jpegtran.waitForFinished(30000) && jpegtran.exitCode() == 0);
    const auto s = ReadJPEGStructure(jpegtran.readAllStandardOutput());
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->FrameMarker, 0xC9);
    EXPECT_FALSE(PdfReadableJPEG(*s));
}

TEST_F(JpegStructure, IccProfilesAreJoinedFromTheirChunksInNumberOrder) {
    const QByteArray plain = Written(QStringLiteral("plain.jpg"));
    const QByteArray profile = GhostscriptProfile(QStringLiteral("a98.icc"));
    ASSERT_FALSE(profile.isEmpty()) << "Ghostscript's ICC profiles are missing";
    ASSERT_TRUE(IccProfileFits(profile, 3));
    EXPECT_FALSE(IccProfileFits(profile, 1));
    EXPECT_FALSE(IccProfileFits(profile, 4));
    EXPECT_FALSE(IccProfileFits(profile.left(profile.size() - 1), 3)) << "size in the header";

    // Whole, in one chunk.
    const QByteArray one = WithIccProfile(plain, profile);
    ASSERT_TRUE(ReadJPEGStructure(one).has_value());
    EXPECT_EQ(ReadJPEGStructure(one)->IccProfile, profile);

    // In chunks of 100 bytes, written out of order: put together by their numbers.
    const int count = int((profile.size() + 99) / 100);
    QList<int> shuffled;
    for (int n = count; n >= 1; n -= 2)
        shuffled << n;
    for (int n = count - 1; n >= 1; n -= 2)
        shuffled << n;
    const QByteArray many = WithIccProfile(plain, profile, 100, shuffled);
    EXPECT_EQ(ReadJPEGStructure(many)->IccProfile, profile);
    // libjpeg reads the picture the same with them.
    EXPECT_EQ(ReadJPEGHeader(many).StoredWidth, 40);

    // A chunk missing, or one twice: no profile, and still the picture.
    QList<int> missing = shuffled;
    missing.removeOne(2);
    const auto withoutOne = ReadJPEGStructure(WithIccProfile(plain, profile, 100, missing));
    ASSERT_TRUE(withoutOne.has_value());
    EXPECT_TRUE(withoutOne->IccProfile.isEmpty());
    QList<int> twice = missing;
    twice << 3;
    EXPECT_TRUE(
        ReadJPEGStructure(WithIccProfile(plain, profile, 100, twice))->IccProfile.isEmpty());
    QList<int> outside = shuffled;
    outside.replace(0, count + 1);
    EXPECT_TRUE(
        ReadJPEGStructure(WithIccProfile(plain, profile, 100, outside))->IccProfile.isEmpty());
}

TEST_F(JpegStructure, DamagedAndCutShortStreamsAreRefused) {
    const QByteArray good = Written(QStringLiteral("good.jpg"));
    ASSERT_TRUE(ReadJPEGStructure(good).has_value());
    const int sos = good.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(sos, 0);
    const QByteArray cases[] = {
        {},
        QByteArray("\xFF\xD8", 2),
        QByteArray("\xFF\xD8\xFF\xD9", 4),        // no frame, no scan
        good.left(good.size() - 2),               // no end-of-image marker
        good.left(sos + (good.size() - sos) / 2), // cut inside the scan
        good.left(sos + 3),                       // cut inside a segment's length
        good.left(2) + QByteArray("\xFF\xE0\xFF\xFF", 4) + good.mid(2), // a length past the end
        good.left(2) + QByteArray("\x12\x34", 2) + good.mid(2), // no marker where one must be
        QByteArray("GIF89a") + good,
    };
    for (const QByteArray& bytes : cases)
        EXPECT_FALSE(ReadJPEGStructure(bytes).has_value()) << bytes.left(16).toHex().toStdString();
    // Bytes after the end-of-image marker are not part of the stream.
    EXPECT_TRUE(ReadJPEGStructure(good + QByteArray(100, '\0')).has_value());
    // Neither is the stream's own scan refused for a byte 0xFF stuffed with 0x00.
    EXPECT_TRUE(ReadJPEGStructure(Written(QStringLiteral("noise.jpg"),
                                          {QStringLiteral("+noise"), QStringLiteral("Random")}))
                    .has_value());
}

} // namespace
