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
#include "model/picturefit.h"
#include "runexport.h"

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

namespace {

// The file's chunks as (type, offset) after the PNG signature.
std::vector<std::pair<QByteArray, qsizetype>> PngChunks(const QByteArray& png) {
    std::vector<std::pair<QByteArray, qsizetype>> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto* b = reinterpret_cast<const unsigned char*>(png.constData() + at);
        const qsizetype length = qsizetype(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
        chunks.emplace_back(png.mid(at + 4, 4), at);
        at += 12 + length;
    }
    return chunks;
}

bool HasJapanese(const QString& line) {
    return std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() >= 0x3000; });
}

} // namespace

// A JPEG whose scan data is damaged is printed as its readers show it, and said: the one
// warning names the file; a TIFF that libtiff cannot decode is refused in Japanese alone.
TEST_F(ExportFormats, DamagedScanDataIsSaidNamingThePhotoAndNoLibraryLineGetsOut) {
    const QString plasma = Path(u"plasma.jpg"_s);
    ASSERT_TRUE(Convert({u"-size"_s, u"1600x1200"_s, u"-seed"_s, u"27"_s, u"plasma:fractal"_s,
                         u"-quality"_s, u"90"_s, plasma}));
    QByteArray bytes = ReadBytes(plasma);
    const qsizetype scan = bytes.lastIndexOf("\xFF\xDA") + 20;
    for (qsizetype at = scan + (bytes.size() - scan) / 3, n = 0; n < 80; at += 13, ++n)
        if (bytes[at - 1] != char(0xFF) && bytes[at] != char(0xFF) && bytes[at + 1] != char(0xFF) &&
            bytes[at] != char(0xA5))
            bytes[at] = char(bytes[at] ^ 0x5A);
    WriteBytes(Path(u"banded.jpg"_s), bytes);
    const QString pdf = Path(u"banded.pdf"_s);
    ExportResult run =
        RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                  {u"--year"_s, u"2027"_s, u"--picture"_s, u"banded.jpg"_s, u"--pdf"_s, pdf},
                  work.path(), u"Asia/Tokyo"_s, 120000);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pdf));
    const QString said =
        u"写真「banded.jpg」は一部が壊れています（JPEGの圧縮データ）。帯状に乱れて印刷されることがあります\n"_s;
    EXPECT_EQ(run.err, said);

    // LZW data scrambled: libtiff's "Using code not yet in table" stays inside.
    ASSERT_TRUE(Convert({u"-size"_s, u"400x300"_s, u"gradient:red-blue"_s, u"-compress"_s, u"lzw"_s,
                         Path(u"lzw.tif"_s)}));
    QByteArray tiff = ReadBytes(Path(u"lzw.tif"_s));
    for (qsizetype at = tiff.size() / 2, n = 0; n < 40; at += 5, ++n)
        tiff[at] = char(tiff[at] * 31 + 17);
    WriteBytes(Path(u"lzw-bad.tif"_s), tiff);
    run = RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                    {u"--year"_s, u"2027"_s, u"--picture"_s, u"lzw-bad.tif"_s, u"--pdf"_s, pdf},
                    work.path(), u"Asia/Tokyo"_s, 120000);
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
    EXPECT_TRUE(lines[0].contains(u"「lzw-bad.tif」"_s)) << lines[0].toStdString();
}

TEST_F(ExportFormats, ADamagedPngGetsTheProgramsJapaneseMessageAndNothingElse) {
    // Noise, so that the image data fills most of the file and a cut lands inside it.
    const QString good = Path(u"noise.png"_s);
    ASSERT_TRUE(Convert({u"-size"_s, u"300x200"_s, u"xc:"_s, u"+noise"_s, u"Random"_s, good}));
    const QByteArray bytes = ReadBytes(good);
    const auto chunks = PngChunks(bytes);
    ASSERT_GE(chunks.size(), 3u);
    ASSERT_EQ(chunks.back().first, "IEND");
    const qsizetype end = chunks.back().second;
    QByteArray flipped = bytes;
    flipped[bytes.size() / 2] = char(flipped[bytes.size() / 2] ^ 0x55); // inside the image data
    // A comment whose checksum is wrong: libpng drops it and reads on, saying so in English.
    const QByteArray comment = "Comment\0made by hand"_ba;
    QByteArray badComment = bytes.left(end);
    badComment += "\0\0\0\x14tEXt"_ba + comment + "\0\0\0\0"_ba + bytes.mid(end);
    ASSERT_EQ(comment.size(), 0x14);

    const struct {
        QString Name;
        QByteArray Bytes;
        QString Reason; // empty: the photo is read
    } cases[] = {{u"cut.png"_s, bytes.left(bytes.size() / 2), u"データが途中で切れています"_s},
                 {u"no-end.png"_s, bytes.left(end), u"データが途中で切れています"_s},
                 {u"flipped.png"_s, flipped, u"「IDAT」のCRCが合いません"_s},
                 {u"bad-comment.png"_s, badComment, QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        WriteBytes(Path(c.Name), c.Bytes);
        const QString out = Path(c.Name + u".out.png"_s);
        const ExportResult run = RunExport(
            QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
            {u"--year"_s, u"2027"_s, u"--picture"_s, c.Name, u"--png"_s, out, u"--dpi"_s, u"24"_s},
            work.path(), u"Asia/Tokyo"_s, 120000);
        if (c.Reason.isEmpty()) {
            EXPECT_EQ(run.code, 0) << run.err.toStdString();
            EXPECT_TRUE(QFileInfo::exists(out));
            // libpng's "tEXt: CRC error" is not the user's business; the one line there may be
            // is the program's own warning that so small a photo prints coarsely.
            const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
            EXPECT_LE(lines.size(), 1) << run.err.toStdString();
            for (const QString& line : lines)
                EXPECT_TRUE(line.startsWith(u"写真の解像度が低いため"_s)) << line.toStdString();
            continue;
        }
        EXPECT_EQ(run.code, 1);
        EXPECT_FALSE(QFileInfo::exists(out));
        // One line, the program's: libpng's own "libpng error: Read Error" is not there.
        EXPECT_EQ(run.err.toStdString(),
                  (u"tamurika-export: PNGイメージ「"_s + c.Name +
                   u"」が壊れているため読み込めません（"_s + c.Reason + u"）。\n"_s)
                      .toStdString());
        for (const QString& line : run.err.split(u'\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(HasJapanese(line)) << line.toStdString();
    }
}
