// Photos printed into a PDF file go in as they came: a JPEG photo's own bytes (read back with
// poppler's pdfimages -j), turned by the PDF's matrix for each of the eight EXIF orientations
// and looking as ImageMagick turns it; grey, CMYK and ICC-tagged photos in their own colour
// spaces; a bitmap pixel for pixel. Every file is read by poppler, Ghostscript, qpdf and the
// CUPS filters without a complaint.
#include <gtest/gtest.h>

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>

#include "common/files.h"
#include "common/imagemagick.h"
#include "common/jpegfiles.h"
#include "common/pdfcheck.h"
#include "photo/jpegimage.h"
#include "photo/picture.h"
#include "reporttesting.h"
#include "sampledocument.h"

using namespace report_testing;
using namespace testing_support;

namespace {

class PdfPicture : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    /// Prints the sample document with the picture file `picture` into `pdf`, in colour or,
    /// as the print dialog may set it, in grey.
    void Print(const QString& picture, const QString& pdf,
               QPrinter::ColorMode mode = QPrinter::Color) {
        TQtPrinter printer;
        printer.PrintToFile(pdf);
        TQtPrinter::TSetup setup = printer.Setup();
        setup.ColorMode = mode;
        printer.RestoreSetup(setup);
        SampleDocument sample(&printer);
        sample.Picture->Picture().LoadFromFile(picture);
        sample.Doc.BeginDoc();
        sample.Doc.PrintPage();
        sample.Doc.EndDoc();
    }

    /// The picture's place on the page rendered by poppler at 96 per inch, less a pixel all
    /// round, where the edges blend with the white around it.
    QImage PrintedPicture(const QString& pdf) {
        const QImage page = RenderPdf(pdf, 96, work.path());
        return page.copy(
            QRect(QPoint(SampleDocument::PictureLeft, SampleDocument::PictureTop),
                  QPoint(SampleDocument::PictureRight - 1, SampleDocument::PictureBottom - 1))
                .adjusted(1, 1, -1, -1));
    }

    QTemporaryDir dir;
    QTemporaryDir work;
};

// The colour at the centres of the four quarters: top-left, top-right, bottom-left,
// bottom-right.
std::array<QRgb, 4> Quarters(const QImage& image) {
    const int w = image.width(), h = image.height();
    return {image.pixel(w / 4, h / 4), image.pixel(3 * w / 4, h / 4), image.pixel(w / 4, 3 * h / 4),
            image.pixel(3 * w / 4, 3 * h / 4)};
}

// A picture with four differently coloured quarters, so that every turn shows.
bool MakeFourColours(const QString& path, int w, int h, const QStringList& extra = {}) {
    QStringList args{QStringLiteral("-size"), QStringLiteral("%1x%2").arg(w).arg(h),
                     QStringLiteral("xc:red"), QStringLiteral("-fill"), QStringLiteral("blue")};
    args << QStringLiteral("-draw")
         << QStringLiteral("rectangle 0,0 %1,%2").arg(w / 2 - 1).arg(h / 2 - 1)
         << QStringLiteral("-fill") << QStringLiteral("lime") << QStringLiteral("-draw")
         << QStringLiteral("rectangle %1,%2 %3,%4").arg(w / 2).arg(h / 2).arg(w - 1).arg(h - 1)
         << QStringLiteral("-fill") << QStringLiteral("yellow") << QStringLiteral("-draw")
         << QStringLiteral("rectangle %1,0 %2,%3").arg(w / 2).arg(w - 1).arg(h / 2 - 1);
    args << extra << path;
    return Convert(args);
}

TEST_F(PdfPicture, AJpegPhotoGoesInAsItsOwnBytesInEveryOrientation) {
    const QString plain = Path(QStringLiteral("plain.jpg"));
    ASSERT_TRUE(MakeFourColours(plain, 64, 48, {QStringLiteral("-quality"), QStringLiteral("95")}));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString file = Path(QStringLiteral("o%1.jpg").arg(orientation));
        const QByteArray bytes =
            WithExifOrientation(ReadBytes(plain), orientation, orientation % 2);
        WriteBytes(file, bytes);
        const QString pdf = Path(QStringLiteral("o%1.pdf").arg(orientation));
        Print(file, pdf);

        // One picture, the file itself: stored size, DCT-coded, byte for byte.
        const std::vector<TPdfImage> images = PdfImages(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Width, 64);
        EXPECT_EQ(images[0].Height, 48);
        EXPECT_EQ(images[0].Encoding, QStringLiteral("jpeg"));
        EXPECT_EQ(images[0].Color, QStringLiteral("rgb"));
        EXPECT_TRUE(images[0].Interpolated);
        const std::vector<QByteArray> data = PdfJpegData(pdf, work.path());
        ASSERT_EQ(data.size(), 1u);
        EXPECT_TRUE(data[0] == bytes) << "the photo's bytes were changed";

        // Turned upright as ImageMagick turns it.
        ASSERT_TRUE(Convert({file, QStringLiteral("-auto-orient"), file + QStringLiteral(".png")}));
        const auto want = Quarters(QImage(file + QStringLiteral(".png")));
        const auto got = Quarters(PrintedPicture(pdf));
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Near(got[i], want[i])) << "quarter " << i << ": " << std::hex << got[i]
                                               << " where ImageMagick has " << want[i];
        if (orientation == 1 || orientation == 6) {
            EXPECT_EQ(PdfReaderComplaints(pdf, work.path()), QString());
        }
    }
}

// One of Ghostscript's ICC profiles (the package keeps them in a folder named after its
// version); empty when there is none.
QString GhostscriptProfile(const QString& name) {
    const QDir share(QStringLiteral("/usr/share/ghostscript"));
    for (const QString& version : share.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = share.filePath(version + QStringLiteral("/iccprofiles/") + name);
        if (QFile::exists(path))
            return path;
    }
    return {};
}

// The colours ImageMagick gives for the centres of the four quarters, with `options` (a
// colour space, a profile) before reading them.
std::array<QString, 4> MagickQuarters(const QString& file, const QStringList& options, int w,
                                      int h) {
    std::array<QString, 4> colours;
    QStringList format;
    for (const QPoint p : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                           QPoint(3 * w / 4, 3 * h / 4)})
        format << QStringLiteral("%[pixel:p{%1,%2}]").arg(p.x()).arg(p.y());
    const auto out = RunTool(
        QStringLiteral("convert"),
        QStringList{file} + options +
            QStringList{QStringLiteral("-format"), format.join(u' '), QStringLiteral("info:")});
    const QStringList parts = out ? QString::fromUtf8(*out).split(u' ') : QStringList();
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        colours[std::size_t(i)] = parts[i].trimmed();
    return colours;
}

TEST_F(PdfPicture, GreyCmykAndIccTaggedPhotosKeepTheirColourSpaces) {
    const QString grey = Path(QStringLiteral("grey.jpg"));
    ASSERT_TRUE(
        MakeFourColours(grey, 64, 48, {QStringLiteral("-colorspace"), QStringLiteral("Gray")}));
    const QString cmyk = Path(QStringLiteral("cmyk.jpg"));
    ASSERT_TRUE(
        MakeFourColours(cmyk, 64, 48, {QStringLiteral("-colorspace"), QStringLiteral("CMYK")}));
    // Mid colours, which a wide-gamut profile moves well inside sRGB's gamut.
    const QString plain = Path(QStringLiteral("rgb.jpg"));
    ASSERT_TRUE(Convert({QStringLiteral("-size"), QStringLiteral("64x48"),
                         QStringLiteral("xc:rgb(100,150,100)"), QStringLiteral("-fill"),
                         QStringLiteral("rgb(160,90,70)"), QStringLiteral("-draw"),
                         QStringLiteral("rectangle 0,0 31,23"), QStringLiteral("-quality"),
                         QStringLiteral("95"), plain}));
    const QString wide = GhostscriptProfile(QStringLiteral("rommrgb.icc")); // ProPhoto RGB
    const QString srgb = GhostscriptProfile(QStringLiteral("default_rgb.icc"));
    ASSERT_FALSE(wide.isEmpty() || srgb.isEmpty()) << "Ghostscript's ICC profiles are missing";
    const QString tagged = Path(QStringLiteral("prophoto.jpg"));
    WriteBytes(tagged, WithIccProfile(ReadBytes(plain), ReadBytes(wide), 1000)); // in chunks

    const struct {
        QString File;
        QString Color;
        int Components;
    } kinds[] = {{grey, QStringLiteral("gray"), 1},
                 {cmyk, QStringLiteral("cmyk"), 4},
                 {tagged, QStringLiteral("icc"), 3}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.File.toStdString());
        const QString pdf = kind.File + QStringLiteral(".pdf");
        Print(kind.File, pdf);
        const std::vector<TPdfImage> images = PdfImages(pdf);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Color, kind.Color);
        EXPECT_EQ(images[0].Components, kind.Components);
        EXPECT_EQ(images[0].Encoding, QStringLiteral("jpeg"));
        const std::vector<QByteArray> data = PdfJpegData(pdf, work.path());
        ASSERT_EQ(data.size(), 1u);
        EXPECT_TRUE(data[0] == ReadBytes(kind.File));
        EXPECT_EQ(PdfReaderComplaints(pdf, work.path()), QString());
    }

    // The CMYK photo reaches a CMYK device with its own inks: Ghostscript rendering the page in
    // CMYK gives the values ImageMagick reads from the file (Photoshop's inverted samples
    // undone once, not twice).
    const QString tiff = work.filePath(QStringLiteral("cmyk.tif"));
    ASSERT_TRUE(RunTool(QStringLiteral("gs"),
                        {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"),
                         QStringLiteral("-dBATCH"), QStringLiteral("-dSAFER"),
                         QStringLiteral("-sDEVICE=tiff32nc"), QStringLiteral("-r96"),
                         QStringLiteral("-sOutputFile=") + tiff, cmyk + QStringLiteral(".pdf")}));
    const int l = SampleDocument::PictureLeft, t = SampleDocument::PictureTop;
    const int w = SampleDocument::PictureRight - l, h = SampleDocument::PictureBottom - t;
    const auto inks = MagickQuarters(tiff,
                                     {QStringLiteral("-crop"),
                                      QStringLiteral("%1x%2+%3+%4").arg(w).arg(h).arg(l).arg(t),
                                      QStringLiteral("+repage")},
                                     w, h);
    const auto file = MagickQuarters(cmyk, {}, 64, 48);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(inks[std::size_t(i)], file[std::size_t(i)]) << "quarter " << i;

    // The profile counts: poppler draws the ProPhoto RGB photo in the colours ImageMagick
    // converts it to in sRGB, far from those of the same photo untagged.
    ASSERT_TRUE(
        Convert({tagged, QStringLiteral("-profile"), srgb, tagged + QStringLiteral(".png")}));
    const auto want = Quarters(QImage(tagged + QStringLiteral(".png")));
    const auto got = Quarters(PrintedPicture(tagged + QStringLiteral(".pdf")));
    Print(plain, plain + QStringLiteral(".pdf"));
    const auto untagged = Quarters(PrintedPicture(plain + QStringLiteral(".pdf")));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Near(got[i], want[i], 8)) << "quarter " << i << ": " << std::hex << got[i]
                                              << " where ImageMagick has " << want[i];
        EXPECT_FALSE(Near(untagged[i], want[i], 12)) << "quarter " << i;
    }
}

TEST_F(PdfPicture, ABitmapGoesInPixelForPixel) {
    const QString bmp = Path(QStringLiteral("noise.bmp"));
    ASSERT_TRUE(Convert({QStringLiteral("-size"), QStringLiteral("37x23"), QStringLiteral("xc:"),
                         QStringLiteral("+noise"), QStringLiteral("Random"),
                         QStringLiteral("-type"), QStringLiteral("TrueColor"), bmp}));
    const QString pdf = Path(QStringLiteral("noise.pdf"));
    Print(bmp, pdf);
    const std::vector<TPdfImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Width, 37);
    EXPECT_EQ(images[0].Height, 23);
    EXPECT_EQ(images[0].Encoding, QStringLiteral("image")); // Flate, lossless
    const QString prefix = work.filePath(QStringLiteral("bitmap"));
    ASSERT_TRUE(RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix}));
    const QImage extracted =
        QImage(prefix + QStringLiteral("-000.png")).convertToFormat(QImage::Format_RGB32);
    const QImage original = QImage(bmp).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(extracted.size(), original.size());
    EXPECT_TRUE(extracted == original) << "the bitmap's pixels were changed";
    EXPECT_EQ(PdfReaderComplaints(pdf, work.path()), QString());
}

TEST_F(PdfPicture, APhotoCutShortFailsThePageAndLeavesNoFile) {
    const QString good = Path(QStringLiteral("good.jpg"));
    ASSERT_TRUE(
        MakeFourColours(good, 640, 480, {QStringLiteral("+noise"), QStringLiteral("Random")}));
    const QByteArray bytes = ReadBytes(good);
    const QString cut = Path(QStringLiteral("cut.jpg"));
    WriteBytes(cut, bytes.left(bytes.size() * 2 / 3));

    const QString pdf = Path(QStringLiteral("cut.pdf"));
    TQtPrinter printer;
    printer.PrintToFile(pdf);
    SampleDocument sample(&printer);
    sample.Picture->Picture().LoadFromFile(cut); // the header alone is whole
    sample.Doc.BeginDoc();
    try {
        sample.Doc.PrintPage();
        ADD_FAILURE() << "a photo cut short went into the file";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(
            e.Message(),
            QStringLiteral("JPEGイメージのデータが途中で切れています。ファイルが壊れています。"));
    }
    sample.Doc.AbortDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files), QStringList());
}

} // namespace

TEST_F(PdfPicture, APhotoPrintedInGreyIntoAFileIsGreyAsThePageIs) {
    // Grey chosen in the print dialog for a PDF file: Qt draws the page grey, and the photo,
    // which would show in colour as it came, goes in as a grey JPEG of its pixels.
    const QString photo = Path(QStringLiteral("colours.jpg"));
    ASSERT_TRUE(MakeFourColours(photo, 64, 48, {QStringLiteral("-quality"), QStringLiteral("95")}));
    const QString pdf = Path(QStringLiteral("grey.pdf"));
    Print(photo, pdf, QPrinter::GrayScale);

    const std::vector<TPdfImage> images = PdfImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].Encoding, QStringLiteral("jpeg"));
    EXPECT_EQ(images[0].Color, QStringLiteral("gray"));
    // Each quarter as grey as Qt makes a colour of the page grey.
    const auto want = Quarters(QImage(photo));
    const auto got = Quarters(PrintedPicture(pdf));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(qRed(got[i]) == qGreen(got[i]) && qGreen(got[i]) == qBlue(got[i]))
            << std::hex << got[i] << " is not grey";
        EXPECT_NEAR(qGray(got[i]), qGray(want[i]), 8) << "quarter " << i;
    }
    EXPECT_EQ(PdfReaderComplaints(pdf, work.path()), QString());
}
