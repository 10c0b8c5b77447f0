// The one-letter Japanese names of the days of the week, shown by the sheet, the main window and
// the calendar controls' header row whatever the user's locale.
#pragma once

#include <QString>

/// "日" for 0 (Sunday) .. "土" for 6 (Saturday); an empty text for any other number.
QString WeekdayLetter(int dayOfWeek);
