// The command line of tamurika-export, the program's window-less tool, and what its modes do:
// the year sheet into a PDF file, a PNG picture or a print queue, the list of holidays and the
// 暦 of each day.
// Parsing is kept apart from running so that the parser can be tested and fuzzed on its own.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

#include "model/picturefit.h"
#include "model/sheetshape.h"
#include "platform/exception.h"
#include "report/lrdocument.h"

class QTextStream;

/// Arguments that make no command; the message says what is wrong, in the user's words.
class EExportUsage : public Exception {
  public:
    using Exception::Exception;
};

/// What the tool was asked to do.
struct TExportOptions {
    enum class TMode { Help, Version, Holidays, Koyomi, Sheet };
    enum class TOutput { Pdf, Png, Printer };
    TMode Mode = TMode::Help;
    // --holidays, --koyomi
    std::int32_t FromYear = 0; // first and last year listed, FromYear <= ToYear
    std::int32_t ToYear = 0;
    // The sheet. Unset values take the window's: this year, no picture, the slot restored at
    // start, the stored print position and paper.
    std::optional<std::int32_t> Year;
    QString PictureFile;
    std::optional<int> Slot;
    std::optional<int> Position;
    /// The paper the sheet is scaled onto; unset: the one chosen last in the preview window.
    std::optional<TPaperSize> Paper;
    /// --show: the words of what the day cells show of the 暦 (checked by the parser);
    /// unset: what the window saved last.
    std::optional<QString> KoyomiShow;
    /// --days: a days file, or an iCalendar file (.ics), whose days the sheet names; unset:
    /// the window's days file.
    QString DaysFile;
    /// --start-month, --week-start, --title, --title-place: the sheet's shape; unset: the
    /// window's. An empty --title prints no title of their own.
    std::optional<int> StartMonth;
    std::optional<TWeekStart> WeekStart;
    std::optional<QString> Title;
    std::optional<TOwnTitlePlace> TitlePlace;
    TOutput Output = TOutput::Pdf;
    QString Target; // the output file, or the print queue's name
    int Dpi = PreviewDpi;
    // --fill, --focus, --zoom: the picture fitted into its box unless --fill is given.
    TPictureFraming Framing;

    /// The resolution at which --png takes the preview's path: one pixel per design unit.
    static constexpr int PreviewDpi = 96;
};

/// Years the tool accepts: four-digit years of the common era.
inline constexpr std::int32_t ExportMinYear = 1;
inline constexpr std::int32_t ExportMaxYear = 9999;
/// Resolutions --dpi accepts: an A4 page at 600 per inch is already 35 million pixels.
inline constexpr int ExportMinDpi = 24;
inline constexpr int ExportMaxDpi = 600;

/// Reads the arguments after the program name. Raises EExportUsage for anything that is not
/// one complete command.
TExportOptions ParseExportArguments(const QStringList& arguments);

/// The usage text, several lines, each ended by a line feed.
QString ExportUsage();

/// Writes one line "YYYY-MM-DD<TAB>names" for every date of the years that has names, in date
/// order; the names are those the program's calendar controls give (national holidays,
/// equinox days, substitute holidays), as comma text, from their holiday model alone: no
/// widget is made, so a QCoreApplication is enough.
void ListHolidays(std::int32_t fromYear, std::int32_t toYear, QTextStream& out);

/// Composes the year sheet as the window does and writes it where `options` say: a PDF file
/// through the print path, a PNG picture through the preview path (or the print path at
/// another resolution), or a print queue. Settings and the print position are read from the
/// settings folder of `programFolder`. A file is written completely or not at all. Raises
/// Exception with the user's message when it cannot be done.
/// Returns what was written, for the user: the file's full path or the queue's name. What the
/// user should know about the sheet (a photo that prints coarsely) is added to `warnings`.
QString ExportSheet(const TExportOptions& options, const QString& programFolder,
                    QStringList* warnings = nullptr);

/// Runs the command line: 0 when done, 2 for bad arguments (message and usage on `err`), 1 when
/// the command failed. The sheet needs a QApplication, the other modes a QCoreApplication.
/// `programFolder` is where the program's settings
/// belong; empty means the folder of the running program.
int RunExport(const QStringList& arguments, QTextStream& out, QTextStream& err,
              const QString& programFolder = QString());
