// The sheet's shape as tamurika-export writes it: a sheet from April with weeks from Monday read
// back from the PDF (every day's number in its cell, the months in order, the letters of the
// week) and from its pixels (every day in the colour of its weekday or holiday); the family's own
// title above the year title or in its place; the options refused with their messages.
#include <gtest/gtest.h>

#include <QDate>
#include <QImage>

#include "common/holidayreference.h"
#include "common/sheetpage.h"
#include "exportfixture.h"
#include "pdfwords.h"
#include "platform/fullwidth.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

class ExportShape : public ExportProgramTest {
  protected:
    /// The sheet of 2027 with `options` as a PDF and as a PNG at 96 per inch.
    std::pair<QString, QString> Sheet(const QStringList& options) {
        const QString pdf = Path(u"sheet.pdf"_s);
        const QString png = Path(u"sheet.png"_s);
        for (const auto& [flag, file] : {std::pair{u"--pdf"_s, pdf}, {u"--png"_s, png}}) {
            const ExportResult r =
                Run(QStringList{u"--year"_s, u"2027"_s} + options + QStringList{flag, file});
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
        }
        return {pdf, png};
    }
};

const QString WeekLetters = u"日月火水木金土"_s;

// Every cell of the sheet as the calendar has it: the number of the day that falls there (by
// QDate, not by the program's day table) in the PDF's text, and its ink in the PNG.
void ExpectEveryCell(const TSheetWords& words, const QImage& page, const TSheetYear& sheet) {
    const int first = sheet.WeekStart == TWeekStart::Monday ? 1 : 0;
    for (int n = 1; n <= 12; ++n) {
        const TSheetMonth at = SheetMonthAt(sheet.Year, sheet.StartMonth, n);
        const QDate firstDay(at.Year, at.Month, 1);
        const int lead = (firstDay.dayOfWeek() % 7 - first + 7) % 7;
        for (int col = 0; col < 7; ++col)
            for (int row = 0; row < 6; ++row) {
                const int d = 7 * row + col - lead + 1;
                const QDate date = firstDay.addDays(d - 1);
                const bool inMonth = d >= 1 && d <= firstDay.daysInMonth();
                QStringList numbers;
                for (const TSheetWords::TWord& w : words.Words())
                    if (w.Cell == std::array<int, 3>{n, col, row})
                        numbers << w.Text;
                const QString where = QStringLiteral("%1/%2 column %3 row %4")
                                          .arg(at.Year)
                                          .arg(at.Month)
                                          .arg(col)
                                          .arg(row);
                ASSERT_EQ(numbers, inMonth ? QStringList{QString::number(d)} : QStringList())
                    << where.toStdString();
                const int weekday = date.dayOfWeek() % 7;
                TInk ink = TInk::None;
                if (inMonth)
                    ink = weekday == 0 || !HolidayReference::HolidayName(date).isEmpty() ? TInk::Red
                          : weekday == 6 ? TInk::Blue
                                         : TInk::Black;
                ASSERT_EQ(MainInk(page, Inside(DayCell(n, col, row)).adjusted(1, 1, -1, -1)), ink)
                    << where.toStdString();
            }
        // The month's title over its block, the letters of the week in their order.
        QString title;
        std::array<QString, 7> letters;
        const QRect titleStrip(MonthOrigin(n), QSize(178, 24));
        for (const TSheetWords::TWord& w : words.Words()) {
            if (titleStrip.contains(w.Centre.toPoint()))
                title += w.Text;
            for (int col = 0; col < 7; ++col)
                if (HeaderCell(n, col).contains(w.Centre.toPoint()))
                    letters[col] += w.Text;
        }
        EXPECT_EQ(title, FullWidthDigits(at.Month) + u"月"_s) << n;
        for (int col = 0; col < 7; ++col)
            EXPECT_EQ(letters[col], WeekLetters[(col + first) % 7]) << n << " column " << col;
    }
}

TEST_F(ExportShape, ASheetFromAprilWithWeeksFromMonday) {
    const auto [pdf, png] = Sheet({u"--start-month"_s, u"4"_s, u"--week-start"_s, u"monday"_s});
    const TSheetYear sheet{2027, 4, TWeekStart::Monday};
    const TSheetWords words(pdf, work.path(), sheet);
    const QImage page(png);
    ASSERT_EQ(page.size(), QSize(PageWidth, PageHeight));
    ExpectEveryCell(words, page, sheet);
    EXPECT_TRUE(PdfText(pdf).contains(u"2027年4月〜2028年3月"_s));
    // 春分の日 2028, a Monday in the first column of March 2028, the sheet's last month.
    EXPECT_EQ(words.InCell(3, 20), QString());
    EXPECT_EQ(MainInk(page, Inside(DayCell(12, 0, 3)).adjusted(1, 1, -1, -1)), TInk::Red);
}

TEST_F(ExportShape, ASheetFromAprilWithWeeksFromSundayAndAJanuarySheetFromMonday) {
    for (const TSheetYear& sheet :
         {TSheetYear{2027, 4, TWeekStart::Sunday}, TSheetYear{2027, 1, TWeekStart::Monday}}) {
        SCOPED_TRACE(sheet.StartMonth);
        const auto [pdf, png] = Sheet({u"--start-month"_s, QString::number(sheet.StartMonth),
                                       u"--week-start"_s, WeekStartWord(sheet.WeekStart)});
        ExpectEveryCell(TSheetWords(pdf, work.path(), sheet), QImage(png), sheet);
    }
}

TEST_F(ExportShape, TheFamilysOwnTitleAboveTheYearTitleOrInItsPlace) {
    {
        const auto [pdf, png] = Sheet({u"--title"_s, u"髙橋家のカレンダー"_s});
        const TSheetWords words(pdf, work.path());
        QString above;
        QString year;
        for (const TSheetWords::TWord& w : words.Words()) {
            if (QRectF(40, 574, 714, 36).contains(w.Centre))
                above += w.Text;
            if (QRectF(40, 610, 714, 46).contains(w.Centre))
                year += w.Text;
        }
        EXPECT_EQ(above, u"髙橋家のカレンダー"_s);
        EXPECT_EQ(year, u"2027年"_s);
    }
    {
        const auto [pdf, png] =
            Sheet({u"--title"_s, u"髙橋家 2027"_s, u"--title-place"_s, u"replace"_s});
        const QString text = PdfText(pdf);
        EXPECT_TRUE(text.contains(u"髙橋家 2027"_s));
        EXPECT_FALSE(text.contains(u"2027年"_s));
        // The month blocks stand where the layout puts them without a line above.
        EXPECT_EQ(MainInk(QImage(png), Inside(DayCell(1, 5, 0))), TInk::Red); // 元日
    }
}

TEST(ExportShapeArguments, BadValuesAreRefusedWithTheirMessages) {
    ExpectRefused({{{u"--start-month"_s, u"13"_s},
                    u"最初の月 '13' は 1 から 12 までの整数で指定してください。"_s},
                   {{u"--start-month"_s, u"april"_s},
                    u"最初の月 'april' は 1 から 12 までの整数で指定してください。"_s},
                   {{u"--week-start"_s, u"saturday"_s},
                    u"週の始まり 'saturday' は sunday か monday で指定してください。"_s},
                   {{u"--title-place"_s, u"below"_s},
                    u"題名の場所 'below' は above か replace で指定してください。"_s}},
                  {u"--pdf"_s, u"a.pdf"_s});
    const TExportOptions options =
        ParseExportArguments({u"--start-month=4"_s, u"--week-start"_s, u"Monday"_s, u"--title"_s,
                              u""_s, u"--title-place"_s, u"replace"_s, u"--pdf"_s, u"a.pdf"_s});
    EXPECT_EQ(options.StartMonth, 4);
    EXPECT_EQ(options.WeekStart, TWeekStart::Monday);
    EXPECT_EQ(options.Title, QString()); // asked for no title of their own
    EXPECT_EQ(options.TitlePlace, TOwnTitlePlace::Replace);
}

} // namespace
