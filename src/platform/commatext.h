// The class library's comma text: how one text line splits into fields and how a list of names
// joins into one line. Holiday rule lines, the names of a day and the old-calendar table all
// use it, so the two directions live here, once.
#pragma once

#include <QString>
#include <QStringList>

/// Splits a line into fields:
///  1. characters with codes 1..32 at the start are skipped;
///  2. a field that begins with a double quote runs to the matching closing quote (a doubled
///     quote inside stands for one); any other field runs up to the next comma or the next
///     character with a code 1..32;
///  3. after a field, codes 1..32 are skipped; a comma is passed over together with the codes
///     1..32 behind it, so two adjacent commas give an empty field;
///  4. a comma at the very end gives no further field, an empty line no field at all.
/// A NUL character ends the line, as it ended the class library's zero-terminated text.
QStringList SplitCommaText(const QString& line);

/// Joins names with single commas. A name holding a comma, a double quote or a code 1..32 is
/// quoted, inner quotes doubled; one empty name gives "\"\""; no names give the empty text.
QString JoinCommaText(const QStringList& names);
