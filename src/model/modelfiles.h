// The calendar model as the program's files keep it between runs: the fonts, colours and title
// style of a slot of tamurika.ini, the print position of senoruta.ini, the paper, the frame
// mode and what the day cells show of the 暦 of tamurika-state.ini, and the family's days of
// tamurika-days.txt. The year starts as this year, and no photo is loaded.
#pragma once

#include <QString>

#include "calendarmodel.h"

/// The model a run starts with, from the files of the program whose folder is `appPath`, with
/// the fonts, colours and title style of `slot` (all defaults for a slot outside 1..10 or never
/// saved). Missing or unreadable files give the defaults; this never fails.
TCalendarModel ReadCalendarModel(const QString& appPath, int slot);

/// The family's days file of the program whose folder is `appPath`, beside tamurika.ini.
QString DaysFilePath(const QString& appPath);

/// The slot a run starts with: the one saved last ("zenkai"), 1 when none was.
int StartSlot(const QString& appPath);
