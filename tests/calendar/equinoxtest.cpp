// Equinox days, checked against the dates the National Astronomical Observatory of Japan
// (国立天文台 暦計算室) published for the national holidays 春分の日 and 秋分の日.
#include <gtest/gtest.h>

#include "calendar/julius.h"

using namespace Julius;

namespace {

struct Day {
    int y, m, d;
};

void ExpectDate(std::int32_t jd, const Day& day) {
    std::int32_t y = 0;
    std::uint8_t m = 0, d = 0;
    JDToYMD(jd, y, m, d);
    EXPECT_EQ(y, day.y);
    EXPECT_EQ(m, day.m) << day.y;
    EXPECT_EQ(d, day.d) << day.y;
}

TEST(Equinox, VernalEquinoxDays) {
    const Day days[] = {{1900, 3, 21}, {1990, 3, 21}, {2000, 3, 20}, {2010, 3, 21}, {2012, 3, 20},
                        {2019, 3, 21}, {2020, 3, 20}, {2023, 3, 21}, {2024, 3, 20}, {2025, 3, 20},
                        {2026, 3, 20}, {2027, 3, 21}, {2028, 3, 20}, {2030, 3, 20}, {2100, 3, 20}};
    for (const Day& day : days)
        ExpectDate(VernalEquinoxJD(day.y), day);
    EXPECT_EQ(VernalEquinoxJD(2000), 2451624);
}

TEST(Equinox, AutumnalEquinoxDays) {
    const Day days[] = {{1900, 9, 23}, {1990, 9, 23}, {2000, 9, 23}, {2009, 9, 23}, {2012, 9, 22},
                        {2016, 9, 22}, {2020, 9, 22}, {2024, 9, 22}, {2025, 9, 23}, {2026, 9, 23},
                        {2027, 9, 23}, {2028, 9, 22}, {2030, 9, 23}};
    for (const Day& day : days)
        ExpectDate(AutumnalEquinoxJD(day.y), day);
}

TEST(Equinox, DayTestsCompareMonthAndDay) {
    EXPECT_TRUE(IsVernalEquinoxDay(2020, 3, 20));
    EXPECT_FALSE(IsVernalEquinoxDay(2020, 3, 21));
    EXPECT_TRUE(IsAutumnalEquinoxDay(2012, 9, 22));
    EXPECT_FALSE(IsAutumnalEquinoxDay(2012, 9, 23));
    EXPECT_FALSE(IsAutumnalEquinoxDay(2012, 3, 20));
}

TEST(Equinox, StaysNearTheSeasonFarOutsideTheApproximation) {
    for (const int year : {1600, 3000, 5000, 10000}) {
        std::int32_t y = 0;
        std::uint8_t m = 0, d = 0;
        JDToYMD(VernalEquinoxJD(year), y, m, d);
        EXPECT_EQ(y, year);
        // The calendars drift against the Sun over the millennia, but only by days.
        const int offset = (m - 3) * 31 + d - 20;
        EXPECT_LE(std::abs(offset), 12) << year;
        JDToYMD(AutumnalEquinoxJD(year), y, m, d);
        EXPECT_EQ(y, year);
        EXPECT_LE(std::abs((m - 9) * 30 + d - 23), 12) << year;
    }
    // At the very start of the day count the Julian calendar and the approximation together
    // have drifted six weeks from the Sun (2 May); the function still answers within that year.
    std::int32_t y = 0;
    std::uint8_t m = 0, d = 0;
    JDToYMD(VernalEquinoxJD(MinYear), y, m, d);
    EXPECT_EQ(y, MinYear);
    EXPECT_TRUE(m >= 3 && m <= 5);
    EXPECT_THROW(VernalEquinoxJD(MaxYear + 1), EJuliusError);
    EXPECT_THROW(AutumnalEquinoxJD(INT32_MIN), EJuliusError);
}

TEST(Equinox, SpringAndAutumnDaysOfTheseCenturies) {
    for (int year = 1950; year <= 2099; ++year) {
        std::int32_t y = 0;
        std::uint8_t m = 0, d = 0;
        JDToYMD(VernalEquinoxJD(year), y, m, d);
        EXPECT_EQ(m, 3);
        // In 2092 and 2096 the vernal equinox day falls as early as 19 March.
        EXPECT_TRUE(d == 20 || d == 21 || (d == 19 && (year == 2092 || year == 2096))) << year;
        JDToYMD(AutumnalEquinoxJD(year), y, m, d);
        EXPECT_EQ(m, 9);
        EXPECT_TRUE(d == 22 || d == 23 || (d == 24 && year < 1980)) << year;
    }
}

TEST(NameTables, HoldTheTraditionalNamesInOrder) {
    EXPECT_EQ(StemNames.front(), QStringLiteral("甲"));
    EXPECT_EQ(StemNames.back(), QStringLiteral("癸"));
    EXPECT_EQ(BranchNames[0], QStringLiteral("子"));
    EXPECT_EQ(BranchNames[11], QStringLiteral("亥"));
    EXPECT_EQ(SolarTermNames[0], QStringLiteral("春分"));
    EXPECT_EQ(SolarTermNames[12], QStringLiteral("秋分"));
    EXPECT_EQ(SolarTermNames[13], QStringLiteral("寒露")); // the dew of 寒露, never 寒路
    EXPECT_EQ(SolarTermNames[23], QStringLiteral("啓蟄"));
}

} // namespace
