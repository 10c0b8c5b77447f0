// The day table of the printed sheet, filled with the holidays of the main window's hidden
// calendar control: where each day lands, which days are marked, and the name split rule.
#include <gtest/gtest.h>

#include <QDate>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "common/holidayreference.h"
#include "sheet/daycells.h"

namespace {

class DayCellsTest : public ::testing::Test {
  protected:
    void SetUp() override { ApplyProgramHolidays(holidays); }
    void Fill(int year) { FillDayCells(holidays, year, cells); }
    /// The cell holding day d of month m; fails the test when there is not exactly one.
    const Tsenohi* Find(int m, int d, int* col = nullptr, int* row = nullptr) {
        const Tsenohi* found = nullptr;
        for (int c = 0; c < 7; ++c)
            for (int r = 0; r < 6; ++r)
                if (cells(m, c, r).DayText == QString::number(d)) {
                    EXPECT_EQ(found, nullptr) << m << "/" << d << " twice";
                    found = &cells(m, c, r);
                    if (col != nullptr)
                        *col = c;
                    if (row != nullptr)
                        *row = r;
                }
        EXPECT_NE(found, nullptr) << m << "/" << d << " missing";
        return found;
    }

    THolidayModel holidays;
    TDayCells cells;
};

TEST_F(DayCellsTest, January2003BeginsOnAWednesday) {
    Fill(2003);
    EXPECT_EQ(cells(1, 0, 0).DayText, "");
    EXPECT_EQ(cells(1, 2, 0).DayText, "");
    EXPECT_EQ(cells(1, 3, 0).DayText, "1");
    EXPECT_EQ(cells(1, 4, 0).DayText, "2");
    EXPECT_EQ(cells(1, 5, 0).DayText, "3");
    EXPECT_EQ(cells(1, 6, 0).DayText, "4");
    EXPECT_EQ(cells(1, 0, 1).DayText, "5");
    EXPECT_EQ(cells(1, 5, 4).DayText, "31");
    EXPECT_EQ(Find(1, 1)->Holiday, 1);
    EXPECT_EQ(Find(1, 1)->HolidayName, "元日");
    EXPECT_EQ(Find(1, 13)->Holiday, 1); // the second Monday: 成人の日
    EXPECT_EQ(Find(1, 13)->HolidayName, "成人の日");
    EXPECT_EQ(Find(1, 14)->Holiday, 0);
    EXPECT_EQ(Find(1, 5)->Holiday, 0); // a Sunday, coloured by its column alone
    EXPECT_EQ(Find(2, 11)->Holiday, 1);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cells(1, c, 5).DayText, "") << "January 2003 has no sixth row";
}

TEST_F(DayCellsTest, March2003BeginsOnASaturdayAndFillsSixRows) {
    Fill(2003);
    EXPECT_EQ(cells(3, 6, 0).DayText, "1");
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(cells(3, c, 0).DayText, "");
    EXPECT_EQ(cells(3, 0, 1).DayText, "2");
    EXPECT_EQ(cells(3, 0, 5).DayText, "30");
    EXPECT_EQ(cells(3, 1, 5).DayText, "31");
    for (int c = 2; c < 7; ++c)
        EXPECT_EQ(cells(3, c, 5), Tsenohi{});
    EXPECT_EQ(Find(3, 21)->HolidayName, "春分の日");
}

TEST_F(DayCellsTest, FebruaryHas29CellsInALeapYearAnd28Otherwise) {
    const auto filled = [this](int month) {
        int n = 0;
        for (int c = 0; c < 7; ++c)
            for (int r = 0; r < 6; ++r)
                n += !cells(month, c, r).DayText.isEmpty();
        return n;
    };
    for (const auto& [year, days] : {std::pair{2024, 29}, {2023, 28}, {2000, 29}, {2100, 28}}) {
        Fill(year);
        EXPECT_EQ(filled(2), days) << year;
    }
    // February 2015 begins on a Sunday and fills exactly four rows.
    Fill(2015);
    EXPECT_EQ(cells(2, 0, 0).DayText, "1");
    EXPECT_EQ(cells(2, 6, 3).DayText, "28");
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(cells(2, c, 4), Tsenohi{});
        EXPECT_EQ(cells(2, c, 5), Tsenohi{});
    }
}

TEST_F(DayCellsTest, TheMondayAfterNewYearOnASundayIsMarked) {
    Fill(2006);
    const Tsenohi* second = Find(1, 2);
    EXPECT_EQ(cells(1, 0, 0).DayText, "1");
    EXPECT_EQ(cells(1, 1, 0).DayText, "2");
    EXPECT_EQ(second->Holiday, 1);
    EXPECT_EQ(second->HolidayName, "振替休日");
    EXPECT_EQ(second->SpecialDayName, "");
    EXPECT_EQ(Find(1, 3)->Holiday, 0);
}

TEST_F(DayCellsTest, ACommonYearAfterALeapYearIsItsOwn) {
    Fill(2024);
    Fill(2025);
    EXPECT_EQ(cells(1, 3, 0).DayText, "1"); // 1 January 2025 is a Wednesday
    EXPECT_EQ(Find(2, 28)->DayText, "28");
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r)
            EXPECT_NE(cells(2, c, r).DayText, "29");
    EXPECT_EQ(Find(9, 23)->HolidayName, "秋分の日"); // 2025's autumnal equinox day
    EXPECT_EQ(Find(9, 22)->Holiday, 0);              // 2024's
}

TEST_F(DayCellsTest, October1582GoesFromThe4thToThe15th) {
    Fill(1582);
    int col = -1, row = -1;
    Find(10, 4, &col, &row);
    EXPECT_EQ(col, 4); // Thursday
    Find(10, 15, &col, &row);
    EXPECT_EQ(col, 5); // Friday, the next day
    EXPECT_EQ(row, 0);
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r)
            for (int d = 5; d <= 14; ++d)
                EXPECT_NE(cells(10, c, r).DayText, QString::number(d));
}

TEST_F(DayCellsTest, ANewCompositionClearsTheOldTable) {
    Fill(2003); // March 2003 reaches row 5
    Fill(2015);
    EXPECT_EQ(cells(3, 1, 5), Tsenohi{}); // 31 March 2003 is gone
    int reported = 0;
    FillDayCells(holidays, 2016, cells, [&reported](int month) { EXPECT_EQ(month, ++reported); });
    EXPECT_EQ(reported, 12);
}

// Every day of the sheet against QDate for its place (the column of its weekday, the row of
// its week) and against the law for its mark.
void ExpectEveryDayInPlace(const TSheetYear& sheet, const TDayCells& cells) {
    const int first = sheet.WeekStart == TWeekStart::Monday ? 1 : 0;
    for (int n = 1; n <= 12; ++n) {
        const int year = sheet.Year + (sheet.StartMonth - 1 + n - 1) / 12;
        const int m = (sheet.StartMonth - 1 + n - 1) % 12 + 1;
        ASSERT_EQ(cells.MonthAt(n), (TSheetMonth{year, m}));
        const QDate firstDay(year, m, 1);
        const int lead = (firstDay.dayOfWeek() % 7 - first + 7) % 7; // columns before the 1st
        int placed = 0;
        for (int c = 0; c < 7; ++c) {
            ASSERT_EQ(cells.WeekdayOf(c), (c + first) % 7);
            for (int r = 0; r < 6; ++r) {
                const Tsenohi& cell = cells(n, c, r);
                const int d = 7 * r + c - lead + 1;
                if (d < 1 || d > firstDay.daysInMonth()) {
                    ASSERT_EQ(cell, Tsenohi{}) << year << "/" << m << " " << c << "," << r;
                    continue;
                }
                ++placed;
                const QDate date(year, m, d);
                ASSERT_EQ(cell.DayText, QString::number(d)) << year << "/" << m;
                ASSERT_EQ((c + first) % 7, date.dayOfWeek() % 7);
                const QString law = HolidayReference::HolidayName(date);
                ASSERT_EQ(cell.Holiday, law.isEmpty() ? 0 : 1)
                    << date.toString(Qt::ISODate).toStdString();
                if (!law.isEmpty()) {
                    ASSERT_TRUE(cell.HolidayName.contains(law)) << cell.HolidayName.toStdString();
                }
            }
        }
        ASSERT_EQ(placed, firstDay.daysInMonth());
    }
}

TEST_F(DayCellsTest, EveryDayLandsInItsWeekdayAndWeekAndHolidaysFollowTheLaw) {
    for (int year = 1970; year <= 2050; ++year) {
        SCOPED_TRACE(year);
        Fill(year);
        ExpectEveryDayInPlace({year}, cells);
    }
}

// Sheets from every month, weeks from Sunday and from Monday: the months run into the next
// year with its own days and holidays.
TEST_F(DayCellsTest, SheetsFromAnyMonthWithWeeksFromSundayOrMonday) {
    for (int year = 2026; year <= 2029; ++year)
        for (int start = 1; start <= 12; ++start)
            for (TWeekStart week : {TWeekStart::Sunday, TWeekStart::Monday}) {
                SCOPED_TRACE(testing::Message() << year << " from " << start << ", "
                                                << WeekStartWord(week).toStdString());
                const TSheetYear sheet{year, start, week};
                FillDayCells(holidays, sheet, cells);
                ExpectEveryDayInPlace(sheet, cells);
            }
    // 4月始まり 2027: the last block is March 2028 with 春分の日 on the 20th, a Monday, which
    // weeks from Monday put in the first column.
    FillDayCells(holidays, {2027, 4, TWeekStart::Monday}, cells);
    int col = -1;
    int row = -1;
    const Tsenohi* equinox = Find(12, 20, &col, &row);
    EXPECT_EQ(equinox->HolidayName, "春分の日");
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 3);
}

// The family's days and the 暦 of a sheet that spans two years are those of each month's year.
TEST_F(DayCellsTest, FamilyDaysAndKoyomiOfASheetThatSpansTwoYears) {
    const auto yearly = [](const char16_t* name, TFamilyDay::TKind kind, int month, int day,
                           int since) {
        TFamilyDay d;
        d.Name = QString::fromUtf16(name);
        d.Kind = kind;
        d.Month = month;
        d.Day = day;
        d.Year = since;
        return d;
    };
    const TFamilyDay leap = yearly(u"うるう", TFamilyDay::TKind::Birthday, 2, 29, 2020);
    const TFamilyDay wedding = yearly(u"結婚", TFamilyDay::TKind::Anniversary, 6, 10, 2017);

    // January 2027: the 28th of February, 7 years old; the wedding's tenth year.
    Fill(2027);
    EXPECT_TRUE(FillFamilyDays({leap, wedding}, cells));
    EXPECT_EQ(Find(2, 28)->FamilyNames, QStringList{"うるう 7歳"});
    EXPECT_EQ(Find(6, 10)->FamilyNames, QStringList{"結婚10周年"});

    // From April 2027: June is 2027's, February 2028's, which has its 29th.
    FillDayCells(holidays, {2027, 4}, cells);
    EXPECT_TRUE(FillFamilyDays({leap, wedding}, cells));
    FillKoyomiDays(cells);
    EXPECT_EQ(Find(3, 10)->FamilyNames, QStringList{"結婚10周年"}); // the sheet's 3rd: June
    EXPECT_EQ(Find(11, 29)->FamilyNames, QStringList{"うるう 8歳"});
    EXPECT_TRUE(Find(11, 28)->FamilyNames.isEmpty());
    // The new moon of 2028-01-26 15:12 UTC is on the 27th in Japan: 旧正月 is a day later
    // than in China. 2027-04-07 is 旧3月1日.
    EXPECT_EQ(Find(10, 27)->KoyomiDay.LunarMonth, 1);
    EXPECT_EQ(Find(10, 27)->KoyomiDay.LunarDay, 1);
    EXPECT_EQ(Find(1, 7)->KoyomiDay.LunarMonth, 3);
    EXPECT_EQ(Find(1, 7)->KoyomiDay.LunarDay, 1);
}

TEST(DayNames, SplitRuleAndQuotes) {
    EXPECT_EQ(StripQuotes(QStringLiteral("\"元日\"")), "元日");
    EXPECT_EQ(StripQuotes(QStringLiteral("\"a,\"\"b\"")), "a,b");

    Tsenohi plain;
    ApplyDayNames(plain, QStringLiteral("春分の日"));
    EXPECT_EQ(plain, (Tsenohi{"", "春分の日", "", 1, {}, {}, {}, false, {}}));

    Tsenohi special;
    ApplyDayNames(special, QStringLiteral("@結婚記念日"));
    EXPECT_EQ(special, (Tsenohi{"", "", "結婚記念日", 0, {}, {}, {}, false, {}}));

    // A special day that is also a holiday: both names, and the holiday colour.
    Tsenohi both;
    ApplyDayNames(both, QStringLiteral("@誕生日,文化の日"));
    EXPECT_EQ(both, (Tsenohi{"", "文化の日", "誕生日", 1, {}, {}, {}, false, {}}));

    // Two holiday names: the first byte of the first one is lost, as the rule has it.
    Tsenohi two;
    ApplyDayNames(two, QStringLiteral("元日,振替休日"));
    EXPECT_EQ(two, (Tsenohi{"", "振替休日", "日", 1, {}, {}, {}, false, {}}));

    Tsenohi none;
    ApplyDayNames(none, QString());
    EXPECT_EQ(none, Tsenohi{});
}

} // namespace
