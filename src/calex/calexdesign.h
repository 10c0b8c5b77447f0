// How the program sets up its calendar controls: the sample on the main window looks as the
// design has it and classifies its days as the sheet and the export tool do
// (ProgramHolidaySetup).
#pragma once

class TCalendarEx;

/// Sunday first, neighbour days in silver, six week rows, a green header on a white grid, the
/// seven fonts "ＭＳ Ｐゴシック" 13 pixels bold in their day-type colours, the national
/// holidays as HolidayList (equinox days and substitute holidays on) and no special days.
void ApplyProgramDesign(TCalendarEx& calendar);
