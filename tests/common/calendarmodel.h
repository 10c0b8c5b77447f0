// Calendar models for the tests: a year as a first start has it (default fonts and colours,
// the first title style, A4, position 0, no photo), with a photo read from a file, and the
// sheet composed from one.
#pragma once

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "model/calendarmodel.h"
#include "sheet/daycells.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

namespace testing_support {

inline TCalendarModel YearModel(int year) {
    TCalendarModel model;
    model.Year = year;
    return model;
}

/// The model of `year` with the photo of `file`, read whole.
inline TCalendarModel PhotoModel(const QString& file, int year = 2027) {
    TCalendarModel model = YearModel(year);
    model.Photo = ReadSheetPhoto(file);
    return model;
}

/// The day table of `sheet` (a year from January, weeks from Sunday, unless it says other)
/// with the program's holidays.
inline void FillYear(TDayCells& cells, const TSheetYear& sheet) {
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    FillDayCells(holidays, sheet, cells);
}
inline void FillYear(TDayCells& cells, int year) {
    FillYear(cells, TSheetYear{year});
}

} // namespace testing_support
