// The family's days from the calendar they already keep: an iCalendar file (.ics) as calendar
// programs and web calendars export it, read with libical. Yearly events (their birthday
// calendars among them) become days of every year, other events of the sheet's year days of
// that year only; nothing is added until the user has seen what was found.
#pragma once

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include "familyday.h"

/// What an iCalendar file holds for the sheet, and what of it was left out.
struct TCalendarImport {
    std::vector<TFamilyDay> Days;
    /// One line for each event not taken, with the reason ("毎週の予定「燃えるごみ」は…").
    QStringList Left;
};

/// Reads the iCalendar text `data` of the file `fileName` for the sheet of `year` (its twelve
/// months from `startMonth`, into the next year for a start after January). An event's
/// date is its all-day date as written, or the date in `zone` (this computer's time zone) of
/// its start (given in its own TZID's zone, or UTC). A yearly rule (RRULE:FREQ=YEARLY) with
/// BYMONTH and BYDAY ("2SU") becomes a weekday rule, any other a date of every year counted from
/// its first year; an event whose summary names a birthday ("…の誕生日", "…'s birthday") or an
/// anniversary becomes one. Raises EFamilyDaysError naming the file when it is not iCalendar or is
/// damaged (no calendar in it, a calendar not closed).
TCalendarImport ImportICalendar(const QByteArray& data, int year, const QString& fileName,
                                const QTimeZone& zone = QTimeZone::systemTimeZone(),
                                int startMonth = 1);

/// The same for the file itself; raises EFamilyDaysError naming it when it cannot be read or
/// is larger than any calendar a family keeps (16 MB).
TCalendarImport ImportICalendarFile(const QString& fileName, int year,
                                    const QTimeZone& zone = QTimeZone::systemTimeZone(),
                                    int startMonth = 1);
