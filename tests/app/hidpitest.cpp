// On a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2 on the offscreen platform, set by the
// executable's own main before the application starts): the preview page, the sample photo and
// the sample month grid get twice the pixels each way, lines as thin as on a screen of ratio 1,
// and every size in logical pixels as it was. The preview at ratio 2 is the page as a printer of
// 192 per inch prints it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>

#include "app/mainunit.h"
#include "calex/calex.h"
#include "common/sheetpage.h"
#include "model/calendardocument.h"
#include "platform/bitmap.h"
#include "preview/previewdocument.h"
#include "preview/printlrunit.h"
#include "print/imageprinter.h"
#include "widgets/application.h"
#include "widgets/image.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

// How many rows around `y` (device pixels) in column `x` are dark: the width of a horizontal
// line there. The rows next to the line must be white, so a blurred line counts as wide.
int LineWidthAcross(const QImage& page, int x, int y, bool vertical) {
    int dark = 0;
    for (int d = -4; d <= 4; ++d) {
        const QRgb c = vertical ? page.pixel(x + d, y) : page.pixel(x, y + d);
        if (qGray(c) < 235)
            ++dark;
    }
    return dark;
}

// Where a line crosses column `fixed` between rows `from` and `to` (or row `fixed` between those
// columns, for a `vertical` line): the darkest pixel there.
int DarkestAt(const QImage& page, int fixed, int from, int to, bool vertical) {
    int darkest = from;
    for (int i = from; i <= to; ++i) {
        const QRgb c = vertical ? page.pixel(i, fixed) : page.pixel(fixed, i);
        const QRgb best = vertical ? page.pixel(darkest, fixed) : page.pixel(fixed, darkest);
        if (qGray(c) < qGray(best))
            darkest = i;
    }
    return darkest;
}

// The page as a screen of ratio 1 shows it at 100 %: one pixel per design unit.
QImage PageAtDesignResolution(TFrmPrtLR& window) {
    VEvudaRir& doc = *window.LightRep1();
    TBitmap page(doc.Width(), doc.Height());
    doc.BeginPreview();
    doc.DrawPreview(page.Canvas(), 0, 0, 100);
    doc.EndPreview();
    page.Canvas().EndPaint();
    return page.Image().convertToFormat(QImage::Format_RGB32);
}

class HighDpi : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0)
            << "the offscreen platform does not apply QT_SCALE_FACTOR";
        // The page is looked at as it opens, at 100 %: the screen of 400 × 300 logical pixels
        // would open it fitted.
        testing_support::KeepZoomAt100(dir.path());
        // The calendar of 2027 as a first start has it.
        document = std::make_unique<TCalendarDocument>(dir.path());
        document->Open();
        document->SetYear(2027);
    }
    QTemporaryDir dir;
    std::unique_ptr<TCalendarDocument> document;
};

TEST_F(HighDpi, ThePreviewPageHasADevicePixelForEachScreenPixelAndThinLines) {
    TImagePrinter printer(192);
    TFrmPrtLR window(*document, &printer);
    window.Compose();
    window.show();
    ASSERT_EQ(window.devicePixelRatioF(), 2.0);
    EXPECT_EQ(window.Zoom(), 4);
    EXPECT_EQ(window.Image1->size(), QSize(794, 1123)); // 100 %: one design unit a pixel
    const QImage page = window.Image1->Picture().Graphic()->ToImage();
    ASSERT_EQ(page.size(), QSize(1588, 2246));
    // What the screen shows is that page, pixel for pixel.
    const QImage shown = window.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), page.size());
    EXPECT_EQ(shown, page.convertToFormat(QImage::Format_RGB32));

    // Every month's one-unit lines: the header's top line and the line left of Wednesday's
    // column, at most two device pixels wide and black in the middle.
    for (int n = 1; n <= 12; ++n) {
        const QPoint o = HeaderOrigin(n);
        const int across = LineWidthAcross(page, 2 * (o.x() + 10), 2 * (o.y() - 1), false);
        EXPECT_GE(across, 1) << "month " << n;
        EXPECT_LE(across, 2) << "month " << n;
        const QRect wednesday = DayCell(n, 3, 2);
        const int down =
            LineWidthAcross(page, 2 * (wednesday.left() - 1), 2 * wednesday.center().y(), true);
        EXPECT_GE(down, 1) << "month " << n;
        EXPECT_LE(down, 2) << "month " << n;
        EXPECT_LT(qGray(page.pixel(2 * (o.x() + 10), 2 * (o.y() - 1))), 60) << "month " << n;
    }

    // The zoom steps keep their sizes in design units, with twice the pixels.
    window.BtnSyukusho->click();
    EXPECT_EQ(window.Image1->size(), QSize(596, 842));
    EXPECT_EQ(window.Image1->Picture().Graphic()->ToImage().size(), QSize(1192, 1684));
    window.BtnSyukusho->click();
    window.BtnSyukusho->click();
    EXPECT_EQ(window.Image1->size(), QSize(198, 281));
    EXPECT_EQ(window.Image1->Picture().Graphic()->ToImage().size(), QSize(396, 562));

    // Printed at 192 per inch the page is the same, line for line and letter for letter.
    window.BtnInsatuClick();
    ASSERT_EQ(printer.Pages().size(), 1u);
    const QImage printed = printer.Pages().front();
    ASSERT_EQ(printed.size(), QSize(1587, 2245));
    int differing = 0;
    for (int y = 0; y < printed.height(); ++y)
        for (int x = 0; x < printed.width(); ++x)
            differing += printed.pixel(x, y) != page.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(HighDpi, TheZoomStepsShowTheSameAreaOfThePageAsOnAScreenOfRatioOne) {
    TFrmPrtLR window(*document);
    window.Compose();
    window.show();
    const QImage designPage = PageAtDesignResolution(window);
    ASSERT_EQ(designPage.size(), QSize(PageWidth, PageHeight));
    // At 100 % the scroll box holds the page at its design size, as on any screen.
    EXPECT_EQ(window.Image1->size(), designPage.size());

    // At 50 % the page takes half the logical pixels and so as many device pixels as a screen
    // of ratio 1 gives it at 100 %: every line lies where it lies there, all over the page. (The
    // finer page is drawn as a printer draws it, a line centred on its design coordinate, so it
    // may lie half a design unit before the pixel a screen of ratio 1 gives it.)
    window.BtnSyukusho->click();
    window.BtnSyukusho->click();
    ASSERT_EQ(window.Zoom(), 2);
    EXPECT_EQ(window.Image1->width(), 397);
    const QImage half = window.Image1->Picture().Graphic()->ToImage();
    ASSERT_GE(half.width(), PageWidth);
    ASSERT_GE(half.height(), PageHeight);
    for (int n = 1; n <= 12; ++n) {
        const QPoint o = HeaderOrigin(n);
        const int x = o.x() + 10;
        EXPECT_NEAR(DarkestAt(half, x, o.y() - 5, o.y() + 3, false),
                    DarkestAt(designPage, x, o.y() - 5, o.y() + 3, false), 1)
            << "month " << n;
        const QRect wednesday = DayCell(n, 3, 2);
        const int y = wednesday.center().y();
        EXPECT_NEAR(DarkestAt(half, y, wednesday.left() - 5, wednesday.left() + 3, true),
                    DarkestAt(designPage, y, wednesday.left() - 5, wednesday.left() + 3, true), 1)
            << "month " << n;
    }
}

TEST_F(HighDpi, TheFittedPageHasADevicePixelForEachScreenPixel) {
    // The window fitted: the page takes the scroll box's height in logical pixels and twice
    // as many device pixels, its lines still there.
    TFrmPrtLR window(*document);
    window.Compose();
    window.resize(420, 700); // larger than the screen of 400 × 300 logical pixels allows
    window.show();
    window.BtnZentai->click();
    ASSERT_TRUE(window.FitToWindow());
    const QSize shown = window.Image1->size();
    const QSize area = window.ScrollBox1->viewport()->size();
    EXPECT_EQ(shown.width(), area.width()); // 420 wide, 700 high: the width limits it
    EXPECT_LE(shown.height(), area.height());
    const QImage page = window.Image1->Picture().Graphic()->ToImage();
    EXPECT_EQ(page.size(), shown * 2);
    const double scale = 2.0 * shown.width() / PageWidth;
    for (int n = 1; n <= 12; ++n) {
        const QPoint o = HeaderOrigin(n);
        int dark = 0;
        for (int y = int(o.y() * scale); y < int((o.y() + 112) * scale); ++y)
            dark += qGray(page.pixel(int((o.x() + 80) * scale), y)) < 235;
        EXPECT_GE(dark, 6) << "month " << n;
    }
}

TEST_F(HighDpi, ABoldTitleCarriesTheSameInkAsOnAScreenOfRatioOne) {
    // IPA P明朝 has no bold of its own: the one drawn by hand must not grow or shrink with the
    // finer pixels.
    document->SetFont(sfYear, {u"IPA P明朝"_s, fsBold});
    TFrmPrtLR window(*document);
    window.Compose();
    window.show();
    ASSERT_EQ(window.Sheet().LRItemNen->Text(), u"2027年"_s);
    ASSERT_EQ(window.Sheet().LRItemNen->Font().Name(), u"IPA P明朝"_s);
    const QImage fine = window.Image1->Picture().Graphic()->ToImage();
    ASSERT_EQ(fine.size(), QSize(1588, 2246));
    const double onScreen = Ink(AtScreenResolution(fine), YearTitleArea());
    const double atDesign = Ink(PageAtDesignResolution(window), YearTitleArea());
    RecordProperty("ink at ratio 2", std::to_string(onScreen));
    RecordProperty("ink at ratio 1", std::to_string(atDesign));
    EXPECT_GT(atDesign, 100);
    EXPECT_LE(std::max(onScreen, atDesign), 1.15 * std::min(onScreen, atDesign))
        << onScreen << " at ratio 2 against " << atDesign << " at ratio 1";
}

TEST_F(HighDpi, TheSamplePhotoAndMonthGridAreDrawnAtTheDevicePixels) {
    // A photo of one-pixel stripes, exactly as many pixels as the sample box has on this screen.
    QImage stripes(448, 336, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString photo = dir.filePath(QStringLiteral("stripes.bmp"));
    ASSERT_TRUE(stripes.save(photo, "BMP"));

    TmainForm form(dir.path());
    form.show();
    ASSERT_EQ(form.devicePixelRatioF(), 2.0);
    form.LoadPictureFile(photo);
    EXPECT_EQ(form.Image1->size(), QSize(224, 168));
    const QImage sample = form.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sample.size(), QSize(448, 336));
    // Each stripe reaches the screen: neighbouring columns black and white, not grey.
    int sharp = 0;
    for (int x = 1; x < sample.width(); ++x)
        sharp += std::abs(qGray(sample.pixel(x, 168)) - qGray(sample.pixel(x - 1, 168))) > 200;
    EXPECT_GT(sharp, 400);

    // The month grid is drawn into a buffer of the device pixels, its cells where the logical
    // grid puts them: the header row's green ends exactly at twice its logical bottom.
    TCalendarEx& grid = *form.CalendarEx1;
    const QImage buffer = grid.BufferImage();
    EXPECT_EQ(buffer.size(), QSize(2 * grid.ClientWidth(), 2 * grid.ClientHeight()));
    EXPECT_EQ(buffer.devicePixelRatio(), 2.0);
    EXPECT_EQ(grid.grab().toImage().size(), 2 * grid.size());
    const TRect header = grid.CellRect(0, 0);
    EXPECT_EQ(buffer.pixel(1, 2 * header.Bottom - 1), qRgb(0, 128, 0));
    EXPECT_NE(buffer.pixel(1, 2 * header.Bottom), qRgb(0, 128, 0));
    // The day numbers have twice the rows of a 13-pixel font's digits.
    int inkedRows = 0;
    const TRect cell = grid.CellRect(3, 3); // a day in the middle of the month
    for (int y = 2 * cell.Top; y < 2 * cell.Bottom; ++y) {
        bool inked = false;
        for (int x = 2 * cell.Left; x < 2 * cell.Right && !inked; ++x)
            inked = qGray(buffer.pixel(x, y)) < 128;
        inkedRows += inked;
    }
    EXPECT_GE(inkedRows, 16);
    EXPECT_LE(inkedRows, 2 * cell.Height());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    return RUN_ALL_TESTS();
}
