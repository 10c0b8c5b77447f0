// Grey and progressive JPEG photos print as they look: each goes through the image item into a
// PDF file, which poppler draws again, and the colours of the picture's four quarters match
// ImageMagick's own reading of the file.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "photo/jpegimage.h"
#include "photo/picture.h"
#include "reporttesting.h"
#include "sampledocument.h"

using namespace report_testing;
using testing_support::Convert;
using testing_support::MakeQuarters;
using testing_support::Near;

namespace {

// The colours at the centres of the four quarters of `area`: top-left, top-right,
// bottom-left, bottom-right.
std::array<QRgb, 4> Quarters(const QImage& image, const QRect& area) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    return {image.pixel(l + w / 4, t + h / 4), image.pixel(l + 3 * w / 4, t + h / 4),
            image.pixel(l + w / 4, t + 3 * h / 4), image.pixel(l + 3 * w / 4, t + 3 * h / 4)};
}

TEST(JpegPrint, GreyAndProgressivePhotosPrintAsImageMagickSeesThem) {
    QTemporaryDir dir;
    const struct {
        const char* Name;
        QStringList Options;
    } kinds[] = {
        {"grey.jpg", {QStringLiteral("-colorspace"), QStringLiteral("Gray")}},
        {"progressive.jpg", {QStringLiteral("-interlace"), QStringLiteral("JPEG")}},
        // A CMYK photo goes into the PDF file as CMYK, its inks as they are, and a reader shows
        // them as CMYK inks look, not as ImageMagick's plain conversion to RGB: PdfPicture's
        // tests look at it through Ghostscript's CMYK output.
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.Name);
        // 2:1, the shape of the sample's picture item, so that each quarter fills a quarter.
        const QString file = dir.filePath(QString::fromLatin1(kind.Name));
        ASSERT_TRUE(MakeQuarters(file, 120, 60, kind.Options));
        ASSERT_TRUE(Convert({file, file + QStringLiteral(".png")}));
        const QImage expected =
            QImage(file + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull());

        const QString pdf = file + QStringLiteral(".pdf");
        TQtPrinter printer;
        printer.PrintToFile(pdf);
        SampleDocument sample(&printer);
        sample.Picture->Picture().LoadFromFile(file);
        ASSERT_EQ(sample.Picture->Picture().Graphic()->ClassName(), QStringLiteral("TJPEGImage"));
        sample.Doc.BeginDoc();
        sample.Doc.PrintPage();
        sample.Doc.EndDoc();

        const QImage page = RenderPdf(pdf, 96, dir.path());
        ASSERT_FALSE(page.isNull());
        const QRect picture(QPoint(SampleDocument::PictureLeft, SampleDocument::PictureTop),
                            QPoint(SampleDocument::PictureRight, SampleDocument::PictureBottom));
        const auto got = Quarters(page, picture);
        const auto want = Quarters(expected, expected.rect());
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Near(got[i], want[i])) << "quarter " << i << ": printed " << std::hex
                                               << got[i] << ", ImageMagick " << want[i];
    }
}

} // namespace
