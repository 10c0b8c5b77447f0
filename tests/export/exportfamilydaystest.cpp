// The family's days on the sheet tamurika-export writes: an iCalendar file as a calendar
// program writes it named day by day on the right cells (poppler's pdftotext), with ages;
// 29 February in a common and a leap year; the colours a days file asks for (pixels of the
// PNG); a damaged file refused by name with nothing written.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "common/sheetpage.h"
#include "exportfixture.h"
#include "pdfwords.h"
#include "sheet/daycells.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

const QString FamilyIcs = QStringLiteral(TAMURIKA_DAYS_TEST_DATA "/family.ics");

class ExportFamilyDays : public ExportProgramTest {
  protected:
    QString Sheet(int year, const QString& days) {
        const QString pdf = Path(QStringLiteral("sheet-%1.pdf").arg(year));
        const ExportResult r =
            Run({u"--year"_s, QString::number(year), u"--days"_s, days, u"--pdf"_s, pdf});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return pdf;
    }
};

TEST_F(ExportFamilyDays, AnICalendarFileIsNamedOnTheRightCellsWithAges) {
    const QString pdf = Sheet(2027, FamilyIcs);
    const TSheetWords words(pdf, work.path());
    EXPECT_EQ(words.InCell(5, 5), u"太郎12歳"_s);
    EXPECT_EQ(words.InCell(6, 10), u"結婚10周年"_s);
    EXPECT_EQ(words.InCell(5, 9), u"母の日"_s);    // 5月第2日曜
    EXPECT_EQ(words.InCell(3, 14), u"引っ越し"_s); // a TZID time
    // 16:00 UTC on the 20th is the 21st in Japan; the name, too long for the cell, shortened.
    const QString call = words.InCell(4, 21);
    EXPECT_TRUE(call.startsWith(u"おばあ"_s) && call.endsWith(u"…"_s)) << call.toStdString();
    EXPECT_EQ(words.InCell(4, 20), QString());
    // Born on 29 February 2008: on the 28th in 2027, on the 29th in 2028.
    EXPECT_EQ(words.InCell(2, 28), u"Hana19歳"_s);
    const TSheetWords leap(Sheet(2028, FamilyIcs), work.path(), 2028);
    EXPECT_EQ(leap.InCell(2, 29), u"Hana20歳"_s);
    EXPECT_EQ(leap.InCell(2, 28), QString());
    // Last year's one-off event and the weekly one are nowhere.
    EXPECT_TRUE(words.Dates(u"燃えるごみ"_s).empty());
}

TEST_F(ExportFamilyDays, NumbersTakeTheColoursTheDaysAskFor) {
    const QString days = Path(u"days.txt"_s);
    QFile f(days);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("5/6 \xE9\x81\xA0\xE8\xB6\xB3 #00A000\n" // 遠足, a Thursday, in green
            "5/7 \xE4\xBC\x91\xE3\x81\xBF \xE7\xA5\x9D\xE6\x97\xA5\xE8\x89\xB2\n"); // 休み 祝日色
    f.close();
    const QString png = Path(u"sheet.png"_s);
    const ExportResult r = Run({u"--year"_s, u"2027"_s, u"--days"_s, days, u"--png"_s, png});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage page(png);
    ASSERT_FALSE(page.isNull());
    // The pixels of a cell tinted by a colour (the small digits are smoothed into the white),
    // red or green: that channel well above the other two.
    const auto count = [&page](int col, int row, int channel) {
        const QRect cell = DayCell(5, col, row);
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = page.pixelColor(x, y);
                const int v[3] = {c.red(), c.green(), c.blue()};
                n += v[channel] > std::max(v[(channel + 1) % 3], v[(channel + 2) % 3]) + 60;
            }
        return n;
    };
    // May 2027 begins on a Saturday: the 6th and 7th stand in row 1, Thursday and Friday.
    EXPECT_GT(count(4, 1, 1), 5); // 遠足 in its own green
    EXPECT_EQ(count(4, 1, 0), 0);
    EXPECT_GT(count(5, 1, 0), 5); // 休み in the holiday colour (red by default)
    EXPECT_EQ(count(5, 1, 1), 0);
    EXPECT_GT(count(3, 1, 0), 5); // こどもの日 beside them: red, not green
    EXPECT_EQ(count(3, 1, 1), 0);
}

TEST_F(ExportFamilyDays, ADamagedFileIsRefusedByNameAndNothingIsWritten) {
    const QString broken = Path(u"家族.ics"_s);
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QFile good(FamilyIcs);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    f.write(good.read(900)); // cut off in the middle
    f.close();
    const QString pdf = Path(u"out.pdf"_s);
    const ExportResult r = Run({u"--year"_s, u"2027"_s, u"--days"_s, broken, u"--pdf"_s, pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(u"「家族.ics」は iCalendar のファイルとして読めません"_s))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
