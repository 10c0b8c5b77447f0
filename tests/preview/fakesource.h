// A sheet source for the tests: what the main window would provide, held in plain fields.
#pragma once

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "sheet/daycells.h"
#include "sheet/sheetsource.h"

namespace testing_support {

struct TFakeSource : TSheetSource {
    QString File;
    QSize Size{105, 105};
    TPictureFraming Framing;
    TColor Weekday = clBlack;
    TColor Sunday = clRed;
    TColor Saturday = clBlue;
    TDayCells Cells;
    QString Folder;

    QString PictureFileName() const override { return File; }
    QSize PictureSize() const override { return Size; }
    TPictureFraming PictureFraming() const override { return Framing; }
    TColor WeekdayColor() const override { return Weekday; }
    TColor SundayColor() const override { return Sunday; }
    TColor SaturdayColor() const override { return Saturday; }
    const TDayCells& DayCells() const override { return Cells; }
    QString AppPath() const override { return Folder; }

    /// The day table of `year`, with the holidays of the main window's hidden calendar.
    void FillYear(int year) {
        THolidayModel holidays;
        ApplyProgramHolidays(holidays);
        FillDayCells(holidays, year, Cells);
    }
};

} // namespace testing_support
