// How a family shapes the sheet beyond the settings slots: the month the sheet starts with (4 for
// a school or fiscal year, 4月始まり), the weekday the weeks start on, and a title of their own
// printed above the year title or in its place. A part of the calendar model, kept in
// tamurika-state.ini (section "sheet"); tamurika-export chooses them with --start-month,
// --week-start and --title.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "settingsslots.h"

/// The weekday in the first column of every month grid.
enum class TWeekStart : std::uint8_t { Sunday, Monday };

/// Where the family's own title goes.
enum class TOwnTitlePlace : std::uint8_t {
    Above,   // a line of its own above the year title
    Replace, // printed where the year title would be, which is then left out
};

struct TOwnTitle {
    /// One line of text; empty: no title of their own (the default).
    QString Text;
    /// Face and style; the size follows from the place (and shrinks for a long text).
    TSlotFont Font{DefaultFontFace, fsBold};
    TOwnTitlePlace Place = TOwnTitlePlace::Above;

    bool operator==(const TOwnTitle&) const = default;
    /// Whether the sheet prints it: there is text to print.
    bool Shown() const { return !Text.trimmed().isEmpty(); }
};

struct TSheetShape {
    /// The first month of the sheet, 1..12; its twelve months run into the next year.
    int StartMonth = 1;
    TWeekStart WeekStart = TWeekStart::Sunday;
    TOwnTitle Title;

    bool operator==(const TSheetShape&) const = default;
};

/// One month of a sheet.
struct TSheetMonth {
    std::int32_t Year = 0;
    int Month = 1;
    bool operator==(const TSheetMonth&) const = default;
};

/// The n-th month (1..12) of the sheet of `year` that starts with `startMonth`.
TSheetMonth SheetMonthAt(std::int32_t year, int startMonth, int n);
/// The sheet year (the year of its first month) whose sheet holds `month` of `year`.
std::int32_t SheetYearOf(std::int32_t year, int month, int startMonth);
/// The weekday (0 = Sunday .. 6 = Saturday) of grid column `col` (0..6).
int WeekdayOfColumn(int col, TWeekStart start);
/// The grid column (0..6) of weekday `weekday` (0 = Sunday).
int ColumnOfWeekday(int weekday, TWeekStart start);

/// The text limit of the own title: a line of the sheet holds no more.
inline constexpr int OwnTitleMaxLength = 60;
/// The text as the title keeps it: one line (line breaks and tabs become spaces), trimmed, at
/// most OwnTitleMaxLength characters.
QString OwnTitleText(const QString& text);

/// "sunday" / "monday", as the state file and --week-start write them; nothing for another word.
QString WeekStartWord(TWeekStart start);
std::optional<TWeekStart> WeekStartByWord(const QString& word);

/// The shape kept by the program whose folder is `appPath`; a missing file or key, or a value
/// that means nothing, gives that value's default, the others read as they are.
TSheetShape ReadSheetShape(const QString& appPath);
/// Keeps `shape` in the state file, all keys at once; raises EIniFileException when the file
/// cannot be written (it then keeps what it held).
void WriteSheetShape(const QString& appPath, const TSheetShape& shape);
