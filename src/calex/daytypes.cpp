// The control's classification of dates, through its holiday model, and the font a date is
// drawn in.
#include "calex.h"

TDayTypes TCustomCalendarEx::GetDayTypeFlags(std::int32_t year, std::uint8_t month,
                                             std::uint8_t day) const {
    // The days before are classified by this (overridable) operation, so that holidays a
    // subclass adds earn substitute holidays too.
    return FHolidays.GetDayTypeFlags(
        year, month, day, [this](auto y, auto m, auto d) { return GetDayTypeFlags(y, m, d); });
}

const TFont& TCustomCalendarEx::GetDayFont(std::int32_t year, std::uint8_t month,
                                           std::uint8_t day) const {
    const TDayTypes types = GetDayTypeFlags(year, month, day);
    const TCalExFonts& fonts = *FFonts;
    int index = TCalExFonts::fiWeekday;
    if (types & dtSaturday)
        index = TCalExFonts::fiSaturday;
    else if (types & dtSunday)
        index = TCalExFonts::fiSunday;
    if (types & (dtHoliday | dtFurikae))
        index = TCalExFonts::fiHoliday;
    if (types & dtSpecialDay)
        index = TCalExFonts::fiSpecialDay;
    return fonts.Font(index);
}

QString TCustomCalendarEx::GetDayNames(std::int32_t year, std::uint8_t month,
                                       std::uint8_t day) const {
    return FHolidays.GetDayNames(
        year, month, day, [this](auto y, auto m, auto d) { return GetDayTypeFlags(y, m, d); });
}
