// Civil dates and day numbers. The Gregorian side is checked against Qt's QDate (proleptic
// Gregorian, with its own Julian Day count) and the Julian side against QCalendar's Julian
// calendar: two implementations no one here wrote.
#include <gtest/gtest.h>

#include <QCalendar>
#include <QDate>

#include "calendar/julius.h"

using namespace Julius;

namespace {

struct Ymd {
    std::int32_t y;
    int m, d;
    bool operator==(const Ymd&) const = default;
};

Ymd ToYmd(std::int32_t jd) {
    Ymd r{};
    std::uint8_t m = 0, d = 0;
    JDToYMD(jd, r.y, m, d);
    r.m = m;
    r.d = d;
    return r;
}

std::int32_t JD(std::int32_t y, int m, int d) {
    return YMDToJD(y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d));
}

void ExpectJuliusError(const std::function<void()>& call, const QString& message) {
    try {
        call();
        ADD_FAILURE() << "no EJuliusError";
    } catch (const EJuliusError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(Julius, NamedDays) {
    EXPECT_EQ(JD(2000, 1, 1), 2451545);
    EXPECT_EQ(JD(1582, 10, 4), 2299160);
    EXPECT_EQ(JD(1582, 10, 15), 2299161);
    EXPECT_EQ(ToYmd(2299160), (Ymd{1582, 10, 4}));
    EXPECT_EQ(ToYmd(2299161), (Ymd{1582, 10, 15}));
    EXPECT_EQ(ToYmd(0), (Ymd{-4712, 1, 1}));
    EXPECT_EQ(JD(-4712, 1, 1), 0);
    EXPECT_EQ(ToYmd(MaxJD), (Ymd{MaxYear, 12, 31}));
    EXPECT_EQ(JD(MaxYear, 12, 31), MaxJD);
}

TEST(Julius, TheTenDaysOf1582NeverExisted) {
    for (int d = 5; d <= 14; ++d) {
        ExpectJuliusError([d] { JD(1582, 10, d); },
                          QStringLiteral("1582/10/5-10/14は存在しません。"));
        EXPECT_THROW(IsValidYMD(1582, 10, static_cast<std::uint8_t>(d)), EJuliusError);
    }
    // The explicit calendars have no gap.
    EXPECT_EQ(JulianYMDToJD(1582, 10, 5), 2299161);
    EXPECT_EQ(GregorianYMDToJD(1582, 10, 14), 2299160);
}

TEST(Julius, DaysOfTheWeek) {
    EXPECT_EQ(JDDayOfWeek(2451545), 7);        // 2000-01-01, Saturday
    EXPECT_EQ(JDDayOfWeek(2299161), 6);        // 1582-10-15, Friday
    EXPECT_EQ(JDDayOfWeek(2299160), 5);        // 1582-10-04, Thursday
    EXPECT_EQ(JDDayOfWeek(JD(2027, 1, 1)), 6); // Friday
    EXPECT_EQ(JDDayOfWeek(0), 2);              // -4712-01-01, Monday
}

TEST(Julius, LeapYears) {
    EXPECT_TRUE(IsLeap(1500)); // Julian rule
    EXPECT_TRUE(IsLeap(1300));
    EXPECT_FALSE(IsLeap(1581));
    EXPECT_TRUE(IsLeap(0));
    EXPECT_TRUE(IsLeap(-4));
    EXPECT_FALSE(IsLeap(-1));
    EXPECT_FALSE(IsLeap(1700)); // Gregorian rule
    EXPECT_FALSE(IsLeap(1900));
    EXPECT_TRUE(IsLeap(2000));
    EXPECT_TRUE(IsLeap(2024));
    EXPECT_FALSE(IsLeap(2100));
    EXPECT_FALSE(IsLeap(4000)); // the 4000-year exception
    EXPECT_FALSE(IsLeap(8000));
    EXPECT_TRUE(IsLeap(4400));
}

TEST(Julius, MonthLengths) {
    EXPECT_EQ(DaysOfMonth(2000, 2), 29);
    EXPECT_EQ(DaysOfMonth(2100, 2), 28);
    EXPECT_EQ(DaysOfMonth(2027, 12), 31);
    EXPECT_EQ(DaysOfMonth(2027, 4), 30);
    EXPECT_EQ(DaysOfMonth(4000, 2), 28);
    EXPECT_THROW(DaysOfMonth(2000, 0), EJuliusError);
    EXPECT_THROW(DaysOfMonth(2000, 13), EJuliusError);
}

TEST(Julius, ValidDates) {
    EXPECT_FALSE(IsValidYMD(2001, 2, 29));
    EXPECT_TRUE(IsValidYMD(2000, 2, 29));
    EXPECT_FALSE(IsValidYMD(2000, 13, 1));
    EXPECT_FALSE(IsValidYMD(2000, 0, 1));
    EXPECT_FALSE(IsValidYMD(2000, 4, 31));
    EXPECT_FALSE(IsValidYMD(2000, 4, 0));
    EXPECT_FALSE(IsValidYMD(MaxYear, 13, 1)); // no range error for a month that never exists
    EXPECT_TRUE(IsValidYMD(1582, 10, 4));
    EXPECT_TRUE(IsValidYMD(1582, 10, 15));
    EXPECT_TRUE(IsValidYMD(1500, 2, 29));
    // The 4000-year exception lives in IsLeap only: the conversion counts the day.
    EXPECT_TRUE(IsValidYMD(4000, 2, 29));
    EXPECT_EQ(DaysOfMonth(4000, 2), 28);
}

TEST(Julius, RoundTripsEveryDateOfYears1To3000) {
    int checked = 0;
    for (std::int32_t y = 1; y <= 3000; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int days =
                (y == 1582 && m == 10) ? 31 : DaysOfMonth(y, static_cast<std::uint8_t>(m));
            // The Gregorian conversion still counts 29 February of years divisible by 4000;
            // none falls here, so DaysOfMonth and the conversion agree.
            for (int d = 1; d <= days; ++d) {
                if (y == 1582 && m == 10 && d >= 5 && d <= 14)
                    continue;
                const Ymd back = ToYmd(JD(y, m, d));
                ASSERT_EQ(back, (Ymd{y, m, d})) << y << "-" << m << "-" << d;
                ++checked;
            }
        }
    }
    // Every day number of the span is one of the dates visited, and no date was visited twice.
    EXPECT_EQ(checked, JD(3000, 12, 31) - JD(1, 1, 1) + 1);
}

TEST(Julius, ConsecutiveDayNumbersGiveConsecutiveDates) {
    // From 1 January of year 1 to the end of 3000, across the switch of 1582.
    Ymd previous = ToYmd(JD(1, 1, 1));
    std::uint8_t previousDow = JDDayOfWeek(JD(1, 1, 1));
    for (std::int32_t jd = JD(1, 1, 1) + 1; jd <= JD(3000, 12, 31); ++jd) {
        const Ymd date = ToYmd(jd);
        const bool nextDay =
            date.y == previous.y && date.m == previous.m && date.d == previous.d + 1;
        const bool nextMonth = date.y == previous.y && date.m == previous.m + 1 && date.d == 1;
        const bool nextYear = date.y == previous.y + 1 && date.m == 1 && date.d == 1 &&
                              previous.m == 12 && previous.d == 31;
        const bool overTheGap =
            jd == GregorianStartJD && previous == Ymd{1582, 10, 4} && date == Ymd{1582, 10, 15};
        ASSERT_TRUE(nextDay || nextMonth || nextYear || overTheGap) << jd;
        if (nextMonth) {
            ASSERT_EQ(previous.d, DaysOfMonth(previous.y, static_cast<std::uint8_t>(previous.m)))
                << jd;
        }
        const std::uint8_t dow = JDDayOfWeek(jd);
        ASSERT_EQ(dow, previousDow % 7 + 1) << jd;
        previous = date;
        previousDow = dow;
    }
}

TEST(Julius, AgreesWithQtOnBothCalendars) {
    // Gregorian: every day from the switch to 2400 against QDate.
    for (std::int32_t jd = GregorianStartJD; jd <= JD(2400, 12, 31); ++jd) {
        const QDate q = QDate::fromJulianDay(jd);
        ASSERT_EQ(ToYmd(jd), (Ymd{q.year(), q.month(), q.day()})) << jd;
        ASSERT_EQ(JDDayOfWeek(jd), q.dayOfWeek() % 7 + 1) << jd;
    }
    // Julian: every day of years 1..1582 against QCalendar's Julian calendar.
    const QCalendar julian(QCalendar::System::Julian);
    for (std::int32_t y = 1; y <= 1582; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= julian.daysInMonth(m, y); ++d) {
                const qint64 expected = julian.dateFromParts(y, m, d).toJulianDay();
                ASSERT_EQ(
                    JulianYMDToJD(y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)),
                    expected)
                    << y << "-" << m << "-" << d;
            }
        }
    }
}

TEST(Julius, RefusesYearsAndDayNumbersOutsideTheServedRange) {
    const QString yearLow =
        QStringLiteral("-4713 年は扱える範囲（-4712 年～1000000 年）の外です。");
    const QString yearHigh =
        QStringLiteral("1000001 年は扱える範囲（-4712 年～1000000 年）の外です。");
    ExpectJuliusError([] { JD(MinYear - 1, 12, 31); }, yearLow);
    ExpectJuliusError([] { JD(MaxYear + 1, 1, 1); }, yearHigh);
    EXPECT_THROW(JD(INT32_MAX, 12, 31), EJuliusError);
    EXPECT_THROW(JD(INT32_MIN, 1, 1), EJuliusError);
    EXPECT_THROW(GregorianYMDToJD(INT32_MAX, 1, 1), EJuliusError);
    EXPECT_NO_THROW(JD(MinYear, 1, 1));
    EXPECT_NO_THROW(JD(MaxYear, 255, 255)); // months and days beyond the last run on safely

    ExpectJuliusError([] { ToYmd(-1); },
                      QStringLiteral("ユリウス日 -1 は扱える範囲（0～366963925）の外です。"));
    EXPECT_THROW(ToYmd(MaxJD + 1), EJuliusError);
    EXPECT_THROW(ToYmd(INT32_MAX), EJuliusError);
    EXPECT_THROW(ToYmd(INT32_MIN), EJuliusError);
    EXPECT_THROW(JDDayOfWeek(INT32_MAX), EJuliusError);
    EXPECT_THROW(JDDayOfWeek(-1), EJuliusError);
    EXPECT_THROW(IsValidYMD(MaxYear + 1, 1, 1), EJuliusError);
    // IsLeap has no formula that could overflow.
    EXPECT_FALSE(IsLeap(INT32_MIN + 1));
    EXPECT_FALSE(IsLeap(INT32_MAX));
}

TEST(Julius, DateTimeValues) {
    EXPECT_EQ(DateTimeToJD(0.0), JD(1899, 12, 30));
    EXPECT_EQ(DateTimeToJD(36526.75), 2451545);      // 2000-01-01 18:00
    EXPECT_EQ(DateTimeToJD(-1.5), JD(1899, 12, 29)); // the date part is the integral part
    EXPECT_EQ(DateTimeToJD(2.0), JD(1900, 1, 1));
    EXPECT_THROW(DateTimeToJD(1e300), EJuliusError);
    EXPECT_THROW(DateTimeToJD(std::numeric_limits<double>::quiet_NaN()), EJuliusError);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(TodayJD(), today.toJulianDay());
}

} // namespace
