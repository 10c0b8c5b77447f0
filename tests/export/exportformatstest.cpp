// tamurika-export with a photo of every format the program reads, turned in every way a phone
// or camera records it: the picture box of the sheet (its PNG at 96 per inch, the preview's
// pixels) is ImageMagick's reading of the file, turned upright, fitted into the box. And a phone
// photo in Display P3: its colours in the box are ImageMagick's conversion of it to sRGB.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/files.h"
#include "common/heicwriter.h"
#include "common/photofiles.h"
#include "common/sheetpage.h"
#include "preview/picturefit.h"
#include "runexport.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAMURIKA_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMURIKA_LEAK_CHECK 1
#endif
#endif
#ifdef TAMURIKA_LEAK_CHECK
// x265, the encoder through which libheif writes the tests' HEIC files, keeps a few blocks of
// its own until the process ends and frees them nowhere; the program itself only decodes HEIF
// and never calls the encoder.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}
#endif

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

// The sheet's picture box at 96 per inch: the picture band's corner (40, 37) and the box's
// place in it (3, 2).
constexpr int BoxLeft = 43;
constexpr int BoxTop = 39;

/// The pixels of the picture box that differ from `expected` (the photo as seen, any size) by
/// more than `tolerance`, looked at every 5 pixels where `expected` is plain around the point
/// (colour edges are left out: there the box averages neighbours).
int BoxPixelsApart(const QImage& page, const QImage& expected, int tolerance, int* looked) {
    const TRect r =
        FitPicture(expected.width(), expected.height(), 708, 531).Offset(BoxLeft, BoxTop);
    const double sx = double(expected.width()) / r.Width();
    const double sy = double(expected.height()) / r.Height();
    const int reach = int(std::ceil(4 * std::max(sx, sy))) + 1;
    int apart = 0;
    *looked = 0;
    for (int y = r.Top + 3; y < r.Bottom - 3; y += 5) {
        for (int x = r.Left + 3; x < r.Right - 3; x += 5) {
            const int px = std::clamp(int((x - r.Left + 0.5) * sx), 0, expected.width() - 1);
            const int py = std::clamp(int((y - r.Top + 0.5) * sy), 0, expected.height() - 1);
            const QRgb want = expected.pixel(px, py);
            bool plain = true;
            for (int dy = -reach; dy <= reach && plain; dy += reach)
                for (int dx = -reach; dx <= reach && plain; dx += reach) {
                    const int qx = std::clamp(px + dx, 0, expected.width() - 1);
                    const int qy = std::clamp(py + dy, 0, expected.height() - 1);
                    plain = ChannelDistance(expected.pixel(qx, qy), want) <= 24;
                }
            if (!plain)
                continue;
            ++*looked;
            apart += ChannelDistance(page.pixel(x, y), want) > tolerance;
        }
    }
    return apart;
}

class ExportFormats : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(work.isValid()); }
    QString Path(const QString& name) const { return work.filePath(name); }
    /// The sheet with `photo`, as the preview shows it.
    QImage Sheet(const QString& photo) {
        const QString png = Path(QFileInfo(photo).fileName() + u".sheet.png"_s);
        const ExportResult run =
            RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                      {u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--png"_s, png}, work.path(),
                      u"Asia/Tokyo"_s, 120000);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir work;
};

} // namespace

TEST_F(ExportFormats, EveryFormatFillsTheBoxAsImageMagickSeesTheFileTurnedUpright) {
    // The photo as stored: 400 × 300, four coloured quarters.
    ASSERT_TRUE(MakeCorners(Path(u"stored.png"_s), 400, 300));
    ASSERT_TRUE(MakeCorners(Path(u"stored.jpg"_s), 400, 300, {u"-quality"_s, u"95"_s}));
    const QImage stored(Path(u"stored.png"_s));
    // JPEG twins with each orientation, from which ImageMagick writes the PNG and WebP files
    // (their EXIF blocks) and the TIFF file (its orientation tag).
    const auto twin = [this](int orientation) {
        const QString file = Path(u"twin%1.jpg"_s.arg(orientation));
        WriteBytes(file, WithExifOrientation(ReadBytes(Path(u"stored.jpg"_s)), orientation));
        return file;
    };
    struct Case {
        QString Name;
        int Orientation;
        QStringList Args; // for ImageMagick writing it from its twin
        int Tolerance;
    };
    const Case cases[] = {
        {u"photo.jpg"_s, 6, {}, 40},
        {u"photo.png"_s, 3, {}, 8},
        {u"photo.webp"_s, 8, {u"-quality"_s, u"90"_s}, 40},
        {u"photo.tif"_s, 5, {}, 8},
        {u"photo.tiff"_s, 2, {u"-compress"_s, u"LZW"_s}, 8},
        {u"photo.gif"_s, 1, {}, 8},
        {u"photo.bmp"_s, 1, {}, 8},
        {u"photo.dib"_s, 1, {}, 8}, // a bitmap file under the name the DIB class registers
        {u"photo.heic"_s, 6, {}, 40},
        {u"IMG_0001.HEIC"_s, 7, {}, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        const QString file = Path(c.Name);
        QImage seen;
        if (c.Name.endsWith(u".heic"_s, Qt::CaseInsensitive)) {
            ASSERT_TRUE(WriteHeic(stored, file, c.Orientation));
            seen = ReadWithImageMagick(file, Path(u"seen.png"_s));
        } else {
            const QString source = twin(c.Orientation);
            if (c.Name.endsWith(u".jpg"_s)) {
                ASSERT_TRUE(QFile::copy(source, file));
            } else {
                const QString prefix = c.Name.endsWith(u".dib"_s) ? u"BMP3:"_s : QString();
                ASSERT_TRUE(Convert(QStringList{source} << c.Args << prefix + file));
            }
            seen = ReadWithImageMagick(source, Path(u"seen.png"_s), {u"-auto-orient"_s});
        }
        ASSERT_EQ(seen.size(), c.Orientation >= 5 ? QSize(300, 400) : QSize(400, 300));
        const QImage page = Sheet(file);
        ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight));
        int looked = 0;
        EXPECT_EQ(BoxPixelsApart(page, seen, c.Tolerance, &looked), 0);
        EXPECT_GT(looked, 2000);
        // Beside a portrait photo, the box is white.
        if (c.Orientation >= 5) {
            EXPECT_EQ(InkOf(page.pixel(BoxLeft + 20, BoxTop + 200)), TInk::None);
        }
    }
}

TEST_F(ExportFormats, ADisplayP3PhotoShowsTheColoursImageMagickConvertsItTo) {
    const QImage patches = MakePatches(60); // 240 × 120
    ASSERT_TRUE(patches.save(Path(u"patches.png"_s)));
    QFile profile(DisplayP3Profile);
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly)) << "argyll-ref is needed";
    const QByteArray p3 = profile.readAll();
    // A phone's JPEG and HEIC photos: the same pixels, tagged as Display P3.
    ASSERT_TRUE(Convert({Path(u"patches.png"_s), u"-profile"_s, DisplayP3Profile, u"-quality"_s,
                         u"98"_s, Path(u"p3.jpg"_s)}));
    ASSERT_TRUE(WriteHeic(patches, Path(u"p3.heic"_s), 1, p3, 95));
    for (const QString& name : {u"p3.jpg"_s, u"p3.heic"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QString file = Path(name);
        const auto read = name.endsWith(u".heic"_s) ? ReadHeicWithImageMagick : ReadWithImageMagick;
        const QImage expected = read(file, Path(u"expected.png"_s), {u"-profile"_s, SRgbProfile});
        const QImage untagged = read(file, Path(u"untagged.png"_s), {u"+profile"_s, u"*"_s});
        ASSERT_EQ(expected.size(), QSize(240, 120));
        const QImage page = Sheet(file);
        // 240 × 120 is wider than 4:3: the full width, 354 high, centred.
        const TRect r = FitPicture(240, 120, 708, 531).Offset(BoxLeft, BoxTop);
        const QImage box = page.copy(r.ToQRect());
        int moved = 0;
        for (int k = 0; k < 8; ++k) {
            EXPECT_LE(ChannelDistance(PatchAt(box, k), PatchAt(expected, k)), 8)
                << "patch " << k << std::hex << ": " << PatchAt(box, k) << " against "
                << PatchAt(expected, k);
            moved = std::max(moved, ChannelDistance(PatchAt(box, k), PatchAt(untagged, k)));
        }
        EXPECT_GE(moved, 20) << "read untagged, the colours would differ measurably";
    }
}
