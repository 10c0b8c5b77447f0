// The day table of the printed sheet: for each month, weekday column and week row, the day
// number that falls there, whether it is printed as a holiday, its names and its 暦. The
// composition fills it from a holiday model (the main window's hidden calendar control's) before
// the sheet is drawn; the day-cell handlers of the sheet read it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "calendar/koyomi.h"
#include "days/familyday.h"
#include "model/sheetshape.h"
#include "platform/tcolor.h"

class THolidayModel;

/// One printed day cell.
struct Tsenohi {
    QString DayText;                   // "1" .. "31"; empty where no day of the month falls
    QString HolidayName;               // the day's holiday name(s); printed only as part of the 暦
    QString SpecialDayName;            // the day's special-day name; kept, never printed
    std::int32_t Holiday = 0;          // 1: printed in the Sunday/holiday colour
    Koyomi::TKoyomiDay KoyomiDay;      // the day's 暦, where the sheet shows it (FillKoyomiDays)
    QString Names;                     // all its names as the holiday model gives them, unquoted
    QStringList FamilyNames;           // the family's days on it, as the sheet writes them
    bool FamilyHolidayColor = false;   // a family's day asks for the holiday colour
    std::optional<TColor> FamilyColor; // a family's day asks for a colour of its own

    bool operator==(const Tsenohi&) const = default;
};

/// The months a day table holds and how its weeks run: twelve months from StartMonth of
/// Year, weeks from WeekStart.
struct TSheetYear {
    std::int32_t Year = 0;
    int StartMonth = 1;
    TWeekStart WeekStart = TWeekStart::Sunday;
};

/// FDayCells: [the sheet's month 1..12, column 0..6, row 0..5 (0 = the week of the 1st)]. The
/// sheet's months are the year's from January, or from another start month into the next year
/// (Months); column 0 is Sunday, or Monday for weeks from Monday (WeekStart).
class TDayCells {
  public:
    static constexpr int ColCount = 7;
    static constexpr int RowCount = 6;

    /// The year and month of each of the sheet's months, as FillDayCells set them.
    std::array<TSheetMonth, 12> Months{};
    TWeekStart WeekStart = TWeekStart::Sunday;

    /// The sheet's n-th month (1..12).
    const TSheetMonth& MonthAt(int n) const { return Months[static_cast<std::size_t>(n - 1)]; }
    /// The weekday (0 = Sunday) of column `col`.
    int WeekdayOf(int col) const { return WeekdayOfColumn(col, WeekStart); }

    Tsenohi& operator()(int month, int col, int row);
    const Tsenohi& operator()(int month, int col, int row) const;

    /// Every cell empty and not a holiday.
    void Clear();

  private:
    static int IndexOf(int month, int col, int row);

    std::array<Tsenohi, 12 * ColCount * RowCount> FCells;
};

/// Writes the family's `days` into the cells they fall on (the table filled by FillDayCells
/// first): their labels ("太郎 12歳", the age in the year of that month) and the colours they
/// ask for; a later day's own colour wins over an earlier one's. Whether any fell on the sheet.
bool FillFamilyDays(const std::vector<TFamilyDay>& days, TDayCells& cells);

/// Gives every day in the table its 暦 (the table filled by FillDayCells first).
void FillKoyomiDays(TDayCells& cells);

/// The holiday names among a day's names (comma text): those that are no special day ("@").
QString HolidayNames(const QString& names);

/// The text with every double quote removed.
QString StripQuotes(const QString& text);

/// Records the names of a day in its cell. The names are comma text as the calendar control
/// gives it, quotes already stripped, not empty. With a comma the day is a holiday: the part
/// after the first comma is its holiday name, the part before it (less its first character)
/// its special-day name. Without a comma the names are a holiday name, unless they begin with
/// "@", which marks a special day that is recorded but not coloured.
void ApplyDayNames(Tsenohi& cell, const QString& names);

/// Clears the table and fills the twelve months of `sheet`: day d of a month goes into the
/// column of its weekday and the row that counts the weeks ended before it (on Saturday, or
/// on Sunday for weeks from Monday), with its names from `holidays`. `monthDone` runs after
/// each of the sheet's months (1..12) when set.
void FillDayCells(const THolidayModel& holidays, const TSheetYear& sheet, TDayCells& cells,
                  const std::function<void(int month)>& monthDone = {});
/// The same for January to December of `year`, weeks from Sunday.
void FillDayCells(const THolidayModel& holidays, std::int32_t year, TDayCells& cells,
                  const std::function<void(int month)>& monthDone = {});
