// The command line of tamurika-export, the program's window-less tool, and what its modes do.
// Parsing is kept apart from running so that the parser can be tested and fuzzed on its own.
#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

#include "platform/exception.h"

class QTextStream;

/// Arguments that make no command; the message says what is wrong, in the user's words.
class EExportUsage : public Exception {
public:
    using Exception::Exception;
};

/// What the tool was asked to do.
struct TExportOptions {
    enum class TMode { Help, Holidays };
    TMode Mode = TMode::Help;
    std::int32_t FromYear = 0; // first and last year listed, FromYear <= ToYear
    std::int32_t ToYear = 0;
};

/// Years the holiday listing accepts: four-digit years of the common era.
inline constexpr std::int32_t ExportMinYear = 1;
inline constexpr std::int32_t ExportMaxYear = 9999;

/// Reads the arguments after the program name. Raises EExportUsage for anything that is not
/// one complete command.
TExportOptions ParseExportArguments(const QStringList& arguments);

/// The usage text, several lines, each ended by a line feed.
QString ExportUsage();

/// Writes one line "YYYY-MM-DD<TAB>names" for every date of the years that has names, in date
/// order; the names are those of the program's calendar control (national holidays, equinox
/// days, substitute holidays), as comma text.
void ListHolidays(std::int32_t fromYear, std::int32_t toYear, QTextStream& out);

/// Runs the command line: 0 when done, 2 for bad arguments (message and usage on `err`), 1 when
/// the command failed. Needs a QApplication for the modes that use widgets.
int RunExport(const QStringList& arguments, QTextStream& out, QTextStream& err);
