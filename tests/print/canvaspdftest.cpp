// Pictures stretched onto a PDF page: the file keeps each picture at no more pixels than the
// device shows where it is drawn, and still the same picture there, as poppler reads it back.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "../common/imagemagick.h"
#include "../common/sheetpage.h"
#include "platform/canvas.h"

using testing_support::Near;
using testing_support::PdfImageSizes;
using testing_support::RenderPdf;

namespace {

// Blue top left, lime bottom right, red in the other two quarters.
QImage Quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::green);
    return image;
}

} // namespace

TEST(TCanvasPdf, APictureLargerThanItsPlaceKeepsOnlyTheDevicePixelsItCovers) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("pictures.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        TCanvas canvas(&painter);
        // 600 × 450 device pixels each.
        canvas.StretchDraw({300, 300, 900, 750}, Quarters(2400, 1800), true);
        canvas.StretchDraw({300, 900, 900, 1350}, Quarters(200, 150), true);    // never enlarged
        canvas.StretchDraw({300, 1500, 900, 1950}, Quarters(2400, 300), false); // one way only
    }
    const std::vector<QSize> sizes = PdfImageSizes(pdf);
    ASSERT_EQ(sizes.size(), 3u) << "pdfimages (poppler-utils) is needed";
    EXPECT_EQ(sizes[0], QSize(600, 450));
    EXPECT_EQ(sizes[1], QSize(200, 150));
    EXPECT_EQ(sizes[2], QSize(600, 300));

    // At 100 per inch each picture is 200 × 150 pixels, from x = 100.
    const QImage page = RenderPdf(pdf, 100, dir.path());
    ASSERT_FALSE(page.isNull());
    for (int top : {100, 300, 500}) {
        EXPECT_TRUE(Near(page.pixel(150, top + 37), qRgb(0, 0, 255))) << top;
        EXPECT_TRUE(Near(page.pixel(250, top + 37), qRgb(255, 0, 0))) << top;
        EXPECT_TRUE(Near(page.pixel(250, top + 112), qRgb(0, 255, 0))) << top;
    }
}
