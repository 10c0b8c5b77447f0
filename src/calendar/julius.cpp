// Civil dates and Julian day numbers. The conversions are the classic floating-point formulas
// with truncation (Meeus, Astronomical Algorithms, ch. 7); their constants and the order of the
// truncations are kept exactly, because holiday rules and the old-calendar table compare the
// results for equality. They run in extended precision (long double); the values stay far
// below 2^53 in the served range, so double precision would give the same integers.

#include "julius.h"
#include "julius_p.h"

#include <cmath>
#include <cstdint>

#include <QDate>

namespace Julius {

namespace {

static_assert(sizeof(std::int32_t) == 4);
static_assert(sizeof(long double) >= sizeof(double));

// Constants of the formulas that are not exact binary fractions, held at extended precision.
constexpr long double MonthFactor = 30.6001L;
constexpr long double YearOffset = 122.1L;

// Truncation toward zero. Callers have checked the range, so the value fits: 365.25 × year
// stays below 4e8 for the served years.
std::int64_t Trunc(long double x) {
    return static_cast<std::int64_t>(x);
}

// A + B of both calendars: the days of the whole years and months before the date, with March
// as the first month so that the leap day ends the counted year.
std::int64_t YearAndMonthDays(std::int32_t year, std::uint8_t month) {
    std::int64_t y = year;  // Y', [MinYear - 1, MaxYear]
    std::int64_t m = month; // M', [3, 14] for real months
    if (month < 3) {
        m += 12;
        y -= 1;
    }
    // For years up to 0 the extra −0.75 makes the truncation act as floor on negative Y'. The
    // test is on the given year, not on Y'.
    const std::int64_t a = year > 0 ? Trunc(365.25L * y) : Trunc(365.25L * y - 0.75L);
    const std::int64_t b = Trunc(MonthFactor * (m + 1));
    return a + b;
}

// Steps shared by both directions of the Julian and Gregorian conversion back to a date.
void DayCountToYMD(std::int64_t a, std::int32_t& year, std::uint8_t& month, std::uint8_t& day) {
    const std::int64_t b = a + 1524;
    const std::int64_t k = Trunc((b - YearOffset) / 365.25L);
    const std::int64_t d = Trunc(365.25L * k);
    const std::int64_t e = Trunc((b - d) / MonthFactor);             // [4, 15]
    day = static_cast<std::uint8_t>(b - d - Trunc(MonthFactor * e)); // [1, 31]
    const std::int64_t m = e < 13.5L ? e - 1 : e - 13;               // [1, 12]
    month = static_cast<std::uint8_t>(m);
    year = static_cast<std::int32_t>(m > 2.5L ? k - 4716 : k - 4715);
}

} // namespace

namespace Detail {

void CheckYear(std::int32_t year) {
    if (year < MinYear || year > MaxYear)
        throw EJuliusError(QStringLiteral("%1 年は扱える範囲（%2 年～%3 年）の外です。")
                               .arg(year)
                               .arg(MinYear)
                               .arg(MaxYear));
}

void CheckJD(std::int32_t jd) {
    if (jd < MinJD || jd > MaxJD)
        throw EJuliusError(QStringLiteral("ユリウス日 %1 は扱える範囲（%2～%3）の外です。")
                               .arg(jd)
                               .arg(MinJD)
                               .arg(MaxJD));
}

} // namespace Detail

using Detail::CheckJD;
using Detail::CheckYear;

std::int32_t JulianYMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    CheckYear(year);
    return static_cast<std::int32_t>(YearAndMonthDays(year, month) + day + 1720995);
}

std::int32_t GregorianYMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    CheckYear(year);
    const std::int64_t y = month < 3 ? std::int64_t{year} - 1 : year;
    const std::int64_t k = Trunc(y / 100.0L);       // centuries
    const std::int64_t g = 2 - k + Trunc(k / 4.0L); // days the Gregorian calendar skipped
    return static_cast<std::int32_t>(YearAndMonthDays(year, month) + day + 1720995 + g);
}

std::int32_t YMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    if (year < 1582)
        return JulianYMDToJD(year, month, day);
    if (year > 1582 || month > 10)
        return GregorianYMDToJD(year, month, day);
    if (month < 10 || day < 5)
        return JulianYMDToJD(year, month, day);
    if (day > 14)
        return GregorianYMDToJD(year, month, day);
    throw EJuliusError(QStringLiteral("1582/10/5-10/14は存在しません。"));
}

void JDToJulianYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day) {
    CheckJD(jd);
    DayCountToYMD(jd, year, month, day);
}

void JDToGregorianYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day) {
    CheckJD(jd);
    const std::int64_t alpha = Trunc((jd - 1867216.25L) / 36524.25L);
    const std::int64_t a = jd + 1 + alpha - Trunc(alpha / 4.0L);
    DayCountToYMD(a, year, month, day);
}

void JDToYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day) {
    if (jd < GregorianStartJD)
        JDToJulianYMD(jd, year, month, day);
    else
        JDToGregorianYMD(jd, year, month, day);
}

std::uint8_t JDDayOfWeek(std::int32_t jd) {
    CheckJD(jd);
    return static_cast<std::uint8_t>((jd + 1) % 7 + 1);
}

bool IsLeap(std::int32_t year) {
    if (year < 1582) {
        // Julian rule; counting from -4712 keeps the remainder non-negative for BC years.
        return (std::int64_t{year} + 4712) % 4 == 0;
    }
    bool leap = year % 4 == 0;
    if (year % 100 == 0)
        leap = false;
    if (year % 400 == 0)
        leap = true;
    if (year % 4000 == 0)
        leap = false;
    return leap;
}

std::uint8_t DaysOfMonth(std::int32_t year, std::uint8_t month) {
    if (month < 1 || month > 12)
        throw EJuliusError(QStringLiteral("%1 月は存在しません。").arg(month));
    const int days = DaysInMonthTable[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    return static_cast<std::uint8_t>(days);
}

bool IsValidYMD(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    // Months and days that no calendar has come back as another date anyway; answering early
    // keeps month 13 of the last served year from running past the served range.
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    const std::int32_t jd = YMDToJD(year, month, day);
    std::int32_t y2 = 0;
    std::uint8_t m2 = 0;
    std::uint8_t d2 = 0;
    JDToYMD(jd, y2, m2, d2);
    return y2 == year && m2 == month && d2 == day;
}

std::int32_t DateTimeToJD(double dateTime) {
    // The date part of a date-time value is its integral part, whatever the sign.
    const double days = std::trunc(dateTime);
    constexpr double LastServedDay = 365'250'000.0; // far beyond MaxYear either way
    if (!std::isfinite(days) || days > LastServedDay || days < -LastServedDay)
        throw EJuliusError(QStringLiteral("日付の値 %1 は扱える範囲の外です。").arg(dateTime));
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    if (!date.isValid())
        throw EJuliusError(QStringLiteral("日付の値 %1 は扱える範囲の外です。").arg(dateTime));
    // QDate counts years without a year 0 (−1 is 1 BC); day numbers count astronomically.
    const std::int32_t year = date.year() < 0 ? date.year() + 1 : date.year();
    return YMDToJD(year, static_cast<std::uint8_t>(date.month()),
                   static_cast<std::uint8_t>(date.day()));
}

std::int32_t TodayJD() {
    return DateTimeToJD(static_cast<double>(QDate(1899, 12, 30).daysTo(QDate::currentDate())));
}

} // namespace Julius
