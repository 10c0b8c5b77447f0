#include "calexdesign.h"

#include "calendar/holidays.h"
#include "calex.h"
#include "platform/font.h"

void ApplyProgramDesign(TCalendarEx& calendar) {
    calendar.SetFirstDayOfWeek(dowSun);
    calendar.SetShowNeighbor(true);
    calendar.SetNeighborColor(clSilver);
    calendar.SetNeighborJump(false);
    calendar.SetAutoResize(false);
    calendar.SetFirstRowFirstDay(false);
    calendar.SetLastRowLastDay(false);
    calendar.SetShowRokuyo(false);
    calendar.SetDayOfWeekBkColor(clGreen);
    calendar.SetColor(clWhite);

    TCalExFonts& fonts = calendar.Fonts();
    fonts.SetSynchronize(false);
    static constexpr struct {
        TCalExFonts::TFontIndex index;
        TColor color;
    } Colors[] = {
        {TCalExFonts::fiWeekday, clBlack}, {TCalExFonts::fiSaturday, clBlue},
        {TCalExFonts::fiSunday, clRed},    {TCalExFonts::fiDayOfWeek, clWhite},
        {TCalExFonts::fiHoliday, clRed},   {TCalExFonts::fiSpecialDay, clGreen},
        {TCalExFonts::fiRokuyo, clBlack},
    };
    for (const auto& [index, color] : Colors) {
        TFont font;
        font.SetName(DefaultFaceName);
        font.SetHeight(-13);
        font.SetStyle(fsBold);
        font.SetColor(color);
        fonts.SetFont(index, font);
    }

    const THolidaySetup holidays = ProgramHolidaySetup();
    calendar.SetAutoEquinox(holidays.AutoEquinox);
    calendar.SetAutoFurikae(holidays.AutoFurikae);
    calendar.SetAutoKokuminNoKyujitsu(holidays.AutoKokuminNoKyujitsu);
    calendar.SetHolidayList(holidays.HolidayList);
    calendar.SetSpecialDayList(holidays.SpecialDayList);
}
