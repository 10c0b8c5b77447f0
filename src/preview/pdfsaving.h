// "PDFに保存", from the preview window and from the main window alike: the file asked for, and
// the calendar's sheet composed for printing and written into it whole, the photo as it was
// read (a JPEG photo as its own bytes).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

class QWidget;
class TPrinter;
class TSheetLayout;
struct TCalendarModel;

/// A sheet of `model` composed for printing on `printer` (not owned).
std::unique_ptr<TSheetLayout> PrintSheet(const TCalendarModel& model, TPrinter* printer);

/// The name the save dialog suggests: "カレンダー2027.pdf" in the folder used last by the
/// program whose folder is `appPath` (the user's documents folder at first).
QString SuggestedPdfName(const QString& appPath, std::int32_t year);

/// Asks for the PDF file to save, starting at `suggested`; empty when the user cancels.
QString AskPdfFileName(QWidget* parent, const QString& suggested);

/// Writes the sheet of `model` into the PDF file `fileName` (complete or not at all) and
/// remembers its folder; `status` hears how far it got, in the user's words. Raises Exception
/// with the user's message, saying what was kept, when it cannot; then no file is written.
void SaveSheetPdf(const TCalendarModel& model, const QString& appPath, const QString& fileName,
                  const std::function<void(const QString&)>& status);
