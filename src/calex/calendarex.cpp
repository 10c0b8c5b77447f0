// The calendar control the program places: colours, the names of its date, OnChange.
#include "calex.h"

#include "calendar/julius.h"

TCalendarEx::TCalendarEx(QWidget* parent) : TMonthlyCalendar(parent) {}

std::uint16_t TCalendarEx::DayOfWeek() const {
    return Julius::JDDayOfWeek(JuliusDay());
}

QString TCalendarEx::TypeOfDayText() const {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(JuliusDay(), y, m, d);
    return GetDayNames(y, m, d);
}

TColor TCalendarEx::WeekdayColor() const {
    return Fonts().Font(TCalExFonts::fiWeekday).Color();
}
void TCalendarEx::SetWeekdayColor(TColor value) {
    Fonts().Weekday().SetColor(value);
}

TColor TCalendarEx::SaturdayColor() const {
    return Fonts().Font(TCalExFonts::fiSaturday).Color();
}
void TCalendarEx::SetSaturdayColor(TColor value) {
    Fonts().Saturday().SetColor(value);
}

TColor TCalendarEx::SundayColor() const {
    return Fonts().Font(TCalExFonts::fiSunday).Color();
}
void TCalendarEx::SetSundayColor(TColor value) {
    Fonts().Sunday().SetColor(value);
}

TColor TCalendarEx::HolidayColor() const {
    return Fonts().Font(TCalExFonts::fiHoliday).Color();
}
void TCalendarEx::SetHolidayColor(TColor value) {
    Fonts().Holiday().SetColor(value);
}

TColor TCalendarEx::SpecialDayColor() const {
    return Fonts().Font(TCalExFonts::fiSpecialDay).Color();
}
void TCalendarEx::SetSpecialDayColor(TColor value) {
    Fonts().SpecialDay().SetColor(value);
}

void TCalendarEx::UpdateBuffer() {
    TMonthlyCalendar::UpdateBuffer();
    DoChange();
}

void TCalendarEx::DoChange() {
    if (OnChange)
        OnChange(this);
}
