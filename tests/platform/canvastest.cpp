#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// The pixels that are not white, as a rectangle (empty when there are none).
QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsWhite(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(TCanvas, FillRectExcludesRightAndBottomEdges) {
    QImage image = WhiteImage(10, 10);
    {
        TCanvas canvas(&image);
        canvas.Brush.Color = clRed;
        canvas.FillRect({2, 3, 6, 5});
    }
    EXPECT_EQ(InkBounds(image), QRect(2, 3, 4, 2));
    EXPECT_EQ(image.pixel(2, 3), qRgb(255, 0, 0));

    QImage untouched = WhiteImage(10, 10);
    {
        TCanvas canvas(&untouched);
        canvas.Brush.Style = bsClear;
        canvas.FillRect({0, 0, 10, 10});
        canvas.Brush.Style = bsSolid;
        canvas.FillRect({5, 5, 5, 9}); // empty
    }
    EXPECT_TRUE(InkBounds(untouched).isNull());
}

TEST(TCanvas, LinesIncludeTheStartAndExcludeTheEnd) {
    struct Case {
        TPoint from, to;
        QRect ink;
    };
    const Case cases[] = {
        {{1, 1}, {5, 1}, QRect(1, 1, 4, 1)}, // to the right
        {{5, 2}, {1, 2}, QRect(2, 2, 4, 1)}, // to the left: 5..2
        {{3, 8}, {3, 2}, QRect(3, 3, 1, 6)}, // upwards: 8..3
        {{3, 2}, {3, 8}, QRect(3, 2, 1, 6)}, // downwards: 2..7
        {{0, 0}, {4, 4}, QRect(0, 0, 4, 4)}, // diagonal: (0,0)..(3,3)
        {{6, 6}, {6, 6}, QRect()},           // no length, nothing drawn
    };
    for (int width : {0, 1}) {
        for (const Case& c : cases) {
            QImage image = WhiteImage(10, 10);
            {
                TCanvas canvas(&image);
                canvas.Pen.Width = width;
                canvas.MoveTo(c.from.X, c.from.Y);
                canvas.LineTo(c.to.X, c.to.Y);
                EXPECT_EQ(canvas.PenPos(), c.to);
            }
            EXPECT_EQ(InkBounds(image), c.ink)
                << "width " << width << " from " << c.from.X << "," << c.from.Y;
        }
    }
}

TEST(TCanvas, PolylineLeavesOutItsLastPoint) {
    QImage image = WhiteImage(10, 10);
    {
        TCanvas canvas(&image);
        canvas.Polyline({{1, 5}, {1, 1}, {5, 1}});
    }
    EXPECT_FALSE(IsWhite(image, 1, 5));
    EXPECT_FALSE(IsWhite(image, 1, 1));
    EXPECT_FALSE(IsWhite(image, 4, 1));
    EXPECT_TRUE(IsWhite(image, 5, 1));
    EXPECT_EQ(InkBounds(image), QRect(1, 1, 4, 5));
}

TEST(TCanvas, FrameRectOutlinesTheOuterPixels) {
    QImage image = WhiteImage(10, 10);
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clBlue;
        canvas.FrameRect({2, 2, 7, 6});
    }
    EXPECT_EQ(InkBounds(image), QRect(2, 2, 5, 4));
    EXPECT_TRUE(IsWhite(image, 4, 4)); // inside stays
    EXPECT_EQ(image.pixel(6, 5), qRgb(0, 0, 255));
}

class CanvasText : public ::testing::Test {
  protected:
    static void Setup(TCanvas& canvas) {
        canvas.Font.SetName(QStringLiteral("ＭＳ ゴシック"));
        canvas.Font.SetHeight(-16);
        canvas.Font.SetColor(clBlack);
        canvas.Brush.Style = bsClear;
    }

    static QImage Draw(const QString& text, unsigned flags, TRect r = {0, 0, 120, 30}) {
        QImage image = WhiteImage(120, 30);
        TCanvas canvas(&image);
        Setup(canvas);
        canvas.DrawText(r, text, flags);
        canvas.EndPaint();
        return image;
    }
};

TEST_F(CanvasText, SingleLineMeasuresOneLineHeight) {
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(&image);
    Setup(canvas);
    TRect r{5, 5, 200, 5};
    const int h = canvas.DrawText(r, QStringLiteral("2027年"), DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(h, canvas.TextHeight(QStringLiteral("x")));
    EXPECT_EQ(r.Left, 5);
    EXPECT_EQ(r.Top, 5);
    EXPECT_EQ(r.Bottom, 5 + h);
    EXPECT_EQ(r.Width(), canvas.TextWidth(QStringLiteral("2027年")));
    canvas.EndPaint();
    EXPECT_TRUE(InkBounds(image).isNull()); // measuring draws nothing
}

TEST_F(CanvasText, WordBreakWrapsIntoSeveralLines) {
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(&image);
    Setup(canvas);
    const int line = canvas.TextHeight(QStringLiteral("x"));
    TRect r{0, 0, canvas.TextWidth(QStringLiteral("wwww")), 0};
    const int h = canvas.DrawText(r, QStringLiteral("aaa bbb ccc"), DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(h, 3 * line - 1);
    TRect one{0, 0, 1000, 0};
    EXPECT_EQ(canvas.DrawText(one, QStringLiteral("aaa bbb ccc"), DT_WORDBREAK | DT_CALCRECT),
              line);
}

TEST_F(CanvasText, CentredTextSitsInTheMiddle) {
    const QImage image = Draw(QStringLiteral("30"), DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isNull());
    const int left = ink.left();
    const int right = 119 - ink.right();
    EXPECT_LE(std::abs(left - right), 2) << left << " " << right;
}

TEST_F(CanvasText, RightAlignedTextEndsAtTheRightEdge) {
    const QImage image = Draw(QStringLiteral("12"), DT_SINGLELINE | DT_RIGHT);
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.right(), 110);
    EXPECT_GT(ink.left(), 60);
}

TEST_F(CanvasText, ClipsToTheRectangleUnlessToldNot) {
    const TRect small{10, 5, 30, 25};
    const QString text = QStringLiteral("WWWWWWWW");
    const QRect clipped = InkBounds(Draw(text, DT_SINGLELINE, small));
    ASSERT_FALSE(clipped.isNull());
    EXPECT_TRUE(small.ToQRect().contains(clipped)) << clipped.right();
    const QRect unclipped = InkBounds(Draw(text, DT_SINGLELINE | DT_NOCLIP, small));
    EXPECT_GT(unclipped.right(), 40);
}

TEST_F(CanvasText, AmpersandMarksAMnemonic) {
    // Two ampersands draw one.
    EXPECT_EQ(Draw(QStringLiteral("A&&B"), DT_SINGLELINE),
              Draw(QStringLiteral("A&B"), DT_SINGLELINE | DT_NOPREFIX));
    // One ampersand is not drawn; it underlines the next letter, below the baseline only.
    const QImage marked = Draw(QStringLiteral("&P"), DT_SINGLELINE);
    const QImage plain = Draw(QStringLiteral("P"), DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_NE(marked, plain);
    QImage probe = WhiteImage(1, 1);
    TCanvas canvas(&probe);
    Setup(canvas);
    const int baseline = QFontMetrics(canvas.Font.ToQFont()).ascent();
    EXPECT_EQ(marked.copy(0, 0, 120, baseline), plain.copy(0, 0, 120, baseline));
}

TEST_F(CanvasText, SolidBrushFillsBehindTheText) {
    QImage image = WhiteImage(120, 30);
    {
        TCanvas canvas(&image);
        Setup(canvas);
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clYellow;
        canvas.TextOut(2, 2, QStringLiteral("x"));
    }
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 0));
    EXPECT_TRUE(IsWhite(image, 100, 25));
}

TEST(TCanvasDevice, FontsFollowTheDeviceResolution) {
    QImage screen = WhiteImage(4, 4);
    QImage printer = WhiteImage(4, 4);
    printer.setDotsPerMeterX(23622); // 600 per inch
    printer.setDotsPerMeterY(23622);
    TCanvas onScreen(&screen);
    TCanvas onPrinter(&printer);
    EXPECT_EQ(onScreen.PixelsPerInch(), 96);
    EXPECT_EQ(onPrinter.PixelsPerInch(), 600);
    onScreen.Font.SetHeight(-11);
    onPrinter.Font.SetHeight(-11);
    const double ratio = double(onPrinter.TextHeight(QStringLiteral("x"))) /
                         onScreen.TextHeight(QStringLiteral("x"));
    EXPECT_NEAR(ratio, 67.0 / 11.0, 0.7);
}

TEST(TCanvasDevice, DiscardCanvasSwallowsDrawingButMeasures) {
    TCanvas canvas;
    EXPECT_FALSE(canvas.CanDraw());
    canvas.FillRect({0, 0, 100, 100});
    canvas.LineTo(50, 50);
    TRect r{0, 0, 100, 0};
    canvas.DrawText(r, QStringLiteral("年"), DT_SINGLELINE);
    EXPECT_GT(canvas.TextHeight(QStringLiteral("年")), 0);
    EXPECT_EQ(canvas.PenPos(), (TPoint{50, 50}));
}

TEST(TColor, ConvertsBetweenBgrValuesAndQtColours) {
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(FromQColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
    EXPECT_EQ(FromQColor(QColor(1, 2, 3, 0)), 0x00030201); // alpha is dropped
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(ColorToRGB(clWindow)));
    EXPECT_EQ(clWindow, -16777211); // the value stored settings carry
}

TEST(TBitmap, CanvasDrawsIntoItsPixels) {
    TBitmap bitmap(20, 10);
    EXPECT_TRUE(IsWhite(bitmap.Image(), 0, 0));
    bitmap.Canvas().Brush.Color = clGreen;
    bitmap.Canvas().FillRect({0, 0, 5, 5});
    EXPECT_EQ(bitmap.Image().pixel(4, 4), qRgb(0, 128, 0));
    EXPECT_TRUE(IsWhite(bitmap.Image(), 5, 5));
    bitmap.Canvas().FillRect({5, 5, 6, 6}); // drawing goes on after a read
    EXPECT_EQ(bitmap.Image().pixel(5, 5), qRgb(0, 128, 0));
    bitmap.SetSize(3, 3);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_TRUE(IsWhite(bitmap.Image(), 2, 2));
    // Whatever the desktop's resolution, a bitmap is drawn at the 96 per inch of the design.
    QImage highDpi(8, 8, QImage::Format_RGB32);
    highDpi.setDotsPerMeterX(4724); // 120 per inch
    highDpi.setDotsPerMeterY(4724);
    bitmap.Assign(highDpi);
    EXPECT_EQ(bitmap.Canvas().PixelsPerInch(), 96);
    bitmap.SetSize(4, 4);
    EXPECT_EQ(bitmap.Canvas().PixelsPerInch(), 96);
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(empty.Canvas().CanDraw());
}

TEST(TBitmap, AtAPixelRatioOfTwoTheCanvasKeepsItsRulesOnTwiceThePixels) {
    TBitmap bitmap;
    bitmap.SetPixelRatio(2.0);
    bitmap.SetSize(20, 10);
    EXPECT_EQ(bitmap.Width(), 20); // logical pixels
    EXPECT_EQ(bitmap.Height(), 10);
    EXPECT_EQ(bitmap.Image().size(), QSize(40, 20));
    EXPECT_EQ(bitmap.Image().devicePixelRatio(), 2.0);
    TCanvas& canvas = bitmap.Canvas();
    EXPECT_EQ(canvas.PixelRatio(), 2.0);
    EXPECT_EQ(canvas.PixelsPerInch(), 96); // fonts keep their logical heights

    // A rectangle excludes its right and bottom edge: logical (1, 1)..(3, 2) is device
    // (2, 2)..(5, 3).
    canvas.Brush.Color = clBlue;
    canvas.FillRect({1, 1, 3, 2});
    // A thin line is one device pixel wide, from its start up to its end point.
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = 0;
    canvas.MoveTo(1, 5);
    canvas.LineTo(6, 5);
    // A slanted one keeps its pixels joined on the device's grid.
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.MoveTo(10, 1);
    canvas.LineTo(14, 5);
    canvas.EndPaint();
    const QImage& image = bitmap.Image();
    QRect blue, red, black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const QRect pixel(x, y, 1, 1);
            if (c == qRgb(0, 0, 255))
                blue |= pixel;
            else if (c == qRgb(255, 0, 0))
                red |= pixel;
            else if (c == qRgb(0, 0, 0))
                black |= pixel;
            else
                ASSERT_TRUE(IsWhite(image, x, y)) << x << "," << y;
        }
    EXPECT_EQ(blue, QRect(2, 2, 4, 2));
    EXPECT_EQ(red, QRect(2, 10, 10, 1));
    EXPECT_EQ(black, QRect(20, 2, 8, 8));
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(image.pixel(20 + k, 2 + k), qRgb(0, 0, 0)) << k;

    // Text is laid out in logical pixels and drawn with the device's: twice as many rows.
    TBitmap fine;
    fine.SetPixelRatio(2.0);
    fine.SetSize(60, 30);
    TBitmap plain(60, 30);
    for (TBitmap* b : {&fine, &plain}) {
        b->Canvas().Font.SetHeight(-16);
        b->Canvas().Font.SetColor(clBlack);
        b->Canvas().Brush.Style = bsClear;
        b->Canvas().TextOut(2, 2, QStringLiteral("年"));
    }
    const QRect fineInk = InkBounds(fine.Image());
    const QRect plainInk = InkBounds(plain.Image());
    ASSERT_FALSE(plainInk.isNull());
    EXPECT_NEAR(fineInk.height(), 2 * plainInk.height(), 3);
    EXPECT_NEAR(fineInk.top(), 2 * plainInk.top(), 3);
}

} // namespace
