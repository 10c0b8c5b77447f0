#include "daycells.h"

#include <QtGlobal>

#include "calendar/calex.h"
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

namespace {

// Month lengths as the sheet counts them: the Gregorian leap rule for every year.
int SheetMonthLength(std::int32_t year, int month) {
    static constexpr int Lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Lengths[month - 1];
}

// The control refuses a date that does not exist; one in the calendar gap of October 1582
// it refuses loudly. Either way the date stays where it was.
void SetCalendarDay(TCalendarEx& calendar, int day) {
    try {
        calendar.SetDay(static_cast<std::uint8_t>(day));
    } catch (const EJuliusError&) {
    }
}

} // namespace

void FillDayCells(TCalendarEx& calendar, std::int32_t year, TDayCells& cells,
                  const std::function<void(int month)>& monthDone) {
    cells.Clear();
    // The 1st first: from 29 February the control would refuse a common year and keep the
    // old one.
    SetCalendarDay(calendar, 1);
    calendar.SetYear(year);
    for (int m = 1; m <= 12; ++m) {
        SetCalendarDay(calendar, 1);
        calendar.SetMonth(static_cast<std::uint8_t>(m));
        int row = 0;
        const int length = SheetMonthLength(year, m);
        for (int d = 1; d <= length; ++d) {
            SetCalendarDay(calendar, d);
            const int col = calendar.DayOfWeek() - 1;
            Tsenohi& cell = cells(m, col, row);
            cell.DayText = QString::number(calendar.Day());
            const QString names = calendar.TypeOfDayText();
            if (!names.isEmpty())
                ApplyDayNames(cell, StripQuotes(names));
            if (col == 6)
                ++row;
        }
        if (monthDone)
            monthDone(m);
    }
}
