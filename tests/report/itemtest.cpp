#include <gtest/gtest.h>

#include <set>

#include <QFontMetrics>

#include "platform/sysutils.h"
#include "report/lightrep.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels BlackPixels(const QImage& image) {
    Pixels black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                black.insert({x, y});
    return black;
}

// Rows of a column that are not white, around `y`.
int Thickness(const QImage& image, int x, int y) {
    int top = y, bottom = y;
    while (top > 0 && !IsWhite(image, x, top - 1))
        --top;
    while (bottom + 1 < image.height() && !IsWhite(image, x, bottom + 1))
        ++bottom;
    return IsWhite(image, x, y) ? 0 : bottom - top + 1;
}

QImage Print(TLRItem& item, const TRect& rect, double scale, TPrintStatus status = prsNormal,
             QSize size = QSize(60, 50), int dpi = 96) {
    QImage image = WhitePage(size.width(), size.height(), dpi);
    TCanvas canvas(&image);
    item.Print(canvas, rect, status, scale);
    canvas.EndPaint();
    return image;
}

// What the canvas draws for `text` in `box` with `flags`: the text item must draw exactly this.
QImage Reference(const TFont& font, const TRect& box, const QString& text, unsigned flags,
                 QSize size = QSize(60, 50)) {
    QImage image = WhitePage(size.width(), size.height());
    TCanvas canvas(&image);
    canvas.Brush.Style = bsClear;
    canvas.Font.Assign(font);
    TRect r = box;
    canvas.DrawText(r, text, flags);
    canvas.EndPaint();
    return image;
}

int LineHeight(const TFont& font) {
    return QFontMetrics(font.ToQFont()).height();
}

TLRItem& Framed(TLRItem& item, TLineStyle style) {
    item.SetText(QString());
    item.SetLineTop(style);
    item.SetLineLeft(style);
    item.SetLineRight(style);
    item.SetLineBottom(style);
    return item;
}

} // namespace

TEST(TLRItem, Defaults) {
    TLRItem item;
    item.SetName(QStringLiteral("LRItemHi1"));
    EXPECT_EQ(item.Width(), 65);
    EXPECT_EQ(item.Height(), 17);
    EXPECT_EQ(item.Text(), "LRItemHi1");
    EXPECT_EQ(item.Color(), clWhite);
    EXPECT_TRUE(item.Transparent());
    EXPECT_EQ(item.HMargin(), 2);
    EXPECT_EQ(item.VMargin(), 2);
    EXPECT_EQ(item.Alignment(), taLeftJustify);
    EXPECT_EQ(item.Layout(), tlTop);
    EXPECT_EQ(item.LineColor(), clBlack);
    EXPECT_TRUE(item.ParentFont());
    EXPECT_FALSE(item.ParentColor());
    EXPECT_TRUE(item.Enabled());

    item.SetHMargin(256);
    EXPECT_EQ(item.HMargin(), 2);
    item.SetHMargin(255);
    EXPECT_EQ(item.HMargin(), 255);
    item.SetVMargin(-256);
    EXPECT_EQ(item.VMargin(), 2);
    item.SetVMargin(-255);
    EXPECT_EQ(item.VMargin(), -255);
}

TEST(TLRItem, BordersAtScaleOne) {
    // The item (0, 0, 24, 16) of the edge cases, moved by (10, 10) to keep every line in view.
    TLRItem item;
    Framed(item, lsSingle);
    const QImage image = Print(item, {10, 10, 34, 26}, 1.0);
    Pixels expected;
    for (int x = 9; x <= 32; ++x) {
        expected.insert({x, 9});  // top: y = −1 from x = −1 to 22
        expected.insert({x, 25}); // bottom: y = 15
    }
    for (int y = 9; y <= 24; ++y) {
        expected.insert({9, y});  // left: x = −1 from y = −1 to 14
        expected.insert({33, y}); // right: x = 23
    }
    EXPECT_EQ(BlackPixels(image), expected);
}

TEST(TLRItem, NeighbouringCellsShareTheirLine) {
    TLRItem item;
    Framed(item, lsSingle);
    QImage image = WhitePage(80, 40);
    {
        TCanvas canvas(&image);
        item.Print(canvas, {10, 10, 34, 26}, prsNormal, 1.0);
        item.Print(canvas, {34, 10, 58, 26}, prsNormal, 1.0);
    }
    // The first cell's right border and the second's left border are both column 33.
    for (int x = 30; x <= 37; ++x)
        EXPECT_EQ(IsWhite(image, x, 18), x != 33) << x;
}

TEST(TLRItem, BordersAtScaleSixPointTwentyFive) {
    TLRItem item;
    Framed(item, lsSingle);
    // S = (62, 62, 206, 156): the item at (10, 10) as the printer sees it; off = 6, pen 8
    // (1.2 units of 6.25 pixels, rounded).
    const QImage image = Print(item, {10, 10, 34, 26}, 6.25, prsNormal, QSize(260, 200), 600);
    EXPECT_EQ(Thickness(image, 130, 56), 8);                          // top at y = 62 − 6
    EXPECT_EQ(Thickness(image, 130, 156), 8);                         // bottom at S.Bottom
    const QImage turned = image.transformed(QTransform().rotate(90)); // columns become rows
    EXPECT_EQ(Thickness(turned, image.height() - 1 - 110, 56), 8);    // left at x = 62 − 6
    EXPECT_EQ(Thickness(turned, image.height() - 1 - 110, 206), 8);   // right at S.Right
    EXPECT_TRUE(IsWhite(image, 130, 110));                            // transparent inside
}

TEST(TLRItem, LineWeightsAtEachScale) {
    struct Case {
        double scale;
        TLineStyle style;
        int width;
    };
    const Case cases[] = {
        {1.0, lsSingle, 1},   {1.0, lsHalf, 1},   {1.0, lsDouble, 2},
        {3.125, lsSingle, 4}, {3.125, lsHalf, 2}, {3.125, lsDouble, 6},
        {6.25, lsSingle, 8},  {6.25, lsHalf, 3},  {6.25, lsDouble, 13},
    };
    for (const Case& c : cases) {
        TLRItem item;
        item.SetText(QString());
        item.SetLineTop(c.style);
        const int dpi = qRound(96 * c.scale);
        const QImage image = Print(item, {4, 10, 30, 20}, c.scale, prsNormal, QSize(200, 130), dpi);
        const int y = ScaleValue(10, c.scale) - ScaleValue(1, c.scale);
        EXPECT_EQ(Thickness(image, ScaleValue(15, c.scale), y), c.width)
            << "scale " << c.scale << " style " << int(c.style);
    }
}

TEST(TLRItem, AnOpaqueItemCoversWhatWasDrawnBefore) {
    TLRItem item;
    item.SetText(QString());
    item.SetTransparent(false);
    QImage image = WhitePage(40, 30);
    image.fill(Qt::black);
    {
        TCanvas canvas(&image);
        item.Print(canvas, {5, 5, 29, 21}, prsNormal, 1.0);
    }
    QRect white;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsWhite(image, x, y))
                white |= QRect(x, y, 1, 1);
    EXPECT_EQ(white, QRect(5, 5, 23, 15)); // S = (5, 5, 28, 20), right and bottom excluded
}

TEST(TLRItem, TextBoxForEachAlignmentAndLayout) {
    TLRItem item;
    item.SetText(QStringLiteral("31"));
    item.Font().SetName(QStringLiteral("ＭＳ Ｐゴシック"));
    item.Font().SetHeight(-11);
    item.Font().SetStyle(fsBold);
    item.Font().SetColor(clBlack);
    const int h = LineHeight(item.Font());
    // An item at (10, 0) 40 × 39 on the page: S = (10, 0, 49, 38).
    const TRect rect{10, 0, 50, 39};
    struct Case {
        TAlignment alignment;
        TTextLayout layout;
        int hm, vm;
        TRect box;
        unsigned flags;
    };
    const Case cases[] = {
        {taLeftJustify, tlTop, 2, 2, {12, 2, 49, 38}, DT_SINGLELINE},
        {taLeftJustify, tlTop, -5, 2, {5, 2, 49, 38}, DT_SINGLELINE}, // starts 5 left of the item
        {taRightJustify, tlTop, 3, 0, {10, 0, 46, 38}, DT_SINGLELINE | DT_RIGHT},
        {taCenter, tlTop, 50, 2, {10, 2, 49, 38}, DT_SINGLELINE | DT_CENTER}, // margin left out
        {taLeftJustify, tlBottom, 2, 2, {12, 38 - 2 - h, 49, 38}, DT_SINGLELINE},
        {taCenter, tlCenter, 2, 2, {10, (38 - h) / 2, 49, 38}, DT_SINGLELINE | DT_CENTER},
    };
    for (const Case& c : cases) {
        item.SetAlignment(c.alignment);
        item.SetLayout(c.layout);
        item.SetHMargin(c.hm);
        item.SetVMargin(c.vm);
        const QImage got = Print(item, rect, 1.0);
        const QImage want = Reference(item.Font(), c.box, QStringLiteral("31"), c.flags);
        EXPECT_FALSE(InkBounds(got).isNull());
        EXPECT_EQ(got, want) << "alignment " << int(c.alignment) << " layout " << int(c.layout)
                             << " margin " << c.hm;
    }
    // The edge cases' numbers, for a line of this font's height.
    EXPECT_EQ(38 - 2 - h, 24 + (12 - h)); // tlBottom, VMargin 2, item 39 high at y 0
}

TEST(TLRItem, TheCentredLineOfASixteenUnitCell) {
    TLRItem item;
    item.SetText(QStringLiteral("あ"));
    item.Font().SetHeight(-11);
    item.Font().SetColor(clBlack);
    item.SetAlignment(taCenter);
    item.SetLayout(tlCenter);
    const int h = LineHeight(item.Font());
    // An item 16 high: S is 15 high, the box starts at (15 − h) div 2.
    const QImage got = Print(item, {1, 0, 24, 16}, 1.0);
    const QImage want = Reference(item.Font(), {1, (15 - h) / 2, 23, 15}, QStringLiteral("あ"),
                                  DT_SINGLELINE | DT_CENTER);
    EXPECT_EQ(got, want);
}

TEST(TLRItem, WordWrapBreaksIntoLinesInsideTheBox) {
    TLRItem item;
    item.SetText(QStringLiteral("one two three four"));
    item.SetWordWrap(true);
    item.Font().SetColor(clBlack);
    const QImage got = Print(item, {0, 0, 40, 49}, 1.0);
    const QImage want =
        Reference(item.Font(), {2, 2, 39, 48}, QStringLiteral("one two three four"), DT_WORDBREAK);
    EXPECT_EQ(got, want);
    EXPECT_GT(InkBounds(got).height(), 2 * LineHeight(item.Font()) - 4); // several lines
}

TEST(TLRItem, FrameOnlyDrawsBackgroundAndBordersButNoText) {
    TLRItem item;
    item.SetText(QStringLiteral("31"));
    item.Font().SetColor(clBlack);
    item.SetTransparent(false);
    item.SetColor(clYellow);
    item.SetLineBottom(lsSingle);
    const QImage frame = Print(item, {10, 10, 34, 26}, 1.0, prsFrameOnly);
    EXPECT_EQ(frame.pixel(20, 15), qRgb(255, 255, 0));
    Pixels line;
    for (int x = 9; x <= 32; ++x)
        line.insert({x, 25});
    EXPECT_EQ(BlackPixels(frame), line);
    const QImage normal = Print(item, {10, 10, 34, 26}, 1.0, prsNormal);
    EXPECT_GT(BlackPixels(normal).size(), line.size());
    const QImage skipped = Print(item, {10, 10, 34, 26}, 1.0, prsSkip);
    EXPECT_EQ(skipped.pixel(20, 15), qRgb(255, 255, 0)); // only the background
    EXPECT_TRUE(BlackPixels(skipped).empty());
}

TEST(TLRItem, TheFontKeepsItsPointSizeOnThePrinter) {
    TLRItem item;
    item.SetText(QStringLiteral("■"));
    item.Font().SetHeight(-11); // 8 points: 67 pixels at 600 per inch, not 11 × 6.25
    item.Font().SetColor(clBlack);
    QImage image = Print(item, {0, 0, 40, 20}, 6.25, prsNormal, QSize(300, 150), 600);
    EXPECT_EQ(item.Font().PixelHeightFor(600), 67);
    const int ink = InkBounds(image).height();
    EXPECT_GT(ink, 40);
    EXPECT_LT(ink, 70);
}

TEST(TLRItem, AmpersandsMarkAMnemonic) {
    TLRItem item;
    item.Font().SetColor(clBlack);
    item.SetText(QStringLiteral("&A"));
    EXPECT_EQ(item.GetDisplayText(), "&A");
    const QImage got = Print(item, {0, 0, 40, 20}, 1.0);
    EXPECT_EQ(got, Reference(item.Font(), {2, 2, 39, 19}, QStringLiteral("&A"), DT_SINGLELINE));
    EXPECT_NE(got, Reference(item.Font(), {2, 2, 39, 19}, QStringLiteral("&A"),
                             DT_SINGLELINE | DT_NOPREFIX));
}

TEST(TLRItem, DisplayMasks) {
    TLRItem item;
    item.SetDisplayMask(QStringLiteral("#,##0.00"));
    item.SetText(QStringLiteral("1234.5"));
    EXPECT_EQ(item.GetDisplayText(), "1,234.50");
    item.SetText(QStringLiteral("-7"));
    EXPECT_EQ(item.GetDisplayText(), "-7.00");
    item.SetDisplayMask(QStringLiteral("0.0;(0.0);'zero'"));
    EXPECT_EQ(item.GetDisplayText(), "(7.0)");
    item.SetText(QStringLiteral("0"));
    EXPECT_EQ(item.GetDisplayText(), "zero");
    // Any letter, blank or comma makes it an edit mask.
    item.SetDisplayMask(QStringLiteral(">LL-000;0;_"));
    item.SetText(QStringLiteral("ab12"));
    EXPECT_EQ(item.GetDisplayText(), "AB-12_");
    item.SetText(QString());
    EXPECT_EQ(item.GetDisplayText(), "");
    // Literals between the placeholders of a number pattern stay among the digits.
    item.SetDisplayMask(QStringLiteral("000-0000"));
    item.SetText(QStringLiteral("1234567"));
    EXPECT_EQ(item.GetDisplayText(), "123-4567");
    item.SetDisplayMask(QStringLiteral("0000/00/00"));
    item.SetText(QStringLiteral("20260101"));
    EXPECT_EQ(item.GetDisplayText(), "2026/01/01");
    // Digits and signs that are no number are drawn as they stand, and the page goes on.
    for (const char* bad : {"1-2", ".", "+", "1.2.3", "123-4567"}) {
        item.SetText(QString::fromLatin1(bad));
        EXPECT_EQ(item.GetDisplayText(), QString::fromLatin1(bad)) << bad;
    }
    item.SetText(QStringLiteral("1-2"));
    item.Font().SetColor(clBlack);
    QImage masked;
    EXPECT_NO_THROW(masked = Print(item, {0, 0, 40, 20}, 1.0));
    item.SetDisplayMask(QString());
    const QImage plain = Print(item, {0, 0, 40, 20}, 1.0);
    EXPECT_EQ(masked, plain);            // the same pixels as with no mask
    EXPECT_NE(plain, WhitePage(60, 50)); // and the text was drawn
}

TEST(TLRItem, DesignModeMarksTheCornersOfAnInvisibleItem) {
    TLRItem item;
    item.SetText(QString());
    item.SetDesigning(true);
    const QImage image = Print(item, {10, 10, 30, 25}, 1.0);
    const QRgb green = qRgb(0, 128, 0);
    EXPECT_EQ(image.pixel(10, 10), green);
    EXPECT_EQ(image.pixel(10, 13), green);
    EXPECT_EQ(image.pixel(13, 10), green);
    EXPECT_TRUE(IsWhite(image, 14, 10));
    EXPECT_EQ(image.pixel(29, 10), green); // R − 1
    EXPECT_EQ(image.pixel(10, 24), green); // B − 1
    EXPECT_EQ(image.pixel(29, 24), green);
    EXPECT_TRUE(IsWhite(image, 20, 17));
    // With a border there is nothing to mark; in design mode lines are grey at no offset.
    item.SetLineTop(lsSingle);
    const QImage lined = Print(item, {10, 10, 30, 25}, 1.0);
    EXPECT_EQ(lined.pixel(15, 10), qRgb(128, 128, 128));
    EXPECT_TRUE(IsWhite(lined, 10, 24));
}
