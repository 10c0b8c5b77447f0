// tamurika-export --koyomi: the 暦 of a run of years as text, one line per day.
#pragma once

#include <cstdint>

#include <QStringList>

class QTextStream;

/// Writes "YYYY-MM-DD<TAB>旧M月D日<TAB>六曜<TAB>names" for every date of the years, where names
/// are the day's solar term, moon phase and seasonal days joined by "・" (empty when none).
/// Raises Exception with the user's message for years the engine does not compute; years it
/// computes but that were not checked against the outside reference add a line to `warnings`.
void ListKoyomi(std::int32_t fromYear, std::int32_t toYear, QTextStream& out,
                QStringList& warnings);
