// Year and month titles of the eight styles, with the era of each year.
#include <gtest/gtest.h>

#include "app/qtprint.h"
#include "model/titlestyle.h"

namespace {

struct TitleRow {
    int style;
    int year;
    int month;
    const char* yearTitle;
    const char* monthTitle;
};

// Every space below is one ASCII space; styles 1 to 5 end the year title with one.
TEST(TitleStyle, YearAndMonthTitlesOfTheMainWindow) {
    const TitleRow rows[] = {
        {0, 2003, 1, "2003年", "1月"},         {1, 2003, 1, "2003 年 ", "1月 (January)"},
        {2, 2003, 1, "15 年 ", "1月"},         {3, 2003, 1, "平成 15 年 ", "1月"},
        {4, 2003, 1, "15 年 ", "1月 (睦月)"},  {5, 2003, 1, "平成 15 年 ", "1月 (睦月)"},
        {6, 2003, 1, "2003", "January"},       {7, 2003, 1, "2003", "Jan"},
        {0, 2026, 10, "2026年", "10月"},       {1, 2026, 5, "2026 年 ", "5月 (May)"},
        {2, 2026, 12, "8 年 ", "12月"},        {3, 2026, 6, "令和 8 年 ", "6月"},
        {4, 2026, 6, "8 年 ", "6月 (水無月)"}, {5, 2026, 12, "令和 8 年 ", "12月 (師走)"},
        {6, 2026, 9, "2026", "September"},     {7, 2026, 5, "2026", "May"},
    };
    for (const TitleRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "style " << r.style << ", " << r.year << "-" << r.month);
        EXPECT_EQ(YearTitle(r.style, r.year), QString::fromUtf8(r.yearTitle));
        EXPECT_EQ(MonthTitle(r.style, r.month), QString::fromUtf8(r.monthTitle));
    }
}

struct EraRow {
    int year;
    const char* style2;
    const char* style3;
};

// The era of a year is the one in force on its 31 December.
TEST(TitleStyle, EraYearsAtTheEdgesOfTheEras) {
    const EraRow rows[] = {
        {1872, "1872 年 ", "1872 年 "},  {1873, "6 年 ", "明治 6 年 "},
        {1911, "44 年 ", "明治 44 年 "}, {1912, "1 年 ", "大正 1 年 "},
        {1925, "14 年 ", "大正 14 年 "}, {1926, "1 年 ", "昭和 1 年 "},
        {1988, "63 年 ", "昭和 63 年 "}, {1989, "1 年 ", "平成 1 年 "},
        {2018, "30 年 ", "平成 30 年 "}, {2019, "1 年 ", "令和 1 年 "},
        {2026, "8 年 ", "令和 8 年 "},   {2100, "82 年 ", "令和 82 年 "},
        {-5, "-5 年 ", "-5 年 "},
    };
    for (const EraRow& r : rows) {
        SCOPED_TRACE(r.year);
        EXPECT_EQ(YearTitle(2, r.year), QString::fromUtf8(r.style2));
        EXPECT_EQ(YearTitle(4, r.year), QString::fromUtf8(r.style2));
        EXPECT_EQ(YearTitle(3, r.year), QString::fromUtf8(r.style3));
        EXPECT_EQ(YearTitle(5, r.year), QString::fromUtf8(r.style3));
    }
}

TEST(TitleStyle, PrintedMonthTitlesUseFullWidthDigits) {
    EXPECT_EQ(PrintedMonthTitle(0, 1), QStringLiteral("１月"));
    EXPECT_EQ(PrintedMonthTitle(2, 10), QStringLiteral("１０月"));
    EXPECT_EQ(PrintedMonthTitle(3, 12), QStringLiteral("１２月"));
    EXPECT_EQ(PrintedMonthTitle(1, 1), QStringLiteral("１月 (January)"));
    EXPECT_EQ(PrintedMonthTitle(1, 12), QStringLiteral("１２月 (December)"));
    EXPECT_EQ(PrintedMonthTitle(4, 1), QStringLiteral("１月 (睦月)"));
    EXPECT_EQ(PrintedMonthTitle(5, 12), QStringLiteral("１２月 (師走)"));
    EXPECT_EQ(PrintedMonthTitle(6, 2), QStringLiteral("February"));
    EXPECT_EQ(PrintedMonthTitle(7, 5), QStringLiteral("May"));
    EXPECT_EQ(PrintedMonthTitle(7, 9), QStringLiteral("Sep"));
    const char* const traditional[] = {"睦月", "如月", "弥生", "卯月",   "皐月", "水無月",
                                       "文月", "葉月", "長月", "神無月", "霜月", "師走"};
    const char* const numerals[] = {"１月", "２月", "３月", "４月",   "５月",   "６月",
                                    "７月", "８月", "９月", "１０月", "１１月", "１２月"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(PrintedMonthTitle(0, m), QString::fromUtf8(numerals[m - 1]));
        EXPECT_EQ(PrintedMonthTitle(5, m), QString::fromUtf8(numerals[m - 1]) + " (" +
                                               QString::fromUtf8(traditional[m - 1]) + ")");
    }
}

TEST(TitleStyle, NoStyleLeavesTitlesAlone) {
    for (int style : {-1, 8, 100}) {
        EXPECT_FALSE(YearTitle(style, 2026).has_value());
        EXPECT_FALSE(MonthTitle(style, 1).has_value());
        EXPECT_FALSE(PrintedMonthTitle(style, 1).has_value());
    }
}

TEST(TitleStyle, ListItems) {
    EXPECT_EQ(TitleStyleItems(),
              QStringList({"西暦年*月", "西暦年*月(January)", "和暦年*月", "元号和暦年*月",
                           "和暦年*月(睦月)", "元号和暦年*月(睦月)", "西暦 January", "西暦 Jan"}));
}

} // namespace

// A sheet from another month than January names both ends, or the fiscal year from April.
TEST(TitleStyle, SheetsThatRunIntoTheNextYear) {
    struct Row {
        int style;
        int year;
        int startMonth;
        const char* title;
    };
    const Row rows[] = {
        {0, 2027, 1, "2027年"},
        {0, 2027, 4, "2027年4月〜2028年3月"},
        {1, 2027, 4, "2027 年 4 月 〜 2028 年 3 月 "},
        {2, 2027, 4, "9 年度 "},
        {3, 2027, 4, "令和 9 年度 "},
        {4, 2027, 4, "9 年度 "},
        {5, 2027, 4, "令和 9 年度 "},
        {6, 2027, 4, "April 2027 – March 2028"},
        {7, 2027, 4, "Apr 2027 – Mar 2028"},
        {0, 2027, 12, "2027年12月〜2028年11月"},
        {3, 2027, 10, "令和 9 年 10 月 〜 令和 10 年 9 月 "},
        // A fiscal year is named by the year it begins in, as the year titles count it.
        {3, 2019, 4, "令和 1 年度 "},
        {3, 1988, 4, "昭和 63 年度 "},
        // Each end in the era of its own month: 令和 began in May 2019, 平成 in January 1989.
        {3, 2018, 5, "平成 30 年 5 月 〜 平成 31 年 4 月 "},
        {3, 2018, 6, "平成 30 年 6 月 〜 令和 1 年 5 月 "},
        {2, 1988, 2, "63 年 2 月 〜 1 年 1 月 "},
        {5, 1926, 9, "大正 15 年 9 月 〜 昭和 2 年 8 月 "},
        // Before the Gregorian calendar came to Japan there is no era year to count.
        {3, 1872, 7, "1872 年 7 月 〜 明治 6 年 6 月 "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "style " << r.style << ", " << r.year << " from " << r.startMonth);
        EXPECT_EQ(SheetYearTitle(r.style, r.year, r.startMonth), QString::fromUtf8(r.title));
    }
    EXPECT_FALSE(SheetYearTitle(8, 2027, 4));
}
