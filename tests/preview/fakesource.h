// A sheet source for the tests: what the main window would provide, held in plain fields.
#pragma once

#include "calendar/calex.h"
#include "calendar/calexdesign.h"
#include "preview/daycells.h"
#include "preview/sheetsource.h"

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

    /// The day table of `year`, as the main window's hidden calendar fills it.
    void FillYear(int year) {
        TCalendarEx calendar;
        ApplyProgramDesign(calendar);
        FillDayCells(calendar, year, Cells);
    }
};

} // namespace testing_support
