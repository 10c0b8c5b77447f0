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

// Every day of 1970–2050 against QDate for its place and against the law for its mark.
TEST_F(DayCellsTest, EveryDayLandsInItsWeekdayAndWeekAndHolidaysFollowTheLaw) {
    for (int year = 1970; year <= 2050; ++year) {
        Fill(year);
        for (int m = 1; m <= 12; ++m) {
            const QDate first(year, m, 1);
            const int lead = first.dayOfWeek() % 7; // Sunday = 0
            int placed = 0;
            for (int c = 0; c < 7; ++c)
                for (int r = 0; r < 6; ++r) {
                    const Tsenohi& cell = cells(m, c, r);
                    const int d = 7 * r + c - lead + 1;
                    if (d < 1 || d > first.daysInMonth()) {
                        ASSERT_EQ(cell, Tsenohi{}) << year << "/" << m << " " << c << "," << r;
                        continue;
                    }
                    ++placed;
                    ASSERT_EQ(cell.DayText, QString::number(d)) << year << "/" << m;
                    const QString law = HolidayReference::HolidayName(QDate(year, m, d));
                    ASSERT_EQ(cell.Holiday, law.isEmpty() ? 0 : 1)
                        << QDate(year, m, d).toString(Qt::ISODate).toStdString();
                    if (!law.isEmpty()) {
                        ASSERT_TRUE(cell.HolidayName.contains(law))
                            << cell.HolidayName.toStdString();
                    }
                }
            ASSERT_EQ(placed, first.daysInMonth());
        }
    }
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
