// The design views: what a layout editor shows of the document, panels and grids.
#include <gtest/gtest.h>

#include "report/lightrep.h"
#include "report/lrdesign.h"
#include "reporttesting.h"

using namespace report_testing;

namespace {

const QRgb Silver = qRgb(192, 192, 192);
const QRgb Blue = qRgb(0, 0, 255);

bool SolidColumn(const QImage& image, int x, QRgb colour, int fromY, int toY) {
    for (int y = fromY; y <= toY; ++y)
        if (image.pixel(x, y) != colour)
            return false;
    return true;
}

bool HasColour(const QImage& image, QRect area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(DesignGrid, HalfCentimetreLinesFromThePapersCorner) {
    QImage image = WhitePage(100, 100);
    {
        TCanvas canvas(&image);
        DrawDesignGrid(canvas, 100, 100, 0, 0);
    }
    // Columns at Trunc(k × 18.9): 18 dotted, 37 solid, 56 dotted, 75 solid, 94 dotted; x = 0
    // is left out. Each runs from y = 0 to 98, the end point excluded.
    EXPECT_TRUE(SolidColumn(image, 37, Silver, 0, 98));
    EXPECT_TRUE(SolidColumn(image, 75, Silver, 0, 98));
    EXPECT_TRUE(IsWhite(image, 37, 99));
    EXPECT_TRUE(IsWhite(image, 0, 50));
    EXPECT_FALSE(SolidColumn(image, 18, Silver, 0, 98)); // dotted
    EXPECT_TRUE(HasColour(image, QRect(18, 0, 1, 10), Silver));
    EXPECT_TRUE(IsWhite(image, 20, 50));

    // A control at (10, 30) of the page: the lines stay on the page's half centimetres.
    QImage moved = WhitePage(100, 100);
    {
        TCanvas canvas(&moved);
        DrawDesignGrid(canvas, 100, 100, 10, 30);
    }
    EXPECT_TRUE(SolidColumn(moved, 27, Silver, 20, 40));        // 37 − 10
    EXPECT_TRUE(HasColour(moved, QRect(0, 7, 100, 1), Silver)); // row 37 − 30
}

TEST(DesignView, TheDocumentShowsItsGridRulerAndName) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    doc.SetName(QStringLiteral("LightRep1"));
    doc.SetDesigning(true);
    QImage image = WhitePage(doc.Width(), doc.Height());
    image.fill(Qt::red);
    {
        TCanvas canvas(&image);
        doc.Paint(canvas);
    }
    EXPECT_TRUE(IsWhite(image, 700, 1000));                 // filled white
    EXPECT_TRUE(SolidColumn(image, 378, Silver, 500, 600)); // 10 cm
    // The ruler's "1" just right of the first centimetre (x = 38, y = 1), in light grey.
    EXPECT_FALSE(InkBounds(image, QRect(39, 1, 8, 12)).isNull());
    EXPECT_FALSE(InkBounds(image, QRect(1, 39, 8, 12)).isNull()); // and down the left edge
    // The name in the document's own font, black.
    QRect name;
    for (int y = 4; y < 24; ++y)
        for (int x = 4; x < 120; ++x)
            if (qGray(image.pixel(x, y)) < 60)
                name |= QRect(x, y, 1, 1);
    EXPECT_GT(name.width(), 30);
    EXPECT_GE(name.left(), 4);
}

TEST(DesignView, PanelsAndGrids) {
    TImagePrinter printer(600, QSize(10, 10));
    VEvudaRir doc(&printer);
    doc.SetDesigning(true);
    auto* panel =
        CreateLR<TLRLayoutPanel>(&doc, QStringLiteral("LRLayoutPanel1"), Bounds(37, 37, 720, 200));
    auto* grid =
        CreateLR<TLRGridPanel>(panel, QStringLiteral("ColPrintPanel1"), Bounds(5, 16, 168, 96));
    grid->SetAlign(alNone);
    grid->SetBounds(5, 16, 168, 96);
    grid->SetColCount(7);
    grid->SetRowCount(6);

    QImage p = WhitePage(720, 200);
    p.fill(Qt::red);
    {
        TCanvas canvas(&p);
        panel->Paint(canvas);
    }
    EXPECT_EQ(p.pixel(0, 0), Blue); // the dotted frame
    EXPECT_TRUE(IsWhite(p, 1, 0));
    EXPECT_EQ(p.pixel(719, 199), Blue);
    EXPECT_TRUE(SolidColumn(p, 0, Blue, 0, 0));
    // The page's 1 cm line (x = 37) falls on the panel's column 0, which the grid leaves out;
    // 2 cm (x = 75) on column 38.
    EXPECT_TRUE(SolidColumn(p, 38, Silver, 30, 60));
    EXPECT_FALSE(HasColour(p, QRect(0, 0, 720, 200), qRgb(255, 0, 0)));

    QImage g = WhitePage(168, 96);
    {
        TCanvas canvas(&g);
        grid->Paint(canvas);
    }
    EXPECT_EQ(g.pixel(100, 50), qRgb(239, 239, 239)); // the other cells
    EXPECT_EQ(g.pixel(10, 8), qRgb(255, 255, 255));   // the first cell
    EXPECT_EQ(g.pixel(24, 40), Blue);                 // cell border x = 24, dotted
    EXPECT_EQ(g.pixel(167, 40), Blue);                // the last one at W − 1
    EXPECT_EQ(g.pixel(60, 95), Blue);                 // and at H − 1
}
