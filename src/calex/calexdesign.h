// How the program sets up its calendar controls: the sample on the main window and the hidden
// one whose holidays the printed sheet takes look and classify alike, and the export tool
// classifies its days as they do.
#pragma once

class TCalendarEx;
class THolidayModel;

/// Sunday first, neighbour days in silver, six week rows, a green header on a white grid, the
/// seven fonts "ＭＳ Ｐゴシック" 13 pixels bold in their day-type colours, the national
/// holidays as HolidayList (equinox days and substitute holidays on) and no special days.
void ApplyProgramDesign(TCalendarEx& calendar);

/// The holidays those controls classify by: the national holidays as HolidayList, equinox
/// days and substitute holidays on, no special days.
void ApplyProgramDesign(THolidayModel& holidays);
