// The sheet as a report document: every named panel and item where the layout puts it, the
// cell handlers per cell, the page drawn at one pixel per design unit (lines, colours,
// blanks), the picture's place and framing, and printing with the photo as it was read.
#include <gtest/gtest.h>

#include <tuple>

#include <QPrinter>
#include <QTemporaryDir>

#include "common/calendarmodel.h"
#include "common/imagemagick.h"
#include "common/sheetpage.h"
#include "photo/picture.h"
#include "platform/bitmap.h"
#include "print/imageprinter.h"
#include "print/printer.h"
#include "sheet/sheetlayout.h"

using namespace testing_support;

namespace {

TRect PageRectOf(const TLRControl* c) {
    int left = c->Left(), top = c->Top();
    for (const TLRControl* p = c->Parent(); p != nullptr && p->Parent() != nullptr;
         p = p->Parent()) {
        left += p->Left();
        top += p->Top();
    }
    return Bounds(left, top, c->Width(), c->Height());
}

const char16_t* const MonthTitles[12] = {u"１月", u"２月",   u"３月",   u"４月",
                                         u"５月", u"６月",   u"７月",   u"８月",
                                         u"９月", u"１０月", u"１１月", u"１２月"};

QString RectText(const TRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.Left).arg(r.Top).arg(r.Width()).arg(r.Height());
}

QImage Preview(TSheetLayout& sheet) {
    VEvudaRir& doc = *sheet.LightRep1;
    TBitmap page(doc.Width(), doc.Height());
    doc.BeginPreview();
    doc.DrawPreview(page.Canvas(), 0, 0, 100);
    doc.EndPreview();
    page.Canvas().EndPaint();
    return page.Image();
}

// The sheet of `model` printed through Qt's PDF writer at 150 per inch into `pdf`.
void PrintPdf(const TCalendarModel& model, const QString& pdf) {
    TQtPrinter printer;
    printer.PrintToFile(pdf);
    printer.QtPrinter().setResolution(150);
    TSheetLayout sheet(&printer);
    ComposeSheet(sheet, model, TSheetUse::Print);
    sheet.Print();
}

// The bare layout with the day table of 2027 and the default colours, for the cell handlers.
class SheetTest : public ::testing::Test {
  protected:
    void SetUp() override { FillYear(sheet.DayCells, 2027); }
    TSheetLayout sheet;
};

TEST_F(SheetTest, EveryPanelAndItemStandsWhereTheLayoutPutsIt) {
    const VEvudaRir& doc = *sheet.LightRep1;
    EXPECT_EQ(doc.Width(), 794);
    EXPECT_EQ(doc.Height(), 1123);
    EXPECT_EQ(doc.PaperSize(), psA4);
    EXPECT_EQ(doc.Orientation(), poPortrait);
    EXPECT_EQ(doc.MarginTop(), 36);
    EXPECT_EQ(doc.MarginLeft(), 39);
    EXPECT_EQ(doc.MarginRight(), 39);
    EXPECT_EQ(doc.MarginBottom(), 48);

    const std::pair<const char*, const char*> expected[] = {
        {"LRLayoutPanel1", "40,37 714x537"},   {"LRImage1", "43,39 708x531"},
        {"LRLayoutPanel2", "40,574 714x46"},   {"LRItemNen", "40,578 713x39"},
        {"LRLayoutPanel3", "40,620 178x454"},  {"LRLayoutPanel4", "218,620 178x454"},
        {"LRLayoutPanel5", "396,620 178x454"}, {"LRLayoutPanel6", "574,620 178x454"},
    };
    for (const auto& [name, rect] : expected) {
        const TLRControl* c = sheet.FindControl(QString::fromLatin1(name));
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(RectText(PageRectOf(c)), QString::fromLatin1(rect)) << name;
    }
    EXPECT_TRUE(sheet.LRImage1->Stretch());
    EXPECT_EQ(sheet.LRItemNen->Alignment(), taCenter);
    EXPECT_EQ(sheet.LRItemNen->Layout(), tlBottom);
    EXPECT_EQ(sheet.LRItemNen->Font().Height(), -32);

    for (int n = 1; n <= 12; ++n) {
        const TMonthBlock& m = sheet.Month(n);
        const QPoint o = MonthOrigin(n);
        const auto at = [&o](int x, int y, int w, int h) {
            return RectText(Bounds(o.x() + x, o.y() + y, w, h));
        };
        EXPECT_EQ(RectText(PageRectOf(m.Block)), at(0, 0, 178, 150)) << n;
        EXPECT_EQ(RectText(PageRectOf(m.LRItemTuki)), at(4, 4, 171, 17)) << n;
        EXPECT_EQ(RectText(PageRectOf(m.Spacer)), at(0, 24, 5, 126)) << n;
        EXPECT_EQ(RectText(PageRectOf(m.YoubiPrintPanel)), at(5, 24, 168, 16)) << n;
        EXPECT_EQ(RectText(PageRectOf(m.ColPrintPanel)), at(5, 40, 168, 96)) << n;
        EXPECT_EQ(m.YoubiPrintPanel->ColCount(), 7);
        EXPECT_EQ(m.YoubiPrintPanel->RowCount(), 1);
        EXPECT_EQ(m.ColPrintPanel->ColCount(), 7);
        EXPECT_EQ(m.ColPrintPanel->RowCount(), 6);
        // Items of a grid are those of its cell, 24 × 16.
        EXPECT_EQ(RectText(m.LRItemYoubi->BoundsRect()), "0,0 24x16");
        EXPECT_EQ(RectText(m.LRItemCol->BoundsRect()), "0,0 24x16");
        EXPECT_EQ(RectText(m.LRItemHi->BoundsRect()), "1,0 23x15");
        EXPECT_EQ(RectText(m.LRItemYoubiMoji->BoundsRect()), "1,0 23x15");
        EXPECT_FALSE(m.LRItemCol->Transparent());
        EXPECT_EQ(m.LRItemTuki->Text(), QString::fromUtf16(MonthTitles[n - 1]));
        for (const char* kind : {"YoubiPrintPanel", "ColPrintPanel", "LRItemTuki", "LRItemYoubi",
                                 "LRItemYoubiMoji", "LRItemCol", "LRItemHi"})
            EXPECT_NE(sheet.FindControl(QLatin1String(kind) + QString::number(n)), nullptr)
                << kind << n;
    }
}

TEST_F(SheetTest, ThePositionMovesEverythingAndKeepsTheWidth) {
    sheet.SetPosition(10);
    EXPECT_EQ(sheet.LightRep1->MarginLeft(), 49);
    EXPECT_EQ(sheet.LightRep1->MarginRight(), 29);
    EXPECT_EQ(RectText(PageRectOf(sheet.LRLayoutPanel1)), "50,37 714x537");
    EXPECT_EQ(RectText(PageRectOf(sheet.Month(8).ColPrintPanel)),
              RectText(Bounds(MonthOrigin(8, 10).x() + 5, MonthOrigin(8).y() + 40, 168, 96)));
    sheet.SetPosition(-10);
    EXPECT_EQ(sheet.LightRep1->MarginLeft(), 29);
    EXPECT_EQ(sheet.LightRep1->MarginRight(), 49);
    EXPECT_EQ(PageRectOf(sheet.MonthColumns[0]).Left, 30);
    EXPECT_EQ(PageRectOf(sheet.MonthColumns[3]).Left, 30 + 3 * 178);
}

TEST_F(SheetTest, HeaderCellsGetTheirLetterColourAndLines) {
    const TMonthBlock& m = sheet.Month(5);
    sheet.WeekdayColor = 0x00AA00;
    TPrintStatus status = prsNormal;
    const char16_t* letters[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int col = 0; col < 7; ++col) {
        sheet.YoubiPrintPanelPrintPanel(m.YoubiPrintPanel, col, 0, {}, status);
        EXPECT_EQ(m.LRItemYoubiMoji->Text(), QString::fromUtf16(letters[col]));
        EXPECT_EQ(m.LRItemYoubiMoji->Font().Color(), col == 0   ? clRed
                                                     : col == 6 ? clBlue
                                                                : TColor(0x00AA00));
        EXPECT_EQ(m.LRItemYoubi->LineTop(), lsSingle);
        EXPECT_EQ(m.LRItemYoubi->LineBottom(), lsSingle);
        EXPECT_EQ(m.LRItemYoubi->LineLeft(), lsSingle);
        EXPECT_EQ(m.LRItemYoubi->LineRight(), col == 6 ? lsSingle : lsNone);
        EXPECT_EQ(status, prsNormal);
    }
    // Another month's items are not touched.
    EXPECT_EQ(sheet.Month(4).LRItemYoubiMoji->Text(), "あ");
}

TEST_F(SheetTest, DayCellsTakeTheirNumberAndTheColourOfTheirColumnOrHoliday) {
    const TMonthBlock& jan = sheet.Month(1);
    TPrintStatus status = prsNormal;
    struct Row {
        int col, row;
        const char* text;
        TColor color;
    };
    // January 2027: the 1st a Friday and 元日, the 2nd a Saturday, the 11th 成人の日.
    const Row rows[] = {{5, 0, "1", clRed},   {6, 0, "2", clBlue}, {0, 1, "3", clRed},
                        {1, 1, "4", clBlack}, {1, 2, "11", clRed}, {3, 1, "6", clBlack},
                        {0, 0, "", clRed},    {6, 5, "", clBlue},  {1, 5, "", clBlack}};
    for (const Row& r : rows) {
        sheet.ColPrintPanelPrintPanel(jan.ColPrintPanel, r.col, r.row, {}, status);
        EXPECT_EQ(jan.LRItemHi->Text(), QString::fromLatin1(r.text)) << r.col << "," << r.row;
        EXPECT_EQ(jan.LRItemHi->Font().Color(), r.color) << r.col << "," << r.row;
        EXPECT_EQ(jan.LRItemCol->LineTop(), lsNone);
        EXPECT_EQ(jan.LRItemCol->LineBottom(), lsSingle);
        EXPECT_EQ(jan.LRItemCol->LineLeft(), lsSingle);
        EXPECT_EQ(jan.LRItemCol->LineRight(), r.col == 6 ? lsSingle : lsNone);
    }
    // A holiday on a Saturday takes the holiday colour: 3 November 2029 (文化の日).
    FillYear(sheet.DayCells, 2029);
    sheet.ColPrintPanelPrintPanel(sheet.Month(11).ColPrintPanel, 6, 0, {}, status);
    EXPECT_EQ(sheet.Month(11).LRItemHi->Text(), "3");
    EXPECT_EQ(sheet.Month(11).LRItemHi->Font().Color(), clRed);
    EXPECT_EQ(status, prsNormal);
}

TEST_F(SheetTest, TheDrawnMonthIsAClosedTableWithColouredNumbers) {
    sheet.WeekdayColor = 0x008000; // green weekdays, to tell them from the lines
    for (int n = 1; n <= 12; ++n) {
        sheet.Month(n).LRItemYoubi->SetColor(0xE0E0E0); // grey header
        sheet.Month(n).LRItemCol->SetColor(0xFFFFE0);   // pale blue days
    }
    const QImage page = Preview(sheet);
    ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight));

    // March 2027: the lattice of header and six rows, lines 24 and 16 apart, meeting.
    const QPoint o = HeaderOrigin(3);
    const QRgb black = qRgb(0, 0, 0);
    for (int k = 0; k <= 7; ++k) {
        const int x = o.x() - 1 + 24 * k;
        for (int y = o.y() - 1; y < o.y() + 111; ++y)
            ASSERT_EQ(page.pixel(x, y), black) << "vertical line " << k << " at y " << y;
        const int y = o.y() - 1 + 16 * k;
        for (int x2 = o.x() - 1; x2 < o.x() + 167; ++x2)
            ASSERT_EQ(page.pixel(x2, y), black) << "horizontal line " << k << " at x " << x2;
    }
    // No line runs through the cells: a column of pixels between two lines is line-free.
    for (int y = o.y(); y < o.y() + 111; ++y) {
        if ((y - o.y() + 1) % 16 != 0) {
            ASSERT_NE(page.pixel(o.x() + 1, y), black) << y;
        }
    }
    // Backgrounds: header grey, day cells pale blue, both inside their lines.
    EXPECT_EQ(page.pixel(HeaderCell(3, 2).topLeft() + QPoint(1, 1)), qRgb(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(page.pixel(DayCell(3, 2, 5).topLeft() + QPoint(1, 1)), qRgb(0xE0, 0xFF, 0xFF));

    // Numbers: 1 March 2027 a Monday, 6 a Saturday, 7 a Sunday, 21 春分の日 (a Sunday) and 22
    // its substitute Monday, 31 a Wednesday; rows 5 and the cells before the 1st blank.
    struct Expect {
        int col, row;
        TInk ink;
    };
    const Expect cellsOfMarch[] = {{1, 0, TInk::Green}, {6, 0, TInk::Blue}, {0, 1, TInk::Red},
                                   {0, 3, TInk::Red},   {1, 3, TInk::Red},  {3, 4, TInk::Green},
                                   {0, 0, TInk::None},  {4, 4, TInk::None}, {0, 5, TInk::None}};
    for (const Expect& e : cellsOfMarch) {
        const QRect inside = Inside(DayCell(3, e.col, e.row));
        EXPECT_EQ(MainInk(page, inside), e.ink) << e.col << "," << e.row;
        if (e.ink != TInk::None)
            continue;
        // A blank cell is its background and nothing else.
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                ASSERT_EQ(page.pixel(x, y), qRgb(0xE0, 0xFF, 0xFF)) << e.col << "," << e.row;
    }
    // The header letters in their colours.
    EXPECT_EQ(MainInk(page, Inside(HeaderCell(3, 0))), TInk::Red);
    EXPECT_EQ(MainInk(page, Inside(HeaderCell(3, 6))), TInk::Blue);
}

// Weeks from Monday: the letters and numbers take the colour of their day, not of their column.
TEST_F(SheetTest, WeeksFromMondayKeepEachDaysColour) {
    FillYear(sheet.DayCells, {2027, 1, TWeekStart::Monday});
    sheet.WeekdayColor = 0x008000;
    const QImage page = Preview(sheet);
    // March 2027 begins on a Monday: 1 in the first column, 6 (Saturday) in the sixth, 7
    // (Sunday) in the last; 21 春分の日 a Sunday, 22 its substitute Monday.
    struct Expect {
        int col, row;
        TInk ink;
    };
    const Expect cellsOfMarch[] = {{0, 0, TInk::Green}, {5, 0, TInk::Blue}, {6, 0, TInk::Red},
                                   {6, 2, TInk::Red},   {0, 3, TInk::Red},  {1, 3, TInk::Green},
                                   {2, 4, TInk::Green}, {3, 4, TInk::None}};
    for (const Expect& e : cellsOfMarch)
        EXPECT_EQ(MainInk(page, Inside(DayCell(3, e.col, e.row))), e.ink) << e.col << "," << e.row;
    const TInk letters[] = {TInk::Green, TInk::Green, TInk::Green, TInk::Green,
                            TInk::Green, TInk::Blue,  TInk::Red};
    for (int col = 0; col < 7; ++col)
        EXPECT_EQ(MainInk(page, Inside(HeaderCell(3, col))), letters[col]) << col;
    // The table stays closed on the right, after Sunday.
    const QPoint o = HeaderOrigin(3);
    for (int y = o.y() - 1; y < o.y() + 111; ++y)
        ASSERT_EQ(page.pixel(o.x() - 1 + 24 * 7, y), qRgb(0, 0, 0)) << y;
}

// The family's own title: on a line of its own above the year title, the month blocks closer
// together to make room, or in the year title's place; a long one set smaller to fit.
TEST_F(SheetTest, AnOwnTitleAboveTheYearTitleOrInItsPlace) {
    sheet.LRItemNen->SetText(QStringLiteral("2027年"));
    const TOwnTitle above{QStringLiteral("髙橋家のカレンダー"), TOwnTitle().Font,
                          TOwnTitlePlace::Above};
    sheet.SetOwnTitle(above, clRed);
    const std::pair<const char*, const char*> placed[] = {
        {"OwnTitlePanel", "40,574 714x36"},    {"LRLayoutPanel2", "40,610 714x46"},
        {"LRLayoutPanel3", "40,656 178x418"},  {"TukiPanel12", "574,932 178x138"},
        {"ColPrintPanel12", "579,972 168x96"},
    };
    for (const auto& [name, rect] : placed)
        EXPECT_EQ(RectText(PageRectOf(sheet.FindControl(QString::fromLatin1(name)))),
                  QString::fromLatin1(rect))
            << name;
    // Everything above the bottom margin.
    EXPECT_LE(PageRectOf(sheet.Month(12).ColPrintPanel).Bottom, 1123 - 48);
    EXPECT_EQ(sheet.LRItemOwnTitle->Text(), above.Text);
    EXPECT_EQ(sheet.LRItemOwnTitle->Font().Height(), -28);
    EXPECT_EQ(sheet.LRItemOwnTitle->Font().Style(), fsBold);
    EXPECT_EQ(sheet.LRItemNen->Text(), QStringLiteral("2027年"));
    QImage page = Preview(sheet);
    EXPECT_EQ(MainInk(page, QRect(40, 576, 714, 34)), TInk::Red);
    EXPECT_EQ(MainInk(page, QRect(40, 614, 714, 40)), TInk::Black);

    // In its place: the year title's item, its size, the face and style chosen.
    const TOwnTitle replace{
        QStringLiteral("髙橋家"), {QStringLiteral("IPAMincho"), fsItalic}, TOwnTitlePlace::Replace};
    sheet.SetOwnTitle(replace, clBlue);
    EXPECT_FALSE(sheet.OwnTitlePanel->Visible());
    EXPECT_EQ(RectText(PageRectOf(sheet.FindControl(QStringLiteral("TukiPanel12")))),
              "574,920 178x150");
    EXPECT_EQ(sheet.LRItemNen->Text(), replace.Text);
    EXPECT_EQ(sheet.LRItemNen->Font().Height(), -32);
    EXPECT_EQ(sheet.LRItemNen->Font().Name(), QStringLiteral("IPAMincho"));
    EXPECT_EQ(sheet.LRItemNen->Font().Style(), fsItalic);
    page = Preview(sheet);
    EXPECT_EQ(MainInk(page, QRect(40, 574, 714, 46)), TInk::Blue);

    // The longest title fits the width, smaller; its ink stays inside the page's margins.
    const TOwnTitle wide{QString(OwnTitleMaxLength, QChar(u'髙')), {}, TOwnTitlePlace::Replace};
    sheet.SetOwnTitle(wide, clBlue);
    EXPECT_GT(sheet.LRItemNen->Font().Height(), -32);
    page = Preview(sheet);
    for (int y = 574; y < 620; ++y)
        for (int x : {0, 38, 755, 793})
            ASSERT_EQ(InkOf(page.pixel(x, y)), TInk::None) << x << "," << y;
    EXPECT_EQ(MainInk(page, QRect(40, 574, 714, 46)), TInk::Blue);

    // No title: the sheet as designed.
    sheet.SetOwnTitle({}, clBlue);
    EXPECT_EQ(sheet.LRItemNen->Font().Height(), -32);
    EXPECT_EQ(RectText(PageRectOf(sheet.FindControl(QStringLiteral("LRLayoutPanel2")))),
              "40,574 714x46");
}

TEST(SheetPicture, PicturesKeepTheirShapeCentredInTheBox) {
    struct Case {
        int w, h;
        const char* rect;
    };
    const Case cases[] = {
        {800, 600, "3,2 708x531"},    {1000, 500, "3,90 708x354"}, {600, 1000, "197,2 319x531"},
        {500, 1000, "224,2 266x531"}, {105, 105, "91,2 531x531"},  {4000, 3000, "3,2 708x531"},
    };
    TSheetLayout sheet;
    for (const Case& c : cases) {
        EXPECT_EQ(RectText(SheetPictureBounds(c.w, c.h)), QString::fromLatin1(c.rect));
        sheet.PlacePicture(QSize(c.w, c.h));
        EXPECT_EQ(RectText(sheet.LRImage1->BoundsRect()), QString::fromLatin1(c.rect));
    }
}

TEST(SheetPrint, APrintedSheetHoldsThePhotoAsReadAtFullResolution) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("photo.bmp"));
    ASSERT_TRUE(MakeQuarters(file, 1000, 500));
    const TCalendarModel model = PhotoModel(file);
    TImagePrinter printer(192);

    // The preview holds the photo prepared for the box; printing, the photo itself.
    TSheetLayout preview(&printer);
    ComposeSheet(preview, model, TSheetUse::Preview);
    EXPECT_EQ(preview.LRImage1->Picture().Width(), 708);
    TSheetLayout sheet(&printer);
    ComposeSheet(sheet, model, TSheetUse::Print);
    EXPECT_EQ(sheet.LRImage1->Picture().Width(), 1000);
    EXPECT_EQ(sheet.LightRep1->Title(), "たむりか2027年");

    // The file gone, or another picture in its place: the sheet prints what was read.
    QFile::remove(file);
    ASSERT_TRUE(Convert(
        {QStringLiteral("-size"), QStringLiteral("1000x500"), QStringLiteral("xc:gray"), file}));
    sheet.Print();
    EXPECT_EQ(printer.Title(), "たむりか2027年");
    ASSERT_EQ(printer.Pages().size(), 1u);
    const QImage page = printer.Pages().front();
    EXPECT_EQ(page.size(), QSize(1587, 2245)); // A4 at 192 per inch
    // The picture at (43, 127) .. (751, 481) in design units, two pixels each.
    EXPECT_TRUE(Near(page.pixel(2 * 100, 2 * 200), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(2 * 700, 2 * 450), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(page.pixel(2 * 700, 2 * 200), qRgb(255, 0, 0)));
    EXPECT_EQ(page.pixel(2 * 400, 2 * 120), qRgb(255, 255, 255)); // above the picture
    EXPECT_EQ(page.pixel(2 * 400, 2 * 490), qRgb(255, 255, 255)); // below it
}

TEST(SheetPrint, APdfKeepsThePhotoAsItCameAndReadsBackTheSame) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(MakeQuarters(file, 2400, 1800));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    PrintPdf(PhotoModel(file), pdf);

    // The photo itself, all its 2400 × 1800 pixels, though the 708 × 531 box at 150 per inch
    // covers only 1106 × 830 printer pixels: a PDF file goes to a print shop as it is.
    const std::vector<QSize> sizes = PdfImageSizes(pdf);
    ASSERT_EQ(sizes.size(), 1u) << "pdfimages (poppler-utils) is needed";
    EXPECT_EQ(sizes[0], QSize(2400, 1800));
    // At 48 per inch one pixel is two design units; the box is at (43, 39) .. (751, 570).
    const QImage page = RenderPdf(pdf, 48, dir.path());
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixel(110 / 2, 150 / 2), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(660 / 2, 150 / 2), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixel(660 / 2, 480 / 2), qRgb(0, 255, 0)));
}

TEST(SheetPicture, AFillingPictureTakesTheWholeBoxAndShowsThePartItsFramingChose) {
    TSheetLayout sheet;
    TPictureFraming fill;
    fill.Mode = TFrameMode::Fill;
    fill.FocusX = 0.2;
    fill.Zoom = 1.5;
    for (const QSize size : {QSize(6000, 4000), QSize(3000, 4000), QSize(800, 600)}) {
        EXPECT_EQ(RectText(SheetPictureBounds(size.width(), size.height(), TFrameMode::Fill)),
                  "3,2 708x531");
        sheet.PlacePicture(size, fill);
        EXPECT_EQ(RectText(sheet.LRImage1->BoundsRect()), "3,2 708x531");
        EXPECT_EQ(sheet.LRImage1->SourceRect(),
                  FillSource(size.width(), size.height(), 708, 531, fill));
        // Fitted again: its own shape, the whole picture.
        sheet.PlacePicture(size);
        EXPECT_EQ(sheet.LRImage1->BoundsRect(), SheetPictureBounds(size.width(), size.height()));
        EXPECT_TRUE(sheet.LRImage1->SourceRect().isEmpty());
    }
}

TEST(SheetPicture, PixelsPerInchOfThePrintedPhoto) {
    TPictureFraming fill;
    fill.Mode = TFrameMode::Fill;
    // 320 pixels over the box's 708 / 96 inches.
    EXPECT_NEAR(SheetPicturePixelsPerInch(320, 240, {}), 43.39, 0.01);
    EXPECT_NEAR(SheetPicturePixelsPerInch(320, 240, fill), 43.39, 0.01);
    EXPECT_NEAR(SheetPicturePixelsPerInch(4000, 3000, {}), 542.37, 0.01);
    // A portrait photo fitted is as tall as the box; filling it, its width spans the box.
    EXPECT_NEAR(SheetPicturePixelsPerInch(3000, 4000, {}), 4000 * 96.0 / 531, 0.01);
    EXPECT_NEAR(SheetPicturePixelsPerInch(3000, 4000, fill), 3000 * 96.0 / 708, 0.01);
    // Zoomed in 4 ×, a quarter of the photo's pixels spread over the box.
    fill.Zoom = 4;
    EXPECT_NEAR(SheetPicturePixelsPerInch(4000, 3000, fill), 1000 * 96.0 / 708, 0.01);
    EXPECT_EQ(SheetPicturePixelsPerInch(0, 0, {}), 0);
}

TEST(SheetPrint, AFillingPhotoPrintsThePartChosenOverTheWholeBox) {
    QTemporaryDir dir;
    // A portrait photo: blue top-left, green bottom-right quarter, red elsewhere.
    const QString file = dir.filePath(QStringLiteral("portrait.jpg"));
    ASSERT_TRUE(MakeQuarters(file, 1200, 1600));
    TCalendarModel model = PhotoModel(file);
    model.Framing.Mode = TFrameMode::Fill;
    model.Framing.Zoom = 2; // 600 × 450 of the photo
    TImagePrinter printer(192);
    TSheetLayout sheet(&printer);
    const QRect box(2 * 43, 2 * 39, 2 * 708, 2 * 531); // at 192 per inch
    for (const auto& [x, y, colour] :
         {std::tuple{0.0, 0.0, qRgb(0, 0, 255)}, std::tuple{1.0, 1.0, qRgb(0, 255, 0)}}) {
        model.Framing.FocusX = x;
        model.Framing.FocusY = y;
        ComposeSheet(sheet, model, TSheetUse::Print);
        sheet.Print();
        EXPECT_EQ(sheet.LRImage1->SourceRect(), FillSource(1200, 1600, 708, 531, model.Framing));
        const QImage page = printer.Pages().back();
        // The one quarter, to every edge of the box: not a white row or column in it.
        for (int i = 0; i < 2 * 531; i += 7) {
            ASSERT_TRUE(Near(page.pixel(box.left(), box.top() + i), colour)) << i;
            ASSERT_TRUE(Near(page.pixel(box.right(), box.top() + i), colour)) << i;
        }
        for (int i = 0; i < 2 * 708; i += 7) {
            ASSERT_TRUE(Near(page.pixel(box.left() + i, box.top()), colour)) << i;
            ASSERT_TRUE(Near(page.pixel(box.left() + i, box.bottom()), colour)) << i;
        }
        EXPECT_EQ(page.pixel(box.left() - 2, box.top() + 100), qRgb(255, 255, 255));
    }
}

TEST(SheetPrint, APdfKeepsOnlyThePartOfAFillingPhoto) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(MakeQuarters(file, 2400, 1600));
    TCalendarModel model = PhotoModel(file);
    model.Framing.Mode = TFrameMode::Fill;
    model.Framing.FocusX = 0.5;
    model.Framing.FocusY = 1;
    model.Framing.Zoom = 2.5; // 853.3 × 640 at the bottom, centred
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    PrintPdf(model, pdf);

    // The photo as it came, whole: the file's clip shows only the part.
    const std::vector<QSize> sizes = PdfImageSizes(pdf);
    ASSERT_EQ(sizes.size(), 1u) << "pdfimages (poppler-utils) is needed";
    EXPECT_EQ(sizes[0], QSize(2400, 1600));
    // The bottom-left quarter is red, the bottom-right green: they meet in the middle of the
    // box, at 354 of its 708 units. The box ends within its last pixel at 150 per inch, which
    // poppler's clip covers only in part.
    const QImage page = RenderPdf(pdf, 96, dir.path());
    ASSERT_FALSE(page.isNull());
    for (int y : {0, 265, 530}) {
        EXPECT_TRUE(Near(page.pixel(43, 39 + y), qRgb(255, 0, 0))) << y;
        EXPECT_TRUE(Near(page.pixel(43 + 350, 39 + y), qRgb(255, 0, 0))) << y;
        EXPECT_TRUE(Near(page.pixel(43 + 358, 39 + y), qRgb(0, 255, 0))) << y;
        EXPECT_TRUE(Near(page.pixel(43 + 706, 39 + y), qRgb(0, 255, 0))) << y;
    }
}

} // namespace
