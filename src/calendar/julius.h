// Julius: all date arithmetic of the program on one representation, the Julian day number (the
// astronomical Julian Day of a civil date at noon; 2451545 is 2000-01-01). Civil dates are read
// in the Julian calendar up to 1582-10-04 and in the Gregorian calendar from 1582-10-15 on.
// Also here: the equinox days, the traditional name tables, and the old lunisolar calendar
// with the six-day rokuyō cycle.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QString>

#include "platform/exception.h"

/// Errors of the date arithmetic; the message says what is wrong in the user's words.
class EJuliusError : public Exception {
  public:
    using Exception::Exception;
};

namespace Julius {

// --- Julian day numbers and the civil calendar ----------------------------------------------

/// Lengths of the months of a common year, January first.
inline constexpr std::array<int, 12> DaysInMonthTable = {31, 28, 31, 30, 31, 30,
                                                         31, 31, 30, 31, 30, 31};

/// The range every function here serves. Years are astronomical (year 0 is 1 BC). Outside it
/// the formulas would overflow their integers, so the functions raise EJuliusError instead.
inline constexpr std::int32_t MinYear = -4712;
inline constexpr std::int32_t MaxYear = 1000000;
inline constexpr std::int32_t MinJD = 0;         // -4712-01-01 in the Julian calendar
inline constexpr std::int32_t MaxJD = 366963925; // 1000000-12-31 in the Gregorian calendar

inline constexpr std::int32_t GregorianStartJD = 2299161; // 1582-10-15

/// The day number of a civil date, in the calendar in force on that date. Month and day are not
/// checked (month 13 or day 32 run on into the following month); raises EJuliusError for the
/// ten days 1582-10-05 .. 1582-10-14, which never existed, and for years outside the range.
std::int32_t YMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day);
/// The day number of a date read in the Julian calendar.
std::int32_t JulianYMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day);
/// The day number of a date read in the (proleptic) Gregorian calendar.
std::int32_t GregorianYMDToJD(std::int32_t year, std::uint8_t month, std::uint8_t day);

/// The civil date of a day number: Julian before 1582-10-15, Gregorian from then on. Raises
/// EJuliusError outside MinJD .. MaxJD.
void JDToYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day);
void JDToJulianYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day);
void JDToGregorianYMD(std::int32_t jd, std::int32_t& year, std::uint8_t& month, std::uint8_t& day);

/// 1 = Sunday .. 7 = Saturday. Raises EJuliusError outside MinJD .. MaxJD.
std::uint8_t JDDayOfWeek(std::int32_t jd);

/// Julian rule before 1582; from 1582 the Gregorian rule with the extra 4000-year exception.
bool IsLeap(std::int32_t year);
/// Days in a month (1..12) by IsLeap; raises EJuliusError for any other month.
std::uint8_t DaysOfMonth(std::int32_t year, std::uint8_t month);
/// Whether the date exists: it converts to a day number and back to itself. A date inside the
/// 1582 gap raises instead of yielding false.
bool IsValidYMD(std::int32_t year, std::uint8_t month, std::uint8_t day);

/// The day number of a date-time value (days since 1899-12-30; the time of day is ignored).
std::int32_t DateTimeToJD(double dateTime);
/// The day number of today's date on this computer.
std::int32_t TodayJD();

// --- Solar terms, equinoxes and the sexagenary cycle -----------------------------------------

/// The date in Japan of the vernal and the autumnal equinox of a year, as day numbers, by a
/// closed formula that matches the published dates up to 2150 and drifts after it. The
/// holidays take their equinox days from equinoxdays.h, which uses it only up to 2150.
std::int32_t VernalEquinoxJD(std::int32_t year);
std::int32_t AutumnalEquinoxJD(std::int32_t year);
/// Whether month and day are those of the year's equinox day.
bool IsVernalEquinoxDay(std::int32_t year, std::uint8_t month, std::uint8_t day);
bool IsAutumnalEquinoxDay(std::int32_t year, std::uint8_t month, std::uint8_t day);

extern const std::array<QString, 10> StemNames;
extern const std::array<QString, 12> BranchNames;
extern const std::array<QString, 24> SolarTermNames;

// --- Old calendar and rokuyō -----------------------------------------------------------------

/// The first day of one month of the old lunisolar calendar.
struct TJDOldMonth {
    std::int32_t JulianDay = 0;
    std::int32_t Month = 0; // 1..12, or 100 + n for the leap month that follows month n
};

/// Parses the old-calendar table: one line per month, "day number,month"; raises EConvertError
/// (with the offending field) at the first line that is not two numbers.
std::vector<TJDOldMonth> ParseOldMonthTable(const QByteArray& text);

/// The table of the embedded resource JDOLDCAL, loaded on the first call (the program makes
/// that call at start, so a broken table stops it there) and kept for the whole run.
const std::vector<TJDOldMonth>& OldMonthList();

/// Old month (1..12, 101..112) and day of a date; 0 and 0 outside the table.
void JDToOldDate(std::int32_t jd, std::uint8_t& oldMonth, std::uint8_t& oldDay);
/// Rokuyō of a date, an index into RokuyoNames: 1..6, or 0 outside the table.
std::uint8_t JDRokuyo(std::int32_t jd);

extern const std::array<QString, 7> RokuyoNames;

} // namespace Julius
