// The 暦 on dates whose answer is published or known from outside the program: the months of
// the Japanese lunisolar calendar where simpler code goes wrong, the leap months, the 2033
// problem, and every month of the old-calendar table the program carried before.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "calendar/julius.h"
#include "calendar/koyomi.h"
#include "calendar/skyroots.h"

using namespace Koyomi;

namespace {

// One computed year per test process and year: each takes tens of milliseconds.
const TKoyomiYear& YearOf(int year) {
    static std::map<int, TKoyomiYear> years;
    return years.try_emplace(year, year).first->second;
}

QString Lunar(int y, int m, int d) {
    return LunarDateText(YearOf(y).Day(m, d));
}

// The instant as "YYYY-MM-DD hh:mm:ss" in Japan.
QString JstText(double jdUt) {
    const double jst = jdUt + 0.5 + 9.0 / 24.0;
    const auto day = static_cast<std::int32_t>(std::floor(jst));
    std::int32_t y = 0;
    std::uint8_t m = 0;
    std::uint8_t d = 0;
    Julius::JDToYMD(day, y, m, d);
    const int seconds = static_cast<int>(std::lround((jst - day) * 86400.0));
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(y)
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'))
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TEST(Koyomi, ANewMoonMinutesBeforeMidnightStartsTheMonthThatDay) {
    // New moon 2017-02-26 23:58 JST: 旧2月 begins on the 26th, not on the 27th.
    const int k = LunationAt(2457811.5); // 2017-02-27 0h UT
    EXPECT_EQ(JstText(MoonPhaseInstant(k, TLunarPhase::NewMoon)).left(16),
              QStringLiteral("2017-02-26 23:58"));
    EXPECT_EQ(Lunar(2017, 2, 25), QStringLiteral("旧1月29日"));
    EXPECT_EQ(Lunar(2017, 2, 26), QStringLiteral("旧2月1日"));
    EXPECT_EQ(Lunar(2017, 2, 27), QStringLiteral("旧2月2日"));
}

TEST(Koyomi, SetsubunIsTheDayBeforeRisshunEvenAtTwoMinutesToMidnight) {
    // 立春 2021 at 2021-02-03 23:58:48 JST (NAOJ), so 節分 fell on 2 February for the first
    // time since 1897.
    EXPECT_EQ(JstText(SunLongitudeInstant(2021, 315.0)).left(18),
              QStringLiteral("2021-02-03 23:58:4"));
    EXPECT_EQ(ZassetsuNames(YearOf(2021).Day(2, 2).Zassetsu), QStringList{QStringLiteral("節分")});
    EXPECT_EQ(YearOf(2021).Day(2, 3).Zassetsu, 0);
    EXPECT_EQ(YearOf(2021).Day(2, 3).SolarTerm, 21);
    EXPECT_EQ(ZassetsuNames(YearOf(2025).Day(2, 2).Zassetsu), QStringList{QStringLiteral("節分")});
    EXPECT_EQ(ZassetsuNames(YearOf(2026).Day(2, 3).Zassetsu), QStringList{QStringLiteral("節分")});
}

TEST(Koyomi, LeapMonthsOfTheJapaneseCalendar) {
    // Where Chinese calendars put 閏4月 (2012) and 閏6月 (2017), Japan's has 閏3月 and 閏5月.
    EXPECT_EQ(Lunar(2012, 4, 20), QStringLiteral("旧3月30日"));
    EXPECT_EQ(Lunar(2012, 4, 21), QStringLiteral("旧閏3月1日"));
    EXPECT_EQ(Lunar(2012, 5, 21), QStringLiteral("旧4月1日"));
    EXPECT_EQ(Lunar(2017, 6, 24), QStringLiteral("旧閏5月1日"));
    EXPECT_EQ(Lunar(2014, 10, 24), QStringLiteral("旧閏9月1日"));
    EXPECT_EQ(Lunar(2020, 5, 23), QStringLiteral("旧閏4月1日"));
    EXPECT_EQ(Lunar(2023, 3, 22), QStringLiteral("旧閏2月1日"));
    EXPECT_EQ(Lunar(2025, 7, 25), QStringLiteral("旧閏6月1日"));
    // 旧正月 of recent years.
    EXPECT_EQ(Lunar(2024, 2, 10), QStringLiteral("旧1月1日"));
    EXPECT_EQ(Lunar(2025, 1, 29), QStringLiteral("旧1月1日"));
    EXPECT_EQ(Lunar(2026, 2, 17), QStringLiteral("旧1月1日"));
}

TEST(Koyomi, The2033ProblemGetsALeapEleventhMonth) {
    EXPECT_EQ(Lunar(2033, 8, 25), QStringLiteral("旧8月1日"));
    EXPECT_EQ(Lunar(2033, 11, 22), QStringLiteral("旧11月1日"));
    EXPECT_EQ(Lunar(2033, 12, 22), QStringLiteral("旧閏11月1日"));
    EXPECT_EQ(Lunar(2034, 1, 20), QStringLiteral("旧12月1日"));
    EXPECT_EQ(Lunar(2034, 2, 19), QStringLiteral("旧1月1日"));
    int leapMonths = 0;
    for (const TLunarMonth& month : LunarMonthsAround(2033))
        leapMonths += month.Leap;
    EXPECT_EQ(leapMonths, 1);
}

TEST(Koyomi, AgreesWithTheOldCalendarTableOnAllItsMonthsAndDays) {
    const std::vector<Julius::TJDOldMonth>& table = Julius::OldMonthList();
    ASSERT_EQ(table.size(), 260u); // 259 months and the line that closes the table
    int months = 0;
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
        std::int32_t y = 0;
        std::uint8_t m = 0;
        std::uint8_t d = 0;
        Julius::JDToYMD(table[i].JulianDay, y, m, d);
        const TKoyomiDay& first = YearOf(y).Day(m, d);
        EXPECT_EQ(first.LunarDay, 1) << y << "-" << int(m) << "-" << int(d);
        EXPECT_EQ(first.LunarMonth + (first.LeapMonth ? 100 : 0), table[i].Month)
            << y << "-" << int(m) << "-" << int(d);
        ++months;
    }
    EXPECT_EQ(months, 259);
    // The table's rokuyō count 1 先勝 .. 6 赤口; every day of it must name the same.
    for (std::int32_t jd = table.front().JulianDay; jd < table.back().JulianDay; ++jd) {
        std::int32_t y = 0;
        std::uint8_t m = 0;
        std::uint8_t d = 0;
        Julius::JDToYMD(jd, y, m, d);
        ASSERT_EQ(RokuyoName(YearOf(y).Day(m, d).Rokuyo),
                  Julius::RokuyoNames.at(Julius::JDRokuyo(jd)))
            << y << "-" << int(m) << "-" << int(d);
    }
}

TEST(Koyomi, RokuyoFollowsTheLunarDate) {
    // 旧1月1日 and 旧7月1日 are 先勝, 旧2月1日 友引; a leap month counts as its base month.
    EXPECT_EQ(RokuyoName(YearOf(2024).Day(2, 10).Rokuyo), QStringLiteral("先勝"));
    EXPECT_EQ(RokuyoName(YearOf(2017).Day(2, 26).Rokuyo), QStringLiteral("友引"));
    EXPECT_EQ(RokuyoName(YearOf(2012).Day(4, 21).Rokuyo), QStringLiteral("先負")); // 閏3月1日
    EXPECT_EQ(RokuyoName(YearOf(2012).Day(3, 22).Rokuyo), QStringLiteral("先負")); // 3月1日
}

TEST(Koyomi, SolarTermsPhasesAndNamesOfADay) {
    const TKoyomiYear& y2027 = YearOf(2027);
    int terms = 0;
    int phases = 0;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= Julius::DaysOfMonth(2027, static_cast<std::uint8_t>(m)); ++d) {
            terms += y2027.Day(m, d).SolarTerm >= 0;
            phases += y2027.Day(m, d).MoonPhase >= 0;
        }
    EXPECT_EQ(terms, 24);
    EXPECT_GE(phases, 48);
    EXPECT_LE(phases, 50);
    // 春分 2027 is 3月21日 (NAOJ); 彼岸 runs from the 18th to the 24th.
    EXPECT_EQ(DayNames(y2027.Day(3, 21)).first(), QStringLiteral("春分"));
    EXPECT_TRUE(ZassetsuNames(y2027.Day(3, 18).Zassetsu).contains(QStringLiteral("彼岸入り")));
    EXPECT_TRUE(ZassetsuNames(y2027.Day(3, 24).Zassetsu).contains(QStringLiteral("彼岸明け")));
}

TEST(Koyomi, YearsOutsideTheEngineHoldNoKoyomi) {
    const TKoyomiYear early(1699);
    EXPECT_FALSE(early.Known());
    EXPECT_FALSE(early.Day(6, 1).Known());
    EXPECT_TRUE(LunarDateText(early.Day(6, 1)).isEmpty());
    EXPECT_FALSE(YearOf(2150).Verified());
    EXPECT_TRUE(YearOf(2150).Day(6, 1).Known());
    EXPECT_THROW(YearOf(2027).Day(2, 29), std::out_of_range);
}

TEST(Koyomi, TheBuiltTableHoldsExactlyWhatTheTheoryComputes) {
    // Years at both ends of the table, and some between, to the last bit.
    for (const int year : {1899, 1900, 1957, 2033, 2100, 2101})
        for (int degrees = 0; degrees < 360; degrees += 15)
            ASSERT_EQ(SunLongitudeInstant(year, degrees),
                      ComputedSunLongitudeInstant(year, degrees))
                << year << " " << degrees;
    for (const double jd : {2415020.5, 2451545.0, 2488069.5})
        for (int k = LunationAt(jd), end = k + 3; k < end; ++k)
            for (int phase = 0; phase < 4; ++phase)
                ASSERT_EQ(MoonPhaseInstant(k, static_cast<TLunarPhase>(phase)),
                          ComputedMoonPhaseInstant(k, static_cast<TLunarPhase>(phase)))
                    << k << " " << phase;
    // Outside the table the same functions compute.
    EXPECT_EQ(JstDay(SunLongitudeInstant(2169, 180.0)), Julius::YMDToJD(2169, 9, 22));
}
