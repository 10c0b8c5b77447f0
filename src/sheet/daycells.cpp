#include "daycells.h"

#include <QDate>

#include <QtGlobal>

#include "calendar/holidaymodel.h"
#include "calendar/julius.h"

Tsenohi& TDayCells::operator()(int month, int col, int row) {
    return FCells[IndexOf(month, col, row)];
}

const Tsenohi& TDayCells::operator()(int month, int col, int row) const {
    return FCells[IndexOf(month, col, row)];
}

int TDayCells::IndexOf(int month, int col, int row) {
    Q_ASSERT(month >= 1 && month <= 12);
    Q_ASSERT(col >= 0 && col < ColCount);
    Q_ASSERT(row >= 0 && row < RowCount);
    return ((month - 1) * ColCount + col) * RowCount + row;
}

void TDayCells::Clear() {
    FCells.fill(Tsenohi{});
}

QString StripQuotes(const QString& text) {
    QString stripped = text;
    stripped.remove(u'"');
    return stripped;
}

void ApplyDayNames(Tsenohi& cell, const QString& names) {
    if (names.isEmpty())
        return;
    const qsizetype comma = names.indexOf(u',');
    if (comma >= 0) {
        cell.Holiday = 1;
        cell.HolidayName = names.mid(comma + 1);
        // The first character is dropped whatever it is: it is the "@" of a special day
        // when the date has one, as the control lists special days first.
        cell.SpecialDayName = names.mid(1, comma - 1);
    } else if (!names.startsWith(u'@')) {
        cell.HolidayName = names;
        cell.Holiday = 1;
    } else {
        cell.SpecialDayName = names.mid(1);
    }
}

QString HolidayNames(const QString& names) {
    QStringList holidays;
    for (const QString& name : names.split(u',', Qt::SkipEmptyParts))
        if (!name.startsWith(u'@'))
            holidays << name;
    return holidays.join(u',');
}

namespace {

// The ten days that October 1582 skipped (5th to 14th) do not exist: the table goes from
// Thursday the 4th to Friday the 15th.
bool Exists(std::int32_t year, int month, int day) {
    try {
        return Julius::IsValidYMD(year, static_cast<std::uint8_t>(month),
                                  static_cast<std::uint8_t>(day));
    } catch (const EJuliusError&) {
        return false;
    }
}

} // namespace

void FillDayCells(const THolidayModel& holidays, const TSheetYear& sheet, TDayCells& cells,
                  const std::function<void(int month)>& monthDone) {
    cells.Clear();
    cells.WeekStart = sheet.WeekStart;
    for (int n = 1; n <= 12; ++n) {
        const TSheetMonth at = SheetMonthAt(sheet.Year, sheet.StartMonth, n);
        cells.Months[static_cast<std::size_t>(n - 1)] = at;
        const std::int32_t year = at.Year;
        const auto month = static_cast<std::uint8_t>(at.Month);
        int row = 0;
        // The months as the dates count them: Julian before 1582, so that 1500 has its
        // 29 February and the weekdays after it follow from the days that were.
        const int length = Julius::DaysOfMonth(year, month);
        for (int d = 1; d <= length; ++d) {
            if (!Exists(year, at.Month, d))
                continue;
            const auto day = static_cast<std::uint8_t>(d);
            const int weekday = Julius::JDDayOfWeek(Julius::YMDToJD(year, month, day)) - 1;
            const int col = ColumnOfWeekday(weekday, sheet.WeekStart);
            Tsenohi& cell = cells(n, col, row);
            cell.DayText = QString::number(d);
            const QString names = holidays.GetDayNames(year, month, day);
            if (!names.isEmpty()) {
                cell.Names = StripQuotes(names);
                ApplyDayNames(cell, cell.Names);
            }
            if (col == TDayCells::ColCount - 1)
                ++row;
        }
        if (monthDone)
            monthDone(n);
    }
}

void FillDayCells(const THolidayModel& holidays, std::int32_t year, TDayCells& cells,
                  const std::function<void(int month)>& monthDone) {
    FillDayCells(holidays, TSheetYear{year}, cells, monthDone);
}

bool FillFamilyDays(const std::vector<TFamilyDay>& days, TDayCells& cells) {
    bool any = false;
    for (int n = 1; n <= 12; ++n) {
        const TSheetMonth& at = cells.MonthAt(n);
        for (const TFamilyDay& day : days) {
            const std::optional<QDate> date = OccurrenceIn(day, at.Year);
            if (!date || date->month() != at.Month)
                continue;
            const QString number = QString::number(date->day());
            for (int col = 0; col < TDayCells::ColCount; ++col)
                for (int row = 0; row < TDayCells::RowCount; ++row) {
                    Tsenohi& cell = cells(n, col, row);
                    if (cell.DayText != number)
                        continue;
                    any = true;
                    cell.FamilyNames << SheetLabel(day, at.Year);
                    if (day.ColorChoice == TFamilyDay::TColorChoice::Holiday)
                        cell.FamilyHolidayColor = true;
                    else if (day.ColorChoice == TFamilyDay::TColorChoice::Own)
                        cell.FamilyColor = FromQColor(day.Color);
                }
        }
    }
    return any;
}

void FillKoyomiDays(TDayCells& cells) {
    // A sheet spans one year or two.
    std::optional<Koyomi::TKoyomiYear> koyomi;
    for (int n = 1; n <= 12; ++n) {
        const TSheetMonth& at = cells.MonthAt(n);
        if (!koyomi || koyomi->Year() != at.Year)
            koyomi.emplace(at.Year);
        if (!koyomi->Known())
            continue;
        for (int col = 0; col < TDayCells::ColCount; ++col)
            for (int row = 0; row < TDayCells::RowCount; ++row) {
                Tsenohi& cell = cells(n, col, row);
                if (!cell.DayText.isEmpty())
                    cell.KoyomiDay = koyomi->Day(at.Month, cell.DayText.toInt());
            }
    }
}
