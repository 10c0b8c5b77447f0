// One day of a family's own — a birthday, an anniversary, any day they mark — and when it
// falls in a year of the sheet.
#pragma once

#include <cstdint>
#include <optional>

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>

#include "platform/exception.h"

/// Errors of the family's days: a file that cannot be read or written, an import refused. The
/// message names the file and says why, in the user's words.
class EFamilyDaysError : public Exception {
  public:
    using Exception::Exception;
};

struct TFamilyDay {
    /// How the day comes round: on a date every year, on a weekday of a month every year
    /// ("5月の第2日曜"), or once.
    enum class TRepeat : std::uint8_t { Yearly, Weekday, Once };
    /// Birthdays and anniversaries are counted from the year they began.
    enum class TKind : std::uint8_t { Other, Birthday, Anniversary };
    /// The day's number in the sheet's own colour for its weekday, in the holiday colour, or in
    /// a colour of its own.
    enum class TColorChoice : std::uint8_t { Default, Holiday, Own };
    /// Week for "the last weekday of the month".
    static constexpr int LastWeek = -1;

    QString Name;
    TRepeat Repeat = TRepeat::Yearly;
    TKind Kind = TKind::Other;
    int Month = 1;   // 1..12
    int Day = 1;     // Yearly and Once: 1..31
    int Week = 1;    // Weekday: 1..5 or LastWeek
    int Weekday = 0; // Weekday: 0 Sunday .. 6 Saturday
    int Year = 0;    // Once: its year; otherwise the year it began, 0 when not known
    TColorChoice ColorChoice = TColorChoice::Default;
    QColor Color; // when ColorChoice is Own
    /// The comment lines a person wrote just above the day in the days file, kept with it.
    QStringList Comments;

    bool operator==(const TFamilyDay&) const = default;
};

/// The date on which `day` falls in `year`, if it does. A yearly 29 February falls on
/// 28 February in a common year; a day counted from a year (a birthday) does not fall before it.
std::optional<QDate> OccurrenceIn(const TFamilyDay& day, int year);
/// The date on which `day` falls on the sheet of `year` that runs for twelve months from
/// `startMonth` (into the next year for a start after January), if it does.
std::optional<QDate> OccurrenceOnSheet(const TFamilyDay& day, int year, int startMonth);
/// That sheet's twelve months in words: "2027年", or "2027年4月〜2028年3月".
QString SheetSpanText(int year, int startMonth);

/// What the sheet writes for `day` in `year`: "太郎 12歳" for a birthday, "結婚10周年" for an
/// anniversary (counted from the year it began), else the name.
QString SheetLabel(const TFamilyDay& day, int year);

/// The day's date as the days file and the dialog write it: "5/5", "2027/3/14", "5月第2日曜",
/// "11月最終木曜".
QString DateText(const TFamilyDay& day);

/// Whether `a` comes before `b` in a list sorted by date: month, then day (a weekday rule by
/// its earliest day), then year, then name.
bool EarlierInYear(const TFamilyDay& a, const TFamilyDay& b);
