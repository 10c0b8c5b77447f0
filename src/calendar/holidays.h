// The national holidays of Japan as rule lines, and the one way the program classifies days by
// them: its calendar controls, the sheet's day table and the export tool's holiday list all use
// ProgramHolidaySetup.
#pragma once

#include <QStringList>

class THolidayModel;

/// One rule line per legal fact of 国民の祝日に関する法律 and the special laws that added or
/// moved single days, from 1948 on. The equinox days, substitute holidays and the days between
/// two holidays are not listed: the holiday model works them out for every year (AutoEquinox,
/// AutoFurikae, AutoKokuminNoKyujitsu).
QStringList DefaultHolidayList();

/// How the program classifies days: the national holidays as HolidayList, the equinox days,
/// substitute holidays and days between two holidays worked out, and no special days
/// (SpecialDayList is one empty line).
struct THolidaySetup {
    QStringList HolidayList;
    QStringList SpecialDayList;
    bool AutoEquinox = true;
    bool AutoFurikae = true;
    bool AutoKokuminNoKyujitsu = true;
};
THolidaySetup ProgramHolidaySetup();

/// Sets `holidays` up by ProgramHolidaySetup.
void ApplyProgramHolidays(THolidayModel& holidays);
