// tamurika-export's PDF with a photo: the photo goes in as the file it is (poppler's
// pdfimages -j gives back the same bytes) whatever its orientation, colours or profile, and
// the page poppler draws at 96 per inch is the sheet the preview path draws (--png), pixel for
// pixel within the differences of two rasterisers. On A3 and the other papers the whole sheet
// is scaled and centred, the PDF page has the paper's size, and the paper chosen last in the
// preview window is the default. Photos of other formats go in without loss, or as a JPEG of
// high quality where their own format was lossy.
#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "common/files.h"
#include "common/heicwriter.h"
#include "common/imagemagick.h"
#include "common/jpegfiles.h"
#include "common/pagecompare.h"
#include "common/pdfcheck.h"
#include "common/photofiles.h"
#include "common/sheetpage.h"
#include "exportfixture.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

// How many pixels of `page` differ from `sheet` outside `box` and the pixel around it.
int DifferingAround(const QImage& page, const QImage& sheet, const QRect& box) {
    int differing = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (!box.adjusted(-1, -1, 1, 1).contains(x, y))
                differing += page.pixel(x, y) != sheet.pixel(x, y);
    return differing;
}

class ExportPdf : public ExportProgramTest {
  protected:
    /// The sheet of 2027 with `photo`: its PDF and the preview's PNG.
    void Export(const QString& photo, const QString& pdf, const QString& png,
                const QStringList& extra = {}) {
        const ExportResult a = Run(
            QStringList{u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--pdf"_s, pdf} + extra);
        ASSERT_EQ(a.code, 0) << a.err.toStdString();
        if (png.isEmpty())
            return;
        const ExportResult b = Run(
            QStringList{u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--png"_s, png} + extra);
        ASSERT_EQ(b.code, 0) << b.err.toStdString();
    }
};

// A 1200 × 900 photo: four coloured quarters with a soft ramp across, so that both a turn and
// a shift of the picture show.
bool MakePhoto(const QString& path, const QStringList& extra = {}) {
    return Convert(QStringList{u"-size"_s,
                               u"1200x900"_s,
                               u"gradient:white-black"_s,
                               u"-rotate"_s,
                               u"90"_s,
                               u"-resize"_s,
                               u"1200x900!"_s,
                               u"("_s,
                               u"-size"_s,
                               u"1200x900"_s,
                               u"xc:red"_s,
                               u"-fill"_s,
                               u"blue"_s,
                               u"-draw"_s,
                               u"rectangle 0,0 599,449"_s,
                               u"-fill"_s,
                               u"lime"_s,
                               u"-draw"_s,
                               u"rectangle 600,450 1199,899"_s,
                               u"-fill"_s,
                               u"yellow"_s,
                               u"-draw"_s,
                               u"rectangle 600,0 1199,449"_s,
                               u")"_s,
                               u"-compose"_s,
                               u"multiply"_s,
                               u"-composite"_s,
                               u"-quality"_s,
                               u"92"_s} +
                   extra + QStringList{path});
}

QString GhostscriptProfile(const QString& name) {
    const QDir share(u"/usr/share/ghostscript"_s);
    for (const QString& version : share.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = share.filePath(version + u"/iccprofiles/"_s + name);
        if (QFile::exists(path))
            return path;
    }
    return {};
}

// What a print shop's preflight looks at: every font embedded as the subset it is, the
// document information naming the program and the sheet, and readers that say nothing.
TEST_F(ExportPdf, APrintShopsPreflightFindsSubsetFontsAndTheDocumentsInformation) {
    const QString pdf = Path(u"shop.pdf"_s);
    // Four faces (the slot's own), a photo, the 暦's small face and a title of their own.
    WriteSetting(u"tamurika.ini"_s,
                 "[settei3]\r\nfont1=IPAMincho\r\nfont2=IPAPGothic\r\nfont3=IPAPMincho\r\n"
                 "font4=IPAGothic\r\n[tamurika]\r\nzenkai=3\r\n");
    const QString photo = QStringLiteral(TAMURIKA_SAMPLE_PHOTO);
    const ExportResult r =
        Run({u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--show"_s, u"rokuyo"_s, u"--title"_s,
             u"髙橋家のカレンダー"_s, u"--pdf"_s, pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    QString fonts;
    ASSERT_EQ(RunReader(u"pdffonts"_s, {pdf}, &fonts), 0) << fonts.toStdString();
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_GE(rows.size(), 4) << fonts.toStdString();
    static const QRegularExpression subset(u"^[A-Z]{6}\\+\\S+ .* yes yes yes +\\d+ +\\d+$"_s);
    for (const QString& row : rows)
        EXPECT_TRUE(subset.match(row.trimmed()).hasMatch()) << row.toStdString();

    QString info;
    ASSERT_EQ(RunReader(u"pdfinfo"_s, {pdf}, &info), 0);
    const QString maker = u"たむりか "_s + QStringLiteral(TAMURIKA_PROJECT_VERSION);
    EXPECT_TRUE(info.contains(u"Creator:         "_s + maker + u'\n')) << info.toStdString();
    EXPECT_TRUE(info.contains(u"Producer:        "_s + maker + u'\n')) << info.toStdString();
    EXPECT_TRUE(info.contains(u"Title:           髙橋家のカレンダー 2027年\n"_s))
        << info.toStdString();
    EXPECT_TRUE(info.contains(u"CreationDate:"_s) && info.contains(u"ModDate:"_s))
        << info.toStdString();
    // The photo is still the file's own bytes, and nobody complains.
    const std::vector<QByteArray> jpegs = PdfJpegData(pdf, work.path());
    ASSERT_EQ(jpegs.size(), 1u);
    EXPECT_EQ(jpegs.front(), ReadBytes(photo));
    EXPECT_EQ(PdfReaderComplaints(pdf, work.path()), QString());
}

TEST_F(ExportPdf, ThePhotoGoesInAsItCameAndThePageIsThePreviewsSheet) {
    const QString upright = Path(u"upright.jpg"_s);
    ASSERT_TRUE(MakePhoto(upright));
    const QByteArray plain = ReadBytes(upright);
    QStringList photos{upright};
    for (int orientation = 2; orientation <= 8; ++orientation) {
        const QString file = Path(u"turned-%1.jpg"_s.arg(orientation));
        WriteBytes(file, WithExifOrientation(plain, orientation, orientation % 2 == 0));
        photos << file;
    }
    const QString grey = Path(u"grey.jpg"_s);
    ASSERT_TRUE(MakePhoto(grey, {u"-colorspace"_s, u"Gray"_s}));
    const QString cmyk = Path(u"cmyk.jpg"_s);
    ASSERT_TRUE(MakePhoto(cmyk, {u"-colorspace"_s, u"CMYK"_s}));
    const QString profile = GhostscriptProfile(u"default_rgb.icc"_s);
    ASSERT_FALSE(profile.isEmpty()) << "Ghostscript's ICC profiles are missing";
    const QString tagged = Path(u"tagged.jpg"_s);
    WriteBytes(tagged, WithIccProfile(plain, ReadBytes(profile)));
    photos << grey << cmyk << tagged;

    // Today's sheet without a photo: everything but the picture box, drawn exactly as before.
    const QString empty = Path(u"empty.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--pdf"_s, empty}).code, 0);
    const QImage sheet = RenderPdf(empty, 96, work.path());
    ASSERT_EQ(sheet.size(), QSize(PageWidth, PageHeight));
    // The 4:3 photos fill the picture box: 708 × 531 at (43, 39).
    const QRect box(43, 39, 708, 531);

    for (const QString& photo : photos) {
        SCOPED_TRACE(QFileInfo(photo).fileName().toStdString());
        const QString pdf = photo + u".pdf"_s;
        const QString png = photo + u".png"_s;
        Export(photo, pdf, png);

        const std::vector<TPdfImage> images = PdfImages(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Encoding, u"jpeg"_s);
        const std::vector<QByteArray> data = PdfJpegData(pdf, work.path());
        ASSERT_EQ(data.size(), 1u);
        EXPECT_TRUE(data[0] == ReadBytes(photo)) << "the photo's bytes were changed";

        const QImage page = RenderPdf(pdf, 96, work.path());
        ASSERT_EQ(page.size(), sheet.size());
        // Around the photo, today's sheet to the pixel.
        EXPECT_EQ(DifferingAround(page, sheet, box), 0) << "pixels outside the picture box";
        // In it, the photo turned and placed as the preview shows it. A CMYK photo stays CMYK,
        // which a reader shows as inks look, not as the preview's plain conversion (see
        // PdfPicture.GreyCmykAndIccTaggedPhotosKeepTheirColourSpaces).
        if (photo == cmyk)
            continue;
        const QImage preview = QImage(png).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(preview.size(), page.size());
        // The preview's picture is the photo stretched to 710 × 532 and cut to the box, so
        // its sharp edges lie up to two pixels right of and below the printed ones.
        const TPageDifference picture =
            ComparePages(page, preview, box.adjusted(1, 1, -1, -1), 48, 2);
        EXPECT_LT(picture.MeanLevel, 6);
        EXPECT_EQ(picture.Pixels, 0);
        // And the whole page against the preview's: the same sheet, but for the edges of
        // letters and the hair lines, which poppler smooths over two pixels where Qt's raster
        // engine draws one (about 700 of 890 000 pixels further than a neighbour).
        const TPageDifference whole = ComparePages(page, preview, page.rect(), 96, 1);
        EXPECT_LT(whole.Pixels, 2000);
        EXPECT_LT(whole.MeanLevel, 14);
    }
    EXPECT_EQ(PdfReaderComplaints(upright + u".pdf"_s, work.path()), QString());
}

TEST_F(ExportPdf, AnA3PageIsTheA4SheetScaledAndCentred) {
    const QString photo = Path(u"photo.jpg"_s);
    ASSERT_TRUE(MakePhoto(photo));
    const QString a4 = Path(u"a4.pdf"_s);
    const QString a3 = Path(u"a3.pdf"_s);
    Export(photo, a4, {});
    Export(photo, a3, Path(u"a3.png"_s), {u"--paper"_s, u"a3"_s});

    const auto info = PdfInfo(a3);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->Width, 842);
    EXPECT_EQ(info->Height, 1191);
    EXPECT_TRUE(PdfJpegData(a3, work.path()).front() == ReadBytes(photo));

    const QImage large = RenderPdf(a3, 96, work.path());
    ASSERT_EQ(large.size(), QSize(1123, 1588));
    // The A4 page scaled by √2: drawn by poppler at 96 × √2 per inch.
    const QString prefix = work.filePath(u"a4-large"_s);
    ASSERT_TRUE(RunTool(u"pdftoppm"_s, {u"-r"_s, QString::number(96 * std::sqrt(2.0), 'f', 3),
                                        u"-png"_s, u"-singlefile"_s, a4, prefix}));
    const QImage enlarged = QImage(prefix + u".png"_s).convertToFormat(QImage::Format_RGB32);
    ASSERT_LE(std::abs(enlarged.width() - large.width()), 1);
    ASSERT_LE(std::abs(enlarged.height() - large.height()), 1);
    const QRect area = large.rect().intersected(enlarged.rect()).adjusted(2, 2, -2, -2);
    // Alike but for the hair lines, which poppler draws one or two pixels wide by where they
    // fall on its grid: nothing is more than a pixel out of place.
    const TPageDifference d = ComparePages(large, enlarged, area);
    EXPECT_LT(d.MeanLevel, 10);
    EXPECT_LT(d.Pixels, 300) << "of 1.8 million";
    // The preview path draws the same A3 sheet: January's 1st, a red Friday, where √2 puts it.
    const QImage png = QImage(Path(u"a3.png"_s)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(png.size(), QSize(1123, 1587));
    const QRect cell = DayCell(1, 5, 0);
    const auto scaled = [](const QRect& r) {
        const double k = 1587.0 / 1123;
        return QRect(QPoint(int(r.left() * k) + 2, int(r.top() * k) + 2),
                     QPoint(int(r.right() * k) - 2, int(r.bottom() * k) - 2));
    };
    EXPECT_EQ(MainInk(png, scaled(cell)), TInk::Red);
    EXPECT_EQ(MainInk(large, scaled(cell)), TInk::Red);
    EXPECT_EQ(MainInk(png, scaled(DayCell(1, 3, 1))), TInk::Black);
    EXPECT_EQ(PdfReaderComplaints(a3, work.path()), QString());
}

TEST_F(ExportPdf, EveryPaperHasItsSizeAndTheLastChoiceIsTheDefault) {
    const struct {
        const char* Name;
        double Width, Height; // points, as Qt rounds them
    } papers[] = {{"A4", 595, 842}, {"A3", 842, 1191}, {"B4", 729, 1032},
                  {"B5", 516, 729}, {"A5", 420, 595},  {"Letter", 612, 792}};
    for (const auto& paper : papers) {
        SCOPED_TRACE(paper.Name);
        const QString pdf = Path(QString::fromLatin1(paper.Name) + u".pdf"_s);
        const ExportResult run =
            Run({u"--year=2027"_s, u"--paper"_s, QString::fromLatin1(paper.Name), u"--pdf"_s, pdf});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const auto info = PdfInfo(pdf);
        ASSERT_TRUE(info.has_value());
        EXPECT_NEAR(info->Width, paper.Width, 0.5);
        EXPECT_NEAR(info->Height, paper.Height, 0.5);
        EXPECT_TRUE(PdfText(pdf).contains(u"2027年"_s));
    }

    // The preview window's last choice, in the program's state file.
    QFile state(program.filePath(u"tamurika-state.ini"_s));
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write("\xEF\xBB\xBF[paper]\r\nSize=B5\r\n");
    state.close();
    const QString pdf = Path(u"default.pdf"_s);
    ASSERT_EQ(Run({u"--year=2027"_s, u"--pdf"_s, pdf}).code, 0);
    EXPECT_NEAR(PdfInfo(pdf)->Width, 516, 0.5);
    ASSERT_EQ(Run({u"--year=2027"_s, u"--paper=A4"_s, u"--pdf"_s, pdf}).code, 0);
    EXPECT_NEAR(PdfInfo(pdf)->Width, 595, 0.5);
    // Read, never written.
    EXPECT_EQ(ReadBytes(program.filePath(u"tamurika-state.ini"_s)),
              QByteArray("\xEF\xBB\xBF[paper]\r\nSize=B5\r\n"));

    const ExportResult bad = Run({u"--paper"_s, u"A2"_s, u"--pdf"_s, pdf});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(
        bad.err.contains(u"用紙 'A2' は A4、A3、B4、B5、A5、Letter のどれかで指定してください。"_s))
        << bad.err.toStdString();
}

} // namespace

namespace {

// The picture of the PDF as pdfimages writes it in PNG (its samples, whatever the filter),
// as 32-bit RGB.
QImage ExtractedPixels(const QString& pdf, const QString& workDir) {
    const QString prefix = QDir(workDir).filePath(u"pixels"_s);
    if (!RunTool(u"pdfimages"_s, {u"-png"_s, pdf, prefix}))
        return {};
    const QImage image = QImage(prefix + u"-000.png"_s).convertToFormat(QImage::Format_RGB32);
    QFile::remove(prefix + u"-000.png"_s);
    return image;
}

} // namespace

TEST_F(ExportPdf, OtherFormatsGoInWithoutLossOrAsAGoodJpegWhereTheyCameLossy) {
    // Noise, so that any change of a pixel, a channel or a row shows.
    const QString noise = Path(u"noise.png"_s);
    ASSERT_TRUE(Convert({u"-size"_s, u"160x120"_s, u"xc:"_s, u"+noise"_s, u"Random"_s, u"-type"_s,
                         u"TrueColor"_s, u"-depth"_s, u"8"_s, noise}));
    const struct {
        QString File;
        QStringList Options; // ImageMagick's, writing it from the noise
    } lossless[] = {
        {u"noise-copy.png"_s, {}},
        {u"noise.tif"_s, {u"-compress"_s, u"LZW"_s}},
        {u"noise.webp"_s, {u"-define"_s, u"webp:lossless=true"_s}},
        {u"noise.bmp"_s, {}},
        {u"noise.gif"_s, {}}, // 256 colours; what the file holds is what goes in
    };
    for (const auto& photo : lossless) {
        SCOPED_TRACE(photo.File.toStdString());
        const QString file = Path(photo.File);
        ASSERT_TRUE(Convert(QStringList{noise} + photo.Options + QStringList{file}));
        const QString pdf = file + u".pdf"_s;
        Export(file, pdf, {});
        const std::vector<TPdfImage> images = PdfImages(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Encoding, u"image"_s) << "Flate, lossless";
        const QImage expected = ReadWithImageMagick(file, Path(u"expected.png"_s));
        const QImage extracted = ExtractedPixels(pdf, work.path());
        ASSERT_EQ(extracted.size(), expected.size());
        // Pixel by pixel (QImage's == also weighs the colour space each reader names).
        int changed = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                changed += extracted.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(changed, 0) << "pixels were changed";
    }

    // From lossy formats: a JPEG of the whole picture, near the file's own pixels.
    const QString corners = Path(u"corners.png"_s);
    ASSERT_TRUE(MakeCorners(corners, 320, 240));
    const QString webp = Path(u"lossy.webp"_s);
    ASSERT_TRUE(Convert({corners, u"-quality"_s, u"80"_s, webp}));
    const QString heic = Path(u"photo.heic"_s);
    ASSERT_TRUE(WriteHeic(QImage(corners).convertToFormat(QImage::Format_RGB32), heic));
    for (const QString& file : {webp, heic}) {
        SCOPED_TRACE(QFileInfo(file).fileName().toStdString());
        const QString pdf = file + u".pdf"_s;
        Export(file, pdf, {});
        const std::vector<TPdfImage> images = PdfImages(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Encoding, u"jpeg"_s);
        const QImage expected = file == heic
                                    ? ReadHeicWithImageMagick(file, Path(u"expected.png"_s))
                                    : ReadWithImageMagick(file, Path(u"expected.png"_s));
        const QImage extracted = ExtractedPixels(pdf, work.path());
        ASSERT_EQ(extracted.size(), QSize(320, 240));
        ASSERT_EQ(expected.size(), extracted.size());
        EXPECT_LT(MeanDistance(extracted, expected), 3.0) << "a second generation that shows";
        const auto want = QuarterColours(expected);
        const auto got = QuarterColours(extracted);
        for (int q = 0; q < 4; ++q)
            EXPECT_LE(ChannelDistance(got[q], want[q]), 8) << "quarter " << q;
    }
    EXPECT_EQ(PdfReaderComplaints(heic + u".pdf"_s, work.path()), QString());
}

TEST_F(ExportPdf, AFillingPhotoIsCutByThePdfItselfAsThePreviewCutsIt) {
    // The top-left quarter at twice the size, from a photo as it was stored and from the same
    // photo turned a quarter by its EXIF orientation: the file's clip and matrix do the cut.
    const QString upright = Path(u"upright.jpg"_s);
    ASSERT_TRUE(MakePhoto(upright));
    const QString turned = Path(u"turned-6.jpg"_s);
    WriteBytes(turned, WithExifOrientation(ReadBytes(upright), 6, true));
    const QStringList framing{u"--fill"_s, u"--focus"_s, u"0,0"_s, u"--zoom"_s, u"2"_s};
    const QString empty = Path(u"empty.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--pdf"_s, empty}).code, 0);
    const QImage sheet = RenderPdf(empty, 96, work.path());
    const QRect box(43, 39, 708, 531);
    for (const QString& photo : {upright, turned}) {
        SCOPED_TRACE(QFileInfo(photo).fileName().toStdString());
        const QString pdf = photo + u".pdf"_s;
        const QString png = photo + u".png"_s;
        Export(photo, pdf, png, framing);
        const std::vector<QByteArray> data = PdfJpegData(pdf, work.path());
        ASSERT_EQ(data.size(), 1u);
        EXPECT_TRUE(data[0] == ReadBytes(photo)) << "the photo's bytes were changed";

        const QImage page = RenderPdf(pdf, 96, work.path());
        const QImage preview = QImage(png).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(page.size(), sheet.size());
        ASSERT_EQ(preview.size(), page.size());
        EXPECT_EQ(DifferingAround(page, sheet, box), 0) << "the photo reaches beyond its box";
        const TPageDifference picture =
            ComparePages(page, preview, box.adjusted(1, 1, -1, -1), 48, 2);
        EXPECT_LT(picture.MeanLevel, 6);
        EXPECT_EQ(picture.Pixels, 0);
    }
    EXPECT_EQ(PdfReaderComplaints(turned + u".pdf"_s, work.path()), QString());
}

TEST_F(ExportPdf, AJpegPhotoIsPutInWithoutLoadingTheReadersOfOtherFormats) {
    // libheif and its video decoders are loaded for a HEIF photo only, and Qt's image format
    // plugins not at all for a PDF of a JPEG: the dynamic loader lists what it maps.
    const QString jpeg = Path(u"photo.jpg"_s);
    ASSERT_TRUE(MakePhoto(jpeg));
    const QString heic = Path(u"photo.heic"_s);
    const QString corners = Path(u"corners.png"_s);
    ASSERT_TRUE(MakeCorners(corners, 320, 240));
    ASSERT_TRUE(WriteHeic(QImage(corners).convertToFormat(QImage::Format_RGB32), heic));
    const auto loaded = [&](const QString& photo) {
        qputenv("LD_DEBUG", "files");
        const ExportResult r =
            Run({u"--year"_s, u"2027"_s, u"--picture"_s, photo, u"--pdf"_s, photo + u".pdf"_s});
        qunsetenv("LD_DEBUG");
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(PdfImages(photo + u".pdf"_s).size(), 1u);
        return r.err;
    };
    const QString forJpeg = loaded(jpeg);
    EXPECT_TRUE(forJpeg.contains(u"libQt6Gui.so"_s)) << "the loader said nothing";
    EXPECT_FALSE(forJpeg.contains(u"libheif.so"_s));
    EXPECT_FALSE(forJpeg.contains(u"imageformats/"_s));
    EXPECT_TRUE(loaded(heic).contains(u"libheif.so"_s));
}
